#!/usr/bin/env bash
# The libretro core and the sim need no library but the C and C++ runtime: the core loads in
# any RetroArch, wherever it runs, and the sim draws its screenshots anywhere.
#   needed_libraries.sh CORE SIM
set -u
status=0
for binary in "$@"; do
  needed=$(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
  echo "$(basename "$binary") needs: $needed"
  for lib in $needed; do
    case $lib in
      libc.so.* | libm.so.* | libstdc++.so.* | libgcc_s.so.* | ld-linux*) ;;
      *) echo "FAIL $(basename "$binary") needs $lib"; status=1 ;;
    esac
  done
done
exit $status
