// What must hold of the game between any two handlers, whatever keys, clicks and timing came
// before. The test drivers check it after every handler; the game itself never does.
#include <initializer_list>
#include <string>

#include "game/Frmbomb.h"

namespace mazeblast {

namespace {

bool onLattice(int x, int y) {
  return (x - 360) % 240 == 0 && (y - 1320) % 240 == 0;
}
bool inField(int x, int y) {
  return x >= 360 && x <= 11880 && y >= 1320 && y <= 7080;
}
bool flag(int v) {
  return v == 0 || v == 1;
}

// The screens of the game, told apart by the button shown and the countdown; Play stands for
// playing, paused, dying and the bonus count alike.
enum class Screen { Title, Countdown, Play, LifeLost, LevelDone, Ended, Broken };

constexpr unsigned timerBit(int n) {
  return 1u << n;
}
constexpr unsigned timerSet(std::initializer_list<int> numbers) {
  unsigned bits = 0;
  for (int n : numbers) bits |= timerBit(n);
  return bits;
}

// The timers besides Tmr1 that may run on each screen. "&Play next level" stops the death
// animations and the bonus count, so neither reaches the next countdown. Level done may see
// Tmr9 again: each death tick of the cleared level switches to the count once more, and the
// count, finding the bonus spent, shows the same button.
struct Row {
  const char* name;
  unsigned timers;
};
constexpr Row kStateTable[] = {
    /* Title      */ {"title", timerSet({})},
    /* Countdown  */ {"countdown", timerSet({3, 4, 5, 8})},
    /* Play       */ {"play", timerSet({2, 4, 5, 6, 7, 8, 9})},
    /* LifeLost   */ {"life lost", timerSet({})},
    /* LevelDone  */ {"level done", timerSet({4, 5, 6, 8, 9})},
    /* Ended      */ {"game over", timerSet({})},
};

Screen screenOf(const Frmbomb& f) {
  const int buttons =
      f.Cmdstart.Visible + f.Cmdcont.Visible + f.Cmdcont2.Visible + f.Cmdnew.Visible;
  if (buttons > 1) return Screen::Broken;
  if (f.Cmdstart.Visible) return Screen::Title;
  if (f.Cmdcont.Visible) return Screen::LifeLost;
  if (f.Cmdcont2.Visible) return Screen::LevelDone;
  if (f.Cmdnew.Visible) return Screen::Ended;
  return f.Tmr3.enabled() ? Screen::Countdown : Screen::Play;
}

// What the screen of each button shows besides it; null when the button is where it belongs.
const char* buttonOutOfPlace(const Frmbomb& f, Screen screen) {
  switch (screen) {
    case Screen::Title:
      if (!f.Lblpoints(0).Visible || f.Lblscore1.Visible || f.Imgpelaaja.Visible)
        return "the start button is shown off the title screen";
      break;
    case Screen::LifeLost:
      if (f.lives < 1 || f.dying != 0 || f.Imgpelaaja.Visible)
        return "Play next life is shown with no life lost";
      break;
    case Screen::LevelDone:
      if (f.bonus != 0 || f.Lblbonus1.Visible)
        return "Play next level is shown before the count ends";
      break;
    case Screen::Ended:
      if (!f.Lblhigh1.Visible || f.hiscore < f.score)
        return "New game is shown before the game ended";
      break;
    default: break;
  }
  return nullptr;
}

}  // namespace

std::string Frmbomb::invariantBroken() const {
  auto at = [](const char* name, int i) {
    return std::string(name) + "(" + std::to_string(i) + ")";
  };
  const bool title = Cmdstart.Visible;

  // Ranges of the values that index sets.
  if (enemylast < -1 || enemylast > 9) return "enemylast out of -1..9";
  if (currentbomb < 0 || currentbomb > 9) return "currentbomb out of 0..9";
  if (direction < 0 || direction > 4) return "direction out of 0..4";
  for (int i = 0; i <= 9; ++i) {
    if (enemydir(i) < 0 || enemydir(i) > 3) return at("enemydir", i) + " out of 0..3";
    if (enemykind(i) < 0 || enemykind(i) > 2) return at("enemykind", i) + " out of 0..2";
  }

  // Flags hold 0 or 1.
  for (int v : {paused, dying, enemyhitpending})
    if (!flag(v)) return "a game flag is not 0 or 1";
  for (int i = 0; i <= 9; ++i) {
    if (!flag(bombactive(i)) || !flag(bombexploded(i)) || !flag(bombflames(i)))
      return at("bomb slot", i) + " has a flag not 0 or 1";
    if (bombpending(i) != 0) return at("bombpending", i) + " outlived its fuse pass";
    if (!flag(enemyhit(i)) || !flag(enemyblocked(i)) || !flag(enemynewkind(i)))
      return at("enemy slot", i) + " has a flag not 0 or 1";
  }

  // Counts.
  if (bonus < 0 || bonus > 3000 || bonus % 10 != 0) return "bonus not a multiple of 10 in 0..3000";
  if (lives < 0 || lives > 5) return "lives out of 0..5";
  if (score < 0) return "score below 0";

  // Where things stand.
  if (level > 0 && (!onLattice(playerx, playery) || !inField(playerx, playery)))
    return "the player is off the lattice or outside the field";
  if (Imgpelaaja.Visible && !title && (Imgpelaaja.Left != playerx || Imgpelaaja.Top != playery) &&
      Tmr2.enabled())
    return "Imgpelaaja is not where the player is";
  for (int i = 0; i <= enemylast; ++i) {
    if (!Imgvih(i).Visible || title) continue;
    if (!onLattice(enemyx(i), enemyy(i)) || !inField(enemyx(i), enemyy(i)))
      return at("enemy", i) + " is off the lattice or outside the field";
    if (Imgvih(i).Left != enemyx(i) || Imgvih(i).Top != enemyy(i))
      return at("Imgvih", i) + " is not where its enemy is";
  }
  for (int i = 0; i <= 9; ++i) {
    if (bombflames(i) == 1 && bombactive(i) != 1) return at("bomb slot", i) + " burns but is free";
    if (bombfuse(i) < -1 || bombfuse(i) > 15) return at("bombfuse", i) + " out of -1..15";
    if (bombactive(i) != 1 || title) continue;
    if (!Imgpommi(i).Visible || Imgpommi(i).Left != bombx(i) || Imgpommi(i).Top != bomby(i))
      return at("Imgpommi", i) + " is not shown where its bomb is";
    if (!onLattice(bombx(i), bomby(i)) || !inField(bombx(i), bomby(i)))
      return at("bomb", i) + " is off the lattice or outside the field";
  }
  // The long sets are walked directly: this runs after every handler of hours of play, in
  // builds where each indexed access is a call.
  for (int j = 0; j <= 319; ++j) {
    const Sprite& t = Imgliekki.items[j];
    if (!t.Visible) continue;
    // The rays reach at most the border ring around the field.
    if (!onLattice(t.Left, t.Top) || t.Left < 120 || t.Left > 12360 || t.Top < 1080 || t.Top > 7560)
      return at("Imgliekki", j) + " is outside the ring the rays can reach";
  }
  if (!flameIndexAgrees()) return "the flame index does not match the flame tiles";
  if (!title) {
    for (int j = 0; j <= 1011; ++j)
      if (wallwreck.items[j] == 1 && !Imgmuuri.items[j].Visible)
        return at("wallwreck", j) + " marks a hidden tile";
  }

  // Each button belongs to one screen, and no timer runs on a screen whose row of the state
  // table does not list it.
  const Screen screen = screenOf(*this);
  if (screen == Screen::Broken) return "more than one button is shown";
  if (const char* wrong = buttonOutOfPlace(*this, screen)) return wrong;
  const Row& row = kStateTable[static_cast<int>(screen)];
  for (int n = 2; n <= 9; ++n)
    if (timers[n - 1]->enabled() && !(row.timers & timerBit(n)))
      return "Tmr" + std::to_string(n) + " runs on the " + row.name + " screen";
  // On the title screen the start button holds the focus; Pic1 is enabled there from the start.
  if (Pic1.Enabled && screen != Screen::Play && screen != Screen::Title)
    return std::string("keys reach the ") + row.name + " screen";

  // Within play.
  auto on = [](const Timer& t) { return t.enabled(); };
  if (on(Tmr9) && (on(Tmr2) || on(Tmr7) || Pic1.Enabled)) return "the bonus count runs beside play";
  if (on(Tmr3) && !Lblcount.Visible) return "the countdown runs unseen";
  if (paused == 1 && (on(Tmr2) || on(Tmr8))) return "paused, yet play runs";
  if (on(Tmr7) && dying != 1) return "the death animation runs for a living player";
  if (dying == 1 && (Pic1.Enabled || !(on(Tmr7) || on(Tmr9) || Cmdcont2.Visible)))
    return "dying without the death animation";
  if (on(Tmr2) && paused == 0 && dying == 0 && !Pic1.Enabled) return "play runs without keys";
  return "";
}

}  // namespace mazeblast
