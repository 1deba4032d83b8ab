// The field: pillars, the border ring, the wall tiles (whose Visible flags are the whole
// wall map), the position tests, and the random walls of each new life and level.
#include "game/Frmbomb.h"

namespace mazeblast {

namespace {

// The quarter lattice: (x, y) = (360 + 240 a, 1320 + 240 b). False when (x, y) is off it.
bool quarter(int x, int y, int& a, int& b) {
  if ((x - layout::kFieldLeft) % layout::kQuarter != 0 ||
      (y - layout::kFieldTop) % layout::kQuarter != 0)
    return false;
  a = (x - layout::kFieldLeft) / layout::kQuarter;
  b = (y - layout::kFieldTop) / layout::kQuarter;
  return true;
}

constexpr int kQuartersWide = 2 * layout::kColumns, kQuartersHigh = 2 * layout::kRows;

bool inField(int a, int b) {
  return a >= 0 && a < kQuartersWide && b >= 0 && b < kQuartersHigh;
}

bool pillarCell(int c, int r) {
  return c % 2 == 1 && r % 2 == 1;
}

// The non-pillar cells in row order: even rows hold 25 cells, odd rows the 13 of the even
// columns. Cell n owns the wall tiles 4 n to 4 n + 3.
int cellNumber(int c, int r) {
  return r % 2 == 0 ? 38 * (r / 2) + c : 38 * (r / 2) + 25 + c / 2;
}

}  // namespace

bool Frmbomb::pillarBlockAt(int x, int y) const {
  int a, b;
  return quarter(x, y, a, b) && inField(a, b) && pillarCell(a / 2, b / 2);
}

bool Frmbomb::blockAt(int x, int y) const {
  int a, b;
  if (!quarter(x, y, a, b)) return false;
  if (inField(a, b)) return pillarCell(a / 2, b / 2);
  // The border ring lies one quarter outside the field on every side.
  const bool ringRow = (b == -1 || b == kQuartersHigh) && a >= -1 && a <= kQuartersWide;
  const bool ringColumn = (a == -1 || a == kQuartersWide) && b >= 0 && b < kQuartersHigh;
  return ringRow || ringColumn;
}

int Frmbomb::wallTileAt(int x, int y) const {
  int a, b;
  if (!quarter(x, y, a, b) || !inField(a, b)) return -1;
  const int c = a / 2, r = b / 2;
  if (pillarCell(c, r)) return -1;
  const int j = 4 * cellNumber(c, r) + a % 2 + 2 * (b % 2);
  return Imgmuuri(j).Visible ? j : -1;
}

bool Frmbomb::flameAt(int x, int y) const {
  for (const Sprite& f : Imgliekki)
    if (f.Visible && f.Left == x && f.Top == y) return true;
  return false;
}

bool Frmbomb::burstBombAt(int x, int y) const {
  for (int b = 0; b <= 9; ++b)
    if (Imgpommi(b).Visible && Imgpommi(b).Picture == Imgmallib4.Picture && bombx(b) == x &&
        bomby(b) == y)
      return true;
  return false;
}

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
    const int j = 4 * cellNumber((wallx(w) - layout::kFieldLeft) / layout::kCell,
                                 (wally(w) - layout::kFieldTop) / layout::kCell);
    for (int q = 0; q <= 3; ++q) Imgmuuri(j + q).Picture = Imgmuuri(1012).Picture;
    for (int q = 0; q <= 3; ++q) Imgmuuri(j + q).Visible = true;
  }
  Tmr2.enable();
}

}  // namespace mazeblast
