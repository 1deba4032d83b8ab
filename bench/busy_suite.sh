#!/usr/bin/env bash
# The test command as CI runs it, from a fresh clone of this checkout's main, beside two busy
# loops that keep both cores of a 2-core machine busy for the whole run: every timing bound
# of the suite must hold there.
#   bash bench/busy_suite.sh [RUNS]     (3 by default; stops at the first that fails)
set -u
runs=${1:-3}
top=$(cd "$(dirname "$0")/.." && pwd)
for run in $(seq "$runs"); do
  dir=$(mktemp -d)
  git clone -q "$top" "$dir/clone"
  (while :; do :; done) &
  one=$!
  (while :; do :; done) &
  two=$!
  start=$(date +%s)
  (cd "$dir/clone" && bash .ci/run >"$dir/log" 2>&1 </dev/null)
  status=$?
  kill $one $two
  echo "run $run: status $status in $(($(date +%s) - start)) s; stages:"
  grep -E '^=== |^--- .* ended at|^FAIL|\*\*\*Failed' "$dir/log" | sed 's/^/  /'
  [ "$status" -eq 0 ] || { echo "its log: $dir/log"; exit "$status"; }
  rm -rf "$dir"
done
