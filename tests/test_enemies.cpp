// Enemies: placement, kinds, turning, movement by kind, hits, scoring, death animations and
// the cleared level.
#include <cmath>

#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

struct Enemies : HandBuiltField {
  void SetUp() override {
    HandBuiltField::SetUp();
    f.Tmr8.disable();
    putPlayer(cx(24), cy(12));
  }
  // Puts enemy i, alive, at (x, y) with a kind and direction.
  void put(int i, int x, int y, int kind, int dir = 0) {
    if (f.enemylast < i) f.enemylast = static_cast<i16>(i);
    f.enemyx(i) = static_cast<i16>(x);
    f.enemyy(i) = static_cast<i16>(y);
    f.enemykind(i) = static_cast<i16>(kind);
    f.enemydir(i) = static_cast<i16>(dir);
    f.enemyhit(i) = 0;
    f.enemyblocked(i) = 0;
    f.enemydeathtimer(i) = 10;
    f.Imgvih(i).Left = x;
    f.Imgvih(i).Top = y;
    f.Imgvih(i).Visible = true;
    const Sprite* pictures[3] = {&f.Imgmallivih3, &f.Imgmallivih2, &f.Imgmallivih1};
    f.Imgvih(i).Picture = pictures[kind]->Picture;
  }
  void move() { f.vihollisliike(); }
};

TEST(Placement, OutsideTheStartZoneOffPillarsOverManySeeds) {
  auto g = std::make_unique<Frmbomb>();
  Frmbomb& f = *g;
  int nearest = 100;
  for (int seed = 1; seed <= 2000; ++seed) {
    f.rnd.reseed(seed);
    for (int i = 0; i <= 1011; ++i) f.Imgmuuri(i).Visible = false;
    f.level = static_cast<i16>(1 + seed % 14);
    f.asetaviholliset();
    ASSERT_EQ(f.enemylast, std::min(f.level - 1, 9));
    ASSERT_EQ(f.Tmr2.interval(), 77 - 8 * f.enemylast);
    for (int i = 0; i <= f.enemylast; ++i) {
      const int c = (f.enemyx(i) - 360) / 480, r = (f.enemyy(i) - 1320) / 480;
      ASSERT_EQ(f.enemyx(i), 360 + 480 * c);
      ASSERT_EQ(f.enemyy(i), 1320 + 480 * r);
      ASSERT_FALSE(c >= 8 && c <= 16 && r >= 10) << seed;
      ASSERT_FALSE(c % 2 == 1 && r % 2 == 1) << seed;
      ASSERT_EQ(f.wallTileAt(f.enemyx(i), f.enemyy(i)), -1) << seed;  // no wall on an enemy
      ASSERT_TRUE(f.Imgvih(i).Visible);
      ASSERT_EQ(f.Imgvih(i).Picture, f.Imgmallivih3.Picture);
      ASSERT_EQ(f.enemyhit(i), 0);
      ASSERT_EQ(f.enemydeathtimer(i), 10);
      ASSERT_EQ(f.enemynewkind(i), 1);
      ASSERT_TRUE(f.enemydir(i) >= 0 && f.enemydir(i) <= 3);
      nearest = std::min(nearest, std::abs(c - 12) + std::abs(r - 12));
    }
  }
  EXPECT_EQ(nearest, 3);  // row 9 above the start, or five columns beside it
}

TEST(Placement, LevelsGetTheirNumberOfEnemiesAtMostTen) {
  Frmbomb f;
  for (auto [level, last, interval] :
       {std::tuple{1, 0, 77}, {2, 1, 69}, {9, 8, 13}, {10, 9, 5}, {11, 9, 5}, {40, 9, 5}}) {
    f.level = static_cast<i16>(level);
    f.asetaviholliset();
    EXPECT_EQ(f.enemylast, last);
    EXPECT_EQ(f.tickinterval, interval);
    EXPECT_EQ(f.Tmr2.interval(), interval);
  }
}

