// The one timer loop of the game, for every driver: on the virtual clock of the scripted
// driver, the tests and the benchmarks, and on the game's own clock of the window and the
// browser, which follows the real one.
// Each tick runs its handler, then `after` with the timer's number.
#pragma once

#include <cstdint>
#include <type_traits>

#include "game/Frmbomb.h"

namespace mazeblast {

// On a real clock no timer of the game ticks more often than this: the pace of classic
// window-system timers and of one display frame.
constexpr int kTimerFloorMs = 16;

// The game's timers, Tmr1 to Tmr9.
constexpr int kGameTimers = static_cast<int>(std::extent_v<decltype(Frmbomb::timers)>);

struct NothingAfter {
  void operator()(int) const {}
};

// Virtual clock: every tick due up to and including `untilUs`, in time order, ties by timer
// number, each handler at its due time; then the clock stands at `untilUs`.
template <class After = NothingAfter>
void advanceTo(Frmbomb& game, std::int64_t untilUs, After&& after = {}) {
  runVirtual(game.clock, game.timers, kGameTimers, untilUs, [&](int i) {
    game.timerTick(i + 1);
    after(i + 1);
  });
}

template <class After = NothingAfter>
void advanceBy(Frmbomb& game, std::int64_t ms, After&& after = {}) {
  advanceTo(game, game.clock.nowUs + ms * 1000, after);
}

// The game's own clock on a real one. Every tick runs at its due time on it, and every
// input at the time it was taken, exactly as on the virtual clock: however late the real
// clock wakes the game, it takes the same path, and a recording of its inputs and their
// times replays to the same states. Only a stall (the next tick found more than kStallUs
// late: a suspended machine, a page in the background) stops the game's clock for its length
// instead of being made up in a burst. A watched recording may run it a whole number of
// times faster than the real clock.
class GameTime {
 public:
  static constexpr std::int64_t kStallUs = 100000;

  // The game's time 0 is `realUs` on the real clock.
  explicit GameTime(std::int64_t realUs = 0) : realAt_(realUs) {}

  // The game's time at the real time `realUs`, never before `floorUs` (where the game's clock
  // stands) and never more than a stall past `nextDueUs` (what it must do next).
  std::int64_t at(std::int64_t realUs, std::int64_t floorUs, std::int64_t nextDueUs) {
    std::int64_t t = unheld(realUs);
    if (nextDueUs != kNever && t - nextDueUs > kStallUs * speed_) {
      realAt_ = realUs, gameAt_ = nextDueUs;
      t = nextDueUs;
    }
    return t < floorUs ? floorUs : t;
  }
  // When the game's time `gameUs` comes on the real clock (not before it).
  std::int64_t real(std::int64_t gameUs) const {
    return gameUs == kNever ? kNever : realAt_ + (gameUs - gameAt_ + speed_ - 1) / speed_;
  }
  // The game's clock stands still for `us` of real time (a watched replay held, a game kept
  // aside while another is watched).
  void hold(std::int64_t us) { realAt_ += us; }
  // From the real time `realUs` on, `speed` game microseconds to a real one.
  void setSpeed(int speed, std::int64_t realUs) {
    gameAt_ = unheld(realUs), realAt_ = realUs;
    speed_ = speed;
  }
  int speed() const { return speed_; }

 private:
  std::int64_t unheld(std::int64_t realUs) const { return gameAt_ + (realUs - realAt_) * speed_; }

  // The game's time `gameAt_` was the real time `realAt_`.
  std::int64_t realAt_;
  std::int64_t gameAt_ = 0;
  int speed_ = 1;
};

// When the game next needs waking, or kNever.
inline std::int64_t nextTick(const Frmbomb& game) {
  return nextWake(game.timers, kGameTimers);
}

// Every tick due by the real time `realUs`, at its due time; the game's clock then stands at
// the game's time now, ready for an input taken now.
template <class After = NothingAfter>
void runUntil(Frmbomb& game, GameTime& time, std::int64_t realUs, After&& after = {}) {
  advanceTo(game, time.at(realUs, game.clock.nowUs, nextTick(game)), after);
}

}  // namespace mazeblast
