// The element table: places from the index rules, what is shown when the window opens, the
// drawing order, and the game's description of its state.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "game/Frmbomb.h"
#include "scene/registry.h"

namespace mazeblast {
namespace {

struct Opened : ::testing::Test {
  Frmbomb f;
  void SetUp() override { f.Form_Load(); }
};

TEST_F(Opened, PillarBlocksFollowTheirPillarInRowOrder) {
  // (first index, column, row) of the pillars named in the rules, four blocks each.
  const int pillars[][3] = {{0, 1, 1}, {4, 3, 1}, {48, 1, 3}, {284, 23, 11}};
  for (const auto& [first, c, r] : pillars) {
    for (int q = 0; q < 4; ++q) {
      SCOPED_TRACE(first + q);
      EXPECT_EQ(f.Lblkeski(first + q).Left, 360 + 480 * c + 240 * (q % 2));
      EXPECT_EQ(f.Lblkeski(first + q).Top, 1320 + 480 * r + 240 * (q / 2));
    }
  }
  // Every pillar cell has its top-left block, and only pillar cells.
  std::set<std::pair<int, int>> corners;
  for (int i = 0; i < 288; ++i) corners.insert({f.Lblkeski(i).Left, f.Lblkeski(i).Top});
  for (int c = 0; c < 25; ++c)
    for (int r = 0; r < 13; ++r)
      EXPECT_EQ(corners.count({360 + 480 * c, 1320 + 480 * r}), (c % 2 && r % 2) ? 1u : 0u);
}

TEST_F(Opened, BorderRingSurroundsTheField) {
  for (int k = 0; k < 52; ++k) {
    EXPECT_EQ(f.Lblkeski(288 + k).Left, 120 + 240 * k);
    EXPECT_EQ(f.Lblkeski(288 + k).Top, 1080);
    EXPECT_EQ(f.Lblkeski(392 + k).Top, 7560);
  }
  for (int k = 0; k < 26; ++k) {
    EXPECT_EQ(f.Lblkeski(340 + k).Left, 120);
    EXPECT_EQ(f.Lblkeski(366 + k).Left, 12360);
    EXPECT_EQ(f.Lblkeski(366 + k).Top, 1320 + 240 * k);
  }
  for (const Label& b : f.Lblkeski) {
    EXPECT_TRUE(b.Visible);
    EXPECT_EQ(b.Width, 255);
    EXPECT_EQ(b.Height, 255);
  }
}

TEST_F(Opened, WallTilesNumberTheNonPillarCellsInRowOrder) {
  int n = 0;
  for (int r = 0; r < 13; ++r) {
    for (int c = 0; c < 25; ++c) {
      if (c % 2 && r % 2) continue;
      for (int q = 0; q < 4; ++q) {
        const Sprite& t = f.Imgmuuri(4 * n + q);
        ASSERT_EQ(t.Left, 360 + 480 * c + 240 * (q % 2)) << 4 * n + q;
        ASSERT_EQ(t.Top, 1320 + 480 * r + 240 * (q / 2)) << 4 * n + q;
        ASSERT_FALSE(t.Visible);
        ASSERT_EQ(t.Picture, f.Imgmuuri(1012).Picture);
      }
      ++n;
    }
  }
  EXPECT_EQ(n, 253);
  EXPECT_EQ(f.Imgmuuri(96).Left, 360 + 480 * 24);  // cell (24, 0)
  EXPECT_EQ(f.Imgmuuri(100).Top, 1800);            // cell (0, 1)
  EXPECT_EQ(f.Imgmuuri(1012).Left, 2640);
  EXPECT_EQ(f.Imgmuuri(1013).Left, 2880);
  EXPECT_NE(f.Imgmuuri(1012).Picture, f.Imgmuuri(1013).Picture);
}

TEST_F(Opened, OnlyTheTitleScreenIsShown) {
  std::set<std::string> expected = {"Lblotsikko", "Lblpoints(0)", "Lblpoints(1)", "Lblpoints(2)",
                                    "Imgvih(0)",  "Imgvih(1)",    "Imgvih(2)",    "Lblohje1",
                                    "Lblohje2",   "Lblwritten",   "Lblcopy",      "Cmdstart",
                                    "Pic1"};
  std::set<std::string> shown;
  const auto visible = Overloaded{[](const Timer& t) { return t.enabled(); },
                                  [](const auto& e) { return e.Visible; }};
  for (const ElementSet& elements : elementSets()) {
    std::visit(
        [&](const auto& s) {
          for (int i = 0; i < s.count; ++i) {
            if (!visible(s.look(f, i)) || std::string(s.name) == "Lblkeski") continue;
            shown.insert(s.indexed ? std::string(s.name) + "(" + std::to_string(i) + ")" : s.name);
          }
        },
        elements);
  }
  expected.insert("Tmr1");  // the only timer running when the window opens
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(f.Pic1.Enabled);
}

TEST_F(Opened, TitleEnemiesShowTheThreeKindsAboveTheirPoints) {
  const std::pair<int, const Sprite*> title[] = {
      {3240, &f.Imgmallivih3}, {6120, &f.Imgmallivih2}, {9000, &f.Imgmallivih1}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(f.Imgvih(i).Left, title[i].first);
    EXPECT_EQ(f.Imgvih(i).Top, 1800);
    EXPECT_EQ(f.Imgvih(i).Picture, title[i].second->Picture);
  }
  EXPECT_EQ(f.Lblpoints(0).Caption, "100 Points");
  EXPECT_EQ(f.Lblpoints(2).Caption, "200 Points");
  EXPECT_EQ(f.Lblotsikko.Top, -120);  // its top edge is cut by the window
  EXPECT_EQ(f.Cmdstart.Caption, "&Start the game");
  EXPECT_EQ(f.Cmdstart.accessKey(), 'S');
  EXPECT_EQ(f.Cmdcont2.accessKey(), 'P');
  EXPECT_EQ(f.Cmdnew.accessKey(), 'N');
}

TEST_F(Opened, PicturesAreIdentitiesNotCopies) {
  std::set<PictureRef> sources;
  for (const Sprite* s :
       {&f.Imgmallivih1, &f.Imgmallivih2, &f.Imgmallivih3, &f.Imgmallikvih1, &f.Imgmallikvih2,
        &f.Imgmallikvih3, &f.Imgmallib1, &f.Imgmallib2, &f.Imgmallib3, &f.Imgmallib4,
        &f.Imgmallilva, &f.Imgmallilvy, &f.Imgmallilpo, &f.Imgmallilpv})
    sources.insert(s->Picture);
  for (const Sprite& s : f.Imgmallipel) sources.insert(s.Picture);
  EXPECT_EQ(sources.size(), 25u);
  f.Imgpommi(3).Picture = f.Imgmallib2.Picture;
  EXPECT_EQ(f.Imgpommi(3).Picture, f.Imgmallib2.Picture);
  EXPECT_STREQ(pictureName(f, f.Imgpommi(3).Picture), "Imgmallib2");
  EXPECT_STREQ(pictureName(f, f.Imgmuuri(5).Picture), "Imgmuuri(1012)");
  // Hiding keeps place and picture.
  f.Imgpommi(3).Visible = true;
  f.Imgpommi(3).Visible = false;
  EXPECT_EQ(f.Imgpommi(3).Picture, f.Imgmallib2.Picture);
  EXPECT_EQ(f.Imgpommi(3).Left, 3240);
}

// Position in the drawing stack of each element, bottom first.
std::map<std::string, int> stackPositions() {
  std::map<std::string, int> at;
  int n = 0;
  for (int e = 0; e < kStackingCount; ++e) {
    const StackEntry& s = kStacking[e];
    const ElementSet* set = findElementSet(s.name);
    EXPECT_NE(set, nullptr) << s.name;
    for (int i = s.first; i <= s.last; ++i) {
      const std::string name = set && nameOf(*set).indexed
                                   ? std::string(s.name) + "(" + std::to_string(i) + ")"
                                   : s.name;
      EXPECT_EQ(at.count(name), 0u) << name << " drawn twice";
      at[name] = n++;
    }
  }
  return at;
}

TEST(Stacking, EveryElementIsDrawnOnceInItsLayer) {
  const auto at = stackPositions();
  int elements = 0;
  for (const ElementSet& set : elementSets())
    if (!std::holds_alternative<Elements<Timer>>(set)) elements += nameOf(set).count;
  EXPECT_EQ(static_cast<int>(at.size()), elements);

  auto below = [&](const std::string& a, const std::string& b) {
    EXPECT_LT(at.at(a), at.at(b)) << a << " should be drawn under " << b;
  };
  below("Lblhigh2", "Imgmuuri(0)");
  below("Imgmuuri(1013)", "Imgmallivih1");
  below("Imgmallilpo", "Lblcount");
  below("Lblpause", "Imgliekki(0)");
  below("Imgliekki(36)", "Lblkeski(0)");    // the first flame tiles lie under the blocks
  below("Lblkeski(443)", "Imgliekki(37)");  // the rest over them
  below("Imgliekki(319)", "Lblohje1");
  below("Imgpommi(9)", "Imgpelaaja");  // a bomb lies under the player standing on it
  below("Imgpelaaja", "Imgvih(0)");    // an enemy is drawn over the player it touches
  below("Imgvih(9)", "Lblbonus1");
  below("Lblpoints(2)", "Cmdstart");
  below("Cmdnew", "Pic1");
  below("Imgmuuri(500)", "Imgliekki(100)");  // flames cover walls
}

// Every byte of the game object lies in a part the game describes, or is padding that no
// constructor writes: a state variable left out of the description (and so out of the state
// hash, saved games and the scripted driver) fails here.
// Which bytes of a game the parts it describes take.
struct Cover : StateVisitor {
  const Frmbomb& g;
  std::vector<bool> covered;
  std::set<std::string> names;
  template <class Part>
  void mark(const char* name, const Part& part) {
    if (name) {
      EXPECT_TRUE(names.insert(name).second) << name << " described twice";
    }
    const auto from =
        reinterpret_cast<const std::byte*>(&part) - reinterpret_cast<const std::byte*>(&g);
    for (std::size_t i = 0; i < sizeof part; ++i) covered[from + i] = true;
  }
  template <class M>
  void variable(const char* name, M, Range) {
    mark(name, g.*M::pointer);
  }
  template <class M>
  void random(M) {
    mark(nullptr, g.*M::pointer);
  }
  template <class M>
  void clock(M) {
    mark(nullptr, g.*M::pointer);
  }
  template <class M>
  void element(const char* name, M) {
    mark(name, g.*M::pointer);
  }
  template <class M>
  void elements(const char* name, M) {
    mark(name, g.*M::pointer);
  }
  template <class M>
  void element(const char* name, M, int index) {
    mark(name, (g.*M::pointer)(index));
  }
  template <class M>
  void makeUp(M) {
    mark(nullptr, g.*M::pointer);
  }
};

TEST(Description, LeavesNoMemberOfTheGameObjectOut) {
  // Two games made over different bytes: the bytes that stay as they were are padding.
  alignas(Frmbomb) static std::byte zeros[sizeof(Frmbomb)], ones[sizeof(Frmbomb)];
  std::memset(zeros, 0x00, sizeof zeros);
  std::memset(ones, 0xff, sizeof ones);
  const Frmbomb* a = new (zeros) Frmbomb;
  const Frmbomb* b = new (ones) Frmbomb;
  Cover cover{{}, *a, std::vector<bool>(sizeof(Frmbomb)), {}};
  Frmbomb::describe(cover);
  std::string left;
  for (std::size_t i = 0; i < sizeof(Frmbomb); ++i)
    if (!cover.covered[i] && (zeros[i] != std::byte{0x00} || ones[i] != std::byte{0xff}))
      left += " " + std::to_string(i);
  EXPECT_EQ(left, "") << "bytes of the game object in no described part, at offsets";
  a->~Frmbomb();
  b->~Frmbomb();
}

}  // namespace
}  // namespace mazeblast