TEST_F(Enemies, KindTableByLevel) {
  // Rows k = 0..5; columns levels 17, 18, 20, 22, 24.
  const int table[6][5] = {{0, 0, 1, 1, 1}, {0, 1, 1, 1, 2}, {1, 1, 1, 2, 2},
                           {1, 2, 2, 2, 2}, {2, 2, 2, 2, 2}, {2, 2, 2, 2, 2}};
  const int levels[5] = {17, 18, 20, 22, 24};
  const Sprite* pictures[3] = {&f.Imgmallivih3, &f.Imgmallivih2, &f.Imgmallivih1};
  for (int col = 0; col < 5; ++col) {
    for (int k = 0; k < 6; ++k) {
      f.level = static_cast<i16>(levels[col]);
      put(0, cx(2), cy(2), 2);  // a hunter draws no turns: the one draw is the kind
      f.enemylast = 0;
      f.enemynewkind(0) = 1;
      const double v = (k + 0.5) / 6;
      ASSERT_TRUE(f.rnd.force(&v, 1));
      f.Tmr8_Timer();
      EXPECT_EQ(f.enemykind(0), table[k][col]) << "k " << k << " level " << levels[col];
      EXPECT_EQ(f.Imgvih(0).Picture, pictures[table[k][col]]->Picture);
      EXPECT_EQ(f.enemynewkind(0), 0);
    }
  }
  f.level = 1;
  f.enemynewkind(0) = 1;
  const double v = 5.5 / 6;
  ASSERT_TRUE(f.rnd.force(&v, 1));
  f.Tmr8_Timer();
  EXPECT_EQ(f.enemykind(0), 2);
}

TEST_F(Enemies, KindClockDrawsEveryTenthTick) {
  put(0, cx(2), cy(2), 2);
  f.enemynewkind(0) = 0;
  f.enemykindclock(0) = 0;
  for (int t = 1; t <= 9; ++t) f.Tmr8_Timer();
  EXPECT_EQ(f.enemykindclock(0), 9);
  f.enemykind(0) = 2;
  f.Imgvih(0).Picture = f.Imgmallilva.Picture;  // marks "no new kind drawn yet"
  f.Tmr8_Timer();
  EXPECT_EQ(f.enemykindclock(0), 0);
  EXPECT_NE(f.Imgvih(0).Picture, f.Imgmallilva.Picture);
  // A hit enemy's clock runs on, but it draws no kind.
  f.enemyhit(0) = 1;
  f.Imgvih(0).Picture = f.Imgmallilva.Picture;
  for (int t = 1; t <= 10; ++t) f.Tmr8_Timer();
  EXPECT_EQ(f.Imgvih(0).Picture, f.Imgmallilva.Picture);
}

TEST_F(Enemies, WalkersTurnOnlyOnCellsButUnblockAnywhere) {
  const double turn[] = {0.75, 0.6};  // turn (1), to direction 2
  // On a cell.
  put(0, cx(2), cy(2), 0, 0);
  f.enemylast = 0;
  f.enemynewkind(0) = 0;
  ASSERT_TRUE(f.rnd.force(turn, 2));
  f.Tmr8_Timer();
  EXPECT_EQ(f.enemydir(0), 2);
  // Between cells on either axis: no turning draw; the same values fall to nothing.
  for (auto [x, y] : {std::pair{cx(2) + 240, cy(2)}, {cx(2), cy(2) + 240}}) {
    put(0, x, y, 0, 0);
    f.enemynewkind(0) = 0;
    ASSERT_TRUE(f.rnd.force(turn, 2));
    f.Tmr8_Timer();
    EXPECT_EQ(f.enemydir(0), 0);
    // ...but a stuck walker there draws to unblock.
    f.enemyblocked(0) = 1;
    ASSERT_TRUE(f.rnd.force(turn, 2));
    f.Tmr8_Timer();
    EXPECT_EQ(f.enemydir(0), 2);
    EXPECT_EQ(f.enemyblocked(0), 0);
  }
  // A hunter never turns nor unblocks.
  put(0, cx(2), cy(2), 2, 3);
  f.enemyblocked(0) = 1;
  f.enemynewkind(0) = 0;
  ASSERT_TRUE(f.rnd.force(turn, 2));
  f.Tmr8_Timer();
  EXPECT_EQ(f.enemydir(0), 3);
  EXPECT_EQ(f.enemyblocked(0), 1);
}

