// A coverage-guided fuzz target. Inputs whose first byte is odd are scripts for mazeblast-sim,
// run whole (its parser, every command, the game under any state the commands can set; and
// recordings, which begin with '#', through the replay reader); that write no file. A first
// byte of 2 (mod 4) makes the rest a link's bytes, read and played. A first byte of 4 (mod 8)
// makes the rest changes to a saved game in play (two bytes of place, one of value, each),
// sealed again and loaded as a frontend loads one: a state taken must be a game that plays on
// unharmed. The others are play: each byte a key, a click or a wait through the real
// handlers, with every invariant checked after every handler.
#include <sys/time.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/Frmbomb.h"
#include "replay/link.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/checksum.h"
#include "scene/registry.h"
#include "scene/runner.h"
#include "scene/save_state.h"
#include "tools/sim.h"

namespace {

using namespace mazeblast;

void mustHold(const Frmbomb& g, const char* after) {
  const std::string broken = g.invariantBroken();
  if (broken.empty()) return;
  std::fprintf(stderr, "invariant broken after %s at %lld ms: %s\n", after,
               static_cast<long long>(g.clock.nowUs / 1000), broken.c_str());
  std::abort();
}

void play(const std::uint8_t* data, std::size_t size) {
  auto game = std::make_unique<Frmbomb>();
  Frmbomb& g = *game;
  g.rnd.reseed(size);
  g.Form_Load();
  for (std::size_t i = 0; i < size; ++i) {
    const int b = data[i];
    const int op = b & 7, arg = b >> 3;  // arg: 0 to 31
    if (op <= 4) {
      static constexpr int kKeys[8] = {37, 38, 39, 40, 32, 32, 80, 81};
      const int code = op == 4 ? arg * 8 : kKeys[arg & 7];  // op 4: any key code
      if (!g.keysReachPic1()) continue;
      if (arg & 8)
        g.Pic1_KeyUp(code, 0);
      else
        g.Pic1_KeyDown(code, 0);
      mustHold(g, "a key");
    } else if (op == 5) {
      for (const ButtonBinding& btn : kButtons) {
        if (!(g.*btn.button).Visible) continue;
        (g.*btn.click)();
        mustHold(g, btn.name);
        break;
      }
    } else if (op == 6) {
      g.clock.setFloor(arg & 1 ? 16 : 0);
    } else {
      const std::int64_t ms = arg < 16 ? arg * 10 : (arg - 15) * 100;
      advanceBy(g, ms, [&](int) { mustHold(g, "a timer tick"); });
    }
  }
}

void script(const std::uint8_t* data, std::size_t size) {
  std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
  std::string text, line;
  while (std::getline(lines, line)) {
    // No files written, and no waits long enough to make a run slow.
    if (line.find("screenshot") != std::string::npos) continue;
    if (line.find("wait") != std::string::npos && line.size() > 10) continue;
    if (const std::size_t at = line.find("at "); at != std::string::npos) {
      // Nor a clock sent more than 99 s on at once; a recording is played as one.
      const std::size_t digits = line.find_first_not_of("0123456789", at + 3);
      if (digits == std::string::npos || digits > at + 5) continue;
    }
    text += line + "\n";
  }
  std::istringstream in(text);
  std::ostringstream out, err;
  runScript(in, out, err, 1, false);
}

// A link's bytes, read as the page and the scripted driver read them, and played if they
// hold a recording.
void link(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  // A packed link's checksum is made right, so that what follows it is read on.
  if (size >= 6 && bytes[0] == kLinkMark) {
    const std::uint32_t crc = crc32(bytes.data(), size - 4);
    for (std::size_t i = 0; i < 4; ++i)
      bytes[size - 4 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
  }
  // At most a few hundred kilobytes of recording, and no clock sent far on.
  LinkReader reader(std::move(bytes), 256 << 10);
  reader.run();
  Replay replay = reader.take();
  if (!replay.error.empty()) return;
  for (const ReplayStep& s : replay.steps)
    if (s.us > 100000000) return;
  std::ostringstream out;
  runReplay(replay, out);
}

// A game five seconds into play, bombs about, as a state.
std::vector<std::uint8_t> stateInPlay() {
  auto game = std::make_unique<Frmbomb>();
  Controls controls(*game);
  game->clock.setFloor(16);
  game->Form_Load();
  game->Cmdstart_Click();
  advanceTo(*game, 4100 * 1000);
  for (int k : {39, 32, 40, 32, 37}) {
    controls.keyDown(k, false, false);
    advanceBy(*game, 300);
    controls.keyUp(k);
  }
  const auto none = [](auto&) {};
  std::vector<std::uint8_t> bytes;
  saveGame(*game, controls, bytes, stateSize(*game, controls, none), none);
  return bytes;
}

void savedGame(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> base = stateInPlay();
  std::vector<std::uint8_t> bytes = base;
  const std::size_t room = bytes.size() - kStateHeader - kStateTrailer;
  for (std::size_t i = 0; i + 3 <= size; i += 3)
    bytes[kStateHeader + (data[i] << 8 | data[i + 1]) % room] = data[i + 2];
  auto game = std::make_unique<Frmbomb>();
  Controls controls(*game);
  const auto none = [](auto&) {};
  sealState(bytes, *game);
  if (!loadGame(*game, controls, bytes.data(), bytes.size(), bytes.size(), none) ||
      !playableState(*game))
    return;
  // Played on for three seconds with a key down now and then: no fault, no index outside a
  // set. The assertions of the sanitizer build check every index.
  for (int step = 0; step < 30; ++step) {
    if (step % 7 == 0) controls.keyDown(32 + (step % 4 == 0 ? 0 : 5 + step % 4), false, false);
    advanceBy(*game, 100, [&](int) { controls.afterTick(); });
  }
}

// A hang is an input that spends ten seconds of processor time. libFuzzer's own -timeout counts
// the wall clock, and the fuzzing runs at the lowest priority beside the other tests: an input
// of 0.1 s once waited 12 s for a core and was called a hang. The abort makes libFuzzer write
// the input out as it does for any crash.
void onTenSecondsSpent(int) {
  static const char kSaid[] = "an input spent 10 s of processor time: a hang\n";
  (void)!write(2, kSaid, sizeof kSaid - 1);
  std::abort();
}

void armHangCheck(int seconds) {
  itimerval bound{};
  bound.it_value.tv_sec = seconds;
  setitimer(ITIMER_VIRTUAL, &bound, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::signal(SIGVTALRM, onTenSecondsSpent);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  armHangCheck(10);
  struct Disarm {
    ~Disarm() { armHangCheck(0); }
  } disarm;
  if (data[0] & 1)
    script(data, size);
  else if (data[0] & 2)
    link(data + 1, size - 1);
  else if (data[0] & 4)
    savedGame(data + 1, size - 1);
  else
    play(data + 1, size - 1);
  return 0;
}
