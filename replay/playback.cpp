#include "replay/playback.h"

#include <algorithm>

#include "scene/registry.h"
#include "scene/state_hash.h"

namespace mazeblast {

namespace {

std::uint64_t lowBits(int bits) {
  return bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
}

}  // namespace

bool ReplayRun::apply(Session& session, const ReplayStep& s) {
  Frmbomb& game = session.game();
  Controls& controls = session.controls();
  switch (s.kind) {
    case ReplayStep::Wait: return false;
    case ReplayStep::Press:
    case ReplayStep::Release:
      controls.fieldKey(static_cast<int>(s.value), s.kind == ReplayStep::Press);
      return true;
    case ReplayStep::Click:
      // A button that is not there was there in the recording: this game went its own way.
      if (!(game.*kButtons[s.value].button).Visible) {
        differsAt_ = s.line, differsUs_ = game.clock.nowUs;
        return false;
      }
      controls.click(static_cast<int>(s.value));
      return true;
    case ReplayStep::Focus: controls.focus(s.value != 0); return true;
    case ReplayStep::Check:
      if (((stateHash(game) ^ s.value) & lowBits(s.checkBits)) != 0)
        differsAt_ = s.line, differsUs_ = game.clock.nowUs;
      else
        ++checks_;
      return false;
    case ReplayStep::Seed: game.rnd.reseed(s.value); return false;
    case ReplayStep::Floor: game.clock.setFloor(static_cast<int>(s.value)); return false;
    case ReplayStep::End: ended_ = true; return false;
  }
  return false;
}

std::string ReplayRun::verdict() const {
  if (differsAt_ >= 0)
    return "replay differs from the recording at " + secondsText(differsUs_) + " (line " +
           std::to_string(differsAt_) + ")";
  std::string v = "replay verified: " + std::to_string(checks_) + " checks";
  if (!replay_.complete) {
    std::int64_t last = 0;
    for (const ReplayStep& s : replay_.steps) last = s.us > last ? s.us : last;
    v += "; the recording ends at " + secondsText(last);
  }
  return v;
}

ReplayVerdict checkReplay(const Replay& replay) {
  Session session({});
  ReplayRun run(replay);
  run.playUntil(session, kNever, HearNothing{});
  return {run.verdict(), run.differs()};
}

bool isWatchSpeed(int speed) {
  return std::find(std::begin(kWatchSpeeds), std::end(kWatchSpeeds), speed) !=
         std::end(kWatchSpeeds);
}

ReplayWatch::ReplayWatch(Replay replay, std::int64_t realUs)
    : replay_(std::move(replay)), session_({.startUs = realUs}) {}

bool ReplayWatch::key(int code, std::int64_t realUs) {
  Controls& controls = session_.controls();
  if (code == kKeyQ || code == kKeyEscape) return true;
  if (code == kKeyM) controls.setMuted(!controls.muted());
  if (code == kKeyP) hold(realUs);
  if (code == kKeyPlus) setSpeed(speed() * 2, realUs);
  if (code == kKeyMinus) setSpeed(speed() / 2, realUs);
  return false;
}

void ReplayWatch::hold(std::int64_t realUs) {
  if (run_.over()) return;
  if (heldSinceUs_ >= 0) session_.time().hold(realUs - heldSinceUs_);
  heldSinceUs_ = heldSinceUs_ >= 0 ? -1 : realUs;
}

void ReplayWatch::setSpeed(int speed, std::int64_t realUs) {
  if (isWatchSpeed(speed))
    session_.time().setSpeed(speed, heldSinceUs_ >= 0 ? heldSinceUs_ : realUs);
}

std::string ReplayWatch::status() const {
  if (run_.over()) return run_.verdict();
  const std::string at = " at " + std::to_string(speed()) + "x";
  return held() ? "replay paused" + at + " (P resumes)" : "watching a replay" + at;
}

}  // namespace mazeblast
