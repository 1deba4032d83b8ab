// The flow between screens: countdown, the timers of each state, keys, pause, quit, death,
// lives, the hi-score, the level bonus and the buttons that lead on.
#include <string>

#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

using Flow = GameTest;

TEST_F(Flow, CountdownShowsOneStageASecondAndPlayStartsOnTheFourthTick) {
  f.Lblcount.Caption = "GO!";  // whatever it showed before, a start shows "3"
  f.Cmdstart_Click();
  const std::pair<long, const char*> stages[] = {{999, "3"},  {1000, "2"}, {1999, "2"},
                                                 {2000, "1"}, {2999, "1"}, {3000, "GO!"}};
  for (auto [at, caption] : stages) {
    wait(at - now());
    EXPECT_EQ(f.Lblcount.Caption, caption) << at;
    EXPECT_TRUE(f.Lblcount.Visible);
    EXPECT_FALSE(f.Tmr2.enabled());
  }
  wait(999);
  EXPECT_FALSE(f.Imgpelaaja.Visible);
  wait(1);  // 4000 ms: play
  EXPECT_FALSE(f.Lblcount.Visible);
  EXPECT_EQ(running(), (std::set<int>{2, 8}));
  EXPECT_TRUE(f.Pic1.Enabled);
  EXPECT_EQ(f.bonus, 3000);
  EXPECT_EQ(f.Lblbonus2.Caption, " 3000");
  EXPECT_TRUE(f.Lblbonus1.Visible && f.Lblbonus2.Visible);
  EXPECT_TRUE(f.Imgpelaaja.Visible);
  EXPECT_EQ(f.Imgpelaaja.Left, 6120);
  EXPECT_EQ(f.Imgpelaaja.Top, 7080);
  EXPECT_EQ(f.Imgpelaaja.Picture, f.Imgmallipel(0).Picture);
  EXPECT_EQ(f.Tmr2.interval(), 77);  // one enemy on level 1
}

TEST_F(Flow, StartResetsTheGameAndShowsTheStatusLine) {
  f.score = 999;
  f.level = 7;
  f.Cmdstart_Click();
  EXPECT_EQ(f.score, 0);
  EXPECT_EQ(f.level, 1);
  EXPECT_EQ(f.lives, 5);
  EXPECT_EQ(f.Lblscore2.Caption, " 0");
  EXPECT_EQ(f.Lbllives2.Caption, " 5");
  EXPECT_EQ(f.Lbllevel2.Caption, " 1");
  for (const Label* l :
       {&f.Lblscore1, &f.Lblscore2, &f.Lbllives1, &f.Lbllives2, &f.Lbllevel1, &f.Lbllevel2})
    EXPECT_TRUE(l->Visible);
  EXPECT_FALSE(f.Cmdstart.Visible || f.Lblohje1.Visible || f.Lblohje2.Visible);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.Imgvih(i).Visible || f.Lblpoints(i).Visible);
  EXPECT_FALSE(f.Lblhigh1.Visible);  // no hi-score before the first game ends
}

TEST_F(Flow, KeysWaitForGoEvenInTheFirstCountdown) {
  f.Cmdstart_Click();
  EXPECT_FALSE(f.keysReachPic1());
  wait(3999);
  EXPECT_FALSE(f.keysReachPic1());
  wait(1);
  EXPECT_TRUE(f.keysReachPic1());
}

TEST_F(Flow, ANewGameStartsClean) {
  startPlaying();
  f.direction = 1;
  f.Pic1_KeyDown(kKeySpace, 0);
  ASSERT_EQ(f.bombactive(0), 1);
  f.wallwreck(40) = 1;
  f.Pic1_KeyDown(kKeyQ, 0);
  f.Cmdnew_Click();
  f.Cmdstart_Click();
  EXPECT_EQ(f.direction, 0);
  EXPECT_EQ(f.bombactive(0), 0);
  EXPECT_EQ(f.bombfuse(0), 0);
  EXPECT_FALSE(f.Imgpommi(0).Visible);
  EXPECT_EQ(f.wallwreck(40), 0);
}

