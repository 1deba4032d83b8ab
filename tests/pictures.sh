#!/usr/bin/env bash
# The picture is the game's own, the same in every build (gcc's release, clang's sanitizer)
# and whatever fonts the machine has: one game played to its screens (title, countdown, a
# field in play, a chain of bursts, pause, a lost life, the game over with its hi-score, ten
# enemies), each held against its golden hash; and the title again with a fontconfig that
# finds no font at all and with one that finds only DejaVu. The other editions are held
# against the sim's pictures: the core frame by frame (libretro tests), the window (e2e
# picture test) and the page (browser test).
#   pictures.sh SIM            checks;   pictures.sh SIM --update   writes the golden hashes
set -u
sim=$1
here=$(dirname "$0")
golden=$here/pictures/golden.txt
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sed "s|DIR|$dir|g" "$here/pictures/screens.sim" | "$sim" || { echo "FAIL: mazeblast-sim"; exit 1; }
for fonts in none:/nonexistent dejavu:/usr/share/fonts/truetype/dejavu; do
  name=${fonts%%:*}
  printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "${fonts#*:}" "$dir" >"$dir/$name.conf"
  printf 'screenshot %s\n' "$dir/title-$name-fonts.png" | FONTCONFIG_FILE=$dir/$name.conf "$sim" ||
    { echo "FAIL: mazeblast-sim with $name of the machine's fonts"; exit 1; }
done
# A picture's hash: SHA-256 of its pixels' R, G, B bytes, row after row; its first 16 digits.
hashes=$(/usr/bin/python3 - "$dir" <<'PY'
import glob, hashlib, os, sys
from PIL import Image
for path in sorted(glob.glob(os.path.join(sys.argv[1], "*.png"))):
    pixels = Image.open(path).convert("RGB").tobytes()
    print(os.path.basename(path)[:-4], hashlib.sha256(pixels).hexdigest()[:16])
PY
)
if [ "${2:-}" = --update ]; then
  grep -v -- '-fonts ' <<<"$hashes" >"$golden"
  echo "written: $golden"
  exit 0
fi
status=0
while read -r name hash; do
  want=$(awk -v n="${name%-*-fonts}" '$1 == n {print $2}' "$golden")
  if [ "$hash" = "$want" ]; then
    echo "ok   $name $hash"
  else
    echo "FAIL $name: $hash, the golden is ${want:-missing}"
    status=1
  fi
done <<<"$hashes"
exit $status
