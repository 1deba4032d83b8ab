#include "tests/soak.h"

#include <algorithm>
#include <memory>
#include <random>
#include <string_view>

#include "game/Frmbomb.h"
#include "scene/registry.h"
#include "scene/runner.h"
#include "scene/state_hash.h"

namespace mazeblast {

namespace {

// The whole game after every handler, chained: two builds of the rules that play alike
// end with the same number.
std::uint64_t digestOf(const Frmbomb& g, std::uint64_t previous) {
  StateDigest d;
  d.add(static_cast<std::int64_t>(previous));
  d.add(g.clock.nowUs);
  d.add(static_cast<std::int64_t>(stateHash(g)));
  return d.value();
}

class Player {
 public:
  Player(std::uint64_t seed, SoakReport& report, bool digest)
      : pick_(seed * 7919 + 17), report_(report), digest_(digest) {
    game_->rnd.reseed(seed);
    game_->Form_Load();
    check("Form_Load");
  }

  void play(double hours) {
    const std::int64_t end = static_cast<std::int64_t>(hours * 3600e6);
    while (game_->clock.nowUs < end && report_.failure.empty()) {
      act();
      wait(waitMs());
      if (chance(0.002)) game_->clock.setFloor(game_->clock.floorMs() ? 0 : 16);
    }
    report_.hours += game_->clock.nowUs / 3600e6;
  }

 private:
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(pick_) < p; }
  int below(int n) { return static_cast<int>(pick_() % static_cast<std::uint64_t>(n)); }

  int waitMs() {
    const int kind = below(10);
    if (kind < 6) return below(101);
    if (kind < 9) return 100 + below(901);
    return 1000 + below(2001);
  }

  void check(const char* after) {
    ++report_.handlers;
    if (digest_) report_.digest = digestOf(*game_, report_.digest);
    if (!report_.failure.empty()) return;
    const std::string broken = game_->invariantBroken();
    if (!broken.empty())
      report_.failure =
          broken + " (after " + after + " at " + std::to_string(game_->clock.nowUs / 1000) + " ms)";
  }

  void wait(int ms) {
    Frmbomb& g = *game_;
    int lives = g.lives;
    advanceBy(g, ms, [&](int timer) {
      if (g.lives < lives) ++report_.livesLost;
      lives = g.lives;
      check(kTimerNames[timer - 1]);
    });
  }

  void key(int code, bool down) {
    Frmbomb& g = *game_;
    if (!g.keysReachPic1()) return;  // lost, as in the game
    if (down) {
      if (code == kKeySpace && g.paused == 0) ++report_.bombsDropped;
      if (code == kKeyP) ++report_.pauses;
      g.Pic1_KeyDown(code, 0);
      held_ = code;
    } else {
      g.Pic1_KeyUp(code, 0);
    }
    check(down ? "Pic1_KeyDown" : "Pic1_KeyUp");
  }

  void act() {
    Frmbomb& g = *game_;
    for (const ButtonBinding& b : kButtons) {
      if (!(g.*b.button).Visible || !chance(0.5)) continue;
      const std::string name = b.name;
      if (name == "Cmdstart") ++report_.games;
      if (name == "Cmdcont2") {
        ++report_.levelsCleared;
        report_.highestLevel = std::max<int>(report_.highestLevel, g.level + 1);
      }
      (g.*b.click)();
      // Half the games start deeper, so the ten-enemy levels at the 5 ms tick get played too.
      if (name == "Cmdstart" && chance(0.5)) g.level = static_cast<i16>(1 + below(30));
      check(b.name);
      return;
    }
    // A slow player: the level has been played for minutes and little bonus is left, so the
    // count can end while the last enemy still dies.
    if (g.keysReachPic1() && chance(0.02)) {
      g.bonus = static_cast<i16>(std::min(g.bonus / 10, below(100)) * 10);
      g.Lblbonus2.Caption = numberCaption(g.bonus);
      check("a slow level");
    }
    const int roll = below(1000);
    if (roll < 300) return key(37 + below(4), true);   // an arrow
    if (roll < 500) return key(37 + below(4), false);  // let one go
    if (roll < 620) return key(kKeySpace, true);
    if (roll < 700) return key(held_, true);  // a key repeat
    if (roll < 750) return key(held_, false);
    if (roll < 760) return key(kKeyP, true);
    if (roll < 762) return key(kKeyQ, true);
    if (roll < 800) return key(below(256), chance(0.5));  // any other key
  }

  static constexpr const char* kTimerNames[9] = {"Tmr1_Timer", "Tmr2_Timer", "Tmr3_Timer",
                                                 "Tmr4_Timer", "Tmr5_Timer", "Tmr6_Timer",
                                                 "Tmr7_Timer", "Tmr8_Timer", "Tmr9_Timer"};
  std::unique_ptr<Frmbomb> game_ = std::make_unique<Frmbomb>();
  std::mt19937_64 pick_;
  SoakReport& report_;
  bool digest_;
  int held_ = kKeyRight;
};

}  // namespace

void SoakReport::add(const SoakReport& r) {
  hours += r.hours;
  handlers += r.handlers;
  games += r.games;
  levelsCleared += r.levelsCleared;
  livesLost += r.livesLost;
  bombsDropped += r.bombsDropped;
  pauses += r.pauses;
  highestLevel = std::max(highestLevel, r.highestLevel);
  if (failure.empty()) failure = r.failure;
}

SoakReport soak(std::uint64_t seed, double hours, bool digest) {
  SoakReport report;
  Player(seed, report, digest).play(hours);
  return report;
}

}  // namespace mazeblast
