#!/usr/bin/env bash
# The game carries its own fonts: the title screen is the same picture whatever fonts the
# machine has, none at all or only DejaVu, as with all it has.
set -u
sim=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
for fonts in none:/nonexistent dejavu:/usr/share/fonts/truetype/dejavu; do
  printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "${fonts#*:}" "$dir" >"$dir/${fonts%%:*}.conf"
done
shot() {
  printf 'screenshot %s\n' "$dir/$1.png" | env ${2:+FONTCONFIG_FILE=$2} "$sim" || exit 1
}
shot all ""
shot none "$dir/none.conf"
shot dejavu "$dir/dejavu.conf"
for other in none dejavu; do
  cmp -s "$dir/all.png" "$dir/$other.png" || { echo "FAIL: the title differs with $other of the machine's fonts"; exit 1; }
done
echo "the title screen, $(md5sum <"$dir/all.png" | cut -c1-12), the same with none of the machine's fonts and with only DejaVu"
