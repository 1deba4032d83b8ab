// RMO Mazeblast: the game object. It owns every screen element and all game state for as
// long as the window is open; its procedures take nothing and return nothing, and act on
// the state and the elements. The window and the scripted driver call its handlers.
#pragma once

#include <cstdint>
#include <string>

#include "screen/elements.h"
#include "screen/layout.h"
#include "screen/random.h"
#include "screen/timers.h"

namespace mazeblast {

using i16 = std::int16_t;
using i32 = std::int32_t;

// Virtual-key codes of the keys the game knows.
enum Key : int {
  kKeySpace = 32,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyP = 80,
  kKeyQ = 81
};

class Frmbomb {
 public:
  Frmbomb();
  Frmbomb(const Frmbomb&) = delete;
  Frmbomb& operator=(const Frmbomb&) = delete;

  // ---- Screen elements ------------------------------------------------------------------
  Label Lblotsikko = layout::Lblotsikko, Lblcopy = layout::Lblcopy, Lblwritten = layout::Lblwritten;
  Label Lblscore1 = layout::Lblscore1, Lbllives1 = layout::Lbllives1, Lblscore2 = layout::Lblscore2,
        Lbllives2 = layout::Lbllives2, Lbllevel1 = layout::Lbllevel1, Lbllevel2 = layout::Lbllevel2,
        Lblhigh1 = layout::Lblhigh1, Lblhigh2 = layout::Lblhigh2;
  Label Lblbonus1 = layout::Lblbonus1, Lblbonus2 = layout::Lblbonus2;
  Label Lblcount = layout::Lblcount, Lblpause = layout::Lblpause;
  Label Lblohje1 = layout::Lblohje1, Lblohje2 = layout::Lblohje2;
  Set<Label, 3> Lblpoints{layout::Lblpoints[0], layout::Lblpoints[1], layout::Lblpoints[2]};
  Set<Label, 444> Lblkeski;

  Set<Sprite, 1014> Imgmuuri;
  WatchedSet<Sprite, 320> Imgliekki;  // the flame index below follows it
  Set<Sprite, 10> Imgpommi;
  Sprite Imgpelaaja = layout::Imgpelaaja;
  Set<Sprite, 10> Imgvih;

  Sprite Imgmallivih1 = layout::Imgmallivih1, Imgmallivih2 = layout::Imgmallivih2,
         Imgmallivih3 = layout::Imgmallivih3;
  Sprite Imgmallikvih1 = layout::Imgmallikvih1, Imgmallikvih2 = layout::Imgmallikvih2,
         Imgmallikvih3 = layout::Imgmallikvih3;
  Set<Sprite, 11> Imgmallipel;  // Imgmallipel1 to Imgmallipel11 at indices 0 to 10
  Sprite Imgmallib1 = layout::Imgmallib1, Imgmallib2 = layout::Imgmallib2,
         Imgmallib3 = layout::Imgmallib3, Imgmallib4 = layout::Imgmallib4;
  Sprite Imgmallilvy = layout::Imgmallilvy, Imgmallilva = layout::Imgmallilva,
         Imgmallilpv = layout::Imgmallilpv, Imgmallilpo = layout::Imgmallilpo;

  Button Cmdstart = layout::Cmdstart, Cmdcont = layout::Cmdcont, Cmdcont2 = layout::Cmdcont2,
         Cmdnew = layout::Cmdnew;
  FocusBox Pic1 = layout::Pic1;

  TimerClock clock;
  Timer Tmr1{&clock, 2}, Tmr2{&clock, 5}, Tmr3{&clock, 1000}, Tmr4{&clock, 1000}, Tmr5{&clock, 200},
      Tmr6{&clock, 100}, Tmr7{&clock, 200}, Tmr8{&clock, 1000}, Tmr9{&clock, 10};
  Timer* const timers[9] = {&Tmr1, &Tmr2, &Tmr3, &Tmr4, &Tmr5, &Tmr6, &Tmr7, &Tmr8, &Tmr9};

  Random rnd;

  // ---- Shared game state ----------------------------------------------------------------
  i32 score = 0;
  i16 level = 0;
  i16 lives = 0;
  i32 hiscore = 0;
  i16 bonus = 0;
  i32 playerx = 0;
  i16 playery = 0;
  i16 direction = 0;  // 0 none, 1 right, 2 down, 3 left, 4 up
  i16 paused = 0;
  i16 dying = 0;
  i16 enemylast = 0;

