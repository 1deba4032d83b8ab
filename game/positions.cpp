// The position tests of the field. The rules find things by comparing Left and Top with every
// element's; the pillars, the border and the wall tiles never move, so each test here computes
// the one element that can stand at a quarter position and looks at it, and the flame tiles,
// which move, are counted by the quarter they stand on. Every answer is the one a scan of
// every element would give.
#include <cstring>

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

int Frmbomb::cornerTileAt(int x, int y) const {
  int a, b;
  if (!quarter(x, y, a, b) || !inField(a, b) || a % 2 != 0 || b % 2 != 0) return -1;
  return pillarCell(a / 2, b / 2) ? -1 : 4 * cellNumber(a / 2, b / 2);
}

// ---- The flame index ------------------------------------------------------------------------

namespace {

// The index slot of a lattice quarter of the field or its border ring, or -1 elsewhere.
int flameSlot(int x, int y, int wide, int high) {
  int a, b;
  if (!quarter(x, y, a, b) || a < -1 || a > wide - 2 || b < -1 || b > high - 2) return -1;
  return (b + 1) * wide + (a + 1);
}

}  // namespace

void Frmbomb::indexFlame(const Sprite& tile, int by) const {
  if (!tile.Visible) return;
  const int slot = flameSlot(tile.Left, tile.Top, kIndexWide, kIndexHigh);
  if (slot >= 0)
    flameCount_[slot] = static_cast<std::uint16_t>(flameCount_[slot] + by);
  else
    flameStrays_ += by;
}

void Frmbomb::rebuildFlameIndex() const {
  std::memset(flameCount_, 0, sizeof flameCount_);
  flameStrays_ = 0;
  for (const Sprite& tile : Imgliekki) indexFlame(tile, 1);
  Imgliekki.touched = false;
}

bool Frmbomb::flameAt(int x, int y) const {
  if (Imgliekki.touched) rebuildFlameIndex();
  const int slot = flameSlot(x, y, kIndexWide, kIndexHigh);
  if (slot >= 0) return flameCount_[slot] != 0;
  if (flameStrays_ == 0) return false;
  for (const Sprite& f : Imgliekki)
    if (f.Visible && f.Left == x && f.Top == y) return true;
  return false;
}

bool Frmbomb::flameIndexAgrees() const {
  if (Imgliekki.touched) return true;  // rebuilt before its next use
  const int strays = flameStrays_;
  std::uint16_t kept[kIndexWide * kIndexHigh];
  std::memcpy(kept, flameCount_, sizeof kept);
  rebuildFlameIndex();
  return strays == flameStrays_ && std::memcmp(kept, flameCount_, sizeof kept) == 0;
}

void Frmbomb::placeFlame(int j, PictureRef picture, int x, int y) {
  Sprite& tile = Imgliekki.quiet(j);
  indexFlame(tile, -1);
  tile.Picture = picture;
  tile.Left = x;
  tile.Top = y;
  tile.Visible = true;
  indexFlame(tile, 1);
}

void Frmbomb::hideFlame(int j) {
  Sprite& tile = Imgliekki.quiet(j);
  indexFlame(tile, -1);
  tile.Visible = false;
}

void Frmbomb::hideAllFlames() {
  for (int j = 0; j < Imgliekki.size(); ++j) Imgliekki.quiet(j).Visible = false;
  std::memset(flameCount_, 0, sizeof flameCount_);
  flameStrays_ = 0;
  Imgliekki.touched = false;
}

}  // namespace mazeblast