TEST_F(Flow, ArrowsSetOneDirectionAndOnlyItsOwnReleaseClearsIt) {
  startPlaying();
  f.Pic1_KeyDown(kKeyRight, 0);
  EXPECT_EQ(f.direction, 1);
  f.Pic1_KeyDown(kKeyDown, 0);
  EXPECT_EQ(f.direction, 2);
  f.Pic1_KeyUp(kKeyDown, 0);
  EXPECT_EQ(f.direction, 0);  // stops although Right is still held
  f.Pic1_KeyUp(kKeyRight, 0);
  EXPECT_EQ(f.direction, 0);
  f.Pic1_KeyDown(kKeyLeft, 0);
  f.Pic1_KeyUp(kKeyUp, 0);
  EXPECT_EQ(f.direction, 3);
  f.Pic1_KeyDown(kKeyUp, 0);
  EXPECT_EQ(f.direction, 4);
  f.Pic1_KeyDown('X', 0);  // other keys do nothing
  EXPECT_EQ(f.direction, 4);
}

TEST_F(Flow, PauseStopsExactlyTheMainTickAndTheBonusClock) {
  startPlaying();
  f.Tmr5.enable();  // a clean-up under way goes on
  f.Pic1_KeyDown(kKeyP, 0);
  EXPECT_EQ(f.paused, 1);
  EXPECT_TRUE(f.Lblpause.Visible);
  EXPECT_EQ(f.Lblpause.Caption, "Paused!");
  EXPECT_EQ(running(), (std::set<int>{5}));
  f.Pic1_KeyDown(kKeySpace, 0);  // no bombs while paused
  EXPECT_EQ(f.bombactive(0), 0);
  const i16 bonus = f.bonus;
  wait(5000);
  EXPECT_EQ(f.bonus, bonus);     // a pause costs no bonus
  f.Pic1_KeyDown(kKeyRight, 0);  // arrows are still recorded
  EXPECT_EQ(f.direction, 1);
  f.Pic1_KeyDown(kKeyP, 0);
  EXPECT_EQ(f.paused, 0);
  EXPECT_FALSE(f.Lblpause.Visible);
  EXPECT_EQ(running(), (std::set<int>{2, 8}));
}

TEST_F(Flow, QuitEndsTheGameFromPlayAndFromPause) {
  for (bool fromPause : {false, true}) {
    SCOPED_TRACE(fromPause);
    startPlaying();
    f.score = 450;
    if (fromPause) f.Pic1_KeyDown(kKeyP, 0);
    f.Tmr4.enable();
    f.Pic1_KeyDown(kKeyQ, 0);
    EXPECT_EQ(running(), (std::set<int>{}));
    EXPECT_FALSE(f.Pic1.Enabled);
    EXPECT_EQ(f.paused, 0);
    EXPECT_FALSE(f.Lblpause.Visible);
    EXPECT_TRUE(f.Cmdnew.Visible);
    EXPECT_TRUE(f.Lblhigh1.Visible && f.Lblhigh2.Visible);
    EXPECT_EQ(f.hiscore, 450);
    EXPECT_EQ(f.Lblhigh2.Caption, " 450");
    EXPECT_EQ(f.lives, 5);  // no life lost, and the field stays frozen on screen
    EXPECT_TRUE(f.Imgpelaaja.Visible);
    f.Cmdnew_Click();
  }
}

TEST_F(Flow, QuitWithALowerScoreKeepsTheOldHiScore) {
  f.hiscore = 900;
  startPlaying();
  f.score = 300;
  f.Pic1_KeyDown(kKeyQ, 0);
  EXPECT_EQ(f.hiscore, 900);
  EXPECT_EQ(f.Lblhigh2.Caption, " 900");
}

