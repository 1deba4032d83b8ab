#include "scene/state_hash.h"

#include <type_traits>

namespace mazeblast {

namespace {

// Each part of the game in the order it describes them; pictures by their names.
struct Digest : StateVisitor {
  const Frmbomb& g;
  StateDigest d;

  template <class M>
  void variable(const char*, M, Range) {
    const auto& v = g.*M::pointer;
    if constexpr (std::is_integral_v<std::remove_cvref_t<decltype(v)>>)
      d.add(v);
    else
      for (std::int64_t x : v) d.add(x);
  }
  template <class M>
  void random(M) {
    d.add(static_cast<std::int64_t>((g.*M::pointer).position()));
    d.add((g.*M::pointer).forcedLeft());
  }
  template <class M>
  void clock(M) {
    d.add((g.*M::pointer).floorMs());
  }
  template <class M>
  void element(const char*, M) {
    add(g.*M::pointer);
  }
  template <class M>
  void elements(const char*, M) {
    for (const auto& e : g.*M::pointer) add(e);
  }
  template <class M>
  void element(const char*, M, int index) {
    add((g.*M::pointer)(index));
  }

  // Shown or not, every element with all it has.
  template <class E>
  void box(const E& e) {
    d.add(e.Visible), d.add(e.Left), d.add(e.Top), d.add(e.Width), d.add(e.Height);
  }
  void add(const Sprite& e) {
    box(e);
    d.add(e.Picture ? std::string_view(e.Picture->name) : "none");
  }
  void add(const Label& e) { box(e), d.add(e.Caption.view()); }
  void add(const Button& e) { box(e), d.add(e.Caption.view()); }
  void add(const FocusBox& e) { box(e), d.add(e.Enabled); }
  void add(const Timer& t) { d.add(t.enabled()), d.add(t.interval()), d.add(t.dueAfterNow()); }
};

}  // namespace

std::uint64_t stateHash(const Frmbomb& g) {
  Digest digest{{}, g, {}};
  Frmbomb::describe(digest);
  return digest.d.value();
}

}  // namespace mazeblast
