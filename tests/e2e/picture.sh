#!/usr/bin/env bash
# The picture on a 1920 x 1080 screen: the window opens as large as the screen takes it with
# its frame, and in a window resized to 1300 x 900 and in fullscreen the picture fills the
# limiting side, every game pixel the same size (measured against the game's own picture,
# area-averaged to the screen) and every edge sharp (the pillars drawn at the screen's
# resolution, with no blended pixel at their edges); in fullscreen the screen is pixel for
# pixel the sim's picture of that screen; --integer-scale shows it at scale 1 there, pixel for
# pixel the game's own picture.
set -u
game=$1 sim=$2 closer=$3
. "$(dirname "$0")/lib.sh"
under_xvfb 1920x1080 "$@"

openbox >/dev/null 2>&1 &
wm=$!
dir=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" $wm 2>/dev/null; rm -rf "$dir"' EXIT
sleep 0.5

# The title screen as the game draws it at its own size, and where its sprites stand.
printf 'screenshot %s\nscreenshot-scaled 1920x1080 %s\ndump\n' "$dir/title.png" "$dir/full.png" |
  "$sim" >"$dir/title.json" || fail "mazeblast-sim"

# measure WHAT: the window's inside measured against the game's picture, as JSON.
measure() {
  local geometry x y w h
  read -r x y < <(origin "$win")
  read -r w h < <(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
  import -window root "$dir/screen.png"
  /usr/bin/python3 "$(dirname "$0")/../evenness.py" "$dir/screen.png" "$dir/title.png" \
    "$x" "$y" "$w" "$h" --sprites "$dir/title.json"
}
# judged WHAT JSON: fills at least 95 % of the limiting side, evenly and sharply.
judged() {
  echo "$1: $2"
  /usr/bin/python3 -c "
import json, sys
m = json.loads(sys.argv[1])
sys.exit(0 if m['share'] >= 0.95 and m['sprite_error'] < 0.02 and m['blended'] == 0 else 1)" "$2" ||
    fail "$1: not filled evenly and sharply"
}

"$game" &
pids+=($!)
win=$(await_window)
[ -n "$win" ] || fail "no window"
sleep 1
read -r fl fr ft fb < <(xprop -id "$win" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
read -r w h < <(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
[ $((h + ft + fb)) -le 1080 ] && [ $((w + fl + fr)) -le 1920 ] ||
  fail "the window ($w x $h, frame $fl $fr $ft $fb) runs past the screen"
[ $((h + ft + fb)) -ge 1075 ] || fail "the window opened at $w x $h, not as tall as the screen takes it"
judged "opened at $w x $h" "$(measure)"

xdotool windowsize "$win" 1300 900
sleep 0.7
judged "resized to 1300 x 900" "$(measure)"

xdotool windowfocus --sync "$win" key F11
sleep 0.7
judged "fullscreen" "$(measure)"
differ=$(compare -metric AE "$dir/screen.png" "$dir/full.png" null: 2>&1)
[ "$differ" = "0" ] || fail "fullscreen at 1080p: $differ pixels differ from the sim's picture of that screen"
echo "fullscreen at 1080p: pixel for pixel the sim's picture at that size"
"$closer" "$win"
wait "${pids[-1]}" || fail "the game ended with status $?"

# Whole numbers only: scale 1 on this screen, the game's own pixels with black around them.
"$game" --integer-scale --fullscreen &
pids+=($!)
win=$(await_window)
[ -n "$win" ] || fail "no window with --integer-scale"
sleep 1
import -window root "$dir/screen.png"
convert "$dir/screen.png" -crop "849x565+$(((1920 - 849) / 2))+$(((1080 - 565) / 2))" +repage \
  "$dir/whole.png"
differ=$(compare -metric AE "$dir/whole.png" "$dir/title.png" null: 2>&1)
[ "$differ" = "0" ] || fail "--integer-scale at 1080p: $differ pixels differ from the game's own picture"
wait_pixel 100 100 0,0,0 || fail "--integer-scale at 1080p: no black border"
echo "--integer-scale in fullscreen at 1080p: scale 1, pixel for pixel the game's own picture"
"$closer" "$win"
wait "${pids[-1]}" || fail "the game with --integer-scale ended with status $?"
echo "picture test passed"
