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
  std::string failure;  // empty unless an invariant broke

  void add(const SoakReport& r);
};

SoakReport soak(std::uint64_t seed, double hours);

}  // namespace mazeblast
