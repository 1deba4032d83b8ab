// A recording played back: on a session of its own, as fast as it goes (the scripted
// driver's check, the link maker) or watched on a real clock (the window, the page), every
// input at its time and every check compared, stopping at the first that differs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "replay/recording.h"
#include "scene/session.h"

namespace mazeblast {

// What one step costs a budgeted playing, in steps of the player's: a check hashes the
// whole game.
constexpr int kCheckCost = 64;
constexpr int kNoBudget = 1 << 30;

// Plays a recording on a session started as a recording starts one: its first steps give
// its seed and its floor.
class ReplayRun {
 public:
  explicit ReplayRun(const Replay& replay) : replay_(replay) {}

  // Every step and every tick due up to the game's time `untilUs`, in order; after every
  // tick and every input `hear` takes what it changed. Stops where a check differs, or where
  // `budget` is spent: false then, with steps still due by `untilUs`.
  template <class Hear>
  bool playUntil(Session& session, std::int64_t untilUs, Hear&& hear, int budget = kNoBudget) {
    while (!over() && (next_ >= steps() || replay_.steps[next_].us <= untilUs)) {
      if (next_ >= steps()) {
        ended_ = true;
        break;
      }
      if (budget <= 0) return false;
      budget -= replay_.steps[next_].kind == ReplayStep::Check ? kCheckCost : 1;
      step(session, hear);
    }
    if (!over() && untilUs > session.game().clock.nowUs) session.advanceTo(untilUs, hear);
    return true;
  }

  // The next step, after the ticks due up to its time; there must be one.
  template <class Hear>
  void step(Session& session, Hear&& hear) {
    const ReplayStep& s = replay_.steps[next_++];
    if (s.us > session.game().clock.nowUs) session.advanceTo(s.us, hear);
    if (apply(session, s)) session.settle(hear);
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
  bool apply(Session& session, const ReplayStep& s);

  const Replay& replay_;
  int next_ = 0;
  int checks_ = 0;
  bool ended_ = false;
  int differsAt_ = -1;  // the line of the step that differed
  std::int64_t differsUs_ = 0;
};

// Plays a recording to its end as fast as it goes: its verdict, and whether it differed.
struct ReplayVerdict {
  std::string verdict;
  bool differs;
};
ReplayVerdict checkReplay(const Replay& replay);

// How much of a recording a front end plays between two frames at most: a long one, or one
// made to hold the page, is checked in slices.
constexpr int kWatchBudget = 4096;

// The speeds a recording is watched at: the game's own, and twice, four and eight times it.
constexpr int kWatchSpeeds[] = {1, 2, 4, 8};
bool isWatchSpeed(int speed);

// A recording watched on a real clock, as the window and the page watch one, on a session of
// its own: played at its own pace (or a whole number of times faster) on the game's clock,
// which stands still while P holds the watching.
class ReplayWatch {
 public:
  // Watched from the real time `realUs`, which is the recording's time 0.
  ReplayWatch(Replay replay, std::int64_t realUs);

  Session& session() { return session_; }
  const Replay& replay() const { return replay_; }
  const ReplayRun& run() const { return run_; }

  // Everything due by the real time `realUs`, at most a frame's budget of it; nothing while
  // held or over. `hear` takes what every tick and every input changed.
  template <class Hear>
  void runTo(std::int64_t realUs, Hear&& hear) {
    if (held() || run_.over()) return;
    const std::int64_t now = session_.time().at(realUs, session_.game().clock.nowUs, nextDue());
    run_.playUntil(session_, now, hear, kWatchBudget);
  }
  // When the game's clock must wake the watching next; kNever while held or over. Steps
  // left over from a spent budget are due at once.
  std::int64_t nextDue() const {
    return held() || run_.over() ? kNever : std::min(nextTick(session_.game()), run_.nextUs());
  }
  // The same on the real clock.
  std::int64_t nextDueReal() const { return session_.time().real(nextDue()); }

  // A key pressed while watching, at the real time `realUs`: P holds the watching and
  // resumes it, + and - double and halve the speed, M turns the sound off and on; Q and
  // Escape leave it (true).
  bool key(int code, std::int64_t realUs);
  void setSpeed(int speed, std::int64_t realUs);
  int speed() const { return session_.time().speed(); }
  bool held() const { return heldSinceUs_ >= 0; }
  // "watching a replay at 2x", "replay paused at 2x (P resumes)", or the verdict once over.
  std::string status() const;

 private:
  void hold(std::int64_t realUs);

  Replay replay_;
  Session session_;
  ReplayRun run_{replay_};
  std::int64_t heldSinceUs_ = -1;  // on the real clock
};

}  // namespace mazeblast
