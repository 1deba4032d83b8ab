#!/usr/bin/env bash
# RMO Mazeblast: install what is missing, build, and then play or test.
#   bash setup.sh play   builds the game and starts it
#   bash setup.sh web    builds the browser edition into build/web and serves it, compressed
#                        as static hosts serve it, on http://127.0.0.1:8080/ until stopped
#   bash setup.sh test   builds the release, sanitizer (with the fuzz target) and browser builds
#                        and the core for other CPUs, and runs every test
#   bash setup.sh cores  builds the libretro core for Linux (x86-64, 64- and 32-bit ARM) and
#                        Windows, each in a zip laid out as RetroArch has it, in build/cores/
#   bash setup.sh build PRESET..., test-machine, cores-check and fuzz: the pieces the test run
#                        takes
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  g++ cmake ninja-build pkg-config clang libclang-rt-14-dev dpkg-dev
  libsdl2-dev libx11-dev libstb-dev
  fonts-liberation2 fonts-inter python3-fonttools file
  googletest libgtest-dev libbenchmark-dev retroarch-dev
  xvfb xauth
)
# What the tests run the game and its packages with (the builds look for xvfb-run above).
test_packages=(xdotool imagemagick x11-utils openbox lintian sox python3-numpy python3-pil)
# The browser edition, and what its tests drive it with.
web_packages=(cmake ninja-build emscripten python3 fonts-liberation2 fonts-inter python3-fonttools
  libstb-dev)
browser_test_packages=(chromium chromium-driver python3-selenium)
# RetroArch, to play the libretro core in the tests; it needs a session bus.
retroarch_test_packages=(retroarch dbus)
# The core for other CPUs, and what runs their programs here.
core_packages=(cmake ninja-build python3-fonttools fonts-liberation2 fonts-inter libstb-dev
  retroarch-dev binutils crossbuild-essential-arm64 crossbuild-essential-armhf
  g++-mingw-w64-x86-64-posix)
core_test_packages=(qemu-user wine64)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

# A stage of the test run, with the seconds since the run began (in the pieces it starts too).
: "${MAZEBLAST_RUN_START:=$(date +%s)}"
export MAZEBLAST_RUN_START
elapsed() { echo $(($(date +%s) - MAZEBLAST_RUN_START)); }
stage() { echo "=== $* (at $(elapsed) s)"; }

