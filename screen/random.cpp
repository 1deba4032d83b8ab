#include "screen/random.h"

namespace mazeblast {

bool Random::force(const double* values, int count) {
  if (count > kMaxForced) return false;
  for (int i = 0; i < count; ++i)
    if (!(values[i] >= 0.0 && values[i] < 1.0)) return false;
  for (int i = 0; i < count; ++i) forced_[i] = values[i];
  queued_ = count;
  next_ = 0;
  return true;
}

}  // namespace mazeblast