TEST_F(Flow, NewGameShowsTheTitleWithTheHiScoreButNoKeyHelp) {
  startPlaying();
  f.Pic1_KeyDown(kKeySpace, 0);
  f.Pic1_KeyDown(kKeyQ, 0);
  f.Cmdnew_Click();
  EXPECT_TRUE(f.Cmdstart.Visible);
  EXPECT_FALSE(f.Cmdnew.Visible);
  EXPECT_TRUE(f.Lblhigh1.Visible && f.Lblhigh2.Visible);
  EXPECT_FALSE(f.Lblohje1.Visible || f.Lblohje2.Visible);
  EXPECT_FALSE(f.Imgpelaaja.Visible || f.Imgpommi(0).Visible);
  for (int i = 0; i <= 1011; ++i) ASSERT_FALSE(f.Imgmuuri(i).Visible);
  for (const Label* l : {&f.Lblscore1, &f.Lblscore2, &f.Lbllives1, &f.Lbllives2, &f.Lbllevel1,
                         &f.Lbllevel2, &f.Lblbonus1, &f.Lblbonus2})
    EXPECT_FALSE(l->Visible);
  EXPECT_EQ(f.Imgvih(2).Picture, f.Imgmallivih1.Picture);
  EXPECT_EQ(f.Imgvih(0).Left, 3240);
  EXPECT_TRUE(f.Imgvih(1).Visible && f.Lblpoints(1).Visible);
  EXPECT_EQ(running(), (std::set<int>{}));
}

// ---- Death, lives and the hi-score ------------------------------------------------------------

using Death = GameTest;

TEST_F(Death, ElevenFramesOneEvery200MsThenALifeIsTaken) {
  startPlaying();
  parkEnemies();
  f.pelkuolee();
  EXPECT_EQ(f.dying, 1);
  EXPECT_FALSE(f.Pic1.Enabled);
  EXPECT_EQ(running(), (std::set<int>{2, 7, 8}));
  for (int frame = 2; frame <= 11; ++frame) {
    wait(199);
    EXPECT_EQ(f.Imgpelaaja.Picture, f.Imgmallipel(frame - 2).Picture) << frame;
    wait(1);
    EXPECT_EQ(f.Imgpelaaja.Picture, f.Imgmallipel(frame - 1).Picture) << frame;
  }
  EXPECT_EQ(f.lives, 5);
  wait(200);  // 2200 ms after the catch
  EXPECT_EQ(f.lives, 4);
  EXPECT_EQ(f.Lbllives2.Caption, " 4");
  EXPECT_EQ(f.dying, 0);
  EXPECT_FALSE(f.Imgpelaaja.Visible);
  EXPECT_TRUE(f.Cmdcont.Visible);
  EXPECT_FALSE(f.Cmdnew.Visible);
  EXPECT_EQ(running(), (std::set<int>{}));
}

TEST_F(Death, WhileDyingThePlayerStandsStillAndASecondCatchChangesNothing) {
  startPlaying();
  parkEnemies();
  clearWalls();
  f.pelkuolee();
  wait(100);
  f.pelkuolee();
  f.direction = 3;
  const int x = f.playerx;
  f.Tmr2_Timer();
  EXPECT_EQ(f.playerx, x);
  EXPECT_EQ(f.direction, 0);
  wait(100);
  EXPECT_EQ(f.Imgpelaaja.Picture, f.Imgmallipel(1).Picture);  // one frame, not restarted
}

TEST_F(Death, NextLifeRebuildsTheSameLevel) {
  startPlaying();
  f.score = 700;
  f.pelkuolee();
  wait(2200);
  f.Cmdcont_Click();
  EXPECT_EQ(f.Lblcount.Caption, "3");
  EXPECT_FALSE(f.Lblbonus1.Visible);
  for (int i = 0; i <= 1011; ++i) ASSERT_FALSE(f.Imgmuuri(i).Visible);
  wait(4000);
  EXPECT_EQ(f.score, 700);
  EXPECT_EQ(f.level, 1);
  EXPECT_EQ(f.bonus, 3000);
  EXPECT_EQ(f.playerx, 6120);
  EXPECT_EQ(f.Imgpelaaja.Picture, f.Imgmallipel(0).Picture);
  EXPECT_TRUE(f.Imgvih(0).Visible);
  EXPECT_EQ(running(), (std::set<int>{2, 8}));
}

