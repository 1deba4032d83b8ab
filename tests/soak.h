// Random play through the real handlers on the virtual clock, checking the whole game after
// every handler.
#pragma once

#include <cstdint>
#include <string>

namespace mazeblast {

struct SoakReport {
  double hours = 0;   // simulated
  long handlers = 0;  // handler calls: timer ticks, keys, clicks
  long games = 0, levelsCleared = 0, livesLost = 0, bombsDropped = 0, pauses = 0;
  int highestLevel = 0;
  std::string failure;       // empty unless an invariant broke
  std::uint64_t digest = 0;  // of the whole game after every handler, when asked for

  void add(const SoakReport& r);
};

// With `digest`, every value of the game and every element is hashed after every handler,
// so two builds of the rules can be compared value by value.
SoakReport soak(std::uint64_t seed, double hours, bool digest = false);

}  // namespace mazeblast
