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

// The values a state variable may be given from outside (a script, a saved game made by
// hand): none of them makes the game index outside a set or overflow later. Whatever walks
// stands on the field's quarter lattice: only every step-th value from lo.
struct Range {
  int lo, hi, step = 1;
};

// A member of the game object handed to a visitor as a constant, so that the visitor can
// reach it in any game (`game.*M::pointer`) or keep a way to it in a table.
template <auto M>
struct Member {
  static constexpr auto pointer = M;
};
template <auto M>
inline constexpr Member<M> member{};

// What a visitor of the game's state does with each kind of part where it does nothing:
// a visitor derives from it and takes the parts it needs.
struct StateVisitor {
  template <class M>
  constexpr void variable(const char*, M, Range) {}  // a value, or a set of them
  template <class M>
  constexpr void random(M) {}
  template <class M>
  constexpr void clock(M) {}
  template <class M>
  constexpr void element(const char*, M) {}  // a sprite, label, button, focus box or timer
  template <class M>
  constexpr void elements(const char*, M) {}  // a set of them, named with an index
  template <class M>
  constexpr void element(const char*, M, int) {}  // one of a set, named on its own
  template <class M>
  constexpr void makeUp(M) {}  // no state: what the object is built of, or keeps in step
};

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

  // Every part of the game's state, once: the shared variables and the sets with the values
  // each may hold, the random sequence, the clock, and every element and timer by its name.
  // The state hash, saved games, the element table and the scripted driver's get, set and
  // dump all take the state from here, in this order; a test fails where a member of the
  // object is in none of it.
  template <class Visitor>
  static constexpr void describe(Visitor&& v);

  // What must hold between any two handlers; empty when it all holds, else what broke.
  std::string invariantBroken() const;

  // Keys reach Pic1 while it is enabled and holds the focus, that is while no button is
  // shown to take it.
  bool keysReachPic1() const;

 private:
  // Within one step of each other on both axes: the nine offsets at which two squares touch.
  static bool touching(int dx, int dy);
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

