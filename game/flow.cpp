// The game's flow between screens: title, start, the 3-2-1-GO! countdown, next life, next
// level, new game, the level bonus, keys, pause and quit.
#include "game/Frmbomb.h"

namespace mazeblast {

Frmbomb::Frmbomb() {
  for (int i = 0; i < Lblkeski.size(); ++i) {
    const layout::Place p = layout::kKeski(i);
    Lblkeski(i) = Label{p.left, p.top, 255, 255, true, "", &layout::kBlock};
  }
  for (int i = 0; i < Imgmuuri.size(); ++i) {
    const layout::Place p = layout::kMuuri(i);
    Imgmuuri(i) =
        Sprite{p.left, p.top, 240, 240, false, i == 1013 ? &art::crackedBrick : &art::brick};
  }
  for (Sprite& s : Imgliekki) s = layout::Imgliekki;
  for (Sprite& s : Imgpommi) s = layout::Imgpommi;
  for (int i = 0; i < Imgvih.size(); ++i) Imgvih(i) = layout::Imgvih[i];
  for (int f = 1; f <= 11; ++f) Imgmallipel(f - 1) = layout::Imgmallipel(f);
  Tmr1.enable();
  rnd.wastedBy(Tmr1);
}

void Frmbomb::timerTick(int number) {
  switch (number) {
    case 1: return Tmr1_Timer();
    case 2: return Tmr2_Timer();
    case 3: return Tmr3_Timer();
    case 4: return Tmr4_Timer();
    case 5: return Tmr5_Timer();
    case 6: return Tmr6_Timer();
    case 7: return Tmr7_Timer();
    case 8: return Tmr8_Timer();
    case 9: return Tmr9_Timer();
    default: return;
  }
}

bool Frmbomb::keysReachPic1() const {
  return Pic1.Enabled && !Cmdstart.Visible && !Cmdcont.Visible && !Cmdcont2.Visible &&
         !Cmdnew.Visible;
}

// Keeps the random sequence moving for the whole run, so every level's field depends on the
// moment it starts.
void Frmbomb::Tmr1_Timer() {
  rnd.next();
}

void Frmbomb::showTitleEnemies() {
  Imgvih(0).Left = 3240;
  Imgvih(1).Left = 6120;
  Imgvih(2).Left = 9000;
  Imgvih(0).Picture = Imgmallivih3.Picture;
  Imgvih(1).Picture = Imgmallivih2.Picture;
  Imgvih(2).Picture = Imgmallivih1.Picture;
  for (int i = 0; i <= 2; ++i) {
    Imgvih(i).Top = 1800;
    Imgvih(i).Visible = true;
    Lblpoints(i).Visible = true;
  }
}

void Frmbomb::Form_Load() {
  showTitleEnemies();
}

void Frmbomb::startCountdown() {
  Lblcount.Caption = "3";
  Lblcount.Visible = true;
  Tmr3.enable();
}

void Frmbomb::resetBombSlots() {
  for (int i = 0; i <= 9; ++i) {
    Imgpommi(i).Visible = false;
    bombactive(i) = bombexploded(i) = bombfuse(i) = bombpending(i) = bombflames(i) = 0;
  }
  // A wreck mark left by a clean-up that never came must not hide a new wall later.
  for (i16& w : wallwreck) w = 0;
}

void Frmbomb::Cmdstart_Click() {
  Cmdstart.Visible = false;
  Lblohje1.Visible = Lblohje2.Visible = false;
  level = 1;
  score = 0;
  lives = 5;
  Lblscore2.Caption = numberCaption(score);
  Lbllives2.Caption = numberCaption(lives);
  Lbllevel2.Caption = numberCaption(level);
  Lblscore1.Visible = Lblscore2.Visible = Lbllives1.Visible = Lbllives2.Visible = true;
  Lbllevel1.Visible = Lbllevel2.Visible = true;
  for (int i = 0; i <= 2; ++i) Imgvih(i).Visible = Lblpoints(i).Visible = false;
  playerx = 6120;
  playery = 7080;
  // A new game starts clean, as a new life does: nothing held or armed in the last game
  // carries over.
  direction = 0;
  resetBombSlots();
  // Keys wait for "GO!" in this countdown as in every other.
  Pic1.Enabled = false;
  startCountdown();
}

void Frmbomb::Tmr3_Timer() {
  // From the last stage to the first, so one tick moves one stage.
  if (Lblcount.Caption == "GO!") {
    Lblcount.Visible = false;
    Tmr3.disable();
    Tmr8.enable();
    Pic1.Visible = true;
    Pic1.Enabled = true;
    dying = 0;
    bonus = 3000;
    Lblbonus2.Caption = numberCaption(bonus);
    Lblbonus1.Visible = Lblbonus2.Visible = true;
    Imgpelaaja.Picture = Imgmallipel(0).Picture;
    Imgpelaaja.Left = playerx;
    Imgpelaaja.Top = playery;
    Imgpelaaja.Visible = true;
    asetaviholliset();
  }
  if (Lblcount.Caption == "1") Lblcount.Caption = "GO!";
  if (Lblcount.Caption == "2") Lblcount.Caption = "1";
  if (Lblcount.Caption == "3") Lblcount.Caption = "2";
}

void Frmbomb::clearFieldForNextAttempt() {
  for (int i = 0; i <= 1011; ++i) Imgmuuri(i).Visible = false;
  for (int i = 0; i <= enemylast; ++i) {
    Imgvih(i).Visible = false;
    enemyhit(i) = 0;
  }
  resetBombSlots();
}

void Frmbomb::Cmdcont_Click() {
  Cmdcont.Visible = false;
  Imgpelaaja.Visible = false;
  clearFieldForNextAttempt();
  hideAllFlames();
  dying = 0;
  playerx = 6120;
  playery = 7080;
  direction = 0;
  Lblbonus1.Visible = Lblbonus2.Visible = false;
  startCountdown();
}

void Frmbomb::Cmdcont2_Click() {
  Cmdcont2.Visible = false;
  Imgpelaaja.Visible = false;
  clearFieldForNextAttempt();
  // The bomb slots were just freed, so the blast clean-up would no longer find these
  // flames: they go now, or they would burn on into the next level.
  hideAllFlames();
  // The level's death animations and its bonus count end here: each death tick repeats
  // the switch to the count, and a count tick after this press would show the button again,
  // through the next level.
  Tmr6.disable();
  Tmr9.disable();
  // A pause taken as the level ended does not carry into the next one.
  paused = 0;
  Lblpause.Visible = false;
  dying = 0;
  playerx = 6120;
  playery = 7080;
  direction = 0;
  // There is no last level, but the count stops where its 16 bits end.
  if (level < 32767) level = static_cast<i16>(level + 1);
  Lbllevel2.Caption = numberCaption(level);
  startCountdown();
}

void Frmbomb::Cmdnew_Click() {
  Cmdnew.Visible = false;
  Cmdstart.Visible = true;
  for (int i = 0; i <= 1011; ++i) Imgmuuri(i).Visible = false;
  for (int i = 0; i <= 9; ++i) Imgvih(i).Visible = Imgpommi(i).Visible = false;
  Imgpelaaja.Visible = false;
  hideAllFlames();
  for (Label* l : {&Lblscore1, &Lblscore2, &Lbllives1, &Lbllives2, &Lbllevel1, &Lbllevel2,
                   &Lblbonus1, &Lblbonus2})
    l->Visible = false;
  showTitleEnemies();
}

void Frmbomb::tasolapi() {
  Tmr2.disable();
  Tmr7.disable();  // a death in progress takes no life
  Pic1.Enabled = false;
  Tmr9.enable();
}

void Frmbomb::Tmr9_Timer() {
  if (bonus <= 0) {
    Lblbonus1.Visible = Lblbonus2.Visible = false;
    Tmr9.disable();
    Cmdcont2.Visible = true;
  } else {
    score += 10;
    bonus = static_cast<i16>(bonus - 10);
    Lblscore2.Caption = numberCaption(score);
    Lblbonus2.Caption = numberCaption(bonus);
  }
}

void Frmbomb::Pic1_KeyDown(int keyCode, int /*shift*/) {
  if (keyCode == kKeyRight) direction = 1;
  if (keyCode == kKeyDown) direction = 2;
  if (keyCode == kKeyLeft) direction = 3;
  if (keyCode == kKeyUp) direction = 4;
  if (keyCode == kKeyQ) pelikeskeytetty();
  if (keyCode == kKeyP) {
    if (paused == 0) {
      Tmr2.disable();
      Tmr8.disable();
      paused = 1;
      Lblpause.Visible = true;
    } else {
      Tmr2.enable();
      Tmr8.enable();
      paused = 0;
      Lblpause.Visible = false;
    }
  }
  if (keyCode == kKeySpace && paused == 0) asetapommi();
}

void Frmbomb::Pic1_KeyUp(int keyCode, int /*shift*/) {
  if (keyCode == kKeyRight && direction == 1) direction = 0;
  if (keyCode == kKeyDown && direction == 2) direction = 0;
  if (keyCode == kKeyLeft && direction == 3) direction = 0;
  if (keyCode == kKeyUp && direction == 4) direction = 0;
}

void Frmbomb::pelikeskeytetty() {
  for (Timer* t : {&Tmr2, &Tmr3, &Tmr4, &Tmr5, &Tmr6, &Tmr7, &Tmr8}) t->disable();
  Pic1.Enabled = false;
  if (score > hiscore) hiscore = score;
  Lblhigh2.Caption = numberCaption(hiscore);
  Lblhigh1.Visible = Lblhigh2.Visible = true;
  paused = 0;
  Lblpause.Visible = false;
  Cmdnew.Visible = true;
}

}  // namespace mazeblast
