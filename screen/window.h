// The game window: SDL's event loop turned into the game's handlers, on the real clock.
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdint>

namespace mazeblast {

class Frmbomb;

// The platform's virtual-key number for an SDL key: arrows 37 to 40, space 32, letters their
// upper-case character code, digits their character, Enter 13. 0 for keys the game never sees.
int virtualKey(SDL_Keycode key);

// Turns one SDL event into the game's handlers: keys to Pic1 while it holds the focus, buttons
// pressed by a click, Alt with their access letter, or Enter, and every held key released
// when the window loses the focus. Returns false when the window is closed.
class InputRouter {
 public:
  bool handle(Frmbomb& game, const SDL_Event& ev);
  bool changedScreen() const { return changed_; }
  void clearChanged() { changed_ = false; }
  void markChanged() { changed_ = true; }

 private:
  bool pressButton(Frmbomb& game, int keyOrZero, bool anyShown);
  void releaseAll(Frmbomb& game);
  bool held_[256] = {};
  int mouseDownOn_ = -1;
  bool changed_ = true;
};

// No timer of the game ticks more often than this: the pace of classic window-system timers
// and of one display frame.
constexpr int kTimerFloorMs = 16;

// Microseconds since the game started, and waits that land on time.
class RealClock {
 public:
  std::int64_t nowUs() const;
  // Waits for an event or until `dueUs`, whichever comes first: true with the event in `ev`.
  bool waitUntil(std::int64_t dueUs, SDL_Event* ev) const;

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Opens the window and plays until it is closed. Returns the process exit status.
int runGame();

}  // namespace mazeblast