TEST_F(Enemies, BonusClockNeverTakesTheBonusBelowZero) {
  f.bonus = 5;
  f.Tmr8_Timer();
  EXPECT_EQ(f.bonus, 0);
  f.Tmr8_Timer();
  EXPECT_EQ(f.bonus, 0);
  EXPECT_EQ(f.Lblbonus2.Caption, " 0");
}

TEST_F(Enemies, AWalkerWalksUntilBlockedThenWaitsForATurn) {
  put(0, cx(20), cy(0), 0, 0);         // right along row 0
  for (int t = 0; t < 9; ++t) move();  // eight steps, then the border ring
  EXPECT_EQ(f.enemyx(0), cx(24));
  EXPECT_EQ(f.Imgvih(0).Left, cx(24));
  EXPECT_EQ(f.enemyblocked(0), 1);
  move();
  EXPECT_EQ(f.enemyx(0), cx(24));
  EXPECT_EQ(f.enemydir(0), 0);  // it never turns by itself
  // A wall quarter ahead blocks too, and it walks through bombs.
  put(0, cx(2), cy(2), 0, 1);  // down
  wallQuarter(cx(2) + 240, cy(4));
  f.Imgpommi(0).Visible = true;
  f.bombx(0) = static_cast<i16>(cx(2));
  f.bomby(0) = static_cast<i16>(cy(3));
  for (int t = 0; t < 6; ++t) move();
  EXPECT_EQ(f.enemyy(0), cy(3));
  EXPECT_EQ(f.enemyblocked(0), 1);
}

TEST_F(Enemies, HunterClosesTheVerticalDistanceFirst) {
  putPlayer(cx(8), cy(8));
  put(0, cx(4), cy(4), 2);
  move();
  EXPECT_EQ(f.enemyy(0), cy(4) + 240);  // down, not right
  EXPECT_EQ(f.enemyx(0), cx(4));
  put(0, cx(4), cy(8), 2);  // level with the player: sideways
  move();
  EXPECT_EQ(f.enemyx(0), cx(4) + 240);
  put(0, cx(8), cy(8) + 240, 2);  // straight below: up
  move();
  EXPECT_EQ(f.enemyy(0), cy(8));
  // One row above the player with the step down closed: sideways toward his column...
  putPlayer(cx(8), cy(7));
  put(0, cx(4), cy(6), 2);
  wallQuarter(cx(4), cy(7));
  move();
  EXPECT_EQ(f.enemyx(0), cx(4) + 240);
  EXPECT_EQ(f.enemyy(0), cy(6));
  putPlayer(cx(8), cy(8));
  // ...unless it is in his column already: then it stays.
  clearWalls();
  put(0, cx(8), cy(6), 2);
  wallQuarter(cx(8), cy(7));
  move();
  EXPECT_EQ(f.enemyx(0), cx(8));
  EXPECT_EQ(f.enemyy(0), cy(6));
  // On the player's row with a wall between: it stays.
  clearWalls();
  put(0, cx(4), cy(8), 2);
  wallQuarter(cx(5), cy(8));
  move();
  EXPECT_EQ(f.enemyx(0), cx(4));
}

TEST_F(Enemies, WandererChasesByItsLevelsShare) {
  // In the corner with the player straight below: a chase steps down; a random step goes down
  // or right a quarter of the time each, and left or up not at all.
  putPlayer(cx(0), cy(12));
  for (auto [level, share] : {std::pair{1, 1.0 / 5},
                              {11, 1.0 / 5},
                              {12, 1.0 / 4},
                              {14, 1.0 / 3},
                              {16, 1.0 / 2},
                              {30, 1.0 / 2}}) {
    f.level = static_cast<i16>(level);
    int down = 0;
    const int n = 20000;
    for (int t = 0; t < n; ++t) {
      put(0, cx(0), cy(0), 1);
      move();
      down += f.enemyy(0) == cy(0) + 240;
    }
    const double chase = (down / double(n) - 0.25) / 0.75;
    EXPECT_NEAR(chase, share, 0.02) << "level " << level;
  }
}

