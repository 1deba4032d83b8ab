#!/usr/bin/env bash
# The libretro core on every CPU RetroArch's players have: built for 64-bit and 32-bit ARM
# Linux and for Windows (the core-* presets), each run by the tests' frontend for its own
# CPU (under qemu-user and wine64) through the same game as on x86-64, with the same state,
# picture and sound every second of it; a state saved on x86-64 plays on in the 32-bit ARM
# and the Windows cores, and one saved on 32-bit ARM in x86-64's, to the same lines. Each
# core needs nothing but the C and C++ runtime.
#   cores.sh NATIVE_BUILD ARM64_BUILD ARMHF_BUILD WINDOWS_BUILD
set -u
native=$1 arm64=$2 armhf=$3 windows=$4
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
# Wine's server keeps the prefix until it ends: it is waited for.
trap 'WINEPREFIX=$dir/wine /usr/lib/wine/wineserver -w 2>/dev/null; rm -rf "$dir"' EXIT
export MAZEBLAST_LIBRETRO_SEED=7 WINEDEBUG=-all WINEPREFIX=$dir/wine
frames=1500
status=0
fail() {
  echo "FAIL $*"
  status=1
}

bash "$here/needed_libraries.sh" "$arm64/mazeblast_libretro.so" "$armhf/mazeblast_libretro.so" \
  "$windows/mazeblast_libretro.dll" || status=1

# on CPU COMMAND...: the frontend's check on that CPU.
on() {
  local cpu=$1
  shift
  case $cpu in
    x86-64) "$native/core_check" "$native/mazeblast_libretro.so" "$@" ;;
    arm64) qemu-aarch64 -L /usr/aarch64-linux-gnu "$arm64/core_check" "$arm64/mazeblast_libretro.so" "$@" ;;
    armhf) qemu-arm -L /usr/arm-linux-gnueabihf "$armhf/core_check" "$armhf/mazeblast_libretro.so" "$@" ;;
    windows) /usr/lib/wine/wine64 "$windows/core_check.exe" "$windows/mazeblast_libretro.dll" "$@" 2>/dev/null |
      tr -d '\r' ;;
  esac
}

on x86-64 $frames --save 600 "$dir/x86-64.state" >"$dir/x86-64" || fail "the x86-64 check did not run"
for cpu in arm64 armhf windows; do
  start=$(date +%s%N)
  on $cpu $frames >"$dir/$cpu"
  took=$((($(date +%s%N) - start) / 10000000))
  if cmp -s "$dir/x86-64" "$dir/$cpu"; then
    echo "ok   $cpu: $frames frames, the same state, picture and sound as x86-64 at each of $(wc -l <"$dir/$cpu") seconds (in $((took / 100)).$((took / 10 % 10)) s)"
  else
    fail "$cpu: not x86-64's game: $(diff "$dir/x86-64" "$dir/$cpu" | head -3 | tr '\n' ' ')"
  fi
done
awk '$2 > 600' "$dir/x86-64" >"$dir/after"
for move in "x86-64 armhf" "x86-64 windows" "armhf x86-64"; do
  read -r from to <<<"$move"
  file=$dir/$from.state
  [ "$from" = armhf ] && on armhf 600 --save 600 "$file" >/dev/null
  [ "$to" = windows ] && file="Z:${file//\//\\}"  # the file by its Windows name
  if on "$to" $frames --load 600 "$file" | cmp -s - "$dir/after"; then
    echo "ok   a state saved on $from plays on in the $to core to x86-64's game"
  else
    fail "a state saved on $from does not play on in the $to core as on x86-64"
  fi
done
[ $status -eq 0 ] && echo "the core on every CPU: passed"
exit $status
