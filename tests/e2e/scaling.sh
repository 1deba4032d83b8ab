#!/usr/bin/env bash
# Whole-number scales: with --integer-scale on a 2560 x 1440 screen the window opens at
# twice the size, scales its picture pixel for pixel with black borders when resized, and F11
# switches fullscreen and back; --scale 2 shows the same picture without it; --scale 3 opens
# at three times, --fullscreen over the whole screen.
set -u
game=$1 closer=$2
. "$(dirname "$0")/lib.sh"
under_xvfb 2560x1440 "$@"

# A window manager, which fullscreen needs.
openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5

size() { xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
# doubled: the start button's face, logical pixel (355, 285), is the 2 x 2 block at (710, 570).
doubled() {
  read -r wx wy < <(origin "$win")
  for d in "0 0" "1 1"; do
    set -- $d
    wait_pixel $((wx + 710 + $1)) $((wy + 570 + $2)) 0,255,0 || fail "start button not doubled"
  done
}

"$game" --scale 2 &
pid=$!
trap 'kill $pid $wm 2>/dev/null' EXIT
win=$(await_window)
[ -n "$win" ] || fail "no window"
[ "$(size)" = "1698x1130" ] || fail "--scale 2 did not open at scale 2: $(size)"
sleep 0.5
doubled
"$closer" "$win"
wait $pid || fail "the game with --scale 2 ended with status $?"
echo "--scale 2: the picture pixel for pixel at twice its size"

"$game" --integer-scale &
pid=$!
win=$(await_window)
[ -n "$win" ] || fail "no window"
[ "$(size)" = "1698x1130" ] || fail "--integer-scale did not open at scale 2: $(size)"
sleep 0.5
doubled

# Resized: still scale 2, the picture in the middle, black around it.
xdotool windowsize "$win" 1900 1300
sleep 0.7
read -r wx wy < <(origin "$win")
[ "$(size)" = "1900x1300" ] || fail "window not resized: $(size)"
ox=$(( (1900 - 1698) / 2 )) oy=$(( (1300 - 1130) / 2 ))
wait_pixel $((wx + ox + 711)) $((wy + oy + 571)) 0,255,0 || fail "picture not centred at scale 2"
wait_pixel $((wx + ox + 120)) $((wy + oy + 248)) 192,0,0 || fail "pillar not where scale 2 puts it"
wait_pixel $((wx + 40)) $((wy + 650)) 0,0,0 || fail "left border not black"
wait_pixel $((wx + 950)) $((wy + 30)) 0,0,0 || fail "top border not black"
echo "letterboxed at scale 2 in 1900 x 1300"

# F11: fullscreen over the whole screen, then back.
xdotool windowfocus --sync "$win" key F11
sleep 0.7
[ "$(size)" = "2560x1440" ] || fail "F11 did not go fullscreen: $(size)"
xdotool key F11
sleep 0.7
[ "$(size)" != "2560x1440" ] || fail "F11 did not come back from fullscreen"
echo "F11 switched fullscreen and back"

"$closer" "$win"
wait $pid
status=$?
[ $status -eq 0 ] || fail "the game ended with status $status"

# The command line: a scale of the player's choosing, and fullscreen from the start.
for run in "--scale 3:2547x1695" "--fullscreen:2560x1440"; do
  "$game" ${run%%:*} &
  pid=$!
  win=$(await_window)
  [ -n "$win" ] || fail "no window with ${run%%:*}"
  sleep 0.7
  [ "$(size)" = "${run##*:}" ] || fail "${run%%:*} opened $(size), not ${run##*:}"
  echo "${run%%:*}: $(size)"
  "$closer" "$win"
  wait $pid || fail "the game with ${run%%:*} ended with status $?"
done
kill $wm 2>/dev/null
trap - EXIT
echo "scaling test passed"
