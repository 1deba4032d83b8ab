# Helpers for the tests that run the real game in an X server (sourced under xvfb-run).

# pixel X Y: the colour of the screen pixel at (X, Y) as "R,G,B".
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 rgb:- 2>/dev/null | od -An -tu1 | awk '{print $1","$2","$3}'
}

# find_window: waits for the game's window and prints its id.
find_window() {
  xdotool search --sync --onlyvisible --name '^RMO Mazeblast$' 2>/dev/null | head -n 1
}

# origin ID: prints the window's top-left corner on the screen as "X Y".
origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
