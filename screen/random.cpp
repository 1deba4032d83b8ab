#include "screen/random.h"

#include <algorithm>

namespace mazeblast {

bool Random::force(const double* values, int count) {
  if (count > kMaxForced) return false;
  for (int i = 0; i < count; ++i)
    if (!(values[i] >= 0.0 && values[i] < 1.0)) return false;
  // The ticks owed so far drew from the sequence as it was.
  if (waste_) skip(waste_->takeOwedTicks());
  for (int i = 0; i < count; ++i) forced_[i] = values[i];
  queued_ = count;
  next_ = 0;
  return true;
}

void Random::skip(std::int64_t n) {
  const std::int64_t fromQueue = std::min<std::int64_t>(n, queued_ - next_);
  next_ += static_cast<int>(fromQueue);
  gen_.discard(static_cast<unsigned long long>(n - fromQueue));
  drawn_ += static_cast<std::uint64_t>(n - fromQueue);
}

}  // namespace mazeblast
