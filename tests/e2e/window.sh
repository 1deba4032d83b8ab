#!/usr/bin/env bash
# The real game in a real X window under Xvfb: it opens with its title, size and class, a real click
# starts the game, the held right arrow walks the player right, Q ends the game with "New
# game", in a new game an enemy is seen moving, and closing the window ends the process with
# status 0.
set -u
game=$1 closer=$2
. "$(dirname "$0")/lib.sh"
under_xvfb 1280x800 "$@"

# At the picture's own size, so that its pixels are the screen's.
"$game" --scale 1 &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
win=$(await_window)
[ -n "$win" ] || fail "no window titled 'RMO Mazeblast' appeared"
geometry=$(xwininfo -id "$win")
echo "$geometry" | grep -q 'Width: 849' || fail "client width is not 849: $geometry"
echo "$geometry" | grep -q 'Height: 565' || fail "client height is not 565: $geometry"
read -r wx wy < <(origin "$win")
# Docks group the window with its launcher by the window's class.
class=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../data/org.rmo.Mazeblast.desktop")
xprop -id "$win" WM_CLASS | grep -q "\"$class\"\$" || fail "window class $(xprop -id "$win" WM_CLASS), not $class"

# The start button's face is green until a real click presses it.
sleep 0.5
wait_pixel $((wx + 355)) $((wy + 285)) 0,255,0 || fail "no green start button"
xdotool mousemove $((wx + 420)) $((wy + 300)) click 1
sleep 0.5
wait_pixel $((wx + 355)) $((wy + 285)) 0,0,0 || fail "the start button is still shown"

# After "GO!" the player stands at the start cell; held right, he walks right.
# Row 12 from column 8 to 16 never holds a wall (bricks are red too).
row_y=$((wy + 472)) row_x=$((wx + 280))
before=""
for _ in $(seq 80); do
  before=$(red_x $row_x $row_y 288 33)
  [ -n "$before" ] && break
  sleep 0.1
done
[ -n "$before" ] || fail "no player at the start cell after GO!"
xdotool windowfocus --sync "$win" keydown Right
sleep 0.5
xdotool keyup Right
# Seen once the window has shown his steps: a busy machine may take a while.
for _ in $(seq 50); do
  after=$(red_x $row_x $row_y 288 33)
  [ -n "$after" ] && [ "$after" -gt $((before + 40)) ] && break
  sleep 0.1
done
[ -n "$after" ] && [ "$after" -gt $((before + 40)) ] || fail "the player did not walk right ($before -> $after)"

echo "player walked right: mean x $before -> $after"

# Q ends the game with "New game". An enemy may have caught the player on his walk: Q waits
# for the death's last frame, so "Play next life" is pressed first and Q pressed again.
new_game_after_q() {
  for _ in 1 2 3; do
    xdotool key q
    sleep 0.3
    [ "$(pixel $((wx + 355)) $((wy + 531)))" = "0,255,255" ] && return 0
    for _ in $(seq 40); do
      [ "$(pixel $((wx + 355)) $((wy + 347)))" = "255,128,0" ] && break
      sleep 0.1
    done
    xdotool mousemove $((wx + 420)) $((wy + 360)) click 1  # Play next life
    sleep 4.3
  done
  return 1
}
new_game_after_q || fail "no cyan New game button after Q"

# A new game, in which an enemy is watched.
xdotool mousemove $((wx + 400)) $((wy + 540)) click 1  # New game
sleep 0.3
xdotool mousemove $((wx + 420)) $((wy + 300)) click 1  # Start the game
sleep 4.3
# The level's enemy moves: a later screenshot of the field finds it elsewhere. An enemy can
# stand stuck for a while (a walker in a dead end waits for a new direction), so a game in
# which it does not move for five seconds is quit and a new one started, up to four times.
enemy_moves() {
  local first later
  first=$(enemy_at $((wx + 24)) $((wy + 88)) 800 416)
  for _ in $(seq 20); do
    sleep 0.25
    later=$(enemy_at $((wx + 24)) $((wy + 88)) 800 416)
    if [ -n "$first" ] && [ -n "$later" ] && [ "$first" != "$later" ]; then
      moved="$first -> $later"
      return 0
    fi
  done
  return 1
}
moved=""
for attempt in 1 2 3 4; do
  enemy_moves && break
  xdotool key q
  sleep 0.3
  xdotool mousemove $((wx + 420)) $((wy + 360)) click 1  # Play next life, if caught meanwhile
  sleep 0.3
  xdotool key q
  sleep 0.3
  xdotool mousemove $((wx + 400)) $((wy + 540)) click 1  # New game
  sleep 0.3
  xdotool mousemove $((wx + 420)) $((wy + 300)) click 1  # Start the game
  sleep 4.3
done
[ -n "$moved" ] || fail "no enemy seen moving"
echo "enemy moved: $moved"

"$closer" "$win"
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "the game did not end when its window was closed"
wait $pid
status=$?
trap - EXIT
[ $status -eq 0 ] || fail "the game ended with status $status"
echo "window test passed"
