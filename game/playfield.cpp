// The random walls of each new life and level. The wall tiles' Visible flags are the whole
// wall map.
#include "game/Frmbomb.h"

namespace mazeblast {

void Frmbomb::asetaseinat() {
  wallcount = static_cast<i16>(75 + rnd.below(50));
  for (int w = 0; w <= wallcount; ++w) {
    for (;;) {
      // Column before row, both drawn again on every refusal.
      wallx(w) = static_cast<i16>(360 + 480 * rnd.below(25));
      wally(w) = static_cast<i16>(1320 + 480 * rnd.below(13));
      // Row 12, columns 8 to 16: the player's start cell and four cells either side.
      if (wally(w) == 7080 && wallx(w) >= 4200 && wallx(w) <= 8040) continue;
      if (pillarBlockAt(wallx(w), wally(w))) continue;
      bool onEnemy = false;
      for (int k = 0; k <= enemylast; ++k)
        if (enemyy(k) == wally(w) && enemyx(k) == wallx(w)) onEnemy = true;
      if (onEnemy) continue;
      break;
    }
    const int j = cornerTileAt(wallx(w), wally(w));
    for (int q = 0; q <= 3; ++q) Imgmuuri(j + q).Picture = Imgmuuri(1012).Picture;
    for (int q = 0; q <= 3; ++q) Imgmuuri(j + q).Visible = true;
  }
  Tmr2.enable();
}

}  // namespace mazeblast
