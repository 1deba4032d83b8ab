// Replays: a session kept as its seed, its settings and the player's inputs at the game's
// times, with the state's hash between them, written as mazeblast-sim's own commands:
//
//   # RMO Mazeblast replay, format 1, game 1.4.0
//   seed 1765265876123456789
//   floor 16
//   at 2.512345 click Cmdstart
//   at 3.000000 check 9f3c0a4e5b6d7e8f
//   at 6.104211 press 39
//   at 6.900017 release 39
//   at 75.000000 end
//
// The writer makes those lines as the game goes, without allocating; the reader checks a
// whole file, with limits far above anything the game writes, before anything plays.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/Frmbomb.h"
#include "scene/session.h"

namespace mazeblast {

constexpr int kReplayFormat = 1;
// How often play is checked, on the game's clock: a little more often than once a second,
// so that the time to the next wake never stretches the gap past a second.
constexpr std::int64_t kCheckEveryUs = 900000;

// The last moment a recording or a link may name: about eleven days of play, as the scripted
// driver's longest wait.
constexpr std::int64_t kLastReplayUs = std::int64_t{1000000000} * 1000;

// Times as a recording writes them: seconds with six decimals. Parsing takes one to six
// decimals and refuses anything past the last moment.
bool parseReplayTime(std::string_view s, std::int64_t& us);
// Into `out`, which must hold 24 characters; returns the length.
int formatReplayTime(std::int64_t us, char* out);
// A state hash: sixteen hexadecimal digits, written into `out` (16 characters) and read.
void formatStateHash(std::uint64_t hash, char* out);
bool parseStateHash(std::string_view s, std::uint64_t& hash);
// "41.250 s", as the player reads it.
std::string secondsText(std::int64_t us);

class ReplayWriter : public Recorder {
 public:
  // The first lines: what the file is, and what the game was started with.
  void begin(const Frmbomb& game, std::uint64_t seed, int floorMs) override;
  void key(int code, bool down) override;
  void click(int button) override;
  void focus(bool on) override;
  // After the game has run up to its time now: a check where the buttons on the screen
  // changed or a second has passed since the last.
  void settled() override;
  // The session is over: the window closed, the page left.
  void end();

  // What has been written and not yet taken; a front end takes it after every event and
  // keeps or writes it out.
  std::string_view pending() const { return {buffer_, static_cast<std::size_t>(used_)}; }
  void taken() { used_ = 0, screenChanged_ = false; }
  // A button came or went since the last take: worth writing out at once.
  bool screenChanged() const { return screenChanged_; }

 private:
  void line(std::string_view command, std::string_view argument);
  void timedLine(std::string_view command, std::string_view argument);

  const Frmbomb* game_ = nullptr;
  // Far more than a front end ever leaves between two takes; lines that would not fit are
  // dropped whole, never cut.
  char buffer_[16384];
  int used_ = 0;
  bool screenChanged_ = false;
  std::int64_t lastCheckUs_ = 0;
  int buttons_ = -1;
};

struct ReplayStep {
  enum Kind : std::uint8_t { Wait, Press, Release, Click, Focus, Check, Seed, Floor, End };
  std::int64_t us = -1;  // when it runs; -1 where the line names no time: at once
  std::uint64_t value = 0;
  int line = 0;
  Kind kind = Wait;
  // How many low bits of the state hash a check holds: all of a file's, fewer of a link's.
  std::uint8_t checkBits = 64;
};

// A recording read whole: its steps, or what is wrong with it.
struct Replay {
  std::vector<ReplayStep> steps;
  bool complete = false;  // it ends with its session's end; a cut-off one does not
  std::string error;      // "line N: what", empty when it can be played
  std::string game;       // the version of the game that made it, where it says
};

// Nothing larger is read or unpacked: far more than the game writes in a day. A key held down
// and repeating 25 times a second (X11's pace) for 24 hours, with a check every second,
// makes 58 MB of recording; an hour of brisk play makes about 300 KB.
constexpr std::size_t kLargestRecording = std::size_t{64} << 20;
// What the player is told of an input past that: "larger than any recording (64 MB)".
std::string largerThanAnyRecording(std::size_t largest = kLargestRecording);

// Reads a recording as its text comes, a piece at a time, and never holds more of it than
// one line: a file, a stream being unpacked, a page's upload. A last line without its line
// break is a write that was cut off and is left out.
class ReplayReader {
 public:
  explicit ReplayReader(std::size_t largest = kLargestRecording) : largest_(largest) {}
  // False once the text is refused; the reason is then in finish()'s error.
  bool feed(std::string_view text);
  Replay finish();
  std::size_t bytes() const { return bytes_; }

 private:
  void line(std::string_view s);
  void fail(const std::string& what);

  std::size_t largest_;
  Replay r_;
  std::string partial_;  // the start of a line whose break has not come yet
  std::size_t bytes_ = 0;
  int number_ = 0;
  std::int64_t lastUs_ = 0;
};

// `text` is the whole file.
Replay readReplay(std::string_view text);

// The text of a recording as the game writes it, one line a step, under its header: what a
// link unpacks to, with its lines numbered as the reader numbers them.
std::string replayText(const Replay& replay);
// One step's line, with its line break.
void appendReplayLine(std::string& text, const ReplayStep& step);

}  // namespace mazeblast
