#!/usr/bin/env bash
# Replays from strangers, given to the scripted driver and the game: a file larger than any
# recording, a stream of lines past it on standard input, a link that unpacks past any
# recording, a script line of megabytes. Each is one line, at once, and nothing else happens.
# The times are printed; the bounds are far above what a quiet machine takes (the sanitizer
# build's reading of 64 MB takes 4 to 6 s there, the release build's half a second; 31 s in
# the sanitizer build beside all the other tests and two busy loops), so that a slow one with
# both cores busy holds them: they catch a reading that has no end.
set -u
sim=$1 game=$2
fail() { echo "FAIL: $*"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
head='# RMO Mazeblast replay, format 1, game 1.0.0'

# refused WHAT WANT MS COMMAND...: status 1, the one line WANT on standard error, within MS.
refused() {
  local what=$1 want=$2 most=$3
  shift 3
  local start err status took
  start=$(date +%s%N)
  err=$("$@" 2>&1 >/dev/null)
  status=$?
  took=$((($(date +%s%N) - start) / 1000000))
  [ $status -eq 1 ] || fail "$what: status $status"
  [ "$err" = "$want" ] || fail "$what: said '$err'"
  [ $took -lt "$most" ] || fail "$what: took $took ms (at most $most)"
  echo "$what: '$err' in $took ms"
}

{ echo "$head"; } >"$dir/big.mzr"
truncate -s 65M "$dir/big.mzr"
refused "a file of 65 MB" "mazeblast-sim: $dir/big.mzr is larger than any recording (64 MB)" 5000 \
  "$sim" --replay "$dir/big.mzr"
refused "a file of 65 MB, to the game" "mazeblast: $dir/big.mzr is larger than any recording (64 MB)" 5000 \
  env -u DISPLAY SDL_VIDEODRIVER=x11 "$game" --replay "$dir/big.mzr"

# 300 MB of lines on standard input: read as they come, as far as the largest recording.
refused "300 MB of lines on standard input" \
  "mazeblast-sim: standard input is larger than any recording (64 MB)" 120000 \
  bash -c "{ echo '$head'; yes 'at 0.000001 press 32' | head -c 300M; } | '$sim'"

# A link of 50,000 characters that would unpack past any recording (made by web/hostile_link.py),
# in a file; and a link of the form made before this one, never released.
link=$(dirname "$0")/replays/hostile.link
refused "a link of $(wc -c <"$link") characters that unpacks past 64 MB" \
  "mazeblast-sim: the link is larger than any recording (64 MB)" 120000 "$sim" --replay "$link"
refused "a link of the text deflated" \
  "mazeblast-sim: the link holds no replay: a link of format 1, not one this game reads (2)" 5000 \
  "$sim" --replay "#replay=s8koyc2x4wIA"

# A script line of 8 MB: said, skipped, and the script goes on.
out=$({ head -c 8M /dev/zero | tr '\0' x; echo; echo 'get score'; } | "$sim" 2>"$dir/err")
status=$?
[ $status -eq 1 ] && [ "$out" = "score 0" ] && [ "$(cat "$dir/err")" = "line 1: longer than any command (1 MB)" ] ||
  fail "a script line of 8 MB: status $status, '$out', '$(cat "$dir/err")'"
echo "a script line of 8 MB: '$(cat "$dir/err")', and the next line ran"
echo "hostile input test passed"
