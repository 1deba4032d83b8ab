#include "scene/registry.h"

#include <algorithm>
#include <array>
#include <functional>

namespace mazeblast {

namespace {

// The element table, made from the game's description: a way to each element, by its name.
struct ElementTable : StateVisitor {
  std::vector<ElementSet> sets;

  template <class M>
  void element(const char* name, M) {
    using E = std::remove_cvref_t<decltype(std::declval<Frmbomb&>().*M::pointer)>;
    sets.push_back(Elements<E>{name, 1, false, 0,
                               [](Frmbomb& f, int) -> E& { return f.*M::pointer; },
                               [](const Frmbomb& f, int) -> const E& { return f.*M::pointer; }});
  }
  template <class M>
  void elements(const char* name, M) {
    add<M>(name, std::remove_cvref_t<decltype(std::declval<Frmbomb&>().*M::pointer)>::size(), true,
           0);
  }
  template <class M>
  void element(const char* name, M, int index) {
    add<M>(name, 1, false, index);
  }
  template <class M>
  void add(const char* name, int count, bool indexed, int first) {
    using E = std::remove_cvref_t<decltype((std::declval<Frmbomb&>().*M::pointer)(0))>;
    sets.push_back(Elements<E>{
        name, count, indexed, first, [](Frmbomb& f, int i) -> E& { return (f.*M::pointer)(i); },
        [](const Frmbomb& f, int i) -> const E& { return (f.*M::pointer)(i); }});
  }
};

struct VariableList : StateVisitor {
  Frmbomb& game;
  std::vector<Variable> found;

  template <class M>
  void variable(const char* name, M, Range range) {
    auto& v = game.*M::pointer;
    if constexpr (std::is_integral_v<std::remove_cvref_t<decltype(v)>>) {
      found.push_back({name, 1, range, nullptr, nullptr});
      point(found.back(), &v);
    } else {
      found.push_back({name, v.size(), range, nullptr, nullptr});
      point(found.back(), v.items);
    }
  }
  static void point(Variable& v, std::int16_t* at) { v.s16 = at; }
  static void point(Variable& v, std::int32_t* at) { v.s32 = at; }
};

}  // namespace

std::span<const ElementSet> elementSets() {
  static const std::vector<ElementSet> sets = [] {
    ElementTable table;
    Frmbomb::describe(table);
    return std::move(table.sets);
  }();
  return sets;
}

const ElementSet* findElementSet(std::string_view name) {
  for (const ElementSet& s : elementSets())
    if (name == nameOf(s).name) return &s;
  return nullptr;
}

std::vector<Variable> variablesOf(Frmbomb& game) {
  VariableList list{{}, game, {}};
  Frmbomb::describe(list);
  // A variable's place in the object is its place in the declarations.
  std::sort(list.found.begin(), list.found.end(), [](const Variable& a, const Variable& b) {
    return std::less<const void*>()(a.s16 ? static_cast<const void*>(a.s16) : a.s32,
                                    b.s16 ? static_cast<const void*>(b.s16) : b.s32);
  });
  return std::move(list.found);
}

const StackEntry kStacking[] = {
    {"Lblotsikko", 0, 0},    {"Lblcopy", 0, 0},       {"Lblwritten", 0, 0},
    {"Lblscore1", 0, 0},     {"Lbllives1", 0, 0},     {"Lblscore2", 0, 0},
    {"Lbllives2", 0, 0},     {"Lbllevel1", 0, 0},     {"Lbllevel2", 0, 0},
    {"Lblhigh1", 0, 0},      {"Lblhigh2", 0, 0},      {"Imgmuuri", 0, 1013},
    {"Imgmallivih1", 0, 0},  {"Imgmallivih2", 0, 0},  {"Imgmallivih3", 0, 0},
    {"Imgmallikvih1", 0, 0}, {"Imgmallikvih2", 0, 0}, {"Imgmallikvih3", 0, 0},
    {"Imgmallipel1", 0, 0},  {"Imgmallipel2", 0, 0},  {"Imgmallipel3", 0, 0},
    {"Imgmallipel4", 0, 0},  {"Imgmallipel5", 0, 0},  {"Imgmallipel6", 0, 0},
    {"Imgmallipel7", 0, 0},  {"Imgmallipel8", 0, 0},  {"Imgmallipel9", 0, 0},
    {"Imgmallipel10", 0, 0}, {"Imgmallipel11", 0, 0}, {"Imgmallib1", 0, 0},
    {"Imgmallib2", 0, 0},    {"Imgmallib3", 0, 0},    {"Imgmallib4", 0, 0},
    {"Imgmallilvy", 0, 0},   {"Imgmallilva", 0, 0},   {"Imgmallilpv", 0, 0},
    {"Imgmallilpo", 0, 0},   {"Lblcount", 0, 0},      {"Lblpause", 0, 0},
    {"Imgliekki", 0, 36},    {"Lblkeski", 0, 443},    {"Imgliekki", 37, 319},
    {"Lblohje1", 0, 0},      {"Lblohje2", 0, 0},      {"Imgpommi", 0, 9},
    {"Imgpelaaja", 0, 0},    {"Imgvih", 0, 9},        {"Lblbonus1", 0, 0},
    {"Lblbonus2", 0, 0},     {"Lblpoints", 0, 2},     {"Cmdstart", 0, 0},
    {"Cmdcont", 0, 0},       {"Cmdcont2", 0, 0},      {"Cmdnew", 0, 0},
    {"Pic1", 0, 0},
};
const int kStackingCount = sizeof(kStacking) / sizeof(kStacking[0]);

const ElementSet* const* stackingSets() {
  static const auto sets = [] {
    std::array<const ElementSet*, sizeof(kStacking) / sizeof(kStacking[0])> found{};
    for (int e = 0; e < kStackingCount; ++e) found[e] = findElementSet(kStacking[e].name);
    return found;
  }();
  return sets.data();
}

const ButtonBinding kButtons[4] = {
    {"Cmdstart", &Frmbomb::Cmdstart, &Frmbomb::Cmdstart_Click},
    {"Cmdcont", &Frmbomb::Cmdcont, &Frmbomb::Cmdcont_Click},
    {"Cmdcont2", &Frmbomb::Cmdcont2, &Frmbomb::Cmdcont2_Click},
    {"Cmdnew", &Frmbomb::Cmdnew, &Frmbomb::Cmdnew_Click},
};

int buttonsShown(const Frmbomb& game) {
  int shown = 0;
  for (int b = 0; b < 4; ++b) shown |= (game.*kButtons[b].button).Visible ? 1 << b : 0;
  return shown;
}

const char* pictureName(const Frmbomb& f, const void* picture) {
  // The picture sources in the order the rules list them; the brick tiles last.
  for (const ElementSet& s : elementSets()) {
    const auto* sprites = std::get_if<Elements<Sprite>>(&s);
    if (!sprites || sprites->indexed) continue;
    if (std::string_view(sprites->name).substr(0, 7) != "Imgmall") continue;
    if (sprites->look(f, 0).Picture == picture) return sprites->name;
  }
  if (f.Imgmuuri(1012).Picture == picture) return "Imgmuuri(1012)";
  if (f.Imgmuuri(1013).Picture == picture) return "Imgmuuri(1013)";
  return picture ? static_cast<const PictureArt*>(picture)->name : "none";
}

}  // namespace mazeblast
