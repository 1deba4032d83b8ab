// The main tick with the player's movement, and the player's death, lives and hi-score.
#include "game/Frmbomb.h"

namespace mazeblast {

namespace {

// The two quarter cells a step would newly cover, relative to the player's corner.
struct Targets {
  int x1, y1, x2, y2;
};
constexpr Targets kTargets[5] = {
    {0, 0, 0, 0},          // 0 none
    {480, 0, 480, 240},    // 1 right
    {0, 480, 240, 480},    // 2 down
    {-240, 0, -240, 240},  // 3 left
    {0, -240, 240, -240},  // 4 up
};

}  // namespace

bool Frmbomb::touching(int dx, int dy) {
  return (dx == -240 || dx == 0 || dx == 240) && (dy == -240 || dy == 0 || dy == 240);
}

void Frmbomb::Tmr2_Timer() {
  if (dying == 1) direction = 0;

  if ((direction == 1 && playerx == 11880) || (direction == 2 && playery == 7080) ||
      (direction == 3 && playerx == 360) || (direction == 4 && playery == 1320))
    direction = 0;

  const Targets& t = kTargets[direction];
  if (direction != 0 && (pillarBlockAt(playerx + t.x1, playery + t.y1) ||
                         pillarBlockAt(playerx + t.x2, playery + t.y2)))
    direction = 0;
  if (direction != 0 && (wallTileAt(playerx + t.x1, playery + t.y1) >= 0 ||
                         wallTileAt(playerx + t.x2, playery + t.y2) >= 0))
    direction = 0;

  if (direction == 1) playerx += 240;
  if (direction == 2) playery = static_cast<i16>(playery + 240);
  if (direction == 3) playerx -= 240;
  if (direction == 4) playery = static_cast<i16>(playery - 240);

  Imgpelaaja.Left = playerx;
  Imgpelaaja.Top = playery;

  if (dying == 0) {
    for (int e = 0; e <= enemylast; ++e)
      if (enemyhit(e) == 0 && touching(playerx - enemyx(e), playery - enemyy(e))) pelkuolee();
  }

  pommiliike();
  vihollisliike();
  pelpommiin();
}

void Frmbomb::pelkuolee() {
  dying = 1;
  Pic1.Enabled = false;
  Tmr7.enable();
}

void Frmbomb::Tmr7_Timer() {
  // From the last frame to the first, so one tick moves one frame.
  if (Imgpelaaja.Picture == Imgmallipel(10).Picture) {
    Imgpelaaja.Visible = false;
    lives = static_cast<i16>(lives - 1);
    dying = 0;
    Lbllives2.Caption = numberCaption(lives);
    for (Timer* t : {&Tmr2, &Tmr4, &Tmr5, &Tmr6, &Tmr7, &Tmr8}) t->disable();
    if (lives != 0) Cmdcont.Visible = true;
    if (lives == 0) {
      if (score > hiscore) hiscore = score;
      Lblhigh2.Caption = numberCaption(hiscore);
      Lblhigh1.Visible = Lblhigh2.Visible = true;
      Cmdnew.Visible = true;
    }
  }
  for (int k = 10; k >= 1; --k)
    if (Imgpelaaja.Picture == Imgmallipel(k - 1).Picture)
      Imgpelaaja.Picture = Imgmallipel(k).Picture;
}

}  // namespace mazeblast
