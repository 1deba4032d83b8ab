// The one random sequence shared by every draw of the game.
#pragma once

#include <cstdint>
#include <random>

namespace mazeblast {

class Random {
 public:
  explicit Random(std::uint64_t seed = 1) { reseed(seed); }
  void reseed(std::uint64_t seed) {
    gen_.seed(seed);
    queued_ = next_ = 0;
  }

  // A value in [0, 1): 24 random bits over 2^24, so it can never be 1.0.
  double next() {
    if (next_ < queued_) return forced_[next_++];
    return static_cast<double>(gen_() >> 40) / 16777216.0;
  }
  // The integer part of (next value times n): 0 to n - 1.
  int below(int n) { return static_cast<int>(next() * n); }

  // The next draws return these values, in order; then the generator goes on.
  // Values outside [0, 1) are refused (false).
  bool force(const double* values, int count);

  static constexpr int kMaxForced = 4096;

 private:
  std::mt19937_64 gen_;
  double forced_[kMaxForced] = {};
  int queued_ = 0, next_ = 0;
};

}  // namespace mazeblast
