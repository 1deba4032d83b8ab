#include "scene/registry.h"

#include <array>

namespace mazeblast {

// clang-format off
#define ONE(kind, name)                                                     \
  Elements<kind> {                                                          \
    #name, 1, false, [](Frmbomb& f, int) -> kind& { return f.name; },       \
    [](const Frmbomb& f, int) -> const kind& { return f.name; }             \
  }
#define MANY(kind, name)                                                    \
  Elements<kind> {                                                          \
    #name, decltype(Frmbomb::name)::size(), true,                           \
    [](Frmbomb& f, int i) -> kind& { return f.name(i); },                   \
    [](const Frmbomb& f, int i) -> const kind& { return f.name(i); }        \
  }
#define FRAME(n)                                                            \
  Elements<Sprite> {                                                        \
    "Imgmallipel" #n, 1, false,                                             \
    [](Frmbomb& f, int) -> Sprite& { return f.Imgmallipel(n - 1); },        \
    [](const Frmbomb& f, int) -> const Sprite& { return f.Imgmallipel(n - 1); } \
  }
// clang-format on

const ElementSet kElementSets[] = {
    ONE(Label, Lblotsikko),
    ONE(Label, Lblcopy),
    ONE(Label, Lblwritten),
    ONE(Label, Lblscore1),
    ONE(Label, Lbllives1),
    ONE(Label, Lblscore2),
    ONE(Label, Lbllives2),
    ONE(Label, Lbllevel1),
    ONE(Label, Lbllevel2),
    ONE(Label, Lblhigh1),
    ONE(Label, Lblhigh2),
    ONE(Label, Lblbonus1),
    ONE(Label, Lblbonus2),
    ONE(Label, Lblcount),
    ONE(Label, Lblpause),
    ONE(Label, Lblohje1),
    ONE(Label, Lblohje2),
    MANY(Label, Lblpoints),
    MANY(Label, Lblkeski),
    MANY(Sprite, Imgmuuri),
    MANY(Sprite, Imgliekki),
    MANY(Sprite, Imgpommi),
    ONE(Sprite, Imgpelaaja),
    MANY(Sprite, Imgvih),
    ONE(Sprite, Imgmallivih1),
    ONE(Sprite, Imgmallivih2),
    ONE(Sprite, Imgmallivih3),
    ONE(Sprite, Imgmallikvih1),
    ONE(Sprite, Imgmallikvih2),
    ONE(Sprite, Imgmallikvih3),
    FRAME(1),
    FRAME(2),
    FRAME(3),
    FRAME(4),
    FRAME(5),
    FRAME(6),
    FRAME(7),
    FRAME(8),
    FRAME(9),
    FRAME(10),
    FRAME(11),
    ONE(Sprite, Imgmallib1),
    ONE(Sprite, Imgmallib2),
    ONE(Sprite, Imgmallib3),
    ONE(Sprite, Imgmallib4),
    ONE(Sprite, Imgmallilvy),
    ONE(Sprite, Imgmallilva),
    ONE(Sprite, Imgmallilpv),
    ONE(Sprite, Imgmallilpo),
    ONE(Button, Cmdstart),
    ONE(Button, Cmdcont),
    ONE(Button, Cmdcont2),
    ONE(Button, Cmdnew),
    ONE(FocusBox, Pic1),
    ONE(Timer, Tmr1),
    ONE(Timer, Tmr2),
    ONE(Timer, Tmr3),
    ONE(Timer, Tmr4),
    ONE(Timer, Tmr5),
    ONE(Timer, Tmr6),
    ONE(Timer, Tmr7),
    ONE(Timer, Tmr8),
    ONE(Timer, Tmr9),
};
const int kElementSetCount = sizeof(kElementSets) / sizeof(kElementSets[0]);

#undef ONE
#undef MANY
#undef FRAME

const ElementSet* findElementSet(std::string_view name) {
  for (const ElementSet& s : kElementSets)
    if (name == nameOf(s).name) return &s;
  return nullptr;
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

const char* pictureName(const Frmbomb& f, const void* picture) {
  // The picture sources in the order the rules list them; the brick tiles last.
  for (const ElementSet& s : kElementSets) {
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
