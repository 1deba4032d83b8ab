// The nine game timers and the scheduler that runs them, on a real clock for play and a
// virtual clock for tests. Times are microseconds; intervals are milliseconds.
#pragma once

#include <cstdint>
#include <limits>

namespace mazeblast {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

struct TimerClock {
  std::int64_t nowUs = 0;
  int floorMs = 0;  // no timer ticks more often than this; 0 for none
};

class Timer {
 public:
  Timer(const TimerClock* clock, int intervalMs) : clock_(clock), interval_(intervalMs) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Enabling a running timer leaves its period running: bursts re-enable the clean-up timers
  // and those must still come one period after the first burst.
  void enable() {
    if (!on_) {
      on_ = true;
      due_ = firstDueFrom(clock_->nowUs);
    }
  }
  void disable() {
    on_ = false;
    due_ = kNever;
  }
  void setEnabled(bool on) { on ? enable() : disable(); }
  // The tick already scheduled stays where it is; the ticks after it follow the new interval.
  void setInterval(int ms);

  bool enabled() const { return on_; }
  int interval() const { return interval_; }
  std::int64_t due() const { return due_; }

  // Called by the scheduler just before the handler runs. A tick that comes late is not
  // made up for: after a stall the timer resumes one period after it ran.
  void ticked(std::int64_t actualUs);

 private:
  std::int64_t periodUs() const;
  std::int64_t firstDueFrom(std::int64_t t) const;

  const TimerClock* clock_;
  int interval_;
  bool on_ = false;
  std::int64_t due_ = kNever;
};

// The first timer (lowest number among ties) due at or before `limit`, or -1.
int firstDue(Timer* const* timers, int count, std::int64_t limit);

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
