// The player's hands on the game, the same for every front end: keys as the platform's
// virtual-key codes, the shown buttons pressed by a click, by Enter or by Alt with their
// letter, a pad's stick, and the window's focus; and, kept here for every front end alike,
// whether the screen needs painting and whether the sound is off. A front end turns its
// platform's events into these calls.
#pragma once

#include "game/Frmbomb.h"

namespace mazeblast {

constexpr int kKeyEnter = 13, kKeyEscape = 27, kKeyM = 77;
// + and -, which only a watched recording takes: the platform's codes for those keys.
constexpr int kKeyPlus = 187, kKeyMinus = 189;

// The arrow a pad's stick points at, past its dead zone, or 0; axes from -32768 to 32767.
int stickArrow(int x, int y);

// Told every input as the game takes it, at the game's time: what a recording keeps. Keys
// are told even where they are lost, since a key still held is let go when the focus goes.
class InputLog {
 public:
  virtual ~InputLog() = default;
  virtual void key(int code, bool down) = 0;
  virtual void click(int button) = 0;  // by its place in kButtons
  virtual void focus(bool on) = 0;
};

class Controls {
 public:
  explicit Controls(Frmbomb& game) : game_(game) {}

  // Every input from now on is told to `log` too; null for none.
  void record(InputLog* log) { log_ = log; }

  // Alt with a shown button's letter, or Enter, presses that button; anything else is a key
  // for the field, M too (the game has no use for it; here it turns the sound off and on).
  void keyDown(int code, bool alt, bool repeat, int shift = 0);
  void keyUp(int code, int shift = 0);
  // Presses the shown button, whatever its letter; false when none is shown.
  bool pressShown();
  // A key straight to the field, as a replay gives it: no button, no sound switch.
  void fieldKey(int code, bool down) { key(code, down, 0); }
  // Presses a button by its place in kButtons, shown or not: the caller makes sure.
  void click(int button);
  // The arrow a stick holds down now, or 0: the last one is let go first.
  void stick(int arrow);
  // A button is pressed when the pointer is let go over the button it went down on; x and y
  // in the game's 849 x 565 picture.
  void pointerDown(int x, int y);
  void pointerUp(int x, int y);
  // Away, every held key is let go and play pauses as P pauses it; back, P alone resumes.
  void focus(bool on);
  // After every timer tick: a "GO!" that comes while the player looks elsewhere pauses too.
  void afterTick();

  bool focused() const { return focused_; }
  bool muted() const { return muted_; }
  void setMuted(bool on) { muted_ = on; }
  bool changed() const { return changed_; }
  void markChanged() { changed_ = true; }
  void painted() { changed_ = false; }

  // The keys held, the stick, the pointer and the focus, to be kept and given back (a saved
  // game); the sound switch is the player's, not the game's.
  template <class Io>
  void keep(Io& io) {
    for (bool& h : held_) io(h);
    io(stick_), io(pointerDownOn_), io(focused_);
    if constexpr (Io::kReads) {
      if (stick_ != 0 && (stick_ < kKeyLeft || stick_ > kKeyDown)) stick_ = 0;
      if (pointerDownOn_ < -1 || pointerDownOn_ > 3) pointerDownOn_ = -1;
    }
    changed_ = true;
  }

 private:
  void key(int code, bool down, int shift);
  bool pressButton(int accessKey, bool anyShown);
  void pauseIfAway();

  Frmbomb& game_;
  InputLog* log_ = nullptr;
  bool quiet_ = false;  // what the focus does by itself is not told again
  bool held_[256] = {};
  int stick_ = 0;
  int pointerDownOn_ = -1;
  bool focused_ = true;
  bool muted_ = false;
  bool changed_ = true;
};

}  // namespace mazeblast
