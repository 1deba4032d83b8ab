#!/usr/bin/env bash
# How long the refusals of input from strangers take on a quiet machine, the figures whose
# bounds tests/hostile_input.sh and tests/startup_failures.sh keep far above them so that a
# busy machine holds them:
#   bash bench/refusals.sh [BUILD]     (BUILD: build/release by default; build/sanitize too)
# Each figure is the median of five runs, in milliseconds.
set -u
build=${1:-build/release}
sim=$build/mazeblast-sim game=$build/mazeblast
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
head='# RMO Mazeblast replay, format 1, game 1.0.0'
echo "$head" >"$dir/big.mzr"
truncate -s 65M "$dir/big.mzr"

# median WHAT COMMAND...: the median of five runs of COMMAND, whatever it says.
median() {
  local what=$1 times=()
  shift
  for _ in 1 2 3 4 5; do
    local start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    times+=($((($(date +%s%N) - start) / 1000000)))
  done
  printf '%-48s %6d ms   (%s)\n' "$what" "$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)" "${times[*]}"
}

median "a file of 65 MB, to mazeblast-sim" "$sim" --replay "$dir/big.mzr"
median "a file of 65 MB, to the game" env -u DISPLAY SDL_VIDEODRIVER=x11 "$game" --replay "$dir/big.mzr"
median "300 MB of lines on standard input" \
  bash -c "{ echo '$head'; yes 'at 0.000001 press 32' | head -c 300M; } | '$sim'"
median "a link that unpacks past 64 MB" "$sim" --replay "$(dirname "$0")/../tests/replays/hostile.link"
median "no window system, to the game" env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game"
