// The nine game timers and the scheduler that runs them, on a real clock for play and a
// virtual clock for tests. Times are microseconds; intervals are milliseconds.
#pragma once

#include <cstdint>
#include <limits>

namespace mazeblast {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

class Timer;

class TimerClock {
 public:
  std::int64_t nowUs = 0;
  // Every time a timer's next tick was counted from now: an enabled timer, or an interval
  // given to a silent one. Only these make what a handler does depend on the exact moment it
  // runs, rather than on which ticks came before it.
  std::uint64_t startedFromNow = 0;

  int floorMs() const { return floorMs_; }

  // The clock's time and pace, to be kept and given back (a saved game).
  template <class Io>
  void keep(Io& io) {
    io(nowUs), io(startedFromNow), io(floorMs_);
  }

  // No timer ticks more often than `ms` from now on; 0 for none. The ticks a deferred timer
  // owes so far are counted at the old pace first.
  void setFloor(int ms);

 private:
  friend class Timer;
  int floorMs_ = 0;
  Timer* deferred_ = nullptr;
};

class Timer {
 public:
  Timer(TimerClock* clock, int intervalMs) : clock_(clock), interval_(intervalMs) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Enabling a running timer leaves its period running: bursts re-enable the clean-up timers
  // and those must still come one period after the first burst.
  void enable() {
    if (!on_) {
      on_ = true;
      due_ = firstDueFromNow();
    }
  }
  void disable() {
    settle();
    on_ = false;
    due_ = kNever;
  }
  void setEnabled(bool on) { on ? enable() : disable(); }
  // The tick already scheduled stays where it is; the ticks after it follow the new interval.
  void setInterval(int ms);

  bool enabled() const { return on_; }
  int interval() const { return interval_; }
  std::int64_t due() const { return due_; }
  // When the scheduler must wake for this timer: never for a deferred one.
  std::int64_t wakeAt() const { return deferred_ ? kNever : due_; }
  // Between two ticks: the interval, or the floor where that is longer.
  std::int64_t periodUs() const;

  // Called by the scheduler just before the handler runs. A tick that comes late is not
  // made up for: after a stall the timer resumes one period after it ran.
  void ticked(std::int64_t actualUs);

  // A deferred timer never wakes the program: its ticks are counted instead, each exactly
  // where it would have come, and handed over by takeOwedTicks when they matter.
  void defer();
  // The ticks due up to now that have not been handed over yet.
  std::int64_t takeOwedTicks();
  // The same count, and when the next tick comes after now, without handing anything over:
  // what a deferred timer stands at, however lately it was settled.
  std::int64_t owedTicks() const;
  std::int64_t dueAfterNow() const;

  // Whether it runs, its interval and where its ticks fall, to be kept and given back (a
  // saved game). Which timer is deferred is the game's make-up, not its state.
  template <class Io>
  void keep(Io& io) {
    io(on_), io(interval_), io(due_), io(owed_);
  }

 private:
  friend class TimerClock;
  std::int64_t firstDueFromNow();
  // Counts the ticks due up to now into owed_, before the pace changes.
  void settle();
  std::int64_t unsettled() const;

  TimerClock* clock_;
  int interval_;
  bool on_ = false;
  bool deferred_ = false;
  std::int64_t due_ = kNever;
  std::int64_t owed_ = 0;
};

// The first timer (lowest number among ties) that wakes at or before `limit`, or -1.
int firstDue(Timer* const* timers, int count, std::int64_t limit);
// When the first of these timers wakes next, or kNever.
std::int64_t nextWake(Timer* const* timers, int count);

// Runs every tick that falls due up to and including `untilUs`, in time order, ties by
// timer number, on the virtual clock; then leaves the clock at `untilUs`.
template <class Fire>
void runVirtual(TimerClock& clock, Timer* const* timers, int count, std::int64_t untilUs,
                Fire&& fire) {
  for (int i; (i = firstDue(timers, count, untilUs)) >= 0;) {
    clock.nowUs = timers[i]->due();
    timers[i]->ticked(clock.nowUs);
    fire(i);
  }
  clock.nowUs = untilUs;
}

}  // namespace mazeblast
