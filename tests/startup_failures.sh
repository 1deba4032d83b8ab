#!/usr/bin/env bash
# With no display, or no usable font, the game says so in one line and exits with status 1.
set -u
game=$1
check() {
  local what=$1 want=$2
  shift 2
  local err status
  err=$(env "$@" "$game" 2>&1 >/dev/null)
  status=$?
  [ "$status" -eq 1 ] || { echo "FAIL: $what: exit status $status"; exit 1; }
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "FAIL: $what: not one line: $err"; exit 1; }
  case "$err" in *"$want"*) ;; *) echo "FAIL: $what: said '$err'"; exit 1 ;; esac
  echo "$what: '$err', status $status"
}
check "no display" "cannot open the display" -u DISPLAY SDL_VIDEODRIVER=x11
# No window system and no driver chosen: no running on unseen, and no waiting either.
start=$(date +%s%N)
check "no window system" "cannot open the display: " -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER
took=$((($(date +%s%N) - start) / 1000000))
[ "$took" -lt 1000 ] || { echo "FAIL: no window system: took $took ms"; exit 1; }
conf=$(mktemp)
trap 'rm -f "$conf"' EXIT
printf '<?xml version="1.0"?>\n<fontconfig><dir>/nonexistent</dir></fontconfig>\n' >"$conf"
check "no fonts" "no usable font" FONTCONFIG_FILE="$conf" SDL_VIDEODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
