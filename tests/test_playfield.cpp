// The field's position tests against the literal scans of every element, and the random
// walls of each new life and level.
#include <random>

#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

// The literal scans: every element looked at, exact equality of Left and Top.
bool scanPillar(const Frmbomb& f, int x, int y) {
  for (int i = 0; i <= 287; ++i)
    if (f.Lblkeski(i).Left == x && f.Lblkeski(i).Top == y) return true;
  return false;
}
bool scanBlock(const Frmbomb& f, int x, int y) {
  for (int i = 0; i <= 443; ++i)
    if (f.Lblkeski(i).Left == x && f.Lblkeski(i).Top == y) return true;
  return false;
}
int scanWall(const Frmbomb& f, int x, int y) {
  for (int j = 0; j <= 1011; ++j)
    if (f.Imgmuuri(j).Visible && f.Imgmuuri(j).Left == x && f.Imgmuuri(j).Top == y) return j;
  return -1;
}

bool scanFlame(const Frmbomb& f, int x, int y) {
  for (int j = 0; j <= 319; ++j)
    if (f.Imgliekki(j).Visible && f.Imgliekki(j).Left == x && f.Imgliekki(j).Top == y) return true;
  return false;
}

TEST(PositionTests, AgreeWithTheScansOnRandomFields) {
  auto g = std::make_unique<Frmbomb>();
  Frmbomb& f = *g;
  std::mt19937 gen(2024);
  for (int field = 0; field < 20; ++field) {
    for (int j = 0; j <= 1011; ++j) f.Imgmuuri(j).Visible = gen() % 3 == 0;
    // Flame tiles: on even fields written from outside, on and off the lattice, one far away;
    // on odd fields shown by the game's own blasts.
    if (field % 2 == 0) {
      for (int k = 0; k < 40; ++k) {
        Sprite& t = f.Imgliekki(static_cast<int>(gen() % 320));
        t.Visible = gen() % 2 == 0;
        t.Left = k == 0 ? 99999 : 360 + 120 * static_cast<int>(gen() % 110) - 720;
        t.Top = 1320 + 120 * static_cast<int>(gen() % 62) - 720;
      }
    } else {
      ASSERT_FALSE(f.flameAt(0, 0));  // the index is fresh: the game keeps it from here
      f.Tmr5_Timer();                 // the last blasts' tiles go
      for (int b = 0; b < 10; ++b) {
        f.bombactive(b) = 1;
        f.bombx(b) = static_cast<i16>(360 + 240 * (gen() % 49));
        f.bomby(b) = static_cast<i16>(1320 + 240 * (gen() % 25));
        f.currentbomb = static_cast<i16>(b);
        f.rajaytapommi();
      }
    }
    // Every quarter position of the field and two quarters beyond, and some off the lattice.
    for (int x = 360 - 720; x <= 11880 + 1200; x += 120) {
      for (int y = 1320 - 720; y <= 7080 + 1200; y += 120) {
        ASSERT_EQ(f.pillarBlockAt(x, y), scanPillar(f, x, y)) << x << "," << y;
        ASSERT_EQ(f.blockAt(x, y), scanBlock(f, x, y)) << x << "," << y;
        ASSERT_EQ(f.wallTileAt(x, y), scanWall(f, x, y)) << x << "," << y;
        ASSERT_EQ(f.flameAt(x, y), scanFlame(f, x, y)) << x << "," << y;
      }
    }
  }
}

TEST(PositionTests, CornerCellsAreOpenAndOddOddCellsArePillars) {
  Frmbomb f;
  for (auto [c, r] : {std::pair{0, 0}, {24, 0}, {0, 12}, {24, 12}, {12, 11}, {11, 12}})
    EXPECT_FALSE(f.pillarBlockAt(360 + 480 * c, 1320 + 480 * r));
  EXPECT_TRUE(f.pillarBlockAt(360 + 480 * 23, 1320 + 480 * 11));
  // The last cell's other three tiles never stand on a cell corner.
  for (int j : {1009, 1010, 1011}) {
    EXPECT_NE((f.Imgmuuri(j).Left - 360) % 480 + (f.Imgmuuri(j).Top - 1320) % 480, 0);
  }
}

struct Walls : GameTest {
  // Runs the wall placement alone, after one enemy has been put at (ex, ey).
  void place(int ex, int ey) {
    clearWalls();
    f.enemylast = 0;
    f.enemyx(0) = static_cast<i16>(ex);
    f.enemyy(0) = static_cast<i16>(ey);
    f.asetaseinat();
  }
};

TEST_F(Walls, NeverOnAPillarTheStartRowOrAnEnemyOverManySeeds) {
  int fewest = 1000, most = 0;
  for (int seed = 1; seed <= 3000; ++seed) {
    f.rnd.reseed(seed);
    place(360 + 480 * (seed % 25), 1320 + 480 * 2 * (seed % 7));
    ASSERT_GE(f.wallcount, 75);
    ASSERT_LE(f.wallcount, 124);
    fewest = std::min<int>(fewest, f.wallcount + 1);
    most = std::max<int>(most, f.wallcount + 1);
    for (int w = 0; w <= f.wallcount; ++w) {
      const int x = f.wallx(w), y = f.wally(w);
      ASSERT_FALSE(y == 7080 && x >= 4200 && x <= 8040) << seed;
      ASSERT_FALSE(scanPillar(f, x, y)) << seed;
      ASSERT_FALSE(x == f.enemyx(0) && y == f.enemyy(0)) << seed;
      ASSERT_GE(scanWall(f, x, y), 0) << seed;
    }
    // Every shown tile belongs to a drawn wall, and its cell is whole.
    for (int j = 0; j <= 1008; j += 4) {
      const bool shown = f.Imgmuuri(j).Visible;
      for (int q = 1; q < 4; ++q) ASSERT_EQ(f.Imgmuuri(j + q).Visible, shown) << seed;
      ASSERT_FALSE(shown && f.Imgmuuri(j).Left >= 4200 && f.Imgmuuri(j).Left <= 8040 &&
                   f.Imgmuuri(j).Top == 7080);
    }
    ASSERT_TRUE(f.Tmr2.enabled());
  }
  EXPECT_EQ(fewest, 76);
  EXPECT_EQ(most, 125);
}

