#include "screen/random.h"

#include <algorithm>

namespace mazeblast {

void Twister64::twist() {
  constexpr std::uint64_t kUpper = ~std::uint64_t{0} << 31, kLower = ~kUpper;
  constexpr int kShift = 156;
  auto mix = [&](int i, int next, int from) {
    const std::uint64_t y = (state[i] & kUpper) | (state[next] & kLower);
    state[i] = state[from] ^ (y >> 1) ^ ((y & 1) ? 0xB5026F5AA96619E9u : 0);
  };
  for (int i = 0; i < kWords - kShift; ++i) mix(i, i + 1, i + kShift);
  for (int i = kWords - kShift; i < kWords - 1; ++i) mix(i, i + 1, i + kShift - kWords);
  mix(kWords - 1, 0, kShift - 1);
  index = 0;
}

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
