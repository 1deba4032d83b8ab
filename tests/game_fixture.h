// A game on the virtual clock, with helpers to set up a field by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <set>

#include "game/Frmbomb.h"
#include "scene/controls.h"
#include "scene/runner.h"

namespace mazeblast {

// A game on a seeded field, played at random through its controls.
struct RandomPlay {
  RandomPlay(std::uint64_t fieldSeed, unsigned keySeed) : rng(keySeed) {
    g.rnd.reseed(fieldSeed);
    g.Form_Load();
  }
  // One step: the shown button pressed, one of `keys` down or up, or a wait of up to
  // `longestWaitMs`.
  template <std::size_t N>
  void step(const int (&keys)[N], int longestWaitMs) {
    const int what = static_cast<int>(rng() % 10);
    if (what == 0) controls.pressShown();
    if (what >= 1 && what <= 3) controls.keyDown(keys[rng() % N], false, false);
    if (what == 4) controls.keyUp(keys[rng() % N]);
    if (what >= 5) advanceBy(g, static_cast<int>(rng() % longestWaitMs));
  }

  std::unique_ptr<Frmbomb> game = std::make_unique<Frmbomb>();
  Frmbomb& g = *game;
  Controls controls{g};
  std::mt19937 rng;
};

// The corner of cell (c, r).
inline int cx(int c) {
  return 360 + 480 * c;
}
inline int cy(int r) {
  return 1320 + 480 * r;
}

struct GameTest : ::testing::Test {
  std::unique_ptr<Frmbomb> game = std::make_unique<Frmbomb>();
  Frmbomb& f = *game;

  void SetUp() override { f.Form_Load(); }

  // Fixtures that set the field up by hand may turn this off; by default the whole game is
  // checked after every tick.
  bool checkInvariants = true;

  void wait(long ms) {
    advanceBy(f, ms, [&](int timer) {
      if (checkInvariants) {
        ASSERT_EQ(f.invariantBroken(), "") << "after Tmr" << timer << " at " << now() << " ms";
      }
    });
  }
  long now() const { return static_cast<long>(f.clock.nowUs / 1000); }

  // Start the game and run the countdown: play begins on the fourth tick, 4000 ms on.
  void startPlaying() {
    f.Cmdstart_Click();
    wait(4000);
  }
  // The timers running besides Tmr1, by number.
  std::set<int> running() const {
    std::set<int> on;
    for (int i = 1; i < 9; ++i)
      if (f.timers[i]->enabled()) on.insert(i + 1);
    return on;
  }
  // Every enemy out of play: hit, hidden, harmless and still.
  void parkEnemies() {
    for (int i = 0; i <= f.enemylast; ++i) {
      f.enemyhit(i) = 1;
      f.Imgvih(i).Visible = false;
    }
  }
  void clearWalls() {
    for (int i = 0; i <= 1011; ++i) f.Imgmuuri(i).Visible = false;
  }
  // Shows the wall tile standing at (x, y).
  void wallQuarter(int x, int y) {
    for (int i = 0; i <= 1011; ++i)
      if (f.Imgmuuri(i).Left == x && f.Imgmuuri(i).Top == y) f.Imgmuuri(i).Visible = true;
  }
  void wallCell(int c, int r) {
    const int x = 360 + 480 * c, y = 1320 + 480 * r;
    for (int q = 0; q < 4; ++q) wallQuarter(x + 240 * (q % 2), y + 240 * (q / 2));
  }
  void putPlayer(int x, int y) {
    f.playerx = x;
    f.playery = static_cast<i16>(y);
  }
  // One main tick with `key` held (0 for none).
  void step(int direction) {
    f.direction = static_cast<i16>(direction);
    f.Tmr2_Timer();
  }
};

// A field set up by hand: play started, no walls, the main tick stopped so tests tick by hand,
// and no invariant checks, since the tests move things at will.
struct HandBuiltField : GameTest {
  void SetUp() override {
    GameTest::SetUp();
    checkInvariants = false;
    startPlaying();
    clearWalls();
    f.Tmr2.disable();
  }
};

}  // namespace mazeblast
