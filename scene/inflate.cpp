#include "scene/inflate.h"

#include <algorithm>

namespace mazeblast {

namespace {

// The lengths and distances of matches: a base and the extra bits read after their codes.
constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                           15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the lengths of its code-length code.
constexpr std::uint8_t kLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

}  // namespace

int Inflater::bits(int n) {
  std::uint32_t v = held_;
  while (heldBits_ < n) {
    if (at_ >= in_.size()) {
      overrun_ = true;
      return 0;
    }
    v |= std::uint32_t{in_[at_++]} << heldBits_;
    heldBits_ += 8;
  }
  held_ = n == 32 ? 0 : v >> n;
  heldBits_ -= n;
  return static_cast<int>(v & ((std::uint32_t{1} << n) - 1));
}

// A canonical code read a bit at a time: the first code of each length follows the last of
// the length before.
int Inflater::decode(const Huffman& h) {
  int code = 0, first = 0, index = 0;
  for (int len = 1; len <= 15; ++len) {
    code |= bits(1);
    if (overrun_) return -1;
    const int count = h.count[static_cast<std::size_t>(len)];
    if (code - count < first) return h.symbol[static_cast<std::size_t>(index + code - first)];
    index += count;
    first = (first + count) << 1;
    code <<= 1;
  }
  return -1;
}

bool Inflater::build(Huffman& h, const std::uint8_t* lengths, int n) {
  h.count.fill(0);
  for (int s = 0; s < n; ++s) ++h.count[lengths[s]];
  int left = 1;
  for (int len = 1; len <= 15; ++len) {
    left = (left << 1) - h.count[static_cast<std::size_t>(len)];
    if (left < 0) return false;  // more codes than the lengths allow
  }
  std::array<std::uint16_t, 16> next{};
  for (int len = 1; len < 15; ++len)
    next[static_cast<std::size_t>(len + 1)] = static_cast<std::uint16_t>(
        next[static_cast<std::size_t>(len)] + h.count[static_cast<std::size_t>(len)]);
  for (int s = 0; s < n; ++s)
    if (lengths[s]) h.symbol[next[lengths[s]]++] = static_cast<std::uint16_t>(s);
  return true;
}

bool Inflater::tables() {
  const int literals = bits(5) + 257, distances = bits(5) + 1, codes = bits(4) + 4;
  if (overrun_ || literals > 286 || distances > 30) return false;
  std::uint8_t lengths[320] = {};
  for (int i = 0; i < codes; ++i) lengths[kLengthOrder[i]] = static_cast<std::uint8_t>(bits(3));
  Huffman code;
  if (overrun_ || !build(code, lengths, 19)) return false;
  std::fill(std::begin(lengths), std::end(lengths), 0);
  for (int i = 0; i < literals + distances;) {
    const int symbol = decode(code);
    if (symbol < 0) return false;
    if (symbol < 16) {
      lengths[i++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    int repeat = 0;
    std::uint8_t length = 0;
    if (symbol == 16) {
      if (i == 0) return false;
      length = lengths[i - 1];
      repeat = 3 + bits(2);
    } else {
      repeat = symbol == 17 ? 3 + bits(3) : 11 + bits(7);
    }
    if (overrun_ || i + repeat > literals + distances) return false;
    while (repeat--) lengths[i++] = length;
  }
  // A block without its end code could never end.
  return lengths[256] != 0 && build(lengths_, lengths, literals) &&
         build(distances_, lengths + literals, distances);
}

bool Inflater::header() {
  last_ = bits(1) == 1;
  const int type = bits(2);
  if (overrun_) return false;
  if (type == 0) {
    held_ = 0, heldBits_ = 0;  // a stored block starts on a byte
    const int length = bits(16), check = bits(16);
    if (overrun_ || length != (~check & 0xFFFF)) return false;
    storedLeft_ = static_cast<std::size_t>(length);
    block_ = Stored;
    return true;
  }
  if (type == 1) {
    std::uint8_t lengths[288 + 30];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    std::fill(lengths + 288, lengths + 318, 5);
    build(lengths_, lengths, 288);
    build(distances_, lengths + 288, 30);
    block_ = Coded;
    return true;
  }
  block_ = Coded;
  return type == 2 && tables();
}

void Inflater::put(std::string* out, std::uint8_t byte) {
  if (!out) return;
  window_[written_ & 32767] = byte;
  out->push_back(static_cast<char>(byte));
}

Inflater::Status Inflater::run(std::string* out, std::size_t most) {
  std::size_t made = 0;
  while (made < most) {
    if (block_ == Over) return Done;
    if (block_ == Header) {
      if (!header()) return Bad;
      continue;
    }
    if (block_ == Stored) {
      const std::size_t n = std::min(storedLeft_, most - made);
      if (in_.size() - at_ < n) return Bad;
      for (std::size_t i = 0; i < n; ++i, ++written_) put(out, in_[at_ + i]);
      at_ += n, storedLeft_ -= n, made += n;
      if (storedLeft_ == 0) block_ = last_ ? Over : Header;
      continue;
    }
    if (copyLeft_ > 0) {
      const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(copyLeft_), most - made);
      for (std::size_t i = 0; i < n; ++i, ++written_)
        put(out, window_[(written_ - static_cast<std::size_t>(copyDistance_)) & 32767]);
      copyLeft_ -= static_cast<int>(n), made += n;
      continue;
    }
    const int symbol = decode(lengths_);
    if (symbol < 0) return Bad;
    if (symbol < 256) {
      put(out, static_cast<std::uint8_t>(symbol));
      ++written_, ++made;
    } else if (symbol == 256) {
      block_ = last_ ? Over : Header;
    } else {
      const int l = symbol - 257;
      if (l >= 29) return Bad;
      copyLeft_ = kLengthBase[l] + bits(kLengthExtra[l]);
      const int d = decode(distances_);
      if (d < 0 || d >= 30) return Bad;
      copyDistance_ = kDistanceBase[d] + bits(kDistanceExtra[d]);
      if (overrun_ || static_cast<std::size_t>(copyDistance_) > written_) return Bad;
    }
  }
  return More;
}

}  // namespace mazeblast
