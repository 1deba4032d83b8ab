// Bombs: dropping, the fuse, the rays and their reach, cracked walls, chains, clean-up and
// the blast on the player.
#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

struct Bombs : HandBuiltField {
  void SetUp() override {
    HandBuiltField::SetUp();
    parkEnemies();
    putPlayer(cx(0), cy(0));
  }
  void tick(int n = 1) {
    for (int i = 0; i < n; ++i) f.Tmr2_Timer();
  }
  int drop(int x, int y) {
    const int px = f.playerx, py = f.playery;
    putPlayer(x, y);
    f.asetapommi();
    putPlayer(px, py);
    for (int k = 0; k <= 9; ++k)
      if (f.bombactive(k) && f.bombx(k) == x && f.bomby(k) == y) return k;
    return -1;
  }
  void burstNow(int k) {
    f.bombfuse(k) = 1;
    tick();
  }
  // The flame tile of slot b, ray r, step s, if shown.
  bool flame(int b, int r, int s) const { return f.Imgliekki(32 * b + 4 * r + s - 1).Visible; }
  int flamesShown(int b) const {
    int n = 0;
    for (int j = 32 * b; j < 32 * b + 32; ++j) n += f.Imgliekki(j).Visible;
    return n;
  }
  bool cracked(int x, int y) const {
    const int j = f.wallTileAt(x, y);
    return j >= 0 && f.wallwreck(j) == 1 && f.Imgmuuri(j).Picture == f.Imgmuuri(1013).Picture;
  }
  bool intact(int x, int y) const {
    const int j = f.wallTileAt(x, y);
    return j >= 0 && f.wallwreck(j) == 0 && f.Imgmuuri(j).Picture == f.Imgmuuri(1012).Picture;
  }
};

TEST_F(Bombs, DropArmsTheLowestFreeSlotAtThePlayersPlace) {
  putPlayer(cx(4), cy(4) + 240);  // half-way between rows: not snapped to a cell
  f.Pic1_KeyDown(kKeySpace, 0);
  EXPECT_EQ(f.bombactive(0), 1);
  EXPECT_EQ(f.bombx(0), cx(4));
  EXPECT_EQ(f.bomby(0), cy(4) + 240);
  EXPECT_EQ(f.bombfuse(0), 15);
  EXPECT_EQ(f.bombexploded(0), 0);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(f.rayreach(r), 4);
  EXPECT_TRUE(f.Imgpommi(0).Visible);
  EXPECT_EQ(f.Imgpommi(0).Picture, f.Imgmallib1.Picture);
  EXPECT_EQ(f.Imgpommi(0).Left, cx(4));
  EXPECT_EQ(f.Imgpommi(0).Top, cy(4) + 240);
}

TEST_F(Bombs, NoDropWhileAnActiveBombOverlapsThePlayerEvenByAQuarter) {
  putPlayer(cx(2), cy(2));
  f.asetapommi();
  f.asetapommi();  // the second press finds the new bomb underfoot
  EXPECT_EQ(f.bombactive(1), 0);
  for (auto [dx, dy] : {std::pair{240, 0}, {-240, 240}, {240, 240}, {0, -240}}) {
    putPlayer(cx(2) + dx, cy(2) + dy);
    f.asetapommi();
    EXPECT_EQ(f.bombactive(1), 0) << dx << "," << dy;
    EXPECT_EQ(f.bombnear, 1);
  }
  putPlayer(cx(3), cy(2));  // two steps on, the squares only touch
  f.asetapommi();
  EXPECT_EQ(f.bombactive(1), 1);
  EXPECT_EQ(f.bombx(1), cx(3));
}

TEST_F(Bombs, TenAtMostAndTheLowestFreedSlotGoesFirst) {
  for (int k = 0; k < 10; ++k) ASSERT_EQ(drop(cx(2 * k), cy(0)), k);
  putPlayer(cx(0), cy(4));
  f.asetapommi();
  int active = 0;
  for (int k = 0; k < 10; ++k) active += f.bombactive(k);
  EXPECT_EQ(active, 10);
  // Freed 7, then 3: the next drop takes 3, the one after 7.
  for (int k : {7, 3}) f.bombactive(k) = 0;
  EXPECT_EQ(drop(cx(0), cy(6)), 3);
  EXPECT_EQ(drop(cx(0), cy(8)), 7);
}

