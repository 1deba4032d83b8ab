// The one random sequence shared by every draw of the game.
#pragma once

#include <cstdint>
#include <random>

#include "screen/timers.h"

namespace mazeblast {

class Random {
 public:
  explicit Random(std::uint64_t seed = 1) { reseed(seed); }
  // Values drawn before the reseed, and those a deferred timer still owes, are gone with
  // the old sequence.
  void reseed(std::uint64_t seed) {
    if (waste_) waste_->takeOwedTicks();
    gen_.seed(seed);
    queued_ = next_ = 0;
    drawn_ = 0;
  }

  // Every tick of `timer` throws one value away. The timer is deferred: the values it owes
  // are thrown away just before the next draw, so every draw sees the sequence exactly where
  // a ticking timer would have left it, and the program need not wake for each.
  void wastedBy(Timer& timer) {
    timer.defer();
    waste_ = &timer;
  }

  // A value in [0, 1): 24 random bits over 2^24, so it can never be 1.0.
  double next() {
    if (waste_) skip(waste_->takeOwedTicks());
    if (next_ < queued_) return forced_[next_++];
    ++drawn_;
    return static_cast<double>(gen_() >> 40) / 16777216.0;
  }
  // The integer part of (next value times n): 0 to n - 1.
  int below(int n) { return static_cast<int>(next() * n); }

  // The next draws return these values, in order; then the generator goes on.
  // Values outside [0, 1) are refused (false).
  bool force(const double* values, int count);

  static constexpr int kMaxForced = 4096;

  // Where the sequence stands: the generator's values used since the seed, those a deferred
  // timer owes counted, and the forced values still to come. Two games that drew alike stand
  // alike.
  std::uint64_t position() const {
    return drawn_ + static_cast<std::uint64_t>(waste_ ? waste_->owedTicks() : 0);
  }
  int forcedLeft() const { return queued_ - next_; }

 private:
  void skip(std::int64_t n);

  std::mt19937_64 gen_;
  Timer* waste_ = nullptr;
  double forced_[kMaxForced] = {};
  int queued_ = 0, next_ = 0;
  std::uint64_t drawn_ = 0;
};

}  // namespace mazeblast
