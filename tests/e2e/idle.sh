#!/usr/bin/env bash
# The still title screen makes no wake-ups of its own: once the game has settled, over five
# seconds its threads switch out of their own accord under once a second and use under 0.3 %
# of the wall time. A ticking timer costs 0.9 % and wakes it 60 times a second; a couple of
# repaints (about 2.5 ms each with software GL) stay well inside the bound.
# With "record" after the game, it records the session as it goes: still no wake-up.
set -u
game=$1 record=${2:-}
. "$(dirname "$0")/lib.sh"
under_xvfb 1280x800 "$@"

dir=$(mktemp -d)
args=()
[ "$record" = record ] && args=(--record "$dir/idle.mzr")
"$game" "${args[@]}" &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$dir"' EXIT
[ -n "$(await_window)" ] || fail "no window"

# CPU time in nanoseconds and voluntary switches, summed over every thread of the game.
cpu_ns() { cat /proc/$pid/task/*/schedstat | awk '{s += $1} END {print s}'; }
switches() { cat /proc/$pid/task/*/status | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s}'; }

# Settled: a quarter of a second in which the game used under a millisecond of CPU. On a
# machine with no shader cache yet the renderer's threads go on compiling and writing for a
# while after the window shows; a game that never settles is measured all the same, at 10 s.
settle_start=$(date +%s%N)
prev=$(cpu_ns)
for _ in $(seq 40); do
  sleep 0.25
  now=$(cpu_ns)
  [ $((now - prev)) -lt 1000000 ] && break
  prev=$now
done
echo "settled $((($(date +%s%N) - settle_start) / 1000000)) ms after the window showed"

c0=$(cpu_ns) s0=$(switches) t0=$(date +%s%N)
sleep 5
c1=$(cpu_ns) s1=$(switches) t1=$(date +%s%N)
cpu=$((c1 - c0)) wall=$((t1 - t0)) sw=$((s1 - s0))
echo "still title screen${args[*]:+ (recording)}: $((cpu / 1000)) us of CPU in $((wall / 1000000)) ms ($(awk "BEGIN {printf \"%.3f\", 100 * $cpu / $wall}") %), $sw voluntary switches"
[ $((cpu * 1000)) -lt $((3 * wall)) ] || fail "the still title screen used $cpu ns of CPU in $wall ns"
[ $((sw * 1000000000)) -lt "$wall" ] || fail "the still title screen woke $sw times"
echo "idle test passed"