TEST_F(Bombs, ABurstSlotStaysTakenWhileItsFlamesAreShown) {
  const int b = drop(cx(4), cy(4));
  burstNow(b);
  EXPECT_EQ(f.bombflames(b), 1);
  EXPECT_EQ(drop(cx(10), cy(4)), 1);  // not slot 0, although its fuse has run out
  wait(200);                          // the blast clean-up frees it
  EXPECT_EQ(f.bombactive(b), 0);
  EXPECT_EQ(drop(cx(10), cy(6)), 0);
}

TEST_F(Bombs, FusePicturesAndTheBurstOnTheFifteenthTick) {
  const int b = drop(cx(4), cy(4));
  for (int t = 1; t <= 15; ++t) {
    tick();
    const PictureRef want = t < 5    ? f.Imgmallib1.Picture
                            : t < 10 ? f.Imgmallib2.Picture
                            : t < 15 ? f.Imgmallib3.Picture
                                     : f.Imgmallib4.Picture;
    EXPECT_EQ(f.Imgpommi(b).Picture, want) << t;
    EXPECT_EQ(f.bombexploded(b), t == 15 ? 1 : 0) << t;
  }
  EXPECT_EQ(f.currentbomb, b);
  EXPECT_EQ(f.bombpending(b), 0);
  // Waiting for its clean-up the fuse rests below zero and never wraps round.
  tick(40000);
  EXPECT_EQ(f.bombfuse(b), -1);
  EXPECT_EQ(f.bombexploded(b), 1);
}

TEST_F(Bombs, TheFuseCountsMainTicksWhateverTheirPeriod) {
  for (int interval : {77, 5, 13}) {
    SCOPED_TRACE(interval);
    f.Tmr2.setInterval(interval);
    f.Tmr2.enable();
    const int b = drop(cx(4), cy(4));
    wait(15 * interval - 1);
    EXPECT_EQ(f.bombexploded(b), 0);
    wait(1);
    EXPECT_EQ(f.bombexploded(b), 1);
    f.Tmr2.disable();
    wait(1000);
  }
}

TEST_F(Bombs, BombsDueTogetherBurstInSlotOrderWithinTheTick) {
  const int a = drop(cx(2), cy(0));
  const int b = drop(cx(10), cy(0));
  f.bombfuse(a) = f.bombfuse(b) = 1;
  tick();
  EXPECT_EQ(f.bombexploded(a), 1);
  EXPECT_EQ(f.bombexploded(b), 1);
  EXPECT_EQ(f.currentbomb, b);  // the higher slot burst last
  EXPECT_GT(flamesShown(a), 0);
  EXPECT_GT(flamesShown(b), 0);
}

TEST_F(Bombs, AWallCellBesideTheBombCracksWhollyAndStopsTheRays) {
  wallCell(5, 4);
  const int b = drop(cx(4), cy(4));
  burstNow(b);
  for (int q = 0; q < 4; ++q) EXPECT_TRUE(cracked(cx(5) + 240 * (q % 2), cy(4) + 240 * (q / 2)));
  EXPECT_TRUE(flame(b, 0, 1) && flame(b, 0, 2) && flame(b, 1, 1) && flame(b, 1, 2));
  EXPECT_FALSE(flame(b, 0, 3) || flame(b, 1, 3) || flame(b, 0, 4));
  EXPECT_EQ(f.Imgliekki(32 * b).Left, cx(5));  // the flame tile lies on the cracked quarter
  EXPECT_EQ(f.rayreach(8 * b), 0);
  // The other rays burn their four tiles in open ground.
  for (int r : {2, 3, 4, 5, 6, 7})
    for (int s = 1; s <= 4; ++s) EXPECT_TRUE(flame(b, r, s)) << r << "," << s;
}

