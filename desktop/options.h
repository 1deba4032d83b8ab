// The game's command line: what a player may ask of the program around the rules.
#pragma once

#include <string>

namespace mazeblast {

struct Options {
  bool help = false, version = false;
  bool fullscreen = false;
  int scale = 0;  // the window's whole-number scale; 0: the largest that fits the screen
  bool integerScale = false;  // whole-number scales only, with black borders
  bool mute = false;          // start with the sound off (M turns it on)
  int volume = 80;            // percent
  std::string record;         // the file the session is recorded to, or empty
  bool force = false;         // which may replace an existing file
  std::string replay;  // the recording to watch instead of playing (a file or a link), or empty
  int speed = 1;       // how many times the game's own pace it is watched at
  std::string error;   // one line naming what was wrong; empty when the line was good
};

Options parseOptions(int argc, const char* const* argv);

// What --help prints.
std::string usage();

}  // namespace mazeblast
