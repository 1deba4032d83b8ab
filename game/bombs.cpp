// Bombs: dropping and arming, the fuse, the detonation along eight rays, flames and wall
// cracking, the clean-up, and the blast test on the player.
#include <utility>

#include "game/Frmbomb.h"

namespace mazeblast {

namespace {

bool near(int d) {
  return d == -240 || d == 0 || d == 240;
}

// A ray leaves the bomb's square along one lane; step s stands at first + (s - 1) * pace.
struct Ray {
  int firstX, firstY;
  int paceX, paceY;
  Sprite Frmbomb::*picture;
};
constexpr Ray kRays[8] = {
    //  step 1 (x, y)   each step   picture
    {480, 0, 240, 0, &Frmbomb::Imgmallilvy},      // 0 right, upper row
    {480, 240, 240, 0, &Frmbomb::Imgmallilva},    // 1 right, lower row
    {240, 480, 0, 240, &Frmbomb::Imgmallilpo},    // 2 down, right column
    {0, 480, 0, 240, &Frmbomb::Imgmallilpv},      // 3 down, left column
    {-240, 240, -240, 0, &Frmbomb::Imgmallilva},  // 4 left, lower row
    {-240, 0, -240, 0, &Frmbomb::Imgmallilvy},    // 5 left, upper row
    {0, -240, 0, -240, &Frmbomb::Imgmallilpv},    // 6 up, left column
    {240, -240, 0, -240, &Frmbomb::Imgmallilpo},  // 7 up, right column
};

// Which bombs a flame tile sets off: the offsets (dx, dy) from another bomb's corner at
// which the tile must stand, for each ray and step.
struct Offset {
  int dx, dy;
};
struct ChainList {
  int count;
  Offset at[3];
};
constexpr ChainList kChain[8][4] = {
    // ray 0
    {{2, {{0, 0}, {0, 240}}},
     {2, {{0, 0}, {0, 240}}},
     {2, {{0, 0}, {0, 240}}},
     {2, {{0, 0}, {0, 240}}}},
    // ray 1
    {{2, {{0, 0}, {0, -240}}}, {1, {{0, 0}}}, {3, {{0, 0}, {0, -240}, {0, 240}}}, {1, {{0, 0}}}},
    // ray 2
    {{2, {{0, 0}, {-240, 0}}}, {1, {{0, 0}}}, {3, {{0, 0}, {-240, 0}, {240, 0}}}, {1, {{0, 0}}}},
    // ray 3
    {{2, {{0, 0}, {240, 0}}},
     {2, {{0, 0}, {240, 0}}},
     {2, {{0, 0}, {240, 0}}},
     {2, {{0, 0}, {240, 0}}}},
    // ray 4
    {{2, {{240, 0}, {240, -240}}},
     {1, {{240, 0}}},
     {3, {{240, 0}, {240, -240}, {240, 240}}},
     {1, {{240, 0}}}},
    // ray 5
    {{2, {{240, 0}, {240, 240}}},
     {2, {{240, 0}, {240, 240}}},
     {2, {{240, 0}, {240, 240}}},
     {2, {{240, 0}, {240, 240}}}},
    // ray 6
    {{2, {{0, 240}, {240, 240}}},
     {2, {{0, 240}, {240, 240}}},
     {2, {{0, 240}, {240, 240}}},
     {2, {{0, 240}, {240, 240}}}},
    // ray 7
    {{2, {{0, 240}, {-240, 240}}},
     {1, {{0, 240}}},
     {3, {{0, 240}, {-240, 240}, {240, 240}}},
     {1, {{0, 240}}}},
};

}  // namespace

void Frmbomb::asetapommi() {
  bombnear = 0;
  for (int i = 0; i <= 9; ++i)
    if (bombactive(i) == 1 && near(bombx(i) - playerx) && near(bomby(i) - playery)) bombnear = 1;
  if (bombnear == 1) return;

  bombplaced = 0;
  for (int k = 0; k <= 9; ++k) {
    if (bombplaced == 0 && bombactive(k) == 0 && bombflames(k) == 0) {
      bombactive(k) = 1;
      bombplaced = 1;
      switch (k) {
        case 0: asetapommi0(); break;
        case 1: asetapommi1(); break;
        case 2: asetapommi2(); break;
        case 3: asetapommi3(); break;
        case 4: asetapommi4(); break;
        case 5: asetapommi5(); break;
        case 6: asetapommi6(); break;
        case 7: asetapommi7(); break;
        case 8: asetapommi8(); break;
        case 9: asetapommi9(); break;
      }
    }
  }
}

void Frmbomb::asetapommi0() {
  armBomb(0);
}
void Frmbomb::asetapommi1() {
  armBomb(1);
}
void Frmbomb::asetapommi2() {
  armBomb(2);
}
void Frmbomb::asetapommi3() {
  armBomb(3);
}
void Frmbomb::asetapommi4() {
  armBomb(4);
}
void Frmbomb::asetapommi5() {
  armBomb(5);
}
void Frmbomb::asetapommi6() {
  armBomb(6);
}
void Frmbomb::asetapommi7() {
  armBomb(7);
}
void Frmbomb::asetapommi8() {
  armBomb(8);
}
void Frmbomb::asetapommi9() {
  armBomb(9);
}

void Frmbomb::armBomb(int k) {
  // Not snapped to a cell: a player half-way between cells drops a bomb half-way too.
  bombx(k) = static_cast<i16>(playerx);
  bomby(k) = playery;
  bombexploded(k) = 0;
  bombfuse(k) = 15;
  for (int r = 0; r <= 7; ++r) rayreach(8 * k + r) = 4;
  Imgpommi(k).Picture = Imgmallib1.Picture;
  Imgpommi(k).Left = bombx(k);
  Imgpommi(k).Top = bomby(k);
  Imgpommi(k).Visible = true;
}

void Frmbomb::pommiliike() {
  // Every fuse is counted before any bomb bursts, so bombs due together burst in slot order.
  for (int i = 0; i <= 9; ++i) {
    if (bombactive(i) != 1) continue;
    // A burst bomb waiting for its clean-up rests at -1; its fuse must never wrap round to
    // where 10, 5 and 0 act again.
    if (bombfuse(i) > -1) bombfuse(i) = static_cast<i16>(bombfuse(i) - 1);
    if (bombfuse(i) == 10) Imgpommi(i).Picture = Imgmallib2.Picture;
    if (bombfuse(i) == 5) Imgpommi(i).Picture = Imgmallib3.Picture;
    if (bombfuse(i) == 0) bombexploded(i) = bombpending(i) = 1;
  }
  for (int i = 0; i <= 9; ++i) {
    if (bombpending(i) == 1) {
      bombpending(i) = 0;
      currentbomb = static_cast<i16>(i);
      rajaytapommi();
    }
  }
}

void Frmbomb::rajaytapommi() {
  raybase = static_cast<i16>(8 * currentbomb);
  flamebase = static_cast<i16>(32 * currentbomb);
  for (int r = 0; r <= 7; ++r) raystop(raybase + r) = 0;
  if (bombexploded(currentbomb) == 1) Imgpommi(currentbomb).Picture = Imgmallib4.Picture;
  for (int r = 0; r <= 3; ++r) walkRay(r);
  rajaytapommi2();
}

void Frmbomb::rajaytapommi2() {
  for (int r = 4; r <= 7; ++r) walkRay(r);
  finishDetonation();
}

// One ray, four steps; within a step the checks run wall-cracked, wall-ends, block, flame,
// each seeing the reach R and stop S the earlier checks left. Step 1 ignores the reach (a
// second burst, at R = 0, still acts there) and step 4 has no block test.
void Frmbomb::walkRay(int r) {
  i16& R = rayreach(raybase + r);
  i16& S = raystop(raybase + r);
  const Ray& ray = kRays[r];
  auto lower = [](i16& v, int by) { v = static_cast<i16>(v - by); };
  for (int s = 1; s <= 4; ++s) {
    const int x = bombx(currentbomb) + ray.firstX + ray.paceX * (s - 1);
    const int y = bomby(currentbomb) + ray.firstY + ray.paceY * (s - 1);
    if (s == 2 || s == 3) S = 0;

    const bool crackCheck = s == 1 || (s == 2 && R > 1) || (s == 3 && R == 2);
    if (crackCheck) {
      const int j = wallTileAt(x, y);
      if (j >= 0) {
        crackWall(j, r, s, x, y);
        lower(R, 2);
        S = 1;
      }
    }
    const bool endCheck = (s == 3 || s == 4) && R == 1;
    if (endCheck && wallTileAt(x, y) >= 0) {
      S = 1;
      R = 0;
    }
    const bool blockCheck = (s <= 2 && S == 0) || (s == 3 && S == 0 && R > 0);
    if (blockCheck && blockAt(x, y)) {
      S = 1;
      R = 0;
    }
    const bool flameCheck = (s == 1 && S == 0) || ((s == 2 || s == 3) && S == 0 && R > 0) ||
                            (s == 4 && S == 0 && R == 1);
    if (flameCheck) {
      showFlame(r, s, x, y);
      lower(R, 1);
      chainTest(r, s, x, y);
    }
  }
}

void Frmbomb::showFlame(int r, int s, int x, int y) {
  placeFlame(flamebase + 4 * r + s - 1, (this->*kRays[r].picture).Picture, x, y);
}

void Frmbomb::crackWall(int j, int r, int s, int x, int y) {
  Imgmuuri(j).Picture = Imgmuuri(1013).Picture;
  showFlame(r, s, x, y);
  wallwreck(j) = 1;
}

void Frmbomb::chainTest(int r, int s, int x, int y) {
  const ChainList& list = kChain[r][s - 1];
  for (int m = 0; m <= 9; ++m) {
    if (m == currentbomb) continue;
    for (int k = 0; k < list.count; ++k)
      if (x == bombx(m) + list.at[k].dx && y == bomby(m) + list.at[k].dy) bombfuse(m) = 1;
  }
}

void Frmbomb::finishDetonation() {
  bombflames(currentbomb) = 1;
  // Already running after an earlier burst: left running, so the clean-up still comes one
  // period after the first.
  Tmr4.enable();
  Tmr5.enable();
}

void Frmbomb::Tmr5_Timer() {
  for (int i = 0; i <= 9; ++i) {
    if (bombflames(i) != 1) continue;
    Imgpommi(i).Visible = false;
    for (int j = 32 * i; j <= 32 * i + 31; ++j) hideFlame(j);
    bombflames(i) = 0;
    bombactive(i) = 0;
  }
  Tmr5.disable();
}

void Frmbomb::Tmr4_Timer() {
  for (int i = 0; i <= 1011; ++i) {
    if (wallwreck(i) == 1) {
      wallwreck(i) = 0;
      Imgmuuri(i).Visible = false;
    }
  }
  Tmr4.disable();
}

bool Frmbomb::burstBombAt(int x, int y) const {
  for (int b = 0; b <= 9; ++b)
    if (Imgpommi(b).Visible && Imgpommi(b).Picture == Imgmallib4.Picture && bombx(b) == x &&
        bomby(b) == y)
      return true;
  return false;
}

void Frmbomb::pelpommiin() {
  for (int i = 0; i <= 9; ++i)
    if (bombx(i) == playerx && bomby(i) == playery && Imgpommi(i).Visible &&
        Imgpommi(i).Picture == Imgmallib4.Picture)
      pelkuolee();
  // A repeated catch changes nothing, so one per quarter cell stands for every tile there.
  for (const auto& [dx, dy] : {std::pair{0, 0}, {240, 0}, {0, 240}, {240, 240}})
    if (flameAt(playerx + dx, playery + dy)) pelkuolee();
}

}  // namespace mazeblast
