#!/usr/bin/env bash
# Recording and replaying the real window: a session played for a minute by random keys
# (walks, bombs, pauses, a focus loss, a quit and a new game) is recorded; the scripted driver
# verifies every check of it, and the window plays it again, eight times as fast, to "replay
# verified"; its link verifies in both. A second session killed outright halfway keeps all but
# its last second and replays to its end.
set -u
game=$1 sim=$2 closer=$3
. "$(dirname "$0")/lib.sh"
under_xvfb 1280x800 "$@"

dir=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$dir"' EXIT

# play SECONDS: random keys at the focused game window for that long.
play() {
  local end=$((SECONDS + $1)) keys=(Left Right Up Down) held=""
  while [ $SECONDS -lt $end ]; do
    case $((RANDOM % 20)) in
      0 | 1 | 2 | 3 | 4 | 5)
        [ -n "$held" ] && xdotool keyup "$held"
        held=${keys[$((RANDOM % 4))]}
        xdotool keydown "$held" ;;
      6 | 7) [ -n "$held" ] && xdotool keyup "$held"; held="" ;;
      8 | 9 | 10) xdotool key space ;;
      11) xdotool key p; sleep 0.3; xdotool key p ;;
      12 | 13) xdotool key Return ;;  # presses whatever button is shown
      *) ;;
    esac
    sleep 0.$((RANDOM % 4))
  done
  [ -n "$held" ] && xdotool keyup "$held"
}

# record FILE: a recording game, and its window once it shows.
record() {
  "$game" --record "$1" --scale 1 &
  pids+=($!)
  pid=$!
  win=$(await_window)
  [ -n "$win" ] || fail "no game window appeared"
  xdotool windowfocus --sync "$win"
}

record "$dir/session.mzr"
xdotool key Return  # Start the game
play 25
# The player looks elsewhere: another window takes the focus, and gives it back.
xmessage -geometry +900+600 elsewhere &
pids+=($!)
other=$(timeout 60 bash -c 'xdotool search --sync --onlyvisible --name "^xmessage$" | head -n 1')
[ -n "$other" ] && xdotool windowfocus --sync "$other"
sleep 1
xdotool windowfocus --sync "$win"
xdotool key p  # the game paused when the focus went: P resumes
play 10
# A quit, and a new game. Q is lost while a button is up (a life just lost): Enter takes that
# one first. The recording, flushed at every screen change, tells when the new game began.
for _ in $(seq 8); do
  grep -q 'click Cmdnew' "$dir/session.mzr" && break
  xdotool key q
  sleep 0.6
  xdotool key Return
  sleep 0.6
done
play 25
"$closer" "$win"
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "the recording game did not end when its window was closed"
wait $pid || fail "the recording game ended with status $?"

lines=$(wc -l <"$dir/session.mzr") size=$(wc -c <"$dir/session.mzr")
echo "recorded: $lines lines, $size bytes; $(grep -c ' press ' "$dir/session.mzr") presses," \
  "$(grep -c ' click ' "$dir/session.mzr") clicks, $(grep -c ' focus 0' "$dir/session.mzr") focus losses," \
  "$(grep -c 'click Cmdcont$' "$dir/session.mzr") lives lost and played on," \
  "$(grep -c 'click Cmdnew' "$dir/session.mzr") new games"
grep -q ' focus 0' "$dir/session.mzr" || fail "no focus loss in the recording"
grep -q 'click Cmdnew' "$dir/session.mzr" || fail "no new game in the recording"
tail -n 1 "$dir/session.mzr" | grep -q ' end$' || fail "the recording has no end line"

verdict=$("$sim" --replay "$dir/session.mzr")
status=$?
echo "mazeblast-sim: $verdict"
[ $status -eq 0 ] || fail "mazeblast-sim --replay: status $status"
checks=$(echo "$verdict" | sed -n 's/^replay verified: \([0-9]*\) checks$/\1/p')
[ -n "$checks" ] && [ "$checks" -ge 60 ] || fail "not verified with a check a second: $verdict"

# The window plays it eight times as fast, with its sounds, to the same verdict.
start=$SECONDS
shown=$(timeout 60 "$game" --replay "$dir/session.mzr" --scale 1 --speed 8)
status=$?
echo "mazeblast --replay --speed 8: $shown ($((SECONDS - start)) s)"
[ $status -eq 0 ] || fail "mazeblast --replay: status $status"
[ "$shown" = "$verdict" ] || fail "the window's verdict differs from the driver's"

