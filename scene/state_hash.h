// One number for the whole game: every state variable, every element's properties, the
// timers and where the random sequence stands. A recording carries it so that a replay on
// any build can tell at once where it went its own way; the same bytes on every build
// (fixed-width values in a fixed order, pictures by name, no addresses).
#pragma once

#include <cstdint>
#include <string_view>

#include "game/Frmbomb.h"

namespace mazeblast {

// A value at a time, mixed in: words, not bytes, so hashing the whole game stays cheap.
class StateDigest {
 public:
  void add(std::int64_t v) {
    h_ = (h_ ^ static_cast<std::uint64_t>(v)) * 0x100000001b3u + (h_ >> 29);
  }
  void add(std::string_view s) {
    add(static_cast<std::int64_t>(s.size()));
    for (char c : s) add(static_cast<std::int64_t>(static_cast<unsigned char>(c)));
  }
  std::uint64_t value() const { return h_; }

 private:
  std::uint64_t h_ = 14695981039346656037u;
};

// The game's time is not part of it: a recording names the time beside the hash.
std::uint64_t stateHash(const Frmbomb& game);

}  // namespace mazeblast