TEST_F(Walls, DrawsCountThenColumnBeforeRowAndRedrawsBothOnARefusal) {
  // Count 0 -> 76 walls; the first attempt lands on the start row (refused), the second on
  // a pillar (refused), the third on the enemy (refused), the fourth on cell (2, 4).
  std::vector<double> v = {0.0,      12.5 / 25, 12.5 / 13,  // (12, 12): start row
                           1.5 / 25, 1.5 / 13,              // (1, 1): pillar
                           0.5 / 25, 0.5 / 13,              // (0, 0): the enemy's cell
                           2.5 / 25, 4.5 / 13};             // (2, 4)
  for (int w = 1; w <= 75; ++w) {
    v.push_back(24.5 / 25);
    v.push_back(0.5 / 13);  // (24, 0), 75 times over: one wall built again and again
  }
  ASSERT_TRUE(f.rnd.force(v.data(), static_cast<int>(v.size())));
  place(360, 1320);
  EXPECT_EQ(f.wallcount, 75);
  EXPECT_EQ(f.wallx(0), 360 + 480 * 2);
  EXPECT_EQ(f.wally(0), 1320 + 480 * 4);
  int shown = 0;
  for (int j = 0; j <= 1011; ++j) shown += f.Imgmuuri(j).Visible;
  EXPECT_EQ(shown, 8);  // two distinct walls
  EXPECT_GE(f.wallTileAt(360 + 480 * 24, 1320), 0);
  EXPECT_GE(f.wallTileAt(360 + 480 * 2 + 240, 1320 + 480 * 4 + 240), 0);
  EXPECT_EQ(f.Imgmuuri(f.wallTileAt(360 + 480 * 24, 1320)).Picture, f.Imgmuuri(1012).Picture);
}

TEST_F(Walls, ANewWallGetsTheBrickPictureAgain) {
  f.Imgmuuri(0).Picture = f.Imgmuuri(1013).Picture;
  std::vector<double> v = {0.0};
  for (int w = 0; w <= 75; ++w) {
    v.push_back(0.5 / 25);
    v.push_back(0.5 / 13);
  }
  ASSERT_TRUE(f.rnd.force(v.data(), static_cast<int>(v.size())));
  place(11880, 7080);
  EXPECT_EQ(f.Imgmuuri(0).Picture, f.Imgmuuri(1012).Picture);
  EXPECT_TRUE(f.Imgmuuri(3).Visible);
}

TEST_F(Walls, StartingLaterGivesAnotherField) {
  // The random sequence runs on the title screen, so the moment of the start shapes the field.
  auto fieldAfter = [](long titleMs) {
    auto g = std::make_unique<Frmbomb>();
    g->Form_Load();
    advanceBy(*g, titleMs);
    g->Cmdstart_Click();
    advanceBy(*g, 4000);
    std::vector<bool> shown;
    for (int j = 0; j <= 1011; ++j) shown.push_back(g->Imgmuuri(j).Visible);
    return shown;
  };
  EXPECT_EQ(fieldAfter(100), fieldAfter(100));
  EXPECT_NE(fieldAfter(100), fieldAfter(102));
}

}  // namespace
}  // namespace mazeblast

namespace mazeblast {
namespace {

// The flame and blast tests against their scans, with tiles and bombs anywhere.
TEST(PositionTests, FlamesAndBurstBombsAgreeWithTheScans) {
  auto g = std::make_unique<Frmbomb>();
  Frmbomb& f = *g;
  std::mt19937 gen(77);
  auto anywhere = [&](int span) { return 120 + 240 * static_cast<int>(gen() % span); };
  for (int field = 0; field < 50; ++field) {
    for (Sprite& t : f.Imgliekki) {
      t.Visible = gen() % 4 == 0;
      t.Left = anywhere(52);
      t.Top = 1080 + 240 * static_cast<int>(gen() % 28);
    }
    for (int b = 0; b <= 9; ++b) {
      f.Imgpommi(b).Visible = gen() % 2;
      f.Imgpommi(b).Picture = gen() % 2 ? f.Imgmallib4.Picture : f.Imgmallib2.Picture;
      f.bombx(b) = static_cast<i16>(anywhere(52));
      f.bomby(b) = static_cast<i16>(1080 + 240 * static_cast<int>(gen() % 28));
    }
    for (int x = -120; x <= 12600; x += 120) {
      for (int y = 840; y <= 7800; y += 120) {
        bool flame = false, burst = false;
        for (const Sprite& t : f.Imgliekki) flame |= t.Visible && t.Left == x && t.Top == y;
        for (int b = 0; b <= 9; ++b)
          burst |= f.Imgpommi(b).Visible && f.Imgpommi(b).Picture == f.Imgmallib4.Picture &&
                   f.bombx(b) == x && f.bomby(b) == y;
        ASSERT_EQ(f.flameAt(x, y), flame) << x << "," << y;
        ASSERT_EQ(f.burstBombAt(x, y), burst) << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace mazeblast
