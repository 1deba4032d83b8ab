#include "scene/save_state.h"

#include <algorithm>
#include <string_view>
#include <type_traits>

#include "scene/checksum.h"
#include "version.h"

namespace mazeblast {

namespace {

// A picture's place in the picture table; the last one found is tried first, since sprites
// that stand side by side mostly show the same picture.
class PictureIndex {
 public:
  int operator()(PictureRef p) {
    if (p == last_) return lastIndex_;
    int found = -1;
    for (int i = 0; i < art::count && found < 0; ++i)
      if (art::all[i] == p) found = i;
    last_ = p, lastIndex_ = found;
    return found;
  }

 private:
  PictureRef last_ = nullptr;
  int lastIndex_ = -1;
};

template <class Io>
void keepCaption(Io& io, Text& caption) {
  char chars[Text::kCapacity] = {};
  const std::string_view now = caption.view();
  std::uint8_t length = static_cast<std::uint8_t>(now.size());
  std::copy(now.begin(), now.end(), chars);
  io(length);
  for (char& c : chars) io(c);
  if constexpr (Io::kReads)
    caption = Text(std::string_view(chars, std::min<std::size_t>(length, Text::kCapacity)));
}

template <class Io>
void keepPicture(Io& io, PictureRef& picture, PictureIndex& pictureIndex) {
  std::int16_t index = static_cast<std::int16_t>(pictureIndex(picture));
  io(index);
  if constexpr (Io::kReads) picture = index >= 0 && index < art::count ? art::all[index] : nullptr;
}

// Format 1 begins with these three 32-bit variables, in this order; every other value of the
// game follows in the order the game describes its state, and the controls come last.
constexpr std::string_view kWideFirst[] = {"score", "playerx", "hiscore"};

bool isWideFirst(std::string_view name) {
  return std::find(std::begin(kWideFirst), std::end(kWideFirst), name) != std::end(kWideFirst);
}

// Each part of the game, through the game's own writable access (the flame tiles' index is
// rebuilt after a load): the variable `only`, or where it is empty every part but the three.
template <class Io>
struct Keep : StateVisitor {
  Io& io;
  Frmbomb& g;
  std::string_view only;
  PictureIndex pictures{};

  template <class M>
  void variable(const char* name, M, Range) {
    if (only.empty() ? isWideFirst(name) : name != only) return;
    auto& v = g.*M::pointer;
    if constexpr (std::is_integral_v<std::remove_cvref_t<decltype(v)>>)
      io(v);
    else
      for (auto& x : v) io(x);
  }
  template <class M>
  void random(M) {
    if (only.empty()) (g.*M::pointer).keep(io);
  }
  template <class M>
  void clock(M) {
    if (only.empty()) (g.*M::pointer).keep(io);
  }
  template <class M>
  void element(const char*, M) {
    if (only.empty()) keep(g.*M::pointer);
  }
  template <class M>
  void elements(const char*, M) {
    auto& set = g.*M::pointer;
    for (int i = 0; i < set.size() && only.empty(); ++i) keep(set(i));
  }
  template <class M>
  void element(const char*, M, int index) {
    if (only.empty()) keep((g.*M::pointer)(index));
  }

  template <class E>
  void box(E& e) {
    io(e.Visible), io(e.Left), io(e.Top), io(e.Width), io(e.Height);
  }
  void keep(Sprite& e) { box(e), keepPicture(io, e.Picture, pictures); }
  void keep(Label& e) { box(e), keepCaption(io, e.Caption); }
  void keep(Button& e) { box(e), keepCaption(io, e.Caption); }
  void keep(FocusBox& e) { box(e), io(e.Enabled); }
  void keep(Timer& t) { t.keep(io); }
};

template <class Io>
void keepAll(Io& io, Frmbomb& g, Controls& controls) {
  for (std::string_view first : kWideFirst) {
    Keep<Io> one{{}, io, g, first};
    Frmbomb::describe(one);
  }
  Keep<Io> rest{{}, io, g, {}};
  Frmbomb::describe(rest);
  controls.keep(io);
}

void put32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t get32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// The header as this build writes it, its size left out.
void header(std::uint8_t* at) {
  std::memcpy(at, kStateMark, 4);
  at[4] = static_cast<std::uint8_t>(kStateFormat),
  at[5] = static_cast<std::uint8_t>(kStateFormat >> 8);
  std::memset(at + 6, 0, 16);
  const std::string_view version = MAZEBLAST_VERSION;
  std::memcpy(at + 6, version.data(), std::min<std::size_t>(version.size(), 16));
}

}  // namespace

void keepGame(StateOut& io, Frmbomb& game, Controls& controls) {
  keepAll(io, game, controls);
}

void keepGame(StateIn& io, Frmbomb& game, Controls& controls) {
  keepAll(io, game, controls);
}

void keepGame(StateSize& io, Frmbomb& game, Controls& controls) {
  keepAll(io, game, controls);
}

bool playableState(const Frmbomb& g) {
  if (!g.invariantBroken().empty()) return false;
  if (g.wallcount < -1 || g.wallcount > 125 || g.raybase < 0 || g.raybase > 72 || g.flamebase < 0 ||
      g.flamebase > 288 || g.clock.nowUs < 0 || g.clock.floorMs() < 0)
    return false;
  for (const Timer* t : g.timers) {
    const std::int64_t period = t->periodUs();
    if (t->owedTicks() > (period > 0 ? g.clock.nowUs / period + 1 : 0)) return false;
  }
  return true;
}

bool sealState(std::vector<std::uint8_t>& bytes, const Frmbomb& game) {
  if (game.rnd.forcedLeft() > 0 || bytes.size() < kStateHeader + kStateTrailer) return false;
  header(bytes.data());
  put32(bytes.data() + 22, static_cast<std::uint32_t>(bytes.size()));
  put32(bytes.data() + bytes.size() - 4, crc32(bytes.data(), bytes.size() - 4));
  return true;
}

bool stateAccepted(const std::uint8_t* bytes, std::size_t size, std::size_t expected,
                   std::string* why) {
  auto refuse = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  if (!bytes || size < kStateHeader + kStateTrailer || std::memcmp(bytes, kStateMark, 4) != 0)
    return refuse("not a saved game of RMO Mazeblast");
  std::uint8_t mine[kStateHeader];
  header(mine);
  if (std::memcmp(bytes, mine, 22) != 0) return refuse("saved by another version of the game");
  if (size != expected || get32(bytes + 22) != size) return refuse("a saved game of another size");
  if (get32(bytes + size - 4) != crc32(bytes, size - 4)) return refuse("a damaged saved game");
  return true;
}

}  // namespace mazeblast
