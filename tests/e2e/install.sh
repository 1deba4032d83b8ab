#!/usr/bin/env bash
# The .deb that CPack makes, unpacked into a scratch root: its files stand in their places,
# and its game, started there under Xvfb, opens its window.
set -u
build=$1 closer=$2
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi
. "$(dirname "$0")/lib.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >/dev/null || fail "cpack failed"
deb=$(ls "$scratch"/out/*.deb) || fail "no .deb made"
dpkg-deb -x "$deb" "$scratch/root" || fail "the .deb does not unpack"
for f in usr/bin/mazeblast usr/bin/mazeblast-sim usr/share/applications/org.rmo.Mazeblast.desktop \
         usr/share/metainfo/org.rmo.Mazeblast.metainfo.xml usr/share/man/man6/mazeblast.6 \
         usr/share/icons/hicolor/16x16/apps/org.rmo.Mazeblast.png \
         usr/share/icons/hicolor/256x256/apps/org.rmo.Mazeblast.png; do
  [ -e "$scratch/root/$f" ] || fail "$f is not in the package"
done
grep -q '^Exec=mazeblast$' "$scratch/root/usr/share/applications/org.rmo.Mazeblast.desktop" ||
  fail "the desktop entry does not start mazeblast"
dpkg-deb -f "$deb" Depends | grep -q libsdl2-2.0-0 || fail "the package does not depend on SDL2"

"$scratch/root/usr/bin/mazeblast" &
pid=$!
win=$(timeout 20 bash -c "$(declare -f find_window); find_window")
[ -n "$win" ] || { kill $pid; fail "the installed game opened no window"; }
"$closer" "$win"
wait $pid || fail "the installed game ended with status $?"
echo "installed from $(basename "$deb"): window seen, closed cleanly"
