// The position tests of the field. The rules find things by comparing Left and Top with every
// element's; the pillars, the border and the wall tiles never move, so each test here computes
// the one element that can stand at a quarter position and looks at it, and the flame tiles,
// which move, are counted by the quarter they stand on. Every answer is the one a scan of
// every element would give.
#include <array>
#include <cstdint>
#include <cstring>

#include "game/Frmbomb.h"

namespace mazeblast {

namespace {

constexpr int kQuartersWide = 2 * layout::kColumns, kQuartersHigh = 2 * layout::kRows;

// Every lattice quarter of the field and of the border ring around it, one slot each:
// quarters a = -1..50 across and b = -1..26 down, x = 360 + 240 a, y = 1320 + 240 b.
constexpr int kSlotsWide = kQuartersWide + 2, kSlotsHigh = kQuartersHigh + 2;
constexpr int kSlots = kSlotsWide * kSlotsHigh;

// The slot of (x, y), or -1 off the lattice or beyond the ring.
int slotOf(int x, int y) {
  const unsigned dx = static_cast<unsigned>(x) - unsigned{layout::kFieldLeft - layout::kQuarter};
  const unsigned dy = static_cast<unsigned>(y) - unsigned{layout::kFieldTop - layout::kQuarter};
  if (dx % layout::kQuarter != 0 || dy % layout::kQuarter != 0) return -1;
  const unsigned a = dx / layout::kQuarter, b = dy / layout::kQuarter;
  if (a >= kSlotsWide || b >= kSlotsHigh) return -1;
  return static_cast<int>(b * kSlotsWide + a);
}

// What stands on each slot for good: the wall tile of that quarter (-1 on pillars and the
// ring), and whether a pillar or border block lies there.
struct Ground {
  std::int16_t wallTile = -1;
  std::int16_t cornerTile = -1;  // the tile of a cell's top-left quarter
  bool pillar = false, block = false;
};

constexpr bool pillarCell(int c, int r) {
  return c % 2 == 1 && r % 2 == 1;
}

// The non-pillar cells in row order: even rows hold 25 cells, odd rows the 13 of the even
// columns. Cell n owns the wall tiles 4 n to 4 n + 3.
constexpr int cellNumber(int c, int r) {
  return r % 2 == 0 ? 38 * (r / 2) + c : 38 * (r / 2) + 25 + c / 2;
}

constexpr std::array<Ground, kSlots> groundTable() {
  std::array<Ground, kSlots> t{};
  for (int b = -1; b <= kQuartersHigh; ++b) {
    for (int a = -1; a <= kQuartersWide; ++a) {
      Ground& g = t[(b + 1) * kSlotsWide + (a + 1)];
      const bool field = a >= 0 && a < kQuartersWide && b >= 0 && b < kQuartersHigh;
      if (!field) {  // the ring: the corners belong to the top and bottom rows
        g.block = true;
        continue;
      }
      const int c = a / 2, r = b / 2;
      g.pillar = g.block = pillarCell(c, r);
      if (g.pillar) continue;
      g.wallTile = static_cast<std::int16_t>(4 * cellNumber(c, r) + a % 2 + 2 * (b % 2));
      if (a % 2 == 0 && b % 2 == 0) g.cornerTile = g.wallTile;
    }
  }
  return t;
}
constexpr std::array<Ground, kSlots> kGround = groundTable();

static_assert(kGround[(0 + 1) * kSlotsWide + (0 + 1)].wallTile == 0);       // cell (0, 0)
static_assert(kGround[(25 + 1) * kSlotsWide + (49 + 1)].wallTile == 1011);  // cell (24, 12)
static_assert(kGround[(3 + 1) * kSlotsWide + (2 + 1)].pillar);              // cell (1, 1)

}  // namespace

bool Frmbomb::pillarBlockAt(int x, int y) const {
  const int slot = slotOf(x, y);
  return slot >= 0 && kGround[slot].pillar;
}

bool Frmbomb::blockAt(int x, int y) const {
  const int slot = slotOf(x, y);
  return slot >= 0 && kGround[slot].block;
}

int Frmbomb::wallTileAt(int x, int y) const {
  const int slot = slotOf(x, y);
  if (slot < 0) return -1;
  const int j = kGround[slot].wallTile;
  return j >= 0 && Imgmuuri(j).Visible ? j : -1;
}

int Frmbomb::cornerTileAt(int x, int y) const {
  const int slot = slotOf(x, y);
  return slot < 0 ? -1 : kGround[slot].cornerTile;
}

// ---- The flame index ------------------------------------------------------------------------

void Frmbomb::indexFlame(const Sprite& tile, int by) const {
  if (!tile.Visible) return;
  const int slot = slotOf(tile.Left, tile.Top);
  if (slot >= 0)
    flameCount_[slot] = static_cast<std::uint16_t>(flameCount_[slot] + by);
  else
    flameStrays_ += by;
}

void Frmbomb::rebuildFlameIndex() const {
  static_assert(sizeof flameCount_ == kSlots * sizeof(std::uint16_t));
  std::memset(flameCount_, 0, sizeof flameCount_);
  flameStrays_ = 0;
  for (const Sprite& tile : Imgliekki.items) indexFlame(tile, 1);
  Imgliekki.touched = false;
}

bool Frmbomb::flameAt(int x, int y) const {
  if (Imgliekki.touched) rebuildFlameIndex();
  const int slot = slotOf(x, y);
  if (slot >= 0) return flameCount_[slot] != 0;
  if (flameStrays_ == 0) return false;
  for (const Sprite& f : Imgliekki)
    if (f.Visible && f.Left == x && f.Top == y) return true;
  return false;
}

bool Frmbomb::flameIndexAgrees() const {
  if (Imgliekki.touched) return true;  // rebuilt before its next use
  const int strays = flameStrays_;
  std::uint16_t kept[kSlots];
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
