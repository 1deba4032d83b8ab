#!/usr/bin/env bash
# run_scenario.sh SIM SCRIPT: runs SCRIPT through the sim (seed from a "# seed N" line, else 1)
# and compares standard output, and any errors, with SCRIPT's .out file.
set -u
sim=$1 script=$2 expected=${2%.sim}.out
seed=$(sed -n 's/^# seed \([0-9]\+\)$/\1/p' "$script" | head -n 1)
actual=$(cd "$(dirname "$script")" && "$sim" --seed "${seed:-1}" < "$script" 2>&1; echo "exit $?")
if ! diff -u "$expected" <(printf '%s\n' "$actual"); then
  echo "scenario $(basename "$script"): output differs from $(basename "$expected")"
  exit 1
fi
