// Recordings: a session recorded through the controls replays to the same states on a fresh
// game, whatever the real clock did; the reader refuses, in one line, anything it cannot
// play; a recording file keeps what was written and never replaces a file unasked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "desktop/options.h"
#include "desktop/recording.h"
#include "game/Frmbomb.h"
#include "replay/open.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/controls.h"
#include "scene/registry.h"
#include "scene/runner.h"
#include "scene/state_hash.h"
#include "tests/recorded_session.h"
#include "tools/sim.h"

namespace mazeblast {
namespace {

Played watch(const std::string& text) {
  const Replay replay = readReplay(text);
  EXPECT_EQ(replay.error, "");
  return playReplay(replay);
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

TEST(Replay, SessionsOnALateRealClockReplayToTheSameStates) {
  for (std::uint64_t seed = 1; seed <= 6; ++seed) {
    const RecordedSession s(seed, 240);
    const int checks = count(s.text, " check ");
    // At least a check a second on the game's clock (which stood still in the stalls), and
    // the play itself in the file.
    EXPECT_GE(checks, s.game->clock.nowUs / 1000000) << "seed " << seed;
    EXPECT_LE(checks, s.game->clock.nowUs / 800000) << "seed " << seed;
    EXPECT_GT(count(s.text, "click Cmdstart"), 0) << "seed " << seed;
    EXPECT_GT(count(s.text, " focus 0"), 0) << "seed " << seed;
    const Played w = watch(s.text);
    EXPECT_EQ(w.verdict, "replay verified: " + std::to_string(checks) + " checks")
        << "seed " << seed;
    EXPECT_EQ(w.hash, s.hash) << "seed " << seed;
    // The scripted driver reads the same file as a script, and as a replay.
    std::istringstream in(s.text);
    std::ostringstream out, err;
    EXPECT_EQ(runScript(in, out, err, 1), 0);
    EXPECT_EQ(out.str(), w.verdict + "\n");
  }
}

TEST(Replay, AnotherSeedIsCaughtAtTheFirstCheckOfTheGameWithItsLineAndTime) {
  const RecordedSession s(3, 60);
  std::string text = s.text;
  const std::size_t seed = text.find("seed 3\n");
  ASSERT_NE(seed, std::string::npos);
  text.replace(seed, 7, "seed 4\n");
  // The title screen is the same whatever the seed; the first game's field is not. The
  // verdict names a check after the start, its line and its time.
  const std::string verdict = watch(text).verdict;
  ASSERT_EQ(verdict.rfind("replay differs from the recording at ", 0), 0u) << verdict;
  const int line = std::stoi(verdict.substr(verdict.find("(line ") + 6));
  std::istringstream lines(text);
  std::string l;
  for (int n = 1; n <= line && std::getline(lines, l); ++n) {
  }
  EXPECT_NE(l.find(" check "), std::string::npos) << l;
  std::int64_t us = 0;
  ASSERT_TRUE(parseReplayTime(l.substr(3, l.find(' ', 3) - 3), us)) << l;
  EXPECT_NE(verdict.find(" at " + secondsText(us) + " (line "), std::string::npos) << verdict;
  EXPECT_GT(line, std::count(text.begin(), text.begin() + text.find("click Cmdstart"), '\n'));
}

TEST(Replay, ACutOffRecordingPlaysToItsLastWholeLine) {
  const RecordedSession s(4, 30);
  std::string text = s.text.substr(0, s.text.size() / 2);
  const std::size_t lastBreak = text.rfind('\n');
  const std::string lastWhole = text.substr(text.rfind('\n', lastBreak - 1) + 1);
  std::int64_t us = 0;
  ASSERT_TRUE(parseReplayTime(lastWhole.substr(3, lastWhole.find(' ', 3) - 3), us)) << lastWhole;
  const std::string verdict = watch(text).verdict;
  EXPECT_NE(verdict.find("; the recording ends at " + secondsText(us)), std::string::npos)
      << verdict << " / " << lastWhole;
}

TEST(Replay, AnythingItCannotPlayIsOneLineNamingTheLine) {
  const std::string head = "# RMO Mazeblast replay, format 1, game 1.0.0\nseed 5\nfloor 16\n";
  const struct {
    std::string text, error;
  } cases[] = {
      {"", "line 0: not a replay of RMO Mazeblast"},
      {"<html>\n<body>\n", "line 1: not a replay of RMO Mazeblast"},
      {"# RMO Mazeblast replay, format 2, game 9.0.0\n",
       "line 1: a replay of format 2, newer than this game reads (1)"},
      {head + "at 1.0 press 37\nat 1.5 pres 37\n", "line 5: 'pres' is no command of a replay"},
      {head + "at 1.000000 check 12345678901234567\n",
       "line 4: bad state hash '12345678901234567'"},
      {head + "at 1.000000 check 0123456789abcdeg\n", "line 4: bad state hash '0123456789abcdeg'"},
      {head + "at 2.0 press 37\nat 1.999999 release 37\n",
       "line 5: time runs backwards (1.999 s after 2.000 s)"},
      {head + "at 1.0 press 300\n", "line 4: bad key code '300'"},
      {head + "at -1.0 press 30\n", "line 4: bad time '-1.0'"},
      {head + "at 1.1234567 press 30\n", "line 4: bad time '1.1234567'"},
      {head + "at 1.0 click Cmdquit\n", "line 4: no button 'Cmdquit'"},
      {head + "at 1.0 focus 2\n", "line 4: bad focus (0 or 1) '2'"},
      {head + "set score 999999\n", "line 4: 'set' is no command of a replay"},
      {head + "screenshot /tmp/x.png\n", "line 4: 'screenshot' is no command of a replay"},
      {head + "at 1.0 press 37 38\n", "line 4: '38' after the command"},
      {head + "at 1.0 end now\n", "line 4: end takes nothing"},
      {head + "at 1.0 end\nat 2.0 press 37\n", "line 5: nothing may follow the end"},
  };
  const std::string path = ::testing::TempDir() + "refused.mzr";
  for (const auto& c : cases) {
    EXPECT_EQ(readReplay(c.text).error, c.error) << c.text;
    // Read from a file, a piece at a time, it is the same one line, naming the file.
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(c.text.data(), 1, c.text.size(), f);
    std::fclose(f);
    Replay replay;
    std::string error;
    EXPECT_FALSE(openReplay(path, replay, &error));
    EXPECT_EQ(error, path + ", " + c.error);
  }
  std::remove(path.c_str());
  // Comments and blank lines are no steps; a last line without its break was cut off.
  EXPECT_EQ(readReplay(head + "\n# a note\nat 1.0 press 37\nat 2.0 rele").steps.size(), 3u);
}

TEST(Replay, TheGameClockRunsTicksAtTheirDueTimesAndSlipsPastAStall) {
  Frmbomb a, b;
  a.clock.setFloor(kTimerFloorMs), b.clock.setFloor(kTimerFloorMs);
  a.Cmdstart_Click(), b.Cmdstart_Click();
  GameTime time(1000);
  // Woken 0 to 9 ms late every time: the same states as the virtual clock at each wake.
  std::int64_t real = 1000;
  for (int i = 0; i < 500; ++i) {
    real = time.real(nextTick(a)) + (i * 7919) % 9000;
    runUntil(a, time, real);
    advanceTo(b, real - 1000);
    ASSERT_EQ(stateHash(a), stateHash(b)) << i;
    ASSERT_EQ(a.clock.nowUs, b.clock.nowUs);
  }
  // A stall of five seconds is not made up: the game's clock goes on from its next tick.
  const std::int64_t next = nextTick(a);
  runUntil(a, time, time.real(next) + 5000000);
  EXPECT_EQ(a.clock.nowUs, next);
  EXPECT_GT(nextTick(a), next);
  EXPECT_EQ(time.real(nextTick(a)) - (time.real(next)), nextTick(a) - next);
}

TEST(RecordingFile, NeverReplacesAFileUnaskedAndSaysWhenTheDiskIsFull) {
  const std::string path = ::testing::TempDir() + "recording_test.mzr";
  std::remove(path.c_str());
  std::string error;
  {
    RecordingFile f;
    ASSERT_TRUE(f.open(path, false, &error)) << error;
  }
  RecordingFile again;
  EXPECT_FALSE(again.open(path, false, &error));
  EXPECT_EQ(error, "cannot record to " + path + ": the file exists (--force replaces it)");
  EXPECT_TRUE(again.open(path, true, &error));
  error.clear();
  EXPECT_FALSE(RecordingFile().open("/nonexistent/dir/x.mzr", false, &error));
  EXPECT_EQ(error, "cannot record to /nonexistent/dir/x.mzr: No such file or directory");
  std::remove(path.c_str());

  // A disk that is full: one failure, and what comes after is dropped without a word more.
  Frmbomb game;
  ReplayWriter writer;
  RecordingFile full;
  ASSERT_TRUE(full.open("/dev/full", true, &error));
  writer.begin(game, 1, 16);
  full.take(writer, 0, true);
  // Its first lines cannot be written: no recording, and the window says so and opens no game.
  EXPECT_EQ(full.failure(), "cannot record to /dev/full: No space left on device");
  writer.key(37, true);
  full.take(writer, 2000000, true);
  EXPECT_TRUE(writer.pending().empty());
}

TEST(Options, RecordAndReplayTakeAFile) {
  auto parse = [](std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"mazeblast"};
    argv.insert(argv.end(), args);
    return parseOptions(static_cast<int>(argv.size()), argv.data());
  };
  EXPECT_EQ(parse({"--record", "a.mzr", "--force"}).record, "a.mzr");
  EXPECT_TRUE(parse({"--record", "a.mzr", "--force"}).force);
  EXPECT_EQ(parse({"--replay", "a.mzr"}).replay, "a.mzr");
  EXPECT_EQ(parse({"--record"}).error, "--record needs a file name (see --help)");
  EXPECT_EQ(parse({"--record", "a", "--replay", "b"}).error,
            "--record and --replay do not go together (see --help)");
  EXPECT_EQ(parse({"--force"}).error, "--force goes with --record (see --help)");
}

}  // namespace
}  // namespace mazeblast
