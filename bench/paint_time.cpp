// How long the painter takes to draw the whole picture of a field in play at level 10, at the
// game's own size and filling screens of 1920 x 1080 and 3840 x 2160, on one core; and a
// frame's worth of what changed, as the window and the core paint it.
//   paint_time [TIMES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "game/Frmbomb.h"
#include "paint/painter.h"
#include "scene/runner.h"

int main(int argc, char** argv) {
  using namespace mazeblast;
  using Clock = std::chrono::steady_clock;
  const int times = argc > 1 ? std::atoi(argv[1]) : 50;
  auto game = std::make_unique<Frmbomb>();
  game->Form_Load();
  game->Cmdstart_Click();
  game->level = 10;
  advanceTo(*game, 4500 * 1000);
  struct Size {
    const char* name;
    int w, h;
  };
  for (const Size& size : {Size{"scale 1", 849, 565}, Size{"1920 x 1080", 1920, 1080},
                           Size{"3840 x 2160", 3840, 2160}}) {
    Painter painter;
    painter.setScale(Painter::fit(size.w, size.h, false));
    std::vector<double> whole, frame;
    for (int i = 0; i < times; ++i) {
      painter.paintAllNext();
      auto t0 = Clock::now();
      painter.paint(*game);
      whole.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      game->Tmr2_Timer();  // something moves
      t0 = Clock::now();
      painter.paint(*game);
      frame.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(whole.begin(), whole.end());
    std::sort(frame.begin(), frame.end());
    std::printf(
        "%-12s %4d x %4d: the whole picture median %.2f ms (p99 %.2f); a frame's changes "
        "median %.3f ms (p99 %.3f)\n",
        size.name, painter.picture().width, painter.picture().height, whole[whole.size() / 2],
        whole[whole.size() * 99 / 100], frame[frame.size() / 2], frame[frame.size() * 99 / 100]);
  }
  return 0;
}
