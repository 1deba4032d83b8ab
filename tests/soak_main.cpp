// mazeblast_soak HOURS_PER_SEED FIRST_SEED LAST_SEED: long random play, by hand.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "tests/soak.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: mazeblast_soak HOURS_PER_SEED FIRST_SEED LAST_SEED\n");
    return 2;
  }
  const double hours = std::atof(argv[1]);
  const long first = std::atol(argv[2]), last = std::atol(argv[3]);
  mazeblast::SoakReport all;
  const auto start = std::chrono::steady_clock::now();
  for (long seed = first; seed <= last; ++seed) {
    const mazeblast::SoakReport r = mazeblast::soak(static_cast<std::uint64_t>(seed), hours);
    if (!r.failure.empty()) {
      std::printf("seed %ld: %s\n", seed, r.failure.c_str());
      return 1;
    }
    all.add(r);
  }
  const double secs =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "%.1f simulated hours in %.1f s: %ld handler calls, %ld games, %ld levels cleared "
      "(up to level %d), %ld lives lost, %ld bombs, %ld pauses; every invariant held\n",
      all.hours, secs, all.handlers, all.games, all.levelsCleared, all.highestLevel, all.livesLost,
      all.bombsDropped, all.pauses);
  return 0;
}
