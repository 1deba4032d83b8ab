// The same game on every CPU: the core loaded as a frontend loads it, played by a fixed
// pattern of RetroPad presses (start, walks every way, a bomb every two seconds), one line
// every second of play: the state hash, the picture's and the sound's since the line before.
// Built for each target and run there (under qemu-user or wine), its lines must be x86-64's.
// A state saved on one CPU goes on, loaded on another, to the same lines.
//   core_check CORE FRAMES [--save FRAME FILE] [--load FRAME FILE]
// --save writes the state after that frame; --load starts from a state saved after that
// frame and prints only the lines after it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/libretro/frontend.h"

using namespace mazeblast;

namespace {

// FNV-1a over bytes, each value's bytes taken low first whatever the CPU.
struct Hash {
  std::uint64_t h = 1469598103934665603ull;
  void byte(std::uint8_t b) { h = (h ^ b) * 1099511628211ull; }
  void add(std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) byte(static_cast<std::uint8_t>(v >> (8 * i)));
  }
};

// What the player does at frame f: nothing on the title, then Start; in play a walk each way
// in turn, a bomb every two seconds.
unsigned padAt(long f) {
  if (f < 30) return 0;
  if (f == 30) return 1u << RETRO_DEVICE_ID_JOYPAD_B;
  const unsigned walks[] = {RETRO_DEVICE_ID_JOYPAD_RIGHT, RETRO_DEVICE_ID_JOYPAD_DOWN,
                            RETRO_DEVICE_ID_JOYPAD_LEFT, RETRO_DEVICE_ID_JOYPAD_UP};
  unsigned held = 1u << walks[(f / 45) % 4];
  if (f % 120 == 0) held |= 1u << RETRO_DEVICE_ID_JOYPAD_B;
  // Play next life, when a life is lost, comes from the same button.
  return held;
}

int usage() {
  std::fprintf(stderr, "usage: core_check CORE FRAMES [--save FRAME FILE] [--load FRAME FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const long frames = std::atol(argv[2]);
  long saveAt = -1, loadAt = -1;
  std::string saveFile, loadFile;
  for (int i = 3; i < argc; i += 3) {
    if (i + 2 >= argc) return usage();
    if (std::strcmp(argv[i], "--save") == 0) {
      saveAt = std::atol(argv[i + 1]);
      saveFile = argv[i + 2];
    } else if (std::strcmp(argv[i], "--load") == 0) {
      loadAt = std::atol(argv[i + 1]);
      loadFile = argv[i + 2];
    } else {
      return usage();
    }
  }
  CoreInstance core(argv[1]);
  if (!core.loaded()) {
    std::fprintf(stderr, "core_check: %s\n", core.failure().c_str());
    return 1;
  }
  long f = 0;
  if (loadAt >= 0) {
    std::ifstream in(loadFile, std::ios::binary);
    const std::vector<std::uint8_t> state{std::istreambuf_iterator<char>(in), {}};
    if (!core.load(state)) {
      std::fprintf(stderr, "core_check: the state in %s does not load\n", loadFile.c_str());
      return 1;
    }
    f = loadAt + 1;
  }
  Hash sound;
  for (; f <= frames; ++f) {
    core.run(padAt(f));
    for (std::int16_t s : core.lastAudio) sound.add(static_cast<std::uint16_t>(s), 2);
    if (f == saveAt) {
      const std::vector<std::uint8_t> state = core.save();
      std::ofstream out(saveFile, std::ios::binary);
      out.write(reinterpret_cast<const char*>(state.data()),
                static_cast<std::streamsize>(state.size()));
      if (!out) {
        std::fprintf(stderr, "core_check: cannot write %s\n", saveFile.c_str());
        return 1;
      }
    }
    if (f % 60 != 0) continue;
    Hash state, picture;
    for (std::uint8_t b : core.save()) state.byte(b);
    for (std::uint32_t p : core.picture()) picture.add(p, 3);
    std::printf("frame %ld state %016llx picture %016llx sound %016llx\n", f,
                static_cast<unsigned long long>(state.h),
                static_cast<unsigned long long>(picture.h),
                static_cast<unsigned long long>(sound.h));
    sound = Hash{};
  }
  return 0;
}
