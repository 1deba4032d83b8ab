#!/usr/bin/env bash
# The still title screen makes no wake-ups of its own: over five seconds the game's threads
# use under 0.1 % of the wall time and switch out of their own accord under twice a second.
set -u
game=$1
. "$(dirname "$0")/lib.sh"
under_xvfb 1280x800 "$@"

"$game" &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
[ -n "$(timeout 20 bash -c "$(declare -f find_window); find_window")" ] || fail "no window"
sleep 1  # the first frames, the fonts, the window manager's first events

# CPU time in nanoseconds and voluntary switches, summed over every thread of the game.
cpu_ns() { cat /proc/$pid/task/*/schedstat | awk '{s += $1} END {print s}'; }
switches() { cat /proc/$pid/task/*/status | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s}'; }
c0=$(cpu_ns) s0=$(switches) t0=$(date +%s%N)
sleep 5
c1=$(cpu_ns) s1=$(switches) t1=$(date +%s%N)
cpu=$((c1 - c0)) wall=$((t1 - t0)) sw=$((s1 - s0))
echo "still title screen: $((cpu / 1000)) us of CPU in $((wall / 1000000)) ms ($(awk "BEGIN {printf \"%.3f\", 100 * $cpu / $wall}") %), $sw voluntary switches"
[ $((cpu * 1000)) -lt "$wall" ] || fail "the still title screen used $cpu ns of CPU in $wall ns"
[ $((sw * 1000000000)) -lt $((2 * wall)) ] || fail "the still title screen woke $sw times"
echo "idle test passed"
