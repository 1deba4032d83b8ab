# Helpers for the tests that run the real game in an X server.

# under_xvfb WIDTHxHEIGHT "$@": runs the calling test again in a new Xvfb screen of that size
# when no display is set.
under_xvfb() {
  if [ -z "${DISPLAY:-}" ]; then
    local size=$1
    shift
    exec xvfb-run -a -s "-screen 0 ${size}x24" bash "$0" "$@"
  fi
}

# pixel X Y: the colour of the screen pixel at (X, Y) as "R,G,B".
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 rgb:- 2>/dev/null | od -An -tu1 | awk '{print $1","$2","$3}'
}

# wait_pixel X Y COLOUR: true once the screen pixel at (X, Y) is COLOUR ("R,G,B"), within five
# seconds: a machine busy with other work may take a while to show the next frame.
wait_pixel() {
  local end=$((SECONDS + 5))
  until [ "$(pixel "$1" "$2")" = "$3" ]; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# find_window: waits for the game's window and prints its id.
find_window() {
  xdotool search --sync --onlyvisible --name '^RMO Mazeblast( \(replay.*\))?$' 2>/dev/null | head -n 1
}

# await_window: the game's window once it shows, or nothing after a minute (a window takes a
# few seconds to come on a machine with both cores busy).
await_window() {
  timeout 60 bash -c "$(declare -f find_window); find_window"
}

# origin ID: prints the window's top-left corner on the screen as "X Y".
origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# red_x X Y W H: the mean x of the pure red pixels in that screen rectangle (the player is
# red), or nothing if there are none.
red_x() {
  import -window root -crop "$3x$4+$1+$2" -depth 8 txt:- 2>/dev/null |
    awk -F'[,:]' '/#FF0000/ {sum += $1; n++} END {if (n) printf "%d\n", sum / n}'
}

# enemy_at X Y W H: the mean position "x y" of the enemy colours (amber, green, magenta) in
# that screen rectangle, or nothing.
enemy_at() {
  import -window root -crop "$3x$4+$1+$2" -depth 8 txt:- 2>/dev/null |
    awk -F'[,:]' '/#F8BF24|#00FF00|#FF00FF/ {x += $1; y += $2; n++} END {if (n) printf "%d %d\n", x / n, y / n}'
}
