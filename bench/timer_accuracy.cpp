// How late the real clock's ticks come: one timer at a time, driven by the game's own waits,
// with the game's 16 ms floor. Run it under a real X server (xvfb-run) on an idle machine.
//   timer_accuracy [SECONDS_PER_INTERVAL]
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "desktop/window.h"
#include "scene/runner.h"
#include "screen/timers.h"

int main(int argc, char** argv) {
  using namespace mazeblast;
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "timer_accuracy: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* w = SDL_CreateWindow("timer accuracy", 0, 0, 64, 64, SDL_WINDOW_SHOWN);
  RealClock real;
  TimerClock clock;
  clock.setFloor(kTimerFloorMs);
  std::printf("interval_ms ticks median_late_ms p99_late_ms max_late_ms\n");
  for (int interval : {16, 77, 1000}) {
    Timer t(&clock, interval);
    clock.nowUs = real.nowUs();
    t.enable();
    std::vector<double> late;
    const std::int64_t end = clock.nowUs + static_cast<std::int64_t>(seconds * 1e6);
    while (clock.nowUs < end) {
      SDL_Event ev;
      while (real.waitUntil(t.due(), &ev)) {
      }
      const std::int64_t now = real.nowUs();
      if (now < t.due()) continue;
      late.push_back((now - t.due()) / 1000.0);
      clock.nowUs = now;
      t.ticked(now);
    }
    std::sort(late.begin(), late.end());
    std::printf("%d %zu %.3f %.3f %.3f\n", interval, late.size(), late[late.size() / 2],
                late[std::min(late.size() - 1, late.size() * 99 / 100)], late.back());
  }
  SDL_DestroyWindow(w);
  SDL_Quit();
  return 0;
}