# beside NAME COMMAND...: runs a command in the background, its output kept until it is
# awaited, with the second it ended; await takes the one started first, prints what it said,
# and fails with it.
besides=()
# A run that fails stops what it started beside itself.
trap 'for entry in "${besides[@]}"; do pkill -P "${entry%%:*}" 2>/dev/null; kill "${entry%%:*}" 2>/dev/null; done' EXIT
beside() {
  local name=$1 log
  shift
  log=$(mktemp)
  { "$@" && status=0 || status=$?; echo "--- $name ended at $(elapsed) s"; exit $status; } >"$log" 2>&1 &
  besides+=("$!:$log:$name")
}
await() {
  local entry=${besides[0]} status=0
  besides=("${besides[@]:1}")
  finish_await "$entry"
}
# await_named NAME: awaits the piece of that name, wherever it stands.
await_named() {
  local i
  for i in "${!besides[@]}"; do
    if [ "${besides[$i]##*:}" = "$1" ]; then
      local entry=${besides[$i]}
      besides=("${besides[@]:0:$i}" "${besides[@]:$((i + 1))}")
      finish_await "$entry"
      return
    fi
  done
}
finish_await() {
  local entry=$1 status=0
  local pid=${entry%%:*} rest=${entry#*:}
  local log=${rest%%:*} name=${rest#*:}
  wait "$pid" || status=$?
  echo "--- $name:"
  cat "$log"
  rm -f "$log"
  [ "$status" -eq 0 ] || { echo "$name failed (status $status)"; exit "$status"; }
}

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

case "${1:-}" in
  play)
    install_missing "${packages[@]}"
    build release
    exec ./build/release/mazeblast
    ;;
  web)
    install_missing "${web_packages[@]}"
    build web
    port=8080
    if ! /usr/bin/python3 -c "import socket; socket.socket().bind(('127.0.0.1', $port))" 2>/dev/null; then
      echo "setup.sh web: port $port on 127.0.0.1 is taken" >&2
      exit 1
    fi
    exec /usr/bin/python3 tools/serve_web.py build/web "$port"
    ;;
  test)
    install_missing "${packages[@]}" "${web_packages[@]}"
    # The builds side by side, and then every test at once: most of the tests wait on real
    # time (a window's key presses, a page's frames), and the others take the processor in
    # between, the core for other CPUs built and checked among them. What only the tests need
    # (Chromium, RetroArch, the cross compilers, qemu, wine) comes in beside the builds.
    stage "release, sanitizer and browser builds, and the tests' packages"
    beside "tests' packages" bash setup.sh test-machine
    beside "browser build" bash setup.sh build web
    beside "sanitizer build" bash setup.sh build sanitize
    build release
    await_named "browser build"
    await_named "sanitizer build"
    await_named "tests' packages"
    stage "release, sanitizer, browser and touch tests, the core on every CPU, a minute of fuzzing"
    # The core for other CPUs is built once the browser test, whose page must keep time, is over.
    beside "browser test, then the core on every CPU" bash -c \
      "/usr/bin/python3 tests/web/browser_test.py build/web && bash setup.sh cores-check"
    beside "touch test" /usr/bin/python3 tests/web/touch_test.py build/web
    beside "sanitizer tests" ctest --preset sanitize
    beside "fuzzing" nice -n 19 bash setup.sh fuzz
    ctest --preset release
    stage "release tests passed"
    await
    await
    await
    await
    stage "every test passed"
    ;;
  build)
    shift
    for preset in "$@"; do build "$preset"; done
    ;;
  test-machine)
    install_missing "${test_packages[@]}" "${browser_test_packages[@]}" \
      "${retroarch_test_packages[@]}" "${core_packages[@]}" "${core_test_packages[@]}"
    ;;
  cores-check)
    install_missing "${core_packages[@]}" "${core_test_packages[@]}"
    for preset in core-arm64 core-armhf core-windows; do build "$preset"; done
    bash tests/cores.sh build/release build/core-arm64 build/core-armhf build/core-windows
    ;;
  cores)
    install_missing "${core_packages[@]}"
    build release
    for preset in core-arm64 core-armhf core-windows; do build "$preset"; done
    # Each zip as RetroArch lays its folders out: the core in cores/, its info file in info/.
    rm -rf build/cores
    for target in linux-x86_64:release:x86_64-linux-gnu:so linux-arm64:core-arm64:aarch64-linux-gnu:so \
      linux-armhf:core-armhf:arm-linux-gnueabihf:so windows-x86_64:core-windows:x86_64-w64-mingw32:dll; do
      IFS=: read -r name preset triple ext <<<"$target"
      folder=build/cores/$name
      mkdir -p "$folder/cores" "$folder/info"
      "$triple-strip" -o "$folder/cores/mazeblast_libretro.$ext" "build/$preset/mazeblast_libretro.$ext"
      cp "build/$preset/generated/mazeblast_libretro.info" "$folder/info/"
      (cd "$folder" && cmake -E tar cf "../mazeblast_libretro-$name.zip" --format=zip cores info)
      rm -rf "$folder"
    done
    ls -l build/cores
    ;;
  fuzz)
    corpus=$(mktemp -d) found=$(mktemp -d) log=$(mktemp)
    cp tests/scenarios/*.sim tests/replays/*.mzr "$corpus"/
    # A link to start from; a first byte of 2 makes the rest a link's bytes.
    /usr/bin/python3 - "$corpus" "$(build/release/mazeblast-sim --link tests/replays/window.mzr)" <<'PY'
import base64, sys
corpus, fragment = sys.argv[1], sys.argv[2][len("#replay="):]
packed = base64.urlsafe_b64decode(fragment + "=" * (-len(fragment) % 4))
open(f"{corpus}/window-link", "wb").write(b"\x02" + packed)
# A first byte of 4 makes the rest changes to a saved game: here, one byte of it.
open(f"{corpus}/saved-game", "wb").write(b"\x04\x00\x10\x05")
PY
    status=0
    (cd "$corpus" && "$OLDPWD/build/sanitize/sim_fuzz" -seed=1 -max_total_time=60 -max_len=4096 \
      -timeout=300 -artifact_prefix="$found/" -print_final_stats=1 . >"$log" 2>&1) || status=$?
    echo "one minute of coverage-guided fuzzing from the scenario scripts, recordings, links and a saved game:"
    grep -E 'DONE|ERROR|SUMMARY|runtime error|invariant|stat::number_of_executed_units' "$log" | grep -v NEW_FUNC || true
    if [ "$status" -ne 0 ]; then
      # The input that broke it, so the failure can be replayed: build/sanitize/sim_fuzz FILE
      for f in "$found"/*; do
        [ -f "$f" ] || continue
        echo "--- reproducer $(basename "$f"), base64:"
        base64 "$f"
        echo "--- as text:"
        cat -v "$f" | head -n 60
      done
      tail -n 40 "$log"
      echo "fuzzing found a fault (status $status)"
    fi
    rm -rf "$corpus" "$found" "$log"
    exit "$status"
    ;;
  *)
    echo "usage: bash setup.sh play | web | test" >&2
    exit 2
    ;;
esac
