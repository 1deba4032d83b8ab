// mazeblast-sim [--seed N] < script, mazeblast-sim --replay FILE-OR-LINK, or
// mazeblast-sim --link FILE-OR-LINK
#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

#include "replay/link.h"
#include "replay/open.h"
#include "replay/recording.h"
#include "tools/sim.h"
#include "version.h"

namespace {

// The fragment of the link that carries `source`'s recording, as the game page makes it.
int printLink(const mazeblast::Replay& replay) {
  mazeblast::LinkEncoder encoder(replay);
  encoder.run();
  if (!encoder.error().empty()) {
    std::cerr << "mazeblast-sim: no link: " << encoder.error() << "\n";
    return 1;
  }
  std::cout << encoder.fragment() << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seed = 1;
  const char* replay = nullptr;
  bool link = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if ((arg == "--replay" || arg == "--link") && i + 1 < argc) {
      link = arg == "--link";
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
                   "       mazeblast-sim --replay FILE-OR-LINK\n"
                   "       mazeblast-sim --link FILE-OR-LINK\n"
                   "Plays RMO Mazeblast headless on a virtual clock from the commands of the "
                   "script;\nsee mazeblast-sim(6) for them. A recording (mazeblast --record, "
                   "a page's Save\nreplay, or a link: the whole address or what follows its "
                   "'#') is played as fast\nas it goes and checked to its end. --link prints "
                   "the fragment of the link that\ncarries a recording (#replay=...), as the "
                   "game page makes it.\n";
      return 0;
    } else {
      std::cerr << "mazeblast-sim: unknown option '" << arg << "' (see --help)\n";
      return 2;
    }
  }
  std::ios::sync_with_stdio(false);
  if (replay) {
    mazeblast::Replay recording;
    std::string error;
    if (!mazeblast::openReplay(replay, recording, &error)) {
      std::cerr << "mazeblast-sim: " << error << "\n";
      return 1;
    }
    return link ? printLink(recording) : mazeblast::runReplay(recording, std::cout);
  }
  return mazeblast::runScript(std::cin, std::cout, std::cerr, seed);
}
