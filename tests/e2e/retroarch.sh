#!/usr/bin/env bash
# The libretro core as Debian installs it, played by RetroArch itself, headless: the package's
# core and info file, unpacked into a scratch root, run for a few hundred frames to a
# screenshot that is the title screen pixel for pixel, then again with rewind and two frames
# of run-ahead, in a second instance and in the same one, neither refused; and how many
# frames a second it runs unthrottled.
set -u
build=$1 sim=$2
. "$(dirname "$0")/lib.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >/dev/null 2>&1 || fail "cpack failed"
deb=$(ls "$scratch"/out/libretro-mazeblast_*.deb) || fail "no libretro-mazeblast package made"
dpkg-deb -x "$deb" "$scratch/root" || fail "the package does not unpack"
cores=$scratch/root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/libretro
info=$scratch/root/usr/share/libretro/info
[ -f "$cores/mazeblast_libretro.so" ] || fail "no core in $cores"
[ -f "$info/mazeblast_libretro.info" ] || fail "no info file in $info"

# retroarch_run CONFIG-LINES... -- ARGUMENTS...: RetroArch with null drivers (its null audio
# driver cannot start: sound is off) in a home of its own; its log goes to $scratch/log.
retroarch_run() {
  local config=$scratch/retroarch.cfg
  cat >"$config" <<CFG
video_driver = "null"
input_driver = "null"
input_joypad_driver = "null"
menu_driver = "null"
audio_enable = "false"
config_save_on_exit = "false"
core_info_cache_enable = "false"
libretro_directory = "$cores"
libretro_info_path = "$info"
CFG
  while [ "$1" != "--" ]; do echo "$1" >>"$config"; shift; done
  shift
  rm -rf "$scratch/home" && mkdir "$scratch/home"
  # Without a session bus its GameMode support aborts it.
  (cd "$scratch" && HOME=$scratch/home timeout 120 dbus-run-session -- \
    retroarch --config "$config" -L "$cores/mazeblast_libretro.so" -v "$@" >"$scratch/log" 2>&1)
}

# The title screen after 300 frames: 5 s of the game, as the scripted driver draws it then.
retroarch_run -- --max-frames 300 --max-frames-ss --max-frames-ss-path "$scratch/retroarch.png" ||
  { tail -n 20 "$scratch/log"; fail "RetroArch ended with status $?"; }
[ -f "$scratch/retroarch.png" ] || { tail -n 20 "$scratch/log"; fail "RetroArch saved no screenshot"; }
printf 'at 5.0 screenshot %s\n' "$scratch/sim.png" | "$sim" || fail "the scripted driver drew no screenshot"
/usr/bin/python3 - "$scratch/retroarch.png" "$scratch/sim.png" <<'PY' || fail "RetroArch's screenshot is not the title screen"
import sys
import numpy
from PIL import Image
got, want = (numpy.asarray(Image.open(p).convert("RGB")) for p in sys.argv[1:])
if got.shape != want.shape:
    sys.exit(f"{got.shape[1]} x {got.shape[0]} pixels, not {want.shape[1]} x {want.shape[0]}")
differ = int((got != want).any(axis=2).sum())
if differ:
    sys.exit(f"{differ} pixels differ")
print(f"RetroArch's screenshot after 300 frames: the title screen, {got.shape[1]} x {got.shape[0]}, pixel for pixel")
PY

# Rewind and run-ahead. Their refusals are what RetroArch says of a core whose states are
# not deterministic: seen first with an info file that says so, to show they would be seen.
refusals='(Rewind|Run-Ahead).*(unavailable|disabled|[Ff]ailed)|[Ff]ailed to (create|save|load).*(instance|state)'
with_both=('rewind_enable = "true"' 'run_ahead_enabled = "true"' 'run_ahead_frames = "2"'
  'run_ahead_hide_warnings = "false"')
sed -i 's/^savestate_features = .*/savestate_features = "basic"/' "$info/mazeblast_libretro.info"
retroarch_run "${with_both[@]}" -- --max-frames 120 || fail "RetroArch ended with status $?"
grep -qE "$refusals" "$scratch/log" || fail "a core without deterministic states was not refused"
dpkg-deb -x "$deb" "$scratch/root"  # the info file as the package has it
for instance in true false; do
  retroarch_run "${with_both[@]}" "run_ahead_secondary_instance = \"$instance\"" -- --max-frames 600 || { tail -n 20 "$scratch/log"; fail "RetroArch ended with status $?"; }
  if grep -E "$refusals" "$scratch/log"; then fail "rewind or run-ahead refused"; fi
  grep -q "Initializing rewind buffer" "$scratch/log" || fail "no rewind buffer was made"
  [ "$instance" = true ] && where="in a second instance" || where="in the same instance"
  echo "600 frames with rewind and 2 frames of run-ahead $where: neither refused"
done

# Unthrottled (no vsync, no fast-forward limit): frames a second of the title screen.
frames=60000
start=$(date +%s%N)
retroarch_run 'fastforward_ratio = "0.0"' 'video_vsync = "false"' -- --max-frames $frames ||
  fail "RetroArch ended with status $?"
ms=$((($(date +%s%N) - start) / 1000000))
echo "unthrottled: $frames frames in $ms ms of RetroArch's whole run, $((frames * 1000 / (ms > 0 ? ms : 1))) frames a second"
