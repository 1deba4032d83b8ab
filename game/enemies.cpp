// Enemies: placement and changes of kind, movement by kind, hits, death and scoring, and the
// test for a cleared level.
#include "game/Frmbomb.h"

namespace mazeblast {

namespace {

// Kind by the draw k (rows) and the level's band (columns): 0 walker, 1 wanderer, 2 hunter.
//                               1-17 18-19 20-21 22-23 24+
constexpr int kKindByLevel[6][5] = {{0, 0, 1, 1, 1}, {0, 1, 1, 1, 2}, {1, 1, 1, 2, 2},
                                    {1, 2, 2, 2, 2}, {2, 2, 2, 2, 2}, {2, 2, 2, 2, 2}};

int levelBand(int level) {
  if (level >= 24) return 4;
  if (level >= 22) return 3;
  if (level >= 20) return 2;
  if (level >= 18) return 1;
  return 0;
}

// A wanderer chases on one draw in this many.
int chaseDivisor(int level) {
  if (level >= 16) return 2;
  if (level >= 14) return 3;
  if (level >= 12) return 4;
  return 5;
}

enum Step { kRight, kDown, kLeft, kUp };

// Walker directions: 0 right, 1 down, 2 left, 3 up.
constexpr Step kWalkerStep[4] = {kRight, kDown, kLeft, kUp};
// The wanderer's random step has its own table: 0 down, 1 right, 2 left, 3 up.
constexpr Step kRandomStep[4] = {kDown, kRight, kLeft, kUp};

// The two quarters ahead that must not block, and the move, for each step.
struct Ahead {
  int x1, y1, x2, y2, dx, dy;
};
constexpr Ahead kAhead[4] = {
    {480, 0, 480, 240, 240, 0},     // right
    {0, 480, 240, 480, 0, 240},     // down
    {-240, 0, -240, 240, -240, 0},  // left
    {0, -240, 240, -240, 0, -240},  // up
};

// Between two cells: on a half-column Left (600 + 480 k) or a half-row Top (1560 + 480 k).
bool betweenCells(int x, int y) {
  const bool halfColumn = x >= 600 && x <= 11640 && (x - 600) % 480 == 0;
  const bool halfRow = y >= 1560 && y <= 6840 && (y - 1560) % 480 == 0;
  return halfColumn || halfRow;
}

}  // namespace

void Frmbomb::asetaviholliset() {
  enemylast = static_cast<i16>(level - 1 >= 10 ? 9 : level - 1);
  tickinterval = static_cast<i16>(77 - 8 * enemylast);
  Tmr2.setInterval(tickinterval);
  for (int i = 0; i <= enemylast; ++i) {
    enemynewkind(i) = 1;
    enemydeathtimer(i) = 10;
    enemyhit(i) = 0;
    for (;;) {
      const int c = rnd.below(25);
      const int r = rnd.below(13);
      enemyx(i) = static_cast<i16>(360 + 480 * c);
      enemyy(i) = static_cast<i16>(1320 + 480 * r);
      // Never within the 27 cells around the player's start, never on a pillar.
      const bool nearStart = c >= 8 && c <= 16 && r >= 10 && r <= 12;
      if (!nearStart && !pillarBlockAt(enemyx(i), enemyy(i))) break;
    }
    Imgvih(i).Left = enemyx(i);
    Imgvih(i).Top = enemyy(i);
    Imgvih(i).Picture = Imgmallivih3.Picture;
    Imgvih(i).Visible = true;
    enemydir(i) = static_cast<i16>(rnd.below(4));
  }
  asetaseinat();
}

void Frmbomb::setEnemyPicture(int i) {
  const Sprite* kindPicture[3] = {&Imgmallivih3, &Imgmallivih2, &Imgmallivih1};
  Imgvih(i).Picture = kindPicture[enemykind(i)]->Picture;
}

void Frmbomb::Tmr8_Timer() {
  bonus = static_cast<i16>(bonus - 10 < 0 ? 0 : bonus - 10);
  Lblbonus2.Caption = numberCaption(bonus);
  for (int i = 0; i <= enemylast; ++i) {
    enemykindclock(i) = static_cast<i16>(enemykindclock(i) + 1);
    if (enemykindclock(i) == 10) {
      enemynewkind(i) = 1;
      enemykindclock(i) = 0;
    }
    if (enemyhit(i) == 0 && enemykind(i) != 2 && !betweenCells(enemyx(i), enemyy(i))) {
      if (rnd.below(2) == 1) enemydir(i) = static_cast<i16>(rnd.below(4));
    }
    if (enemyblocked(i) == 1 && enemykind(i) != 2 && enemyhit(i) == 0) {
      if (rnd.below(2) == 1) {
        enemydir(i) = static_cast<i16>(rnd.below(4));
        enemyblocked(i) = 0;
      }
    }
    if (enemyhit(i) == 0 && enemynewkind(i) == 1) {
      enemykind(i) = static_cast<i16>(kKindByLevel[rnd.below(6)][levelBand(level)]);
      enemynewkind(i) = 0;
      setEnemyPicture(i);
    }
  }
}

bool Frmbomb::stepOpen(int x, int y, int step) const {
  const Ahead& a = kAhead[step];
  auto blocks = [this](int qx, int qy) { return wallTileAt(qx, qy) >= 0 || blockAt(qx, qy); };
  return !blocks(x + a.x1, y + a.y1) && !blocks(x + a.x2, y + a.y2);
}

void Frmbomb::stepEnemy(int i, int step) {
  enemyx(i) = static_cast<i16>(enemyx(i) + kAhead[step].dx);
  enemyy(i) = static_cast<i16>(enemyy(i) + kAhead[step].dy);
  Imgvih(i).Left = enemyx(i);
  Imgvih(i).Top = enemyy(i);
}

void Frmbomb::vihollisliike() {
  // Movement.
  for (int i = 0; i <= enemylast; ++i) {
    const bool mayMove = enemyhit(i) == 0;
    const int x = enemyx(i), y = enemyy(i);
    if (enemykind(i) == 0) {
      const Step step = kWalkerStep[enemydir(i)];
      if (mayMove && stepOpen(x, y, step))
        stepEnemy(i, step);
      else
        enemyblocked(i) = 1;
      continue;
    }
    if (!mayMove) continue;
    bool open[4];
    for (int s = 0; s < 4; ++s) open[s] = stepOpen(x, y, s);
    const bool chase = enemykind(i) == 2 || rnd.below(chaseDivisor(level)) == 0;
    if (chase) {
      // Close the vertical distance first; sideways only when that cannot or need not move.
      bool moved = false;
      if (open[kDown] && enemyy(i) < playery) {
        stepEnemy(i, kDown);
        moved = true;
      }
      if (open[kUp] && playery < enemyy(i)) {
        stepEnemy(i, kUp);
        moved = true;
      }
      if (!moved && enemyx(i) < playerx && open[kRight]) stepEnemy(i, kRight);
      if (!moved && enemyx(i) > playerx && open[kLeft]) stepEnemy(i, kLeft);
    } else {
      enemydir(i) = static_cast<i16>(rnd.below(4));
      const Step step = kRandomStep[enemydir(i)];
      if (open[step]) stepEnemy(i, step);
    }
  }

  // Hits: a bursting bomb on the enemy's corner, or a flame on any of its quarters.
  for (int i = 0; i <= enemylast; ++i) {
    const int x = enemyx(i), y = enemyy(i);
    if (burstBombAt(x, y)) enemyhit(i) = enemyhitpending = 1;
    if (enemyhit(i) == 0 &&
        (flameAt(x, y) || flameAt(x + 240, y) || flameAt(x, y + 240) || flameAt(x + 240, y + 240)))
      enemyhit(i) = enemyhitpending = 1;
  }
  if (enemyhitpending == 1) vihkuolee();

  // Contact: a caught enemy is already hit here, so it cannot kill in the tick it dies.
  if (dying != 0) return;
  for (int i = 0; i <= enemylast; ++i)
    if (enemyhit(i) == 0 && touching(playerx - enemyx(i), playery - enemyy(i))) pelkuolee();
}

void Frmbomb::vihkuolee() {
  for (int i = 0; i <= enemylast; ++i) {
    if (enemyhit(i) != 1 || !Imgvih(i).Visible) continue;
    // Scored by the picture the sprite carries; the dying picture it then gets scores no more.
    Sprite& v = Imgvih(i);
    if (v.Picture == Imgmallivih1.Picture) {
      v.Picture = Imgmallikvih1.Picture;
      score += 200;
      Lblscore2.Caption = numberCaption(score);
    }
    if (v.Picture == Imgmallivih2.Picture) {
      v.Picture = Imgmallikvih2.Picture;
      score += 150;
      Lblscore2.Caption = numberCaption(score);
    }
    if (v.Picture == Imgmallivih3.Picture) {
      v.Picture = Imgmallikvih3.Picture;
      score += 100;
      Lblscore2.Caption = numberCaption(score);
    }
  }
  // Already running: left running, or main ticks faster than 100 ms would hold it off.
  Tmr6.enable();
}

void Frmbomb::Tmr6_Timer() {
  enemyhitpending = 0;
  for (int i = 0; i <= enemylast; ++i) {
    if (enemyhit(i) == 1 && Imgvih(i).Visible) {
      enemydeathtimer(i) = static_cast<i16>(enemydeathtimer(i) - 1);
      if (enemydeathtimer(i) == 0) Imgvih(i).Visible = false;
    }
  }
  int shown = 0, dyingShown = 0, hit = 0;
  for (int i = 0; i <= enemylast; ++i) {
    if (Imgvih(i).Visible) ++shown;
    if (Imgvih(i).Visible && enemyhit(i) == 1) ++dyingShown;
    if (enemyhit(i) == 1) ++hit;
  }
  if (hit == enemylast + 1) tasolapi();
  if (dyingShown == 0) Tmr6.disable();
  if (shown == 0) tasolapi();
  if (shown >= 1 && shown <= 9) tickinterval = static_cast<i16>(77 - 8 * shown);
  Tmr2.setInterval(tickinterval);
}

}  // namespace mazeblast