TEST_F(Enemies, TheRandomStepHasItsOwnTable) {
  put(0, cx(2), cy(2), 1);
  f.level = 1;
  // The chase draw (not 0), then d: 0 down, 1 right, 2 left, 3 up.
  const std::pair<double, std::pair<int, int>> steps[] = {
      {0.1, {0, 240}}, {0.3, {240, 0}}, {0.6, {-240, 0}}, {0.9, {0, -240}}};
  for (auto [d, delta] : steps) {
    put(0, cx(2), cy(2), 1);
    const double v[] = {0.5, d};
    ASSERT_TRUE(f.rnd.force(v, 2));
    move();
    EXPECT_EQ(f.enemyx(0) - cx(2), delta.first) << d;
    EXPECT_EQ(f.enemyy(0) - cy(2), delta.second) << d;
    EXPECT_EQ(f.enemydir(0), static_cast<int>(d * 4));
  }
}

TEST_F(Enemies, HitByABurstingBombOnItsCornerOrAFlameOnAnyQuarter) {
  f.Imgpommi(0).Visible = true;
  f.Imgpommi(0).Picture = f.Imgmallib4.Picture;
  f.bombx(0) = static_cast<i16>(cx(4));
  f.bomby(0) = static_cast<i16>(cy(4));
  put(0, cx(4), cy(4), 2);
  putPlayer(cx(4), cy(4));  // a hunter level with the player stays put
  move();
  EXPECT_EQ(f.enemyhit(0), 1);
  EXPECT_EQ(f.enemyhitpending, 1);
  // Half a cell off the burst bomb is no hit.
  f.enemyhitpending = 0;
  put(0, cx(4) + 240, cy(4), 2);
  putPlayer(cx(4) + 240, cy(4));
  move();
  EXPECT_EQ(f.enemyhit(0), 0);
  f.Imgpommi(0).Visible = false;
  // A flame on any of its four quarters hits; one beside them does not.
  putPlayer(cx(20), cy(4));
  for (auto [dx, dy, hits] : {std::tuple{0, 0, true},
                              {240, 0, true},
                              {0, 240, true},
                              {240, 240, true},
                              {480, 0, false},
                              {0, -240, false}}) {
    put(0, cx(8), cy(8), 0, 0);
    wallCell(9, 8);  // the walker stays put
    f.Imgliekki(40).Visible = true;
    f.Imgliekki(40).Left = cx(8) + dx;
    f.Imgliekki(40).Top = cy(8) + dy;
    move();
    EXPECT_EQ(f.enemyhit(0), hits ? 1 : 0) << dx << "," << dy;
    clearWalls();
  }
}

TEST_F(Enemies, ContactAtTheNineOffsetsButNotWhileDyingNorFromACaughtEnemy) {
  putPlayer(cx(10), cy(6));
  for (int dx : {-240, 0, 240}) {
    for (int dy : {-240, 0, 240}) {
      f.dying = 0;
      put(0, cx(10) + dx, cy(6) + dy, 0, 0);
      wallCell(11, 6);
      wallCell(11, 5);
      f.vihollisliike();
      EXPECT_EQ(f.dying, 1) << dx << "," << dy;
      clearWalls();
    }
  }
  f.dying = 0;
  put(0, cx(10) + 480, cy(6), 0, 0);
  move();
  EXPECT_EQ(f.dying, 0);
  // While dying, walking onto the player catches nothing new.
  f.pelkuolee();
  f.Tmr7.disable();
  put(0, cx(10), cy(6), 0, 0);
  f.Pic1.Enabled = true;
  move();
  EXPECT_TRUE(f.Pic1.Enabled);
  // Caught by a flame in this tick, it cannot kill in this tick.
  f.dying = 0;
  put(0, cx(10), cy(6), 0, 0);
  wallCell(11, 6);
  f.Imgliekki(0).Visible = true;
  f.Imgliekki(0).Left = cx(10) + 240;
  f.Imgliekki(0).Top = cy(6) + 240;
  move();
  EXPECT_EQ(f.enemyhit(0), 1);
  EXPECT_EQ(f.dying, 0);
}

