#include "desktop/options.h"

#include <charconv>
#include <string_view>

#include "replay/playback.h"
#include "version.h"

namespace mazeblast {

namespace {

constexpr int kLargestScale = 8;

bool wholeNumber(std::string_view s, int lo, int hi, int& v) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size() && v >= lo && v <= hi;
}

// The options that take a number, as "--name N" or "--name=N": the name, or null.
const char* numbered(std::string_view arg) {
  for (const char* name : {"--scale", "--volume", "--speed"}) {
    const std::string_view n = name;
    if (arg == n || (arg.substr(0, n.size()) == n && arg.size() > n.size() && arg[n.size()] == '='))
      return name;
  }
  return nullptr;
}

}  // namespace

Options parseOptions(int argc, const char* const* argv) {
  Options o;
  auto bad = [&](const std::string& what) {
    o.error = what + " (see --help)";
    return o;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--fullscreen") {
      o.fullscreen = true;
    } else if (arg == "--integer-scale") {
      o.integerScale = true;
    } else if (arg == "--mute") {
      o.mute = true;
    } else if (arg == "--force") {
      o.force = true;
    } else if (arg == "--record" || arg == "--replay") {
      if (i + 1 == argc || argv[i + 1][0] == '\0')
        return bad(std::string(arg) + " needs a file name");
      (arg == "--record" ? o.record : o.replay) = argv[++i];
    } else if (const char* name = numbered(arg)) {
      const std::string_view n = name;
      const bool scale = n == "--scale", speed = n == "--speed";
      const int lo = scale || speed ? 1 : 0, hi = scale ? kLargestScale : speed ? 8 : 100;
      const std::string range =
          speed ? "1, 2, 4 or 8" : "from " + std::to_string(lo) + " to " + std::to_string(hi);
      std::string_view value;
      if (arg == name) {
        if (i + 1 == argc) return bad(std::string(name) + " needs a whole number " + range);
        value = argv[++i];
      } else {
        value = arg.substr(n.size() + 1);
      }
      int& into = scale ? o.scale : speed ? o.speed : o.volume;
      if (!wholeNumber(value, lo, hi, into) || (speed && !isWatchSpeed(into)))
        return bad(std::string(name) + " takes a whole number " + range + ", not '" +
                   std::string(value) + "'");
    } else {
      return bad("unknown option '" + std::string(arg) + "'");
    }
  }
  if (!o.record.empty() && !o.replay.empty())
    return bad("--record and --replay do not go together");
  if (o.force && o.record.empty()) return bad("--force goes with --record");
  if (o.speed != 1 && o.replay.empty()) return bad("--speed goes with --replay");
  return o;
}

std::string usage() {
  return "Usage: mazeblast [OPTION]...\n"
         "RMO Mazeblast " MAZEBLAST_VERSION
         ", an arcade maze game with timed bombs.\n"
         "\n"
         "Options:\n"
         "  --fullscreen   start in fullscreen (F11 or Alt+Enter switches back)\n"
         "  --scale N      open the window at N times the game's 849 x 565 pixels, 1 to 8\n"
         "                 (default: the largest that fits the screen)\n"
         "  --integer-scale  scale the picture by whole numbers only, pixel for pixel, with\n"
         "                 black borders (default: fill the window or screen, each game\n"
         "                 pixel the same size and every edge sharp)\n"
         "  --mute         start with the sound off (M turns it on and off)\n"
         "  --volume N     the sound's volume in percent, 0 to 100 (default 80)\n"
         "  --record FILE  record every game of this session to FILE, to watch again or\n"
         "                 send; an existing FILE only with --force\n"
         "  --replay FILE  watch a recording (P pauses, + and - double and halve the speed,\n"
         "                 Q ends) and check that it plays exactly as recorded; FILE may\n"
         "                 be a link (the whole address, or what follows its '#')\n"
         "  --speed N      watch it N times as fast: 1, 2, 4 or 8 (default 1)\n"
         "  --version      print the version and exit\n"
         "  -h, --help     print this help and exit\n"
         "\n"
         "Keys:\n"
         "  arrow keys     walk while held; the last one pressed wins\n"
         "  Space          drop a bomb\n"
         "  P              pause and resume\n"
         "  Q              quit the game\n"
         "  M              sound off and on\n"
         "  Enter, Alt with the underlined letter   press the button on the screen\n"
         "  F11, Alt+Enter fullscreen and back\n"
         "A game controller walks with its D-pad or left stick, drops bombs and presses\n"
         "buttons with its south button, pauses with Start and quits with Back.\n";
}

}  // namespace mazeblast
