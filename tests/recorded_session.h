// A recorded session made up for the tests and the benchmarks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "game/Frmbomb.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/session.h"
#include "scene/state_hash.h"

namespace mazeblast {

// A session as a front end plays it: the game's own clock on a real clock that wakes late by
// a random few milliseconds (now and then by a stall), random keys, clicks, pointer presses
// and focus changes, each taken at a real time between two wakes.
struct RecordedSession {
  ReplayWriter writer;
  // The game is made 5 s after the real clock started.
  std::unique_ptr<Session> session;
  Frmbomb* game;
  std::string text;
  std::uint64_t hash = 0;  // at the end

  RecordedSession(std::uint64_t seed, double seconds, int floorMs = kTimerFloorMs)
      : session(std::make_unique<Session>(Session::Setup{
            .seed = seed, .floorMs = floorMs, .startUs = 5000000, .recorder = &writer})),
        game(&session->game()) {
    std::mt19937_64 pick(seed);
    auto below = [&](int n) { return static_cast<int>(pick() % static_cast<std::uint64_t>(n)); };
    Controls& controls = session->controls();
    std::int64_t real = 5000000;
    auto take = [&] {
      writer.settled();
      text.append(writer.pending());
      writer.taken();
    };
    const std::int64_t end = 5000000 + static_cast<std::int64_t>(seconds * 1e6);
    while (real < end) {
      const std::int64_t due = session->time().real(nextTick(*game));
      // Woken by the next tick a little late, or by an input before it.
      real =
          below(3) == 0 || due == kNever ? real + below(300000) : std::max(real, due) + below(4000);
      if (below(400) == 0) real += 200000 + below(2000000);  // a stall
      session->runUntil(real, HearNothing{});
      take();
      if (below(3) != 0) continue;
      switch (below(12)) {
        case 0: controls.keyDown(kKeyEnter, false, false); break;
        case 1: controls.focus(below(3) != 0); break;
        case 2: controls.keyDown(kKeyP, false, false); break;
        case 3: controls.keyDown(kKeyQ, false, false); break;
        case 4: controls.keyDown(kKeySpace, false, below(2) == 0); break;
        case 5: controls.pointerDown(420, 300), controls.pointerUp(420, 300); break;
        default: {
          const int arrow = 37 + below(4);
          below(2) ? controls.keyDown(arrow, false, below(3) == 0) : controls.keyUp(arrow);
        }
      }
      take();
    }
    session->runUntil(real, HearNothing{});
    writer.end();
    text.append(writer.pending());
    hash = stateHash(*game);
  }
};

// What a recording plays to on a fresh game, as fast as it goes: its verdict, and the hash of
// the state it leaves.
struct Played {
  std::string verdict;
  std::uint64_t hash = 0;
};

inline Played playReplay(const Replay& replay) {
  Session session({});
  ReplayRun run(replay);
  run.playUntil(session, kNever, HearNothing{});
  return {run.verdict(), stateHash(session.game())};
}

}  // namespace mazeblast