template <class Visitor>
constexpr void Frmbomb::describe(Visitor&& v) {
  using F = Frmbomb;
  constexpr int kLow = -32768, kHigh = 32767;
  // Scores stay where adding points cannot pass the 32-bit range.
  constexpr int kMaxScore = 2000000000;
  constexpr Range any{kLow, kHigh};
  constexpr Range across{360, 11880, 240}, down{1320, 7080, 240};
  // The level stops at 32767; lives and death timers count down to 0 and stop there; a kind
  // clock counts up to 10; a ray's reach loses at most a few steps to each burst.
  v.variable("score", member<&F::score>, {0, kMaxScore});
  v.variable("level", member<&F::level>, {0, kHigh});
  v.variable("lives", member<&F::lives>, {0, kHigh});
  v.variable("hiscore", member<&F::hiscore>, {0, kMaxScore});
  v.variable("bonus", member<&F::bonus>, any);
  v.variable("playerx", member<&F::playerx>, across);
  v.variable("playery", member<&F::playery>, down);
  v.variable("direction", member<&F::direction>, {0, 4});
  v.variable("paused", member<&F::paused>, any);
  v.variable("dying", member<&F::dying>, any);
  v.variable("enemylast", member<&F::enemylast>, {-1, 9});
  v.variable("wallcount", member<&F::wallcount>, {-1, 125});
  v.variable("raybase", member<&F::raybase>, {0, 72});
  v.variable("flamebase", member<&F::flamebase>, {0, 288});
  v.variable("currentbomb", member<&F::currentbomb>, {0, 9});
  v.variable("bombnear", member<&F::bombnear>, any);
  v.variable("bombplaced", member<&F::bombplaced>, any);
  v.variable("enemyhitpending", member<&F::enemyhitpending>, any);
  v.variable("tickinterval", member<&F::tickinterval>, any);
  v.variable("bombx", member<&F::bombx>, any);
  v.variable("bomby", member<&F::bomby>, any);
  v.variable("bombactive", member<&F::bombactive>, any);
  v.variable("bombfuse", member<&F::bombfuse>, any);
  v.variable("bombexploded", member<&F::bombexploded>, any);
  v.variable("bombpending", member<&F::bombpending>, any);
  v.variable("bombflames", member<&F::bombflames>, any);
  v.variable("enemydir", member<&F::enemydir>, {0, 3});
  v.variable("enemykind", member<&F::enemykind>, {0, 2});
  v.variable("enemykindclock", member<&F::enemykindclock>, {kLow, 9});
  v.variable("enemynewkind", member<&F::enemynewkind>, any);
  v.variable("enemyhit", member<&F::enemyhit>, any);
  v.variable("enemyblocked", member<&F::enemyblocked>, any);
  v.variable("enemydeathtimer", member<&F::enemydeathtimer>, {0, kHigh});
  v.variable("wallx", member<&F::wallx>, any);
  v.variable("wally", member<&F::wally>, any);
  v.variable("rayreach", member<&F::rayreach>, {-30000, 4});
  v.variable("raystop", member<&F::raystop>, any);
  v.variable("wallwreck", member<&F::wallwreck>, any);
  v.variable("enemyx", member<&F::enemyx>, across);
  v.variable("enemyy", member<&F::enemyy>, down);

  v.random(member<&F::rnd>);
  v.clock(member<&F::clock>);

  v.element("Lblotsikko", member<&F::Lblotsikko>);
  v.element("Lblcopy", member<&F::Lblcopy>);
  v.element("Lblwritten", member<&F::Lblwritten>);
  v.element("Lblscore1", member<&F::Lblscore1>);
  v.element("Lbllives1", member<&F::Lbllives1>);
  v.element("Lblscore2", member<&F::Lblscore2>);
  v.element("Lbllives2", member<&F::Lbllives2>);
  v.element("Lbllevel1", member<&F::Lbllevel1>);
  v.element("Lbllevel2", member<&F::Lbllevel2>);
  v.element("Lblhigh1", member<&F::Lblhigh1>);
  v.element("Lblhigh2", member<&F::Lblhigh2>);
  v.element("Lblbonus1", member<&F::Lblbonus1>);
  v.element("Lblbonus2", member<&F::Lblbonus2>);
  v.element("Lblcount", member<&F::Lblcount>);
  v.element("Lblpause", member<&F::Lblpause>);
  v.element("Lblohje1", member<&F::Lblohje1>);
  v.element("Lblohje2", member<&F::Lblohje2>);
  v.elements("Lblpoints", member<&F::Lblpoints>);
  v.elements("Lblkeski", member<&F::Lblkeski>);
  v.elements("Imgmuuri", member<&F::Imgmuuri>);
  v.elements("Imgliekki", member<&F::Imgliekki>);
  v.elements("Imgpommi", member<&F::Imgpommi>);
  v.element("Imgpelaaja", member<&F::Imgpelaaja>);
  v.elements("Imgvih", member<&F::Imgvih>);
  v.element("Imgmallivih1", member<&F::Imgmallivih1>);
  v.element("Imgmallivih2", member<&F::Imgmallivih2>);
  v.element("Imgmallivih3", member<&F::Imgmallivih3>);
  v.element("Imgmallikvih1", member<&F::Imgmallikvih1>);
  v.element("Imgmallikvih2", member<&F::Imgmallikvih2>);
  v.element("Imgmallikvih3", member<&F::Imgmallikvih3>);
  constexpr const char* kFrames[11] = {"Imgmallipel1",  "Imgmallipel2", "Imgmallipel3",
                                       "Imgmallipel4",  "Imgmallipel5", "Imgmallipel6",
                                       "Imgmallipel7",  "Imgmallipel8", "Imgmallipel9",
                                       "Imgmallipel10", "Imgmallipel11"};
  for (int f = 0; f < 11; ++f) v.element(kFrames[f], member<&F::Imgmallipel>, f);
  v.element("Imgmallib1", member<&F::Imgmallib1>);
  v.element("Imgmallib2", member<&F::Imgmallib2>);
  v.element("Imgmallib3", member<&F::Imgmallib3>);
  v.element("Imgmallib4", member<&F::Imgmallib4>);
  v.element("Imgmallilvy", member<&F::Imgmallilvy>);
  v.element("Imgmallilva", member<&F::Imgmallilva>);
  v.element("Imgmallilpv", member<&F::Imgmallilpv>);
  v.element("Imgmallilpo", member<&F::Imgmallilpo>);
  v.element("Cmdstart", member<&F::Cmdstart>);
  v.element("Cmdcont", member<&F::Cmdcont>);
  v.element("Cmdcont2", member<&F::Cmdcont2>);
  v.element("Cmdnew", member<&F::Cmdnew>);
  v.element("Pic1", member<&F::Pic1>);
  v.element("Tmr1", member<&F::Tmr1>);
  v.element("Tmr2", member<&F::Tmr2>);
  v.element("Tmr3", member<&F::Tmr3>);
  v.element("Tmr4", member<&F::Tmr4>);
  v.element("Tmr5", member<&F::Tmr5>);
  v.element("Tmr6", member<&F::Tmr6>);
  v.element("Tmr7", member<&F::Tmr7>);
  v.element("Tmr8", member<&F::Tmr8>);
  v.element("Tmr9", member<&F::Tmr9>);

  // The timers in their order for the scheduler, and the flame tiles' index.
  v.makeUp(member<&F::timers>);
  v.makeUp(member<&F::flameCount_>);
  v.makeUp(member<&F::flameStrays_>);
}

}  // namespace mazeblast
