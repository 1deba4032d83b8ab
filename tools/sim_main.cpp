// mazeblast-sim [--seed N] < script, or mazeblast-sim --replay FILE
#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "tools/sim.h"
#include "version.h"

// Caches that fontconfig keeps for the life of the process are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  std::uint64_t seed = 1;
  const char* replay = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--replay" && i + 1 < argc) {
      replay = argv[++i];
    } else if (arg == "--seed" && i + 1 < argc) {
      const std::string_view n = argv[++i];
      const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), seed);
      if (ec != std::errc() || end != n.data() + n.size()) {
        std::cerr << "mazeblast-sim: --seed takes a whole number, not '" << n << "'\n";
        return 2;
      }
    } else if (arg == "--version") {
      std::cout << "mazeblast-sim " MAZEBLAST_VERSION "\n";
      return 0;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << "Usage: mazeblast-sim [--seed N] < script\n"
                   "       mazeblast-sim --replay FILE\n"
                   "Plays RMO Mazeblast headless on a virtual clock from the commands of the "
                   "script;\nsee mazeblast-sim(6) for them. A recording (mazeblast --record, "
                   "or a page's\nSave replay) is played as fast as it goes and checked to its "
                   "end.\n";
      return 0;
    } else {
      std::cerr << "mazeblast-sim: unknown option '" << arg << "' (see --help)\n";
      return 2;
    }
  }
  std::ios::sync_with_stdio(false);
  if (replay) {
    std::ifstream file(replay, std::ios::binary);
    std::ostringstream text;
    if (!(file && text << file.rdbuf())) {
      std::cerr << "mazeblast-sim: cannot read " << replay << "\n";
      return 1;
    }
    return mazeblast::runReplay(text.str(), replay, std::cout, std::cerr);
  }
  return mazeblast::runScript(std::cin, std::cout, std::cerr, seed);
}
