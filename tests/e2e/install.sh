#!/usr/bin/env bash
# The .debs that CPack makes, the game's and the libretro core's: lintian finds no error and
# no warning in either; unpacked into a scratch root, their files stand in their places, and
# the game, started there under Xvfb, opens its window.
set -u
build=$1 closer=$2
. "$(dirname "$0")/lib.sh"
under_xvfb 1280x800 "$@"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >/dev/null 2>&1 || fail "cpack failed"
deb=$(ls "$scratch"/out/mazeblast_*.deb) || fail "no mazeblast package made"
core=$(ls "$scratch"/out/libretro-mazeblast_*.deb) || fail "no libretro-mazeblast package made"
for package in "$deb" "$core"; do
  dpkg-deb -x "$package" "$scratch/root" || fail "$(basename "$package") does not unpack"
  verdict=$(lintian --tag-display-limit 0 "$package" 2>&1 | grep -E '^[EW]: ')
  [ -z "$verdict" ] || fail "lintian: $verdict"
  echo "lintian on $(basename "$package"): no error, no warning"
done
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for f in "usr/lib/$multiarch/libretro/mazeblast_libretro.so" usr/share/libretro/info/mazeblast_libretro.info \
         usr/share/doc/libretro-mazeblast/copyright usr/share/doc/libretro-mazeblast/changelog.gz; do
  [ -e "$scratch/root/$f" ] || fail "$f is not in the core's package"
done
dpkg-deb -f "$core" Depends | grep -q 'retroarch | libretro-frontend' ||
  fail "the core's package does not depend on a libretro frontend"
grep -q '^display_name = "RMO Mazeblast"$' "$scratch/root/usr/share/libretro/info/mazeblast_libretro.info" ||
  fail "the info file does not name the core"
[ "$(dpkg-deb -f "$core" Version)" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "the two packages have different versions"
for f in usr/games/mazeblast usr/games/mazeblast-sim usr/share/applications/org.rmo.Mazeblast.desktop \
         usr/share/metainfo/org.rmo.Mazeblast.metainfo.xml usr/share/man/man6/mazeblast.6.gz \
         usr/share/man/man6/mazeblast-sim.6.gz usr/share/doc/mazeblast/copyright \
         usr/share/doc/mazeblast/changelog.gz \
         usr/share/icons/hicolor/16x16/apps/org.rmo.Mazeblast.png \
         usr/share/icons/hicolor/256x256/apps/org.rmo.Mazeblast.png; do
  [ -e "$scratch/root/$f" ] || fail "$f is not in the package"
done
grep -q '^Exec=mazeblast$' "$scratch/root/usr/share/applications/org.rmo.Mazeblast.desktop" ||
  fail "the desktop entry does not start mazeblast"
dpkg-deb -f "$deb" Depends | grep -q libsdl2-2.0-0 || fail "the package does not depend on SDL2"
# One version: the package's is the one the program and its metadata give.
version=$(dpkg-deb -f "$deb" Version)
[ "$("$scratch/root/usr/games/mazeblast" --version)" = "mazeblast $version" ] || fail "--version is not $version"
grep -q "release version=\"$version\"" "$scratch/root/usr/share/metainfo/org.rmo.Mazeblast.metainfo.xml" ||
  fail "the metadata's release is not $version"
zcat "$scratch/root/usr/share/man/man6/mazeblast.6.gz" | grep -q "RMO Mazeblast $version" ||
  fail "the manual page's version is not $version"

"$scratch/root/usr/games/mazeblast" &
pid=$!
win=$(await_window)
[ -n "$win" ] || { kill $pid; fail "the installed game opened no window"; }
"$closer" "$win"
wait $pid || fail "the installed game ended with status $?"
echo "installed from $(basename "$deb"): window seen, closed cleanly"
