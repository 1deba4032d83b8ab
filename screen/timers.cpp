#include "screen/timers.h"

#include <algorithm>

namespace mazeblast {

std::int64_t Timer::periodUs() const {
  return std::int64_t{std::max(interval_, clock_->floorMs)} * 1000;
}

std::int64_t Timer::firstDueFrom(std::int64_t t) const {
  // An interval of 0 keeps the timer enabled but silent, as window-system timers do.
  return interval_ > 0 ? t + periodUs() : kNever;
}

void Timer::setInterval(int ms) {
  interval_ = ms;
  if (on_ && due_ == kNever) due_ = firstDueFrom(clock_->nowUs);
  if (on_ && ms <= 0) due_ = kNever;
}

void Timer::ticked(std::int64_t actualUs) {
  if (!on_ || interval_ <= 0) return;
  due_ += periodUs();
  if (due_ <= actualUs) due_ = actualUs + periodUs();
}

int firstDue(Timer* const* timers, int count, std::int64_t limit) {
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (timers[i]->enabled() && timers[i]->due() <= limit &&
        (best < 0 || timers[i]->due() < timers[best]->due()))
      best = i;
  }
  return best;
}

}  // namespace mazeblast
