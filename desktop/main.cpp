// RMO Mazeblast: reads the command line, opens the window and hands control to its event loop.
#include <cstdio>

#include "desktop/options.h"
#include "desktop/window.h"
#include "version.h"

int main(int argc, char** argv) {
  const mazeblast::Options options = mazeblast::parseOptions(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "mazeblast: %s\n", options.error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(mazeblast::usage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("mazeblast " MAZEBLAST_VERSION);
    return 0;
  }
  return mazeblast::runGame(options);
}
