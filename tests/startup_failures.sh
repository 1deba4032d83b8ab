#!/usr/bin/env bash
# With no display, or a recording it cannot make or play, the game says so
# in one line and exits with status 1; a recording is settled before any window opens.
set -u
game=$1
check() {
  local what=$1 want=$2
  shift 2
  local err status
  err=$(env "$@" "${args[@]}" 2>&1 >/dev/null)
  status=$?
  [ "$status" -eq 1 ] || { echo "FAIL: $what: exit status $status"; exit 1; }
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "FAIL: $what: not one line: $err"; exit 1; }
  case "$err" in *"$want"*) ;; *) echo "FAIL: $what: said '$err'"; exit 1 ;; esac
  echo "$what: '$err', status $status"
}
args=("$game")
check "no display" "cannot open the display" -u DISPLAY SDL_VIDEODRIVER=x11
# No window system and no driver chosen: no running on unseen, and no waiting either.
start=$(date +%s%N)
check "no window system" "cannot open the display: " -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER
took=$((($(date +%s%N) - start) / 1000000))
# A few milliseconds on a quiet machine; seconds would mean it waited for a display.
echo "no window system: refused in $took ms"
[ "$took" -lt 5000 ] || { echo "FAIL: no window system: took $took ms"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Recordings: with no display at all, a line about the display would mean a window was tried.
head='# RMO Mazeblast replay, format 1, game 1.0.0'
replay() {
  printf '%s\n' "$2" >"$dir/$1.mzr"
  args=("$game" --replay "$dir/$1.mzr")
  check "replay of $1" "$3" -u DISPLAY SDL_VIDEODRIVER=x11
}
replay "another file" '<!doctype html>' "another file.mzr, line 1: not a replay of RMO Mazeblast"
replay "a newer format" '# RMO Mazeblast replay, format 7, game 9.0.0' "line 1: a replay of format 7, newer"
replay "a broken line" "$head"$'\nseed 3\nat 1.0 pess 39' "broken line.mzr, line 3: 'pess' is no command"
replay "a bad hash" "$head"$'\nat 1.0 check 12zz' "line 2: bad state hash '12zz'"
replay "times running backwards" "$head"$'\nat 2.0 press 39\nat 1.0 release 39' "line 3: time runs backwards"
replay "a refused value" "$head"$'\nat 1.0 press 999' "line 2: bad key code '999'"
args=("$game" --replay "$dir/none.mzr")
check "replay of no file" "cannot read $dir/none.mzr: No such file or directory" -u DISPLAY
args=("$game" --replay "$dir")
check "replay of a folder" "cannot read $dir: Is a directory" -u DISPLAY
touch "$dir/kept.mzr"
args=("$game" --record "$dir/kept.mzr")
check "recording over a file" "the file exists (--force replaces it)" -u DISPLAY
[ -s "$dir/kept.mzr" ] && { echo "FAIL: the existing file was written"; exit 1; }
args=("$game" --record "$dir/no/such/folder.mzr")
check "recording where nothing can be written" "cannot record to $dir/no/such/folder.mzr" -u DISPLAY
args=("$game" --record /dev/full --force)
check "recording to a full disk" "cannot record to /dev/full: No space left on device" \
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
