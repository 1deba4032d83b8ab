// The position tests as the rules give them: every element looked at, exact equality of Left
// and Top. Built into a second copy of the game (its own namespace, mazeblast_literal) that
// the tests and the benchmarks hold against the game's indexed tests.
#include "game/Frmbomb.h"

namespace mazeblast {

bool Frmbomb::pillarBlockAt(int x, int y) const {
  for (int i = 0; i <= 287; ++i)
    if (Lblkeski(i).Left == x && Lblkeski(i).Top == y) return true;
  return false;
}

bool Frmbomb::blockAt(int x, int y) const {
  for (int i = 0; i <= 443; ++i)
    if (Lblkeski(i).Left == x && Lblkeski(i).Top == y) return true;
  return false;
}

int Frmbomb::wallTileAt(int x, int y) const {
  for (int j = 0; j <= 1011; ++j)
    if (Imgmuuri(j).Visible && Imgmuuri(j).Left == x && Imgmuuri(j).Top == y) return j;
  return -1;
}

int Frmbomb::cornerTileAt(int x, int y) const {
  for (int j = 0; j <= 1008; ++j)
    if (Imgmuuri(j).Left == x && Imgmuuri(j).Top == y) return j;
  return -1;
}

bool Frmbomb::flameAt(int x, int y) const {
  for (int j = 0; j <= 319; ++j)
    if (Imgliekki(j).Visible && Imgliekki(j).Left == x && Imgliekki(j).Top == y) return true;
  return false;
}

// No index to keep.
void Frmbomb::placeFlame(int j, PictureRef picture, int x, int y) {
  Sprite& tile = Imgliekki.quiet(j);
  tile.Picture = picture;
  tile.Left = x;
  tile.Top = y;
  tile.Visible = true;
}
void Frmbomb::hideFlame(int j) {
  Imgliekki.quiet(j).Visible = false;
}
void Frmbomb::hideAllFlames() {
  for (int j = 0; j <= 319; ++j) Imgliekki.quiet(j).Visible = false;
}
void Frmbomb::indexFlame(const Sprite&, int) const {}
void Frmbomb::rebuildFlameIndex() const {}
bool Frmbomb::flameIndexAgrees() const {
  return true;
}

}  // namespace mazeblast
