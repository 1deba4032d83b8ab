// The elements by the names the game gives them, for the drawing, the scripted driver and
// the tests: one table, so the three never disagree.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "game/Frmbomb.h"

namespace mazeblast {

// A set of like elements of the game by its name: Imgvih (indexed, ten), Lblcount (one),
// Imgmallipel3 (one, the third of its set).
template <class E>
struct Elements {
  const char* name;
  int count;     // how many; a single element has 1
  bool indexed;  // named with an index: Imgvih(3)
  int first;     // the item of the game's set that is element 0 here
  E& (*item)(Frmbomb&, int);
  const E& (*lookItem)(const Frmbomb&, int);
  E& at(Frmbomb& f, int i) const { return item(f, first + i); }
  // Reading only: watched sets note no write.
  const E& look(const Frmbomb& f, int i) const { return lookItem(f, first + i); }
};
using ElementSet = std::variant<Elements<Sprite>, Elements<Label>, Elements<Button>,
                                Elements<FocusBox>, Elements<Timer>>;

// Visits with one function for each kind of element: Overloaded{[](const Sprite&) {}, ...}.
template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

struct SetName {
  const char* name;
  int count;
  bool indexed;
};
inline SetName nameOf(const ElementSet& s) {
  return std::visit([](const auto& e) { return SetName{e.name, e.count, e.indexed}; }, s);
}

// Every element and timer of the game, in the order the game describes them.
std::span<const ElementSet> elementSets();
const ElementSet* findElementSet(std::string_view name);

// A state variable or set of variables of one game by its name, for the scripted driver's
// get, set and dump.
struct Variable {
  const char* name;
  int count;  // 1 for a single value
  Range range;
  std::int16_t* s16;  // the values: one of the two
  std::int32_t* s32;
  long get(int i) const { return s16 ? s16[i] : s32[i]; }
  void set(int i, long v) const {
    if (s16)
      s16[i] = static_cast<std::int16_t>(v);
    else
      s32[i] = static_cast<std::int32_t>(v);
  }
};
// Every one of `game`, in the order the game object declares them.
std::vector<Variable> variablesOf(Frmbomb& game);

// The drawing order, bottom first: ranges of indexed sets, single elements as 0..0. The
// buttons and the focus box come last, over the whole stack.
struct StackEntry {
  const char* name;
  int first, last;
};
extern const StackEntry kStacking[];
extern const int kStackingCount;

// The sets of the drawing order's entries, found once.
const ElementSet* const* stackingSets();

// Every sprite, label, button and focus box in the drawing order, bottom first, shown or
// not: draw(element) for each.
template <class Draw>
void inDrawingOrder(const Frmbomb& f, Draw&& draw) {
  const ElementSet* const* sets = stackingSets();
  for (int e = 0; e < kStackingCount; ++e) {
    std::visit(
        [&](const auto& set) {
          using E = std::remove_cvref_t<decltype(set.look(f, 0))>;
          if constexpr (!std::is_same_v<E, Timer>)
            for (int i = kStacking[e].first; i <= kStacking[e].last; ++i) draw(set.look(f, i));
        },
        *sets[e]);
  }
}

// The buttons and what pressing each does.
struct ButtonBinding {
  const char* name;
  Button Frmbomb::*button;
  void (Frmbomb::*click)();
};
extern const ButtonBinding kButtons[4];
// The buttons shown, a bit each in the order of kButtons: what tells one screen from another.
int buttonsShown(const Frmbomb& game);

// The name of the picture source that holds this picture, as the rules name pictures.
const char* pictureName(const Frmbomb& f, const void* picture);

}  // namespace mazeblast