TEST_F(Bombs, AWallTwoCellsAwayCracksOnlyOnItsNearQuarters) {
  wallCell(6, 4);
  const int b = drop(cx(4), cy(4));
  burstNow(b);
  EXPECT_TRUE(cracked(cx(6), cy(4)) && cracked(cx(6), cy(4) + 240));
  EXPECT_TRUE(intact(cx(6) + 240, cy(4)) && intact(cx(6) + 240, cy(4) + 240));
  EXPECT_TRUE(flame(b, 0, 3) && !flame(b, 0, 4));
}

TEST_F(Bombs, AWallQuarterMetWithReachOneStandsUntouched) {
  wallCell(6, 4);
  f.Imgmuuri(f.wallTileAt(cx(6), cy(4))).Visible = false;
  f.Imgmuuri(f.wallTileAt(cx(6), cy(4) + 240)).Visible = false;
  const int b = drop(cx(4), cy(4));
  burstNow(b);
  EXPECT_TRUE(flame(b, 0, 3));
  EXPECT_FALSE(flame(b, 0, 4));
  EXPECT_TRUE(intact(cx(6) + 240, cy(4)));
  EXPECT_EQ(f.rayreach(8 * b), 0);
}

TEST_F(Bombs, AHalfClearedWallIsCrossedCrackingItsFarQuarter) {
  wallCell(5, 4);
  wallCell(6, 4);
  for (int y : {cy(4), cy(4) + 240}) f.Imgmuuri(f.wallTileAt(cx(5), y)).Visible = false;
  const int b = drop(cx(4), cy(4));
  burstNow(b);
  EXPECT_TRUE(flame(b, 0, 1));               // the gap (reach 3)
  EXPECT_TRUE(cracked(cx(5) + 240, cy(4)));  // the far quarter (reach 1)
  EXPECT_FALSE(flame(b, 0, 3));              // a wall there, met with reach 1
  EXPECT_TRUE(intact(cx(6), cy(4)));
}

TEST_F(Bombs, PillarsAndTheBorderStopRaysAtTheirFirstStep) {
  const int p = drop(cx(4), cy(3));  // pillars at (3, 3) and (5, 3)
  const int e = drop(cx(0), cy(0));  // the border above and to the left
  f.bombfuse(p) = f.bombfuse(e) = 1;
  tick();
  for (int r : {0, 1, 4, 5}) EXPECT_EQ(flame(p, r, 1) + flame(p, r, 2), 0) << r;
  for (int r : {2, 3, 6, 7}) EXPECT_TRUE(flame(p, r, 4)) << r;
  for (int r : {4, 5, 6, 7}) EXPECT_FALSE(flame(e, r, 1)) << r;
  for (int r : {0, 1, 2, 3}) EXPECT_TRUE(flame(e, r, 4)) << r;
}

TEST_F(Bombs, TheFourthStepHasNoBlockTestAndLandsOnTheBorder) {
  const struct {
    int x, y, rays[2], tx, ty;
  } cases[] = {{11160, cy(0), {0, 1}, 12360, cy(0)},
               {1080, cy(0), {5, 4}, 120, cy(0)},
               {cx(0), 2040, {6, 7}, cx(0), 1080},
               {cx(0), 6360, {3, 2}, cx(0), 7560}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rays[0]);
    const int b = drop(c.x, c.y);
    burstNow(b);
    EXPECT_TRUE(flame(b, c.rays[0], 4) && flame(b, c.rays[1], 4));
    const Sprite& t = f.Imgliekki(32 * b + 4 * c.rays[0] + 3);
    EXPECT_EQ(t.Left, c.tx);
    EXPECT_EQ(t.Top, c.ty);
    EXPECT_TRUE(f.blockAt(t.Left, t.Top));
    wait(200);
  }
}

