// The main tick: the player's steps on the quarter lattice, stopped by the field's edge,
// pillars and shown wall tiles, and enemy contact.
#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

struct Moving : GameTest {
  void SetUp() override {
    GameTest::SetUp();
    startPlaying();
    parkEnemies();
    clearWalls();
  }
};

TEST_F(Moving, TheFieldEdgeRefusesTheStepAndClearsTheDirection) {
  const struct {
    int x, y, direction;
  } edges[] = {{11880, 3240, 1}, {6120, 7080, 2}, {360, 3240, 3}, {6120, 1320, 4}};
  for (const auto& e : edges) {
    putPlayer(e.x, e.y);
    step(e.direction);
    EXPECT_EQ(f.playerx, e.x);
    EXPECT_EQ(f.playery, e.y);
    EXPECT_EQ(f.direction, 0) << e.direction;
  }
}

TEST_F(Moving, StepsAreQuarterCellsAndTheSpriteFollowsEveryTick) {
  putPlayer(6120, 7080);
  step(4);
  EXPECT_EQ(f.playery, 6840);
  EXPECT_EQ(f.direction, 4);  // held on
  EXPECT_EQ(f.Imgpelaaja.Top, 6840);
  step(3);
  EXPECT_EQ(f.playery, 6840);  // half-way between rows 11 and 12: the pillar at (11, 11) blocks
  EXPECT_EQ(f.direction, 0);
  step(4);
  EXPECT_EQ(f.playery, 6600);
  putPlayer(360, 1320);  // moved elsewhere: shown at the next tick
  step(0);
  EXPECT_EQ(f.Imgpelaaja.Left, 360);
  EXPECT_EQ(f.Imgpelaaja.Top, 1320);
}

TEST_F(Moving, PillarsStopTheStepWithNoHelpAtCorners) {
  putPlayer(840, 1320);  // down would enter the pillar at (1, 1)
  step(2);
  EXPECT_EQ(f.playery, 1320);
  putPlayer(600, 1320);  // half a column off: its second target is the pillar's quarter
  step(2);
  EXPECT_EQ(f.playery, 1320);
  putPlayer(360, 1320);
  step(2);
  EXPECT_EQ(f.playery, 1560);
  putPlayer(360, 1800);  // beside the pillar at (1, 1): right is refused
  step(1);
  EXPECT_EQ(f.playerx, 360);
}

TEST_F(Moving, ShownWallTilesBlockAndHiddenOnesDoNot) {
  putPlayer(360, 1320);
  wallQuarter(360, 1800);
  step(2);
  EXPECT_EQ(f.playery, 1320);
  EXPECT_EQ(f.direction, 0);
  clearWalls();
  wallQuarter(600, 1800);  // the second target alone blocks too
  step(2);
  EXPECT_EQ(f.playery, 1320);
  // A half-broken wall cell: the near quarters gone, the far ones standing.
  clearWalls();
  wallCell(2, 0);
  f.Imgmuuri(8).Visible = f.Imgmuuri(10).Visible = false;  // quarters 0 and 2 of cell (2, 0)
  putPlayer(840, 1320);
  step(1);
  EXPECT_EQ(f.playerx, 1080);  // half a cell in
  step(1);
  EXPECT_EQ(f.playerx, 1080);  // and no further
}

TEST_F(Moving, BombsAreNoObstacle) {
  putPlayer(360, 1320);
  f.Pic1_KeyDown(kKeySpace, 0);
  putPlayer(360, 1800);
  step(4);
  step(4);
  EXPECT_EQ(f.playery, 1320);
}

TEST_F(Moving, ALivingEnemyTouchingThePlayerCatchesHim) {
  f.enemyhit(0) = 0;
  f.enemykind(0) = 0;
  putPlayer(6120, 4200);
  const int touching[][2] = {{-240, -240}, {0, -240},   {240, -240}, {-240, 0}, {0, 0},
                             {240, 0},     {-240, 240}, {0, 240},    {240, 240}};
  for (const auto& o : touching) {
    f.dying = 0;
    f.enemyx(0) = static_cast<i16>(6120 + o[0]);
    f.enemyy(0) = static_cast<i16>(4200 + o[1]);
    step(0);
    EXPECT_EQ(f.dying, 1) << o[0] << "," << o[1];
  }
  // 480 away is no contact, though the sprites overlap by a pixel: walkers walking off.
  const int apart[][3] = {{6600, 4200, 0}, {6120, 4680, 1}, {5640, 4200, 2}, {6600, 4680, 0}};
  for (const auto& a : apart) {
    f.dying = 0;
    f.enemyx(0) = static_cast<i16>(a[0]);
    f.enemyy(0) = static_cast<i16>(a[1]);
    f.enemydir(0) = static_cast<i16>(a[2]);
    step(0);
    EXPECT_EQ(f.dying, 0) << a[0] << "," << a[1];
  }
}

TEST_F(Moving, AHitEnemyIsHarmlessAndADyingPlayerIsNotCaughtAgain) {
  putPlayer(6120, 4200);
  f.enemyx(0) = 6120;
  f.enemyy(0) = 4200;
  f.Imgvih(0).Visible = true;
  step(0);
  EXPECT_EQ(f.dying, 0);
}

}  // namespace
}  // namespace mazeblast