# Its link, as the page makes it: checked by the driver and watched in the window alike.
link=$("$sim" --link "$dir/session.mzr") || fail "mazeblast-sim --link: status $?"
seconds=$(tail -n 1 "$dir/session.mzr" | awk '{print $2}')
echo "the link: ${#link} characters for $seconds s of play," \
  "$(awk -v n=${#link} -v s="$seconds" 'BEGIN {printf "%.0f", n * 60 / s}') a minute"
per_minute=$(awk -v n=${#link} -v s="$seconds" 'BEGIN {printf "%d", n * 60 / s}')
[ "$per_minute" -le 700 ] || fail "the link takes $per_minute characters a minute (at most 700)"
linked=$("$sim" --replay "https://rmo.invalid/mazeblast/$link")
[ $? -eq 0 ] && [ "${linked#replay verified: }" != "$linked" ] || fail "the link: $linked"
shown=$(timeout 60 "$game" --replay "$link" --scale 1 --speed 8)
[ $? -eq 0 ] && [ "$shown" = "$linked" ] || fail "the window on the link: '$shown', not '$linked'"
echo "the link verified natively and in the window: $linked"

# Watching steers: P holds it, + and - double and halve its speed (the title says both), Q
# ends it with what was verified so far.
"$game" --replay "$dir/session.mzr" --scale 1 >"$dir/watched" &
pid=$!
pids+=($pid)
win=$(await_window)
xdotool windowfocus --sync "$win"
sleep 1
title() { xprop -id "$win" WM_NAME | sed -n 's/.*= "\(.*\)"$/\1/p'; }
# titled WANT: the title says WANT within three seconds (at once, on a machine not busy).
titled() {
  for _ in $(seq 30); do [ "$(title)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}
xdotool key p
titled "RMO Mazeblast (replay at 1x, paused)" || fail "P did not hold the watching: $(title)"
xdotool key equal equal
titled "RMO Mazeblast (replay at 4x, paused)" || fail "+ did not double the speed: $(title)"
xdotool key minus p
titled "RMO Mazeblast (replay at 2x)" || fail "- did not halve the speed: $(title)"
xdotool key q
wait $pid || fail "Q ended the watching with status $?"
grep -Eq '^replay verified: [0-9]+ checks; the watching stopped at [0-9.]+ s$' "$dir/watched" ||
  fail "Q: $(cat "$dir/watched")"
# A recording that went its own way stops there, stays on the screen, and is status 1.
awk '/ check / && !done {sub(/check [0-9a-f]+/, "check 0123456789abcdef"); done = 1} 1' "$dir/session.mzr" >"$dir/changed.mzr"
"$game" --replay "$dir/changed.mzr" --scale 1 --speed 8 >"$dir/watched" &
pid=$!
pids+=($pid)
win=$(await_window)
for _ in $(seq 60); do [ -s "$dir/watched" ] && break; sleep 0.2; done
grep -Eq '^replay differs from the recording at [0-9]+\.[0-9]{3} s \(line [0-9]+\)$' "$dir/watched" ||
  fail "a changed recording: '$(cat "$dir/watched")'"
kill -0 $pid 2>/dev/null || fail "the window closed at the difference"
"$closer" "$win"
wait $pid
status=$?
[ $status -eq 1 ] || fail "a changed recording ended with status $status"
echo "watching: P held it, + and - changed its speed, Q ended it; a changed check:" \
  "$(cat "$dir/watched"), status 1"

# Killed outright halfway: every whole line stays, and it replays to its end.
record "$dir/killed.mzr"
xdotool key Return
play 12
kill -KILL $pid
wait $pid 2>/dev/null
verdict=$("$sim" --replay "$dir/killed.mzr")
status=$?
echo "killed halfway: $verdict"
[ $status -eq 0 ] || fail "a killed game's recording: status $status"
echo "$verdict" | grep -Eq '^replay verified: [0-9]+ checks; the recording ends at [0-9]+\.[0-9]{3} s$' ||
  fail "a killed game's recording does not say where it ends"
ends=$(echo "$verdict" | sed 's/.* at \([0-9]*\)\..*/\1/')
[ "$ends" -ge 9 ] || fail "a killed game kept only $ends s of its 12"
echo "replay test passed"
