// The one timer loop of the game, for every driver: on the virtual clock of the scripted
// driver, the tests and the benchmarks, and on the real clock of the window and the browser.
// Each tick runs its handler, then `after` with the timer's number.
#pragma once

#include <cstdint>

#include "game/Frmbomb.h"

namespace mazeblast {

// On a real clock no timer of the game ticks more often than this: the pace of classic
// window-system timers and of one display frame.
constexpr int kTimerFloorMs = 16;

struct NothingAfter {
  void operator()(int) const {}
};

// Virtual clock: every tick due up to and including `untilUs`, in time order, ties by timer
// number, each handler at its due time; then the clock stands at `untilUs`.
template <class After = NothingAfter>
void advanceTo(Frmbomb& game, std::int64_t untilUs, After&& after = {}) {
  runVirtual(game.clock, game.timers, 9, untilUs, [&](int i) {
    game.timerTick(i + 1);
    after(i + 1);
  });
}

template <class After = NothingAfter>
void advanceBy(Frmbomb& game, std::int64_t ms, After&& after = {}) {
  advanceTo(game, game.clock.nowUs + ms * 1000, after);
}

// Real clock: every tick due by `now()`, in time order, each handler seeing the time it
// really runs at. A tick that comes late is not made up for twice (Timer::ticked).
template <class Now, class After = NothingAfter>
void catchUp(Frmbomb& game, Now&& now, After&& after = {}) {
  for (std::int64_t t = now();; t = now()) {
    const int i = firstDue(game.timers, 9, t);
    if (i < 0) return;
    game.clock.nowUs = t;
    game.timers[i]->ticked(t);
    game.timerTick(i + 1);
    after(i + 1);
  }
}

// When the game next needs waking, or kNever.
inline std::int64_t nextTick(Frmbomb& game) {
  return nextWake(game.timers, 9);
}

}  // namespace mazeblast