TEST_F(Bombs, FlamePicturesFollowTheLanes) {
  const int b = drop(cx(4), cy(4));
  burstNow(b);
  const Sprite* lane[8] = {&f.Imgmallilvy, &f.Imgmallilva, &f.Imgmallilpo, &f.Imgmallilpv,
                           &f.Imgmallilva, &f.Imgmallilvy, &f.Imgmallilpv, &f.Imgmallilpo};
  for (int r = 0; r < 8; ++r) EXPECT_EQ(f.Imgliekki(32 * b + 4 * r).Picture, lane[r]->Picture) << r;
  EXPECT_EQ(f.Imgliekki(32 * b + 20).Left, cx(4) - 240);  // ray 5, step 1
  EXPECT_EQ(f.Imgliekki(32 * b + 31).Top, cy(4) - 960);   // ray 7, step 4
}

TEST_F(Bombs, AChainInLineGoesOffOnTheNextTick) {
  const int rays[][2] = {{2, 0}, {0, 2}, {-2, 0}, {0, -2}};  // through rays 0, 3, 5, 6
  for (const auto& d : rays) {
    SCOPED_TRACE(d[0] * 10 + d[1]);
    const int a = drop(cx(6), cy(6));
    const int b = drop(cx(6 + d[0]), cy(6 + d[1]));
    burstNow(a);
    EXPECT_EQ(f.bombfuse(b), 1);
    EXPECT_EQ(f.bombexploded(b), 0);
    tick();
    EXPECT_EQ(f.bombexploded(b), 1);
    wait(200);
  }
}

TEST_F(Bombs, DiagonalNeighboursGoOffThreeWaysButNotUpAndLeft) {
  // (from, to) cells; each needs the quarter of the setting-off tile to be open.
  const struct {
    int c, r, dc, dr;
    bool goesOff;
  } cases[] = {{5, 4, 1, 1, true}, {5, 4, -1, 1, true}, {4, 3, 1, -1, true}, {5, 4, -1, -1, false}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.dc * 10 + k.dr);
    const int a = drop(cx(k.c), cy(k.r));
    const int b = drop(cx(k.c + k.dc), cy(k.r + k.dr));
    burstNow(a);
    EXPECT_EQ(f.bombfuse(b) == 1, k.goesOff);
    wait(200);
    f.bombactive(b) = 0;
    f.Imgpommi(b).Visible = false;
  }
}

TEST_F(Bombs, BurstBombsSetEachOtherOffUntilTheCleanUpFreesBoth) {
  f.Tmr2.setInterval(5);
  const int a = drop(cx(6), cy(6));
  const int b = drop(cx(7), cy(6));  // row 6 is open all along
  f.bombfuse(a) = 1;
  f.Tmr2.enable();
  wait(5);  // a bursts, setting b off
  const long first = now();
  while (f.bombactive(a) == 1 && now() < first + 1000) wait(5);
  // Each burst sets the other off for the next tick; only the clean-up, 200 ms after the
  // first burst, ends it. Every second burst of a takes its first tile again: reach 0, -1, ...
  EXPECT_EQ(now() - first, 200);
  EXPECT_EQ(f.bombactive(b), 0);
  EXPECT_LE(f.rayreach(8 * a), -15);
  EXPECT_LE(f.rayreach(8 * b + 5), -15);
  EXPECT_FALSE(f.Imgpommi(a).Visible || f.Imgpommi(b).Visible);
  EXPECT_EQ(flamesShown(a) + flamesShown(b), 0);
}

TEST_F(Bombs, CleanUpComesOnePeriodAfterTheFirstBurstHoweverManyFollow) {
  wallCell(5, 4);
  wallCell(8, 6);
  const int a = drop(cx(4), cy(4));
  const int b = drop(cx(8), cy(8));
  burstNow(a);
  const long first = now();
  wait(150);
  burstNow(b);                    // 150 ms later: cleared together with the first
  EXPECT_EQ(flamesShown(b), 30);  // rays 6 and 7 stop at the wall's near quarters
  wait(49);
  EXPECT_TRUE(f.Imgpommi(a).Visible && f.Imgpommi(b).Visible);
  wait(1);
  EXPECT_EQ(now() - first, 200);
  EXPECT_FALSE(f.Imgpommi(a).Visible || f.Imgpommi(b).Visible);
  EXPECT_EQ(flamesShown(a) + flamesShown(b), 0);
  EXPECT_FALSE(f.Tmr5.enabled());
  EXPECT_TRUE(cracked(cx(5), cy(4)) && cracked(cx(8), cy(6) + 240));
  wait(799);
  EXPECT_TRUE(cracked(cx(5), cy(4)));
  wait(1);  // 1000 ms after the first burst
  EXPECT_EQ(f.wallTileAt(cx(5), cy(4)), -1);
  EXPECT_EQ(f.wallTileAt(cx(8), cy(6) + 240), -1);
  EXPECT_FALSE(f.Tmr4.enabled());
  for (int j = 0; j <= 1011; ++j) ASSERT_EQ(f.wallwreck(j), 0);
}

