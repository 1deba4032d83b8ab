// The one random sequence shared by every draw of the game.
#pragma once

#include <cstdint>

#include "screen/timers.h"

namespace mazeblast {

// The 64-bit Mersenne Twister, value for value std::mt19937_64, with its state in the open
// so that a saved game can keep it as plain numbers.
class Twister64 {
 public:
  static constexpr int kWords = 312;
  void seed(std::uint64_t s) {
    state[0] = s;
    for (int i = 1; i < kWords; ++i)
      state[i] = 6364136223846793005u * (state[i - 1] ^ (state[i - 1] >> 62)) +
                 static_cast<std::uint64_t>(i);
    index = kWords;
  }
  std::uint64_t operator()() {
    if (index >= kWords) twist();
    std::uint64_t x = state[index++];
    x ^= (x >> 29) & 0x5555555555555555u;
    x ^= (x << 17) & 0x71D67FFFEDA60000u;
    x ^= (x << 37) & 0xFFF7EEE000000000u;
    return x ^ (x >> 43);
  }
  void discard(std::uint64_t n) {
    for (; n > 0; --n) (*this)();
  }

  std::uint64_t state[kWords] = {};
  int index = kWords;

 private:
  void twist();
};

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

  // Where the sequence stands, to be kept and given back (a saved game): the generator and
  // the count of values drawn. Values forced and still to come are not part of it.
  template <class Io>
  void keep(Io& io) {
    for (std::uint64_t& word : gen_.state) io(word);
    io(gen_.index);
    io(drawn_);
    if constexpr (Io::kReads) queued_ = next_ = 0;
  }

 private:
  void skip(std::int64_t n);

  Twister64 gen_;
  Timer* waste_ = nullptr;
  double forced_[kMaxForced] = {};
  int queued_ = 0, next_ = 0;
  std::uint64_t drawn_ = 0;
};

}  // namespace mazeblast