  // ---- Walls ----------------------------------------------------------------------------
  i16 wallcount = 0;
  Set<i16, 126> wallx{}, wally{};

  // ---- Bombs ----------------------------------------------------------------------------
  Set<i16, 10> bombx{}, bomby{}, bombactive{}, bombfuse{}, bombexploded{}, bombpending{},
      bombflames{};
  Set<i16, 80> rayreach{}, raystop{};
  i16 raybase = 0, flamebase = 0, currentbomb = 0;
  i16 bombnear = 0, bombplaced = 0;
  Set<i16, 1012> wallwreck{};

  // ---- Enemies --------------------------------------------------------------------------
  Set<i16, 50> enemyx{}, enemyy{}, enemyhit{}, enemyblocked{}, enemydeathtimer{};
  Set<i16, 10> enemydir{}, enemykind{}, enemykindclock{}, enemynewkind{};
  i16 enemyhitpending = 0;
  i16 tickinterval = 0;

  // ---- Handlers -------------------------------------------------------------------------
  void Form_Load();
  void Cmdstart_Click();
  void Cmdcont_Click();
  void Cmdcont2_Click();
  void Cmdnew_Click();
  void Pic1_KeyDown(int keyCode, int shift);
  void Pic1_KeyUp(int keyCode, int shift);
  void Tmr1_Timer();
  void Tmr2_Timer();
  void Tmr3_Timer();
  void Tmr4_Timer();
  void Tmr5_Timer();
  void Tmr6_Timer();
  void Tmr7_Timer();
  void Tmr8_Timer();
  void Tmr9_Timer();
  void timerTick(int number);  // runs TmrN_Timer for N = number

  // ---- Procedures -----------------------------------------------------------------------
  void pelikeskeytetty();
  void tasolapi();
  void asetaseinat();
  void asetaviholliset();
  void pelkuolee();
  void asetapommi();
  void asetapommi0();
  void asetapommi1();
  void asetapommi2();
  void asetapommi3();
  void asetapommi4();
  void asetapommi5();
  void asetapommi6();
  void asetapommi7();
  void asetapommi8();
  void asetapommi9();
  void pommiliike();
  void rajaytapommi();
  void rajaytapommi2();
  void pelpommiin();
  void vihollisliike();
  void vihkuolee();

  // ---- Position tests on the quarter lattice ---------------------------------------------
  // The wall, pillar and block elements never move, so each test computes the one element
  // that could stand at (x, y) and looks at it; the flame tiles are looked up in an index
  // of the quarters they stand on. Each answers as a scan of every element would.
  int wallTileAt(int x, int y) const;      // shown Imgmuuri(0..1011) there, or -1
  int cornerTileAt(int x, int y) const;    // Imgmuuri(0..1008) there, shown or not, or -1
  bool pillarBlockAt(int x, int y) const;  // some Lblkeski(0..287) there
  bool blockAt(int x, int y) const;        // some Lblkeski(0..443) there
  bool flameAt(int x, int y) const;        // some shown Imgliekki there
  bool burstBombAt(int x, int y) const;    // a shown bomb with the blast picture there

  // What must hold between any two handlers; empty when it all holds, else what broke.
  std::string invariantBroken() const;

  // Keys reach Pic1 while it is enabled and holds the focus, that is while no button is
  // shown to take it.
  bool keysReachPic1() const;

 private:
  void startCountdown();
  void clearFieldForNextAttempt();
  void resetBombSlots();
  void armBomb(int k);
  void walkRay(int r);
  void showFlame(int r, int s, int x, int y);
  void crackWall(int j, int r, int s, int x, int y);
  void finishDetonation();
  void chainTest(int r, int s, int x, int y);
  bool stepOpen(int x, int y, int dir) const;

  // The game's own writes to the flame tiles, which keep the flame index in step.
  void placeFlame(int j, PictureRef picture, int x, int y);
  void hideFlame(int j);
  void hideAllFlames();
  void indexFlame(const Sprite& tile, int by) const;
  void rebuildFlameIndex() const;
  bool flameIndexAgrees() const;

  // How many shown flame tiles stand on each quarter of the field and its border ring, and
  // how many stand anywhere else; rebuilt when Imgliekki was touched from outside.
  mutable std::uint16_t flameCount_[52 * 28] = {};  // quarters -1..50 across, -1..26 down
  mutable int flameStrays_ = 0;
  void stepEnemy(int i, int dir);
  void showTitleEnemies();
  void setEnemyPicture(int i);
};

}  // namespace mazeblast
