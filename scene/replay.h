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
// whole file before anything plays and then plays it on any game, a window's, a page's or
// the scripted driver's, stopping at the first check that differs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/Frmbomb.h"
#include "scene/controls.h"
#include "scene/runner.h"

namespace mazeblast {

constexpr int kReplayFormat = 1;
// How often play is checked, on the game's clock: a little more often than once a second,
// so that the time to the next wake never stretches the gap past a second.
constexpr std::int64_t kCheckEveryUs = 900000;

// Times as a recording writes them: seconds with six decimals. Parsing takes one to six
// decimals and refuses anything past about eleven days.
bool parseReplayTime(std::string_view s, std::int64_t& us);
// Into `out`, which must hold 24 characters; returns the length.
int formatReplayTime(std::int64_t us, char* out);
// A state hash: sixteen hexadecimal digits, written into `out` (16 characters) and read.
void formatStateHash(std::uint64_t hash, char* out);
bool parseStateHash(std::string_view s, std::uint64_t& hash);
// "41.250 s", as the player reads it.
std::string secondsText(std::int64_t us);

class ReplayWriter : public InputLog {
 public:
  explicit ReplayWriter(const Frmbomb& game) : game_(game) {}

  // The first lines: what the file is, and what the game was started with.
  void begin(std::uint64_t seed, int floorMs);
  void key(int code, bool down) override;
  void click(int button) override;
  void focus(bool on) override;
  // After the game has run up to its time now: a check where the buttons on the screen
  // changed or a second has passed since the last.
  void settled();
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
  int buttonsShown() const;

  const Frmbomb& game_;
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

// What one step costs a budgeted playing, in steps of the player's: a check hashes the
// whole game.
constexpr int kCheckCost = 64;
constexpr int kNoBudget = 1 << 30;

// Plays a recording on a game made as its first lines say.
class ReplayRun {
 public:
  explicit ReplayRun(const Replay& replay) : replay_(replay) {}

  // Every step and every tick due up to the game's time `untilUs`, in order; after every
  // tick the controls' afterTick and then `after(timer)`, after every input `input()`.
  // Stops where a check differs, or where `budget` is spent: false then, with steps still
  // due by `untilUs`.
  template <class After, class Input>
  bool playUntil(Frmbomb& game, Controls& controls, std::int64_t untilUs, After&& after,
                 Input&& input, int budget = kNoBudget) {
    auto ticked = [&](int timer) {
      controls.afterTick();
      after(timer);
    };
    while (!over() && (next_ >= steps() || replay_.steps[next_].us <= untilUs)) {
      if (next_ >= steps()) {
        ended_ = true;
        break;
      }
      if (budget <= 0) return false;
      budget -= replay_.steps[next_].kind == ReplayStep::Check ? kCheckCost : 1;
      step(game, controls, ticked, input);
    }
    if (!over() && untilUs > game.clock.nowUs) advanceTo(game, untilUs, ticked);
    return true;
  }

  // The next step, after the ticks due up to its time; there must be one.
  template <class Ticked, class Input>
  void step(Frmbomb& game, Controls& controls, Ticked&& ticked, Input&& input) {
    const ReplayStep& s = replay_.steps[next_++];
    if (s.us > game.clock.nowUs) advanceTo(game, s.us, ticked);
    if (apply(game, controls, s)) input();
  }
  // The step that comes next, or null.
  const ReplayStep* upcoming() const { return next_ < steps() ? &replay_.steps[next_] : nullptr; }

  // When the next step runs on the game's clock; kNever when none is left.
  std::int64_t nextUs() const {
    return over() || next_ >= steps() ? kNever : replay_.steps[next_].us;
  }
  // The end is reached, or a check differed.
  bool over() const { return ended_ || differsAt_ >= 0; }
  bool differs() const { return differsAt_ >= 0; }
  int checks() const { return checks_; }
  // What the player is told at the end: "replay verified: N checks", "replay differs from
  // the recording at 41.250 s (line 318)", or for a cut-off recording the verified checks
  // and "the recording ends at 183.400 s".
  std::string verdict() const;

 private:
  int steps() const { return static_cast<int>(replay_.steps.size()); }
  // True for an input of the player's.
  bool apply(Frmbomb& game, Controls& controls, const ReplayStep& s);

  const Replay& replay_;
  int next_ = 0;
  int checks_ = 0;
  bool ended_ = false;
  int differsAt_ = -1;  // the line of the step that differed
  std::int64_t differsUs_ = 0;
};

// How much of a recording a front end plays between two frames at most: a long one, or one
// made to hold the page, is checked in slices.
constexpr int kWatchBudget = 4096;

// The speeds a recording is watched at: the game's own, and twice, four and eight times it.
constexpr int kWatchSpeeds[] = {1, 2, 4, 8};
bool isWatchSpeed(int speed);

// A recording watched on a real clock, as the window and the page watch one: played at its
// own pace (or a whole number of times faster) on the game's clock, which stands still while
// P holds the watching.
class ReplayWatch {
 public:
  ReplayWatch(const Replay& replay, GameTime& time) : run(replay), time_(time) {}

  // Everything due by the real time `realUs`, at most a frame's budget of it; nothing while
  // held or over. `after(timer)` after every tick, `input()` after every input.
  template <class After, class Input>
  void runTo(Frmbomb& game, Controls& controls, std::int64_t realUs, After&& after, Input&& input) {
    if (held() || run.over()) return;
    const std::int64_t now = time_.at(realUs, game.clock.nowUs, nextDue(game));
    run.playUntil(game, controls, now, after, input, kWatchBudget);
  }
  // When the game's clock must wake the watching next; kNever while held or over. Steps
  // left over from a spent budget are due at once.
  std::int64_t nextDue(const Frmbomb& game) const {
    return held() || run.over() ? kNever : std::min(nextTick(game), run.nextUs());
  }
  // P: held at the real time `realUs`, or resumed there.
  void hold(std::int64_t realUs) {
    if (run.over()) return;
    if (heldSinceUs_ >= 0) time_.hold(realUs - heldSinceUs_);
    heldSinceUs_ = heldSinceUs_ >= 0 ? -1 : realUs;
  }
  bool held() const { return heldSinceUs_ >= 0; }
  // + and -: twice and half the speed, from the real time `realUs`, within kWatchSpeeds.
  void faster(std::int64_t realUs) { setSpeed(time_.speed() * 2, realUs); }
  void slower(std::int64_t realUs) { setSpeed(time_.speed() / 2, realUs); }
  void setSpeed(int speed, std::int64_t realUs) {
    if (isWatchSpeed(speed)) time_.setSpeed(speed, heldSinceUs_ >= 0 ? heldSinceUs_ : realUs);
  }
  int speed() const { return time_.speed(); }
  // "watching a replay at 2x", "replay paused at 2x (P resumes)", or the verdict once over.
  std::string status() const;

  ReplayRun run;

 private:
  GameTime& time_;
  std::int64_t heldSinceUs_ = -1;  // on the real clock
};

}  // namespace mazeblast
