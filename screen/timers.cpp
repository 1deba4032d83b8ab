#include "screen/timers.h"

#include <algorithm>

namespace mazeblast {

void TimerClock::setFloor(int ms) {
  if (deferred_) deferred_->settle();
  floorMs_ = ms;
}

std::int64_t Timer::periodUs() const {
  return std::int64_t{std::max(interval_, clock_->floorMs_)} * 1000;
}

std::int64_t Timer::firstDueFromNow() {
  ++clock_->startedFromNow;
  // An interval of 0 keeps the timer enabled but silent, as window-system timers do.
  return interval_ > 0 ? clock_->nowUs + periodUs() : kNever;
}

void Timer::setInterval(int ms) {
  settle();
  interval_ = ms;
  if (on_ && due_ == kNever) due_ = firstDueFromNow();
  if (on_ && ms <= 0) due_ = kNever;
}

void Timer::ticked(std::int64_t actualUs) {
  if (!on_ || interval_ <= 0) return;
  due_ += periodUs();
  if (due_ <= actualUs) due_ = actualUs + periodUs();
}

void Timer::defer() {
  deferred_ = true;
  clock_->deferred_ = this;
}

std::int64_t Timer::unsettled() const {
  if (!deferred_ || !on_ || due_ > clock_->nowUs) return 0;
  // On time, every one: the ticks a running program would have made by now.
  return (clock_->nowUs - due_) / periodUs() + 1;
}

void Timer::settle() {
  const std::int64_t n = unsettled();
  owed_ += n;
  due_ += n * periodUs();
}

std::int64_t Timer::owedTicks() const {
  return owed_ + unsettled();
}

std::int64_t Timer::dueAfterNow() const {
  const std::int64_t n = unsettled();
  return n ? due_ + n * periodUs() : due_;
}

std::int64_t Timer::takeOwedTicks() {
  settle();
  const std::int64_t n = owed_;
  owed_ = 0;
  return n;
}

int firstDue(Timer* const* timers, int count, std::int64_t limit) {
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (timers[i]->enabled() && timers[i]->wakeAt() <= limit &&
        (best < 0 || timers[i]->wakeAt() < timers[best]->wakeAt()))
      best = i;
  }
  return best;
}

std::int64_t nextWake(Timer* const* timers, int count) {
  std::int64_t due = kNever;
  for (int i = 0; i < count; ++i) due = std::min(due, timers[i]->wakeAt());
  return due;
}

}  // namespace mazeblast
