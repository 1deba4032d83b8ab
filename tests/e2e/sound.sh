#!/usr/bin/env bash
# The window's sound, on SDL's disk audio driver, which writes the mixed output to a file in
# real time: the countdown and a bomb are heard in it; after M nothing more is; and with no
# audio device at all the game says so once and plays on.
set -u
game=$1 closer=$2
. "$(dirname "$0")/lib.sh"
under_xvfb 1280x800 "$@"
scratch=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$scratch"' EXIT
out=$scratch/out.raw

# How many samples of the file from sample $2 on are not silent.
loud() { od -An -v -td2 -w2 -j $(($2 * 2)) "$1" | awk '$1 > 300 || $1 < -300 {n++} END {print n + 0}'; }
samples() { echo $(($(stat -c %s "$1") / 2)); }

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$out "$game" --scale 1 2>"$scratch/err" &
pid=$!
win=$(await_window)
[ -n "$win" ] || fail "no window"
read -r wx wy < <(origin "$win")
sleep 0.5
[ ! -s "$out" ] || fail "sound before anything happened"
xdotool mousemove $((wx + 420)) $((wy + 300)) click 1
sleep 4.5  # the countdown, then play
[ -s "$out" ] || fail "no sound at all"
counted=$(loud "$out" 0)
[ "$counted" -gt 24000 ] || fail "only $counted loud samples from the countdown"
from=$(samples "$out")
xdotool windowfocus --sync "$win" key space
sleep 2    # the fuse, the burst
heard=$(loud "$out" "$from")
[ "$heard" -gt 12000 ] || fail "only $heard loud samples after the bomb was dropped"
echo "countdown: $counted loud samples; the bomb and its burst: $heard more"

# M: whatever comes after it is silent.
xdotool key m
sleep 0.2
from=$(samples "$out")
xdotool key q  # quit: a sound, were it not muted
sleep 1
after=$(loud "$out" "$from")
[ "$after" -eq 0 ] || fail "$after loud samples after M"
echo "after M: $(($(samples "$out") - from)) samples written, none loud"
"$closer" "$win"
wait $pid || fail "the game ended with status $?"
[ ! -s "$scratch/err" ] || fail "the game said: $(cat "$scratch/err")"

# No audio device: one line, and the game plays on.
SDL_AUDIODRIVER=nosuchdevice "$game" --scale 1 2>"$scratch/err" &
pid=$!
win=$(await_window)
[ -n "$win" ] || fail "no window without a sound device"
read -r wx wy < <(origin "$win")
sleep 0.5
xdotool mousemove $((wx + 420)) $((wy + 300)) click 1
sleep 4.5
xdotool windowfocus --sync "$win" key space
sleep 0.5
xdotool key q
sleep 0.3
wait_pixel $((wx + 355)) $((wy + 531)) 0,255,255 || fail "no New game button without sound"
"$closer" "$win"
wait $pid || fail "the game without sound ended with status $?"
[ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "not one line: $(cat "$scratch/err")"
grep -q '^mazeblast: no sound: ' "$scratch/err" || fail "said: $(cat "$scratch/err")"
echo "without a device: '$(cat "$scratch/err")', and the game played on"
echo "sound test passed"
