// A binary range coder with adaptive probabilities, as LZMA has it, for the replay links: each
// yes-or-no costs what its probability so far says, so the usual keys, the usual waits and
// the usual next step cost a bit or two. Both directions share one interface, `bit` and
// `direct`, that writes the value given or reads it into the same place, so each piece of a
// form coded with it is written once for both.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mazeblast::range {

constexpr int kProbBits = 11;
constexpr std::uint16_t kProbHalf = 1 << (kProbBits - 1);
// A probability of a 0, out of 2^kProbBits, and how many bits it has seen: it follows the
// first few fast and then settles, so that a short link learns quickly and a long one keeps
// what it learned.
struct Prob {
  std::uint16_t p = kProbHalf;
  std::uint16_t seen = 0;
  void learn(std::uint32_t b) {
    const int shift = std::min(2 + seen / 8, 5);
    seen = static_cast<std::uint16_t>(std::min(seen + 1, 24));
    if (b == 0)
      p = static_cast<std::uint16_t>(p + (((1 << kProbBits) - p) >> shift));
    else
      p = static_cast<std::uint16_t>(p - (p >> shift));
  }
};
constexpr std::uint32_t kTop = 1u << 24;

class Encoder {
 public:
  void bit(Prob& p, std::uint32_t& b) {
    const std::uint32_t bound = (range_ >> kProbBits) * p.p;
    if (b == 0) {
      range_ = bound;
    } else {
      low_ += bound;
      range_ -= bound;
    }
    p.learn(b);
    normalize();
  }
  // `n` bits of `v`, each at even odds.
  void direct(std::uint64_t& v, int n) {
    for (int i = n - 1; i >= 0; --i) {
      range_ >>= 1;
      if ((v >> i) & 1) low_ += range_;
      normalize();
    }
  }
  std::vector<std::uint8_t> finish() {
    for (int i = 0; i < 5; ++i) shiftLow();
    // The first byte the coder writes is always 0: the reader takes it as read.
    out_.erase(out_.begin());
    return std::move(out_);
  }
  std::size_t size() const { return out_.size(); }

 private:
  void normalize() {
    while (range_ < kTop) {
      range_ <<= 8;
      shiftLow();
    }
  }
  void shiftLow() {
    if (static_cast<std::uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
      const auto carry = static_cast<std::uint8_t>(low_ >> 32);
      std::uint8_t held = cache_;
      do {
        out_.push_back(static_cast<std::uint8_t>(held + carry));
        held = 0xFF;
      } while (--cacheSize_ != 0);
      cache_ = static_cast<std::uint8_t>(low_ >> 24);
    }
    ++cacheSize_;
    low_ = (low_ & 0x00FFFFFFu) << 8;
  }

  std::uint64_t low_ = 0;
  std::uint32_t range_ = 0xFFFFFFFFu;
  std::uint8_t cache_ = 0;
  std::uint64_t cacheSize_ = 1;
  std::vector<std::uint8_t> out_;
};

class Decoder {
 public:
  Decoder(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {
    for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | next();
  }
  void bit(Prob& p, std::uint32_t& b) {
    const std::uint32_t bound = (range_ >> kProbBits) * p.p;
    if (code_ < bound) {
      range_ = bound;
      b = 0;
    } else {
      code_ -= bound;
      range_ -= bound;
      b = 1;
    }
    p.learn(b);
    normalize();
  }
  void direct(std::uint64_t& v, int n) {
    v = 0;
    for (int i = 0; i < n; ++i) {
      range_ >>= 1;
      const std::uint32_t b = code_ >= range_ ? 1 : 0;
      if (b) code_ -= range_;
      v = (v << 1) | b;
      normalize();
    }
  }
  // Read past the coded bytes by more than the coder's own last bytes: the link is cut off.
  bool overrun() const { return at_ > size_ + 4; }

 private:
  std::uint32_t next() { return at_ < size_ ? data_[at_++] : (++at_, 0u); }
  void normalize() {
    while (range_ < kTop) {
      range_ <<= 8;
      code_ = (code_ << 8) | next();
    }
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  std::uint32_t code_ = 0;
  std::uint32_t range_ = 0xFFFFFFFFu;
};

// `bits` bits of `v`, high to low, each with the probability of the bits above it.
template <class Coder>
void tree(Coder& c, Prob* probs, int bits, std::uint32_t& v) {
  std::uint32_t node = 1;
  for (int i = bits - 1; i >= 0; --i) {
    std::uint32_t b = (v >> i) & 1;
    c.bit(probs[node], b);
    node = (node << 1) | b;
  }
  v = node - (1u << bits);
}

// A tree's probabilities to start from, from how often each of its values comes: the coder
// then learns from there, and a short link pays little for the learning.
template <std::size_t N>
void prior(Prob* probs, int bits, const std::array<int, N>& weights) {
  auto sum = [&](std::uint32_t from, std::uint32_t to) {
    int total = 0;
    for (std::uint32_t v = from; v < to && v < N; ++v) total += weights[v];
    return total;
  };
  for (std::uint32_t node = 1; node < (1u << bits); ++node) {
    const int depth = 31 - std::countl_zero(node);
    const std::uint32_t span = 1u << (bits - depth), first = (node - (1u << depth)) * span;
    const int zero = sum(first, first + span / 2), all = zero + sum(first + span / 2, first + span);
    const int p = all == 0 ? kProbHalf : (zero * (1 << kProbBits) + all / 2) / all;
    probs[node].p = static_cast<std::uint16_t>(std::clamp(p, 32, (1 << kProbBits) - 32));
  }
}

// A number from 0 up: its width in bits, then the five bits below its top one, each learned
// for that width, then the rest at even odds. Waits of a few cells cost a few bits.
struct NumberModel {
  std::array<Prob, 64> width;
  std::array<std::array<Prob, 32>, 64> high;
};

template <class Coder>
void number(Coder& c, NumberModel& m, std::uint64_t& v) {
  std::uint64_t x = v + 1;
  std::uint32_t n = static_cast<std::uint32_t>(63 - std::countl_zero(x | 1));
  tree(c, m.width.data(), 6, n);
  const int highBits = static_cast<int>(std::min(n, 5u)), low = static_cast<int>(n) - highBits;
  std::uint32_t high = static_cast<std::uint32_t>(x >> low) & ((1u << highBits) - 1);
  tree(c, m.high[n].data(), highBits, high);
  std::uint64_t rest = x & ((std::uint64_t{1} << low) - 1);
  c.direct(rest, low);
  v = ((std::uint64_t{1} << n) | (std::uint64_t{high} << low) | rest) - 1;
}

}  // namespace mazeblast::range
