// A saved game: every state variable, every element's properties, every timer's phase, the
// random sequence and the player's controls, in one fixed layout of little-endian values
// (pictures by their place in the picture table, captions at their full width), so that a
// state is the same size at every call and the same bytes on every build. A header names the
// form, the game's version and the size, and a CRC-32 closes it: a state of another version
// or a damaged one is refused before anything changes. A front end adds what is its own
// (its frame count, the sounds playing) through `extra`, in a fixed layout of its own.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "game/Frmbomb.h"
#include "scene/controls.h"

namespace mazeblast {

// Writes each value given to it, as it stands, into a state of the size counted before:
// never past its end.
class StateOut {
 public:
  static constexpr bool kReads = false;
  StateOut(std::uint8_t* at, std::uint8_t* end) : at_(at), end_(end) {}
  template <class T>
  void operator()(const T& v) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<std::conditional_t<std::is_same_v<T, bool>, std::uint8_t, T>>;
    const auto u = static_cast<U>(v);
    if (end_ - at_ < static_cast<std::ptrdiff_t>(sizeof(U))) return;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(at_, &u, sizeof(U));
    } else {
      for (std::size_t i = 0; i < sizeof(U); ++i) at_[i] = static_cast<std::uint8_t>(u >> (8 * i));
    }
    at_ += sizeof(U);
  }

 private:
  std::uint8_t* at_;
  std::uint8_t* end_;
};

// Counts the bytes the values take.
class StateSize {
 public:
  static constexpr bool kReads = false;
  template <class T>
  void operator()(const T&) {
    static_assert(std::is_integral_v<T>);
    bytes += sizeof(T);
  }
  std::size_t bytes = 0;
};

// Gives each value given to it what the state holds for it. The state's size was checked
// before: it never reads past its end.
class StateIn {
 public:
  static constexpr bool kReads = true;
  StateIn(const std::uint8_t* bytes, std::size_t size) : at_(bytes), end_(bytes + size) {}
  template <class T>
  void operator()(T& v) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<std::conditional_t<std::is_same_v<T, bool>, std::uint8_t, T>>;
    U u = 0;
    if (end_ - at_ >= static_cast<std::ptrdiff_t>(sizeof(U))) {
      if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&u, at_, sizeof(U));
      } else {
        for (std::size_t i = 0; i < sizeof(U); ++i)
          u = static_cast<U>(u | static_cast<U>(static_cast<U>(at_[i]) << (8 * i)));
      }
      at_ += sizeof(U);
    }
    if constexpr (std::is_same_v<T, bool>)
      v = u != 0;
    else
      v = static_cast<T>(u);
  }

 private:
  const std::uint8_t* at_;
  const std::uint8_t* end_;
};

// The game and the controls, value by value, in the layout's order.
void keepGame(StateOut& io, Frmbomb& game, Controls& controls);
void keepGame(StateIn& io, Frmbomb& game, Controls& controls);
void keepGame(StateSize& io, Frmbomb& game, Controls& controls);

constexpr char kStateMark[4] = {'M', 'Z', 'B', 'S'};
constexpr std::uint16_t kStateFormat = 1;
constexpr std::size_t kStateHeader = 4 + 2 + 16 + 4;  // mark, form, version, size
constexpr std::size_t kStateTrailer = 4;              // CRC-32

// The header and the checksum around the values, in the room left for them; false while
// forced random values wait to be drawn, which only a script gives and no state keeps.
bool sealState(std::vector<std::uint8_t>& bytes, const Frmbomb& game);
// Whether `bytes` is a whole, undamaged state of this form, this version of the game and
// the size `expected`.
bool stateAccepted(const std::uint8_t* bytes, std::size_t size, std::size_t expected,
                   std::string* why = nullptr);

// Whether a game read from a state can be played on: what holds between any two handlers
// holds, every value that indexes a set is inside it, and no timer owes more ticks than
// have passed. A state made by hand may be whole and still fail this.
bool playableState(const Frmbomb& game);

// The size of every state saved with this `extra`, which takes any of the three above.
template <class Extra>
std::size_t stateSize(Frmbomb& game, Controls& controls, Extra&& extra) {
  StateSize io;
  keepGame(io, game, controls);
  extra(io);
  return kStateHeader + io.bytes + kStateTrailer;
}

// Saves the game into `bytes`, of the size stateSize() counts with this `extra`.
template <class Extra>
bool saveGame(Frmbomb& game, Controls& controls, std::vector<std::uint8_t>& bytes, std::size_t size,
              Extra&& extra) {
  bytes.assign(size, 0);
  StateOut io(bytes.data() + kStateHeader, bytes.data() + size - kStateTrailer);
  keepGame(io, game, controls);
  extra(io);
  return sealState(bytes, game);
}

// Gives the game back as saved; false, with the game left as it was, where the state is not
// accepted (`size` what stateSize() counts with this `extra`). The front end looks at the
// game afresh after it (its sound watcher, its picture).
template <class Extra>
bool loadGame(Frmbomb& game, Controls& controls, const std::uint8_t* bytes, std::size_t size,
              std::size_t expected, Extra&& extra, std::string* why = nullptr) {
  if (!stateAccepted(bytes, size, expected, why)) return false;
  StateIn io(bytes + kStateHeader, size - kStateHeader - kStateTrailer);
  keepGame(io, game, controls);
  extra(io);
  return true;
}

}  // namespace mazeblast
