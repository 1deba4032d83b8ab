// What must hold of the game between any two handlers, whatever keys, clicks and timing came
// before. The test drivers check it after every handler; the game itself never does.
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
  for (int j = 0; j <= 319; ++j) {
    const Sprite& t = Imgliekki(j);
    if (!t.Visible) continue;
    // The rays reach at most the border ring around the field.
    if (!onLattice(t.Left, t.Top) || t.Left < 120 || t.Left > 12360 || t.Top < 1080 || t.Top > 7560)
      return at("Imgliekki", j) + " is outside the ring the rays can reach";
  }
  if (!title) {
    for (int j = 0; j <= 1011; ++j)
      if (wallwreck(j) == 1 && !Imgmuuri(j).Visible)
        return at("wallwreck", j) + " marks a hidden tile";
  }

  // Which timers run in each state.
  auto on = [](const Timer& t) { return t.enabled(); };
  const int buttons = Cmdstart.Visible + Cmdcont.Visible + Cmdcont2.Visible + Cmdnew.Visible;
  if (buttons > 1) return "more than one button is shown";
  if (Cmdstart.Visible || Cmdcont.Visible || Cmdnew.Visible) {
    for (const Timer* t : {&Tmr2, &Tmr3, &Tmr4, &Tmr5, &Tmr6, &Tmr7, &Tmr8, &Tmr9})
      if (on(*t)) return "a game timer runs on the title, life-lost or game-over screen";
  }
  // Tmr9 may run again here: each death tick of the cleared level repeats its switch to the
  // count, which finds the bonus spent and shows the same button.
  if (Cmdcont2.Visible && (on(Tmr2) || on(Tmr3) || on(Tmr7)))
    return "play runs behind Play next level";
  if (on(Tmr9) && (on(Tmr2) || on(Tmr7) || Pic1.Enabled)) return "the bonus count runs beside play";
  if (on(Tmr3) && (!Lblcount.Visible || on(Tmr2) || on(Tmr7) || Pic1.Enabled))
    return "the countdown runs beside play";
  if (paused == 1 && (on(Tmr2) || on(Tmr8))) return "paused, yet play runs";
  if (dying == 1 && (Pic1.Enabled || !(on(Tmr7) || on(Tmr9) || Cmdcont2.Visible)))
    return "dying without the death animation";
  if (on(Tmr2) && paused == 0 && dying == 0 && !Pic1.Enabled) return "play runs without keys";
  return "";
}

}  // namespace mazeblast
