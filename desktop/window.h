// The game window: SDL's event loop turned into the game's handlers, on the real clock.
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace mazeblast {

// The largest whole-number scale at which the game's 849 x 565 picture fits the usable part
// of the screen; 1 at the least.
int chooseScale(int usableWidth, int usableHeight);

// The window's inside when it opens: `scale` times the picture where one is asked for, the
// largest whole number of times that fits with `wholeNumbers`, else the largest size of the
// picture's shape that fits; never smaller than the picture.
struct WindowSize {
  int w, h;
};
WindowSize openingSize(int usableWidth, int usableHeight, int scale, bool wholeNumbers);

// Microseconds since the game started, and waits that land on time.
class RealClock {
 public:
  std::int64_t nowUs() const;
  // Waits for an event or until `dueUs`, whichever comes first: true with the event in `ev`.
  bool waitUntil(std::int64_t dueUs, SDL_Event* ev) const;

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

struct Options;

// The video drivers worth trying when the player named none: those that show a window. SDL
// would otherwise fall back to drivers that draw nowhere, and the game would run unseen.
std::string windowDrivers();

// Opens the window and plays until it is closed. Returns the process exit status.
int runGame(const Options& options);

}  // namespace mazeblast
