// Hours of random play on many seeds: every invariant holds after every handler.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/soak.h"

namespace mazeblast {
namespace {

// Two hundred simulated hours in all, in two halves that ctest runs side by side; a quarter of
// that under the sanitizers, which play the same code paths four times more slowly.
#ifndef MAZEBLAST_SOAK_HOURS
#define MAZEBLAST_SOAK_HOURS 20.0
#endif

void soakSeeds(int first, int last, double hoursEach) {
  SoakReport all;
  for (int seed = first; seed <= last; ++seed) {
    const SoakReport r = soak(seed, hoursEach);
    ASSERT_EQ(r.failure, "") << "seed " << seed;
    all.add(r);
  }
  std::printf(
      "soak: %.1f h, %ld handler calls, %ld games, %ld levels cleared (up to %d), "
      "%ld lives lost, %ld bombs\n",
      all.hours, all.handlers, all.games, all.levelsCleared, all.highestLevel, all.livesLost,
      all.bombsDropped);
  EXPECT_GT(all.games, 0);
  EXPECT_GT(all.livesLost, 0);
  EXPECT_GT(all.bombsDropped, 0);
}

TEST(Soak, HoursOfPlayOnSeedsOneToFive) {
  soakSeeds(1, 5, MAZEBLAST_SOAK_HOURS);
}
TEST(Soak, HoursOfPlayOnSeedsSixToTen) {
  soakSeeds(6, 10, MAZEBLAST_SOAK_HOURS);
}

}  // namespace
}  // namespace mazeblast
