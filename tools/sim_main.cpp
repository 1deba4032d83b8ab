// mazeblast-sim [--seed N] < script
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "tools/sim.h"

// Caches that fontconfig keeps for the life of the process are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  std::uint64_t seed = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      char* end = nullptr;
      seed = std::strtoull(argv[++i], &end, 10);
      if (*end != 0) {
        std::cerr << "mazeblast-sim: --seed takes a whole number\n";
        return 2;
      }
    } else {
      std::cerr << "usage: mazeblast-sim [--seed N] < script\n";
      return 2;
    }
  }
  std::ios::sync_with_stdio(false);
  return mazeblast::runScript(std::cin, std::cout, std::cerr, seed);
}