TEST_F(Enemies, ScoredByThePictureTheyCarryOnce) {
  put(0, cx(2), cy(2), 2);  // a hunter still in the walker's picture: 100
  f.Imgvih(0).Picture = f.Imgmallivih3.Picture;
  put(1, cx(6), cy(2), 1);
  put(2, cx(10), cy(2), 2);
  f.enemylast = 2;
  f.score = 0;
  for (int i = 0; i <= 2; ++i) f.enemyhit(i) = 1;  // all hit in one tick
  f.enemyhitpending = 1;
  f.vihkuolee();
  EXPECT_EQ(f.score, 100 + 150 + 200);
  EXPECT_EQ(f.Lblscore2.Caption, " 450");
  EXPECT_EQ(f.Imgvih(0).Picture, f.Imgmallikvih3.Picture);
  EXPECT_EQ(f.Imgvih(1).Picture, f.Imgmallikvih2.Picture);
  EXPECT_EQ(f.Imgvih(2).Picture, f.Imgmallikvih1.Picture);
  EXPECT_TRUE(f.Tmr6.enabled());
  wait(50);
  f.vihkuolee();  // again on the next main tick: nothing more, and Tmr6 keeps its time
  EXPECT_EQ(f.score, 450);
  wait(49);
  EXPECT_EQ(f.enemydeathtimer(0), 10);
  wait(1);
  EXPECT_EQ(f.enemydeathtimer(0), 9);
  EXPECT_EQ(f.enemyhitpending, 0);
}

TEST_F(Enemies, DyingEnemiesVanishAfterTenTicksAndTheLastHitClearsTheLevel) {
  put(0, cx(2), cy(2), 0);
  put(1, cx(6), cy(2), 0);
  f.enemylast = 1;
  f.tickinterval = 69;
  f.enemyhit(0) = 1;
  f.vihkuolee();
  wait(100);  // one dying, one alive: both shown
  EXPECT_EQ(f.tickinterval, 61);
  EXPECT_EQ(f.Tmr2.interval(), 61);
  EXPECT_FALSE(f.Tmr9.enabled());
  wait(900);  // the tenth tick hides it
  EXPECT_FALSE(f.Imgvih(0).Visible);
  EXPECT_EQ(f.tickinterval, 69);
  EXPECT_FALSE(f.Tmr6.enabled());
  // The last enemy: the level is cleared at the first Tmr6 tick after its hit.
  f.Tmr2.enable();
  f.enemyhit(1) = 1;
  f.vihkuolee();
  wait(99);
  EXPECT_TRUE(f.Tmr2.enabled());
  wait(1);
  EXPECT_FALSE(f.Tmr2.enabled());
  EXPECT_TRUE(f.Tmr9.enabled());
  EXPECT_TRUE(f.Imgvih(1).Visible);  // still dying on the screen
  wait(900);
  EXPECT_FALSE(f.Imgvih(1).Visible);
  EXPECT_FALSE(f.Tmr6.enabled());
}

TEST_F(Enemies, TickIntervalFollowsTheEnemiesShown) {
  for (int i = 0; i <= 9; ++i) put(i, cx(2 * i), cy(0), 0);
  f.enemylast = 9;
  f.tickinterval = 5;
  for (int shown = 10; shown >= 1; --shown) {
    for (int i = 0; i <= 9; ++i) f.Imgvih(i).Visible = i < shown;
    f.Tmr6_Timer();
    EXPECT_EQ(f.tickinterval, shown == 10 ? 5 : 77 - 8 * shown) << shown;
  }
}

}  // namespace
}  // namespace mazeblast