TEST_F(Death, GameOverTakesTheHiScoreOnlyWhenBeaten) {
  startPlaying();
  f.lives = 1;
  f.score = 500;
  f.hiscore = 500;  // equal keeps it
  f.pelkuolee();
  wait(2200);
  EXPECT_EQ(f.lives, 0);
  EXPECT_EQ(f.Lbllives2.Caption, " 0");
  EXPECT_FALSE(f.Cmdcont.Visible);
  EXPECT_TRUE(f.Cmdnew.Visible);
  EXPECT_TRUE(f.Lblhigh1.Visible && f.Lblhigh2.Visible);
  EXPECT_EQ(f.Lblhigh2.Caption, " 500");
  f.Cmdnew_Click();
  startPlaying();
  f.lives = 1;
  f.score = 501;
  f.pelkuolee();
  wait(2200);
  EXPECT_EQ(f.hiscore, 501);
  EXPECT_EQ(f.Lblhigh2.Caption, " 501");
}

// ---- Level cleared and the bonus -----------------------------------------------------------

struct Bonus : GameTest {
  // Hits the level's only enemy; the next Tmr6 tick clears the level.
  void hitTheEnemy() {
    f.enemyhit(0) = 1;
    f.enemyhitpending = 1;
    f.vihkuolee();
  }
};

TEST_F(Bonus, DecaysTenASecondNeverBelowZero) {
  startPlaying();
  parkEnemies();
  wait(10000);
  EXPECT_EQ(f.bonus, 2900);
  EXPECT_EQ(f.Lblbonus2.Caption, " 2900");
  wait(290000);
  EXPECT_EQ(f.bonus, 0);
  wait(5000);
  EXPECT_EQ(f.bonus, 0);
  EXPECT_EQ(f.Lblbonus2.Caption, " 0");
}

TEST_F(Bonus, CountedIntoTheScoreTenATickWhileTheBonusClockStillTakesItsShare) {
  startPlaying();
  f.bonus = 200;  // Tmr8's next tick is due at 5000 ms
  wait(900);
  hitTheEnemy();
  const int scored = f.score;  // the walker's 100
  EXPECT_EQ(scored, 100);
  wait(100);  // 5000: Tmr6 clears the level, then Tmr8 takes its 10
  EXPECT_FALSE(f.Tmr2.enabled());
  EXPECT_FALSE(f.keysReachPic1());
  EXPECT_EQ(f.bonus, 190);
  EXPECT_EQ(running(), (std::set<int>{6, 8, 9}));
  // 190 goes 10 a tick from 5010 to 5190, then one more tick shows the button.
  wait(190);
  EXPECT_EQ(f.bonus, 0);
  EXPECT_FALSE(f.Cmdcont2.Visible);
  EXPECT_EQ(f.score, scored + 190);
  wait(10);
  EXPECT_TRUE(f.Cmdcont2.Visible);
  EXPECT_FALSE(f.Lblbonus1.Visible || f.Lblbonus2.Visible);
  EXPECT_FALSE(f.Tmr9.enabled());
  wait(2000);
  EXPECT_EQ(running(), (std::set<int>{8}));  // Level done: the bonus clock ticks on
}

TEST_F(Bonus, ABonusAlreadyZeroShowsTheButtonAtTheFirstTick) {
  startPlaying();
  f.bonus = 0;
  hitTheEnemy();
  wait(100);
  const int score = f.score;
  wait(10);
  EXPECT_TRUE(f.Cmdcont2.Visible);
  EXPECT_EQ(f.score, score);
}

TEST_F(Bonus, ClearedWhileDyingTakesNoLifeAndTheNextLevelStartsAlive) {
  startPlaying();
  f.pelkuolee();
  wait(600);
  hitTheEnemy();
  wait(100);
  EXPECT_FALSE(f.Tmr7.enabled());
  const PictureRef frozen = f.Imgpelaaja.Picture;
  EXPECT_NE(frozen, f.Imgmallipel(0).Picture);
  wait(5000);
  EXPECT_EQ(f.lives, 5);
  EXPECT_EQ(f.Imgpelaaja.Picture, frozen);
  ASSERT_TRUE(f.Cmdcont2.Visible);
  f.Cmdcont2_Click();
  EXPECT_FALSE(f.Imgpelaaja.Visible);
  EXPECT_EQ(f.level, 2);
  EXPECT_EQ(f.Lbllevel2.Caption, " 2");
  wait(4000);
  EXPECT_EQ(f.dying, 0);
  EXPECT_EQ(f.Imgpelaaja.Picture, f.Imgmallipel(0).Picture);
  EXPECT_EQ(f.enemylast, 1);
  EXPECT_EQ(f.Tmr2.interval(), 69);
}