TEST_F(Bombs, ACrackedWallStillBlocksThePlayerUntilItIsCleared) {
  wallCell(5, 4);
  const int b = drop(cx(4), cy(4));
  burstNow(b);
  wait(200);
  putPlayer(cx(4), cy(4));
  step(1);
  EXPECT_EQ(f.playerx, cx(4));
  wait(800);
  step(1);
  EXPECT_EQ(f.playerx, cx(4) + 240);
}

TEST_F(Bombs, APlayerOnTheBombIsCaughtOnTheTickOfTheBurst) {
  putPlayer(cx(4), cy(4));
  f.asetapommi();
  tick(14);
  EXPECT_EQ(f.dying, 0);
  tick();
  EXPECT_EQ(f.dying, 1);
}

TEST_F(Bombs, APlayerOffTheBurstBombByAQuarterIsCaughtOnlyByFlames) {
  const int b = drop(cx(4), cy(3));  // pillars either side: no flames right of it
  putPlayer(cx(4) + 240, cy(3));
  burstNow(b);
  EXPECT_EQ(f.dying, 0);
  putPlayer(cx(4), cy(3) + 240);  // half a cell below: ray 3's first tile is on him
  tick();
  EXPECT_EQ(f.dying, 1);
}

TEST_F(Bombs, WalkingIntoShownFlamesCatchesAndClearedOnesDoNot) {
  const int b = drop(cx(6), cy(6));
  burstNow(b);
  putPlayer(cx(9) + 240, cy(6));  // just beyond ray 0's reach
  step(3);
  EXPECT_EQ(f.dying, 0);
  step(3);  // onto ray 0's fourth tile
  EXPECT_EQ(f.dying, 1);
  f.dying = 0;
  wait(200);
  tick();
  EXPECT_EQ(f.dying, 0);
}

TEST_F(Bombs, AFreeSlotSetToOneStaysQuietAndArmsAtFifteen) {
  f.bombfuse(5) = 1;
  tick(3);
  EXPECT_EQ(f.bombexploded(5), 0);
  EXPECT_EQ(f.bombfuse(5), 1);
  for (int k = 0; k < 6; ++k) drop(cx(2 * k), cy(10));
  EXPECT_EQ(f.bombfuse(5), 15);
}

TEST_F(Bombs, NewLifeAndNewLevelFreeEverySlotAndEveryWreckMark) {
  wallCell(5, 4);
  const int j = f.wallTileAt(cx(5), cy(4));
  const int b = drop(cx(4), cy(4));
  putPlayer(cx(20), cy(10));
  f.pelkuolee();
  wait(1500);
  burstNow(b);
  wait(700);  // the death ends, stopping the wreck clean-up before its tick
  ASSERT_FALSE(f.Tmr4.enabled());
  ASSERT_EQ(f.wallwreck(j), 1);
  f.Cmdcont_Click();
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(f.bombactive(k) + f.bombflames(k) + f.bombfuse(k) + f.bombexploded(k), 0);
    EXPECT_FALSE(f.Imgpommi(k).Visible);
  }
  EXPECT_EQ(f.wallwreck(j), 0);  // so it can never hide a new wall later
  EXPECT_EQ(flamesShown(b), 0);
}

}  // namespace
}  // namespace mazeblast
