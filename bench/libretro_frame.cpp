// What a frame of the libretro core costs in play at level 10, loaded as a frontend loads it:
// retro_run (the game's sixtieth of a second, the picture where it changed, the sound), and
// retro_serialize and retro_unserialize, which rewind and run-ahead add to each frame.
//   libretro_frame [FRAMES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/libretro/frontend.h"

using namespace mazeblast;

namespace {

using Clock = std::chrono::steady_clock;

double us(Clock::time_point from) {
  return std::chrono::duration<double, std::micro>(Clock::now() - from).count();
}

void report(const char* what, std::vector<double>& samples) {
  std::sort(samples.begin(), samples.end());
  double sum = 0;
  for (double s : samples) sum += s;
  std::printf("%-12s mean %7.1f us, median %7.1f us, p99 %7.1f us, over %zu\n", what,
              sum / samples.size(), samples[samples.size() / 2], samples[samples.size() * 99 / 100],
              samples.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 3600;
  setenv("MAZEBLAST_LIBRETRO_SEED", "10", 1);
  CoreInstance core(MAZEBLAST_CORE_PATH);
  if (!core.loaded()) {
    std::fprintf(stderr, "%s\n", core.failure().c_str());
    return 1;
  }
  core.keepPictures = false;
  core.runFrames(10);
  core.run(1u << RETRO_DEVICE_ID_JOYPAD_B);  // Start the game
  // The game just started made the same game on level 10: its field, enemies and pace come
  // when the countdown ends.
  if (!core.load(editedState(core.save(), [](Frmbomb& g) { g.level = 10; }))) return 1;
  core.runFrames(250);  // the countdown
  // Ten seconds of play at a time from the level's start, so that every frame measured is in
  // play at level 10, whatever the walk and the bombs do to the player.
  const std::vector<std::uint8_t> start = core.save();

  std::vector<double> run, save, load;
  const unsigned walks[] = {RETRO_DEVICE_ID_JOYPAD_RIGHT, RETRO_DEVICE_ID_JOYPAD_DOWN,
                            RETRO_DEVICE_ID_JOYPAD_LEFT, RETRO_DEVICE_ID_JOYPAD_UP};
  for (int f = 0; f < frames; ++f) {
    if (f % 600 == 0) core.load(start);
    // Walks a while each way, with a bomb every two seconds and Start kept off.
    unsigned held = 1u << walks[(f / 50) % 4];
    if (f % 120 == 0) held |= 1u << RETRO_DEVICE_ID_JOYPAD_B;
    auto t = Clock::now();
    core.run(held);
    run.push_back(us(t));
    if (f % 10 == 0) {
      t = Clock::now();
      const std::vector<std::uint8_t> state = core.save();
      save.push_back(us(t));
      t = Clock::now();
      core.load(state);
      load.push_back(us(t));
    }
  }
  const std::vector<std::uint8_t> last = core.save();
  const auto game = gameOf(last);
  std::printf("%d frames of play, at level %d at the end with %d lives (%zu bytes a state)\n",
              frames, game->level, game->lives, last.size());
  report("retro_run", run);
  report("serialize", save);
  report("unserialize", load);
  return 0;
}