TEST_F(Bonus, ThePlayNextLevelButtonEndsDeathsAndPauseOfTheLevel) {
  startPlaying();
  f.bonus = 0;
  hitTheEnemy();
  wait(50);
  f.Pic1_KeyDown(kKeyP, 0);  // paused as the level ends
  wait(60);
  ASSERT_TRUE(f.Cmdcont2.Visible);
  EXPECT_TRUE(f.Tmr6.enabled());  // the dying enemy has most of its second to go
  f.Cmdcont2_Click();
  EXPECT_FALSE(f.Tmr6.enabled());
  EXPECT_EQ(f.paused, 0);
  EXPECT_FALSE(f.Lblpause.Visible);
  wait(4000);
  EXPECT_FALSE(f.Cmdcont2.Visible);
  f.Pic1_KeyDown(kKeySpace, 0);
  EXPECT_EQ(f.bombactive(0), 1);
}

TEST_F(Bonus, PlayNextLevelPressedJustAfterADeathTickStaysPressed) {
  startPlaying();
  f.bonus = 0;
  hitTheEnemy();
  wait(100 + 10);  // the level is cleared and counted; the enemy dies on for most of a second
  ASSERT_TRUE(f.Cmdcont2.Visible);
  wait(90);  // a death tick: it switches to the count again
  ASSERT_TRUE(f.Tmr9.enabled());
  f.Cmdcont2_Click();
  wait(10);
  EXPECT_FALSE(f.Cmdcont2.Visible);
  wait(4000);
  EXPECT_FALSE(f.Cmdcont2.Visible);
  EXPECT_TRUE(f.keysReachPic1());
  EXPECT_EQ(f.level, 2);
}

TEST_F(Bonus, FlamesStillBurningGoWithPlayNextLevel) {
  startPlaying();
  f.bonus = 0;
  f.Pic1_KeyDown(kKeySpace, 0);  // a bomb at the start cell, due on the next tick
  f.bombfuse(0) = 1;
  putPlayer(cx(8), cy(12));  // out of its reach
  f.Imgpelaaja.Left = cx(8);
  f.enemyx(0) = static_cast<i16>(cx(12));  // the enemy right above it
  f.enemyy(0) = static_cast<i16>(cy(11));
  f.Imgvih(0).Left = cx(12);
  f.Imgvih(0).Top = cy(11);
  wait(77 + 100 + 10);  // the burst, the death tick that clears the level, the count
  ASSERT_TRUE(f.Cmdcont2.Visible);
  ASSERT_EQ(f.bombflames(0), 1);  // the blast clean-up has not come yet
  f.Cmdcont2_Click();
  // The slots are freed, so the clean-up could no longer find these flames.
  for (int j = 0; j < 320; ++j) ASSERT_FALSE(f.Imgliekki(j).Visible) << j;
  wait(4000 + 500);
  EXPECT_EQ(f.dying, 0);
}

TEST_F(Bonus, StateTableTimersThroughALevel) {
  EXPECT_EQ(running(), (std::set<int>{}));  // Title
  f.Cmdstart_Click();
  EXPECT_EQ(running(), (std::set<int>{3}));  // Countdown
  wait(4000);
  EXPECT_EQ(running(), (std::set<int>{2, 8}));  // Playing
  hitTheEnemy();
  wait(100);
  EXPECT_EQ(running(), (std::set<int>{6, 8, 9}));  // Bonus count
  wait(31000);
  EXPECT_EQ(running(), (std::set<int>{8}));  // Level done
  f.Cmdcont2_Click();
  EXPECT_EQ(running(), (std::set<int>{3, 8}));  // the next countdown
}

}  // namespace
}  // namespace mazeblast
