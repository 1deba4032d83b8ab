#!/usr/bin/env bash
# The command line as any Linux program's: --help and --version print and exit 0; a bad
# option or value is one line on standard error naming it and pointing to --help, status 2,
# and no window is tried (no display is given: trying one would end with status 1).
set -u
game=$1 version=$2
fail() { echo "FAIL: $*"; exit 1; }

out=$("$game" --help) || fail "--help ended with status $?"
for word in Usage --fullscreen --scale --mute --volume --version Space; do
  case "$out" in *"$word"*) ;; *) fail "--help does not mention $word" ;; esac
done
[ "$("$game" --version)" = "mazeblast $version" ] || fail "--version said '$("$game" --version)'"

for args in "--frobnicate" "--scale" "--scale 0" "--scale 9" "--scale two" "--scale=" "-x" \
            "--volume" "--volume 101" "--volume -1" "--volume loud" "--volume=" "--mute=1"; do
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game" $args 2>&1 >/dev/null)
  status=$?
  [ $status -eq 2 ] || fail "'$args': status $status"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "'$args': not one line: $err"
  case "$err" in "mazeblast: "*"(see --help)") ;; *) fail "'$args': said '$err'" ;; esac
  echo "'$args': $err"
done
echo "command line test passed"
