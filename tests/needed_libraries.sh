#!/usr/bin/env bash
# The libretro core and the sim need no library but the C and C++ runtime: the core loads in
# any RetroArch, wherever it runs (Linux on any CPU, Windows), and the sim draws its
# screenshots anywhere. A core shows only its retro_ entry points, and none asks for an
# executable stack.
#   needed_libraries.sh FILE...   (ELF programs and shared libraries, Windows DLLs)
set -u
status=0
fail() {
  echo "FAIL $*"
  status=1
}
for binary in "$@"; do
  name=$(basename "$binary")
  case $name in
    *.dll)
      needed=$(objdump -p "$binary" | sed -n 's/.*DLL Name: //p' | sort | tr '\n' ' ')
      echo "$name imports: $needed"
      for lib in $needed; do
        case ${lib,,} in kernel32.dll | msvcrt.dll | api-ms-win-*) ;; *) fail "$name imports $lib" ;; esac
      done
      shown=$(objdump -p "$binary" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p')
      ;;
    *)
      needed=$(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
      echo "$name needs: $needed"
      for lib in $needed; do
        case $lib in
          libc.so.* | libm.so.* | libstdc++.so.* | libgcc_s.so.* | ld-linux*) ;;
          *) fail "$name needs $lib" ;;
        esac
      done
      readelf -lW "$binary" | grep GNU_STACK | grep -q RWE && fail "$name asks for an executable stack"
      shown=$(case $name in *.so) nm -D --defined-only "$binary" | awk '{print $3}' ;; esac)
      ;;
  esac
  others=$(grep -v '^retro_' <<<"$shown" | grep -v '^$' | head -5 | tr '\n' ' ')
  [ -z "$others" ] || fail "$name shows more than its retro_ entry points: $others"
done
exit $status
