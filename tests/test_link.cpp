// Replay links: a recording packed into a link carries the same game exactly, to the same
// last state, with checks that catch a game that goes its own way; a link that is damaged,
// cut off, of another format or would unpack past any recording is refused in one line; a
// recording watched faster reaches the same verdict.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "desktop/options.h"
#include "desktop/recording.h"
#include "game/Frmbomb.h"
#include "replay/link.h"
#include "replay/open.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/controls.h"
#include "scene/runner.h"
#include "scene/state_hash.h"
#include "tests/recorded_session.h"

namespace mazeblast {
namespace {

Played play(const Replay& replay) {
  EXPECT_EQ(replay.error, "");
  return playReplay(replay);
}

std::vector<std::uint8_t> pack(const Replay& replay, int budget = kNoBudget) {
  LinkEncoder encoder(replay);
  while (!encoder.run(budget)) {
  }
  EXPECT_EQ(encoder.error(), "");
  return encoder.bytes();
}

Replay unpack(const std::vector<std::uint8_t>& bytes, int budget = kNoBudget,
              std::size_t largest = kLargestRecording) {
  LinkReader reader(bytes, largest);
  while (!reader.run(budget)) {
  }
  return reader.take();
}

int checksIn(const std::string& verdict) {
  return std::stoi(verdict.substr(std::string("replay verified: ").size()));
}

TEST(Link, CarriesTheSameGameExactlyToTheSameLastState) {
  // Random keys with their repeats, clicks, pointer presses, P, Q and the focus going, on a
  // real clock that wakes the game late and stalls; at the desktop's floor and at none.
  for (const auto& [seed, floor] : {std::pair{1, 16}, {2, 16}, {3, 16}, {4, 16}, {5, 0}, {6, 0}}) {
    const RecordedSession s(static_cast<std::uint64_t>(seed), 240, floor);
    const Replay file = readReplay(s.text);
    const std::vector<std::uint8_t> bytes = pack(file);
    const Replay link = unpack(bytes);
    const Played played = play(link);
    ASSERT_EQ(played.verdict.rfind("replay verified: ", 0), 0u) << played.verdict;
    EXPECT_EQ(played.hash, s.hash) << "seed " << seed;
    // A check every few seconds of play at least.
    EXPECT_GE(checksIn(played.verdict), s.game->clock.nowUs / 3000000) << "seed " << seed;
    EXPECT_TRUE(link.complete);
    // Its text reads back to the same steps; made and read in slices, it is the same link.
    const Replay again = readReplay(replayText(link));
    EXPECT_EQ(play(again).verdict, played.verdict);
    EXPECT_EQ(pack(file, 7), bytes);
    EXPECT_EQ(unpack(bytes, 5).steps.size(), link.steps.size());
    // The link of the link's own recording carries the same game.
    EXPECT_EQ(play(unpack(pack(link))).hash, s.hash) << "seed " << seed;
    std::printf(
        "     seed %d, floor %d: %.1f minutes of play, %zu bytes of recording, a link of "
        "%zu characters (%.0f a minute), %s\n",
        seed, floor, s.game->clock.nowUs / 60e6, s.text.size(), bytes.size() * 4 / 3,
        bytes.size() * 4 / 3 / (s.game->clock.nowUs / 60e6), played.verdict.c_str());
  }
}

TEST(Link, AnyRecordingOfKeysAndFloorChangesPacksToTheSameGame) {
  // Keys at any microsecond, bursts at one moment, P and Q, the floor changed in play: the
  // cells then no longer follow Tmr1, and the steps there keep their own times.
  std::mt19937_64 pick(11);
  for (int round = 0; round < 12; ++round) {
    Replay replay;
    auto step = [&](ReplayStep::Kind kind, std::int64_t us, std::uint64_t value) {
      ReplayStep s;
      s.kind = kind, s.us = us, s.value = value;
      replay.steps.push_back(s);
    };
    step(ReplayStep::Seed, -1, pick());
    step(ReplayStep::Floor, -1, round % 3 == 0 ? 0 : 16);
    std::int64_t us = 200000 + static_cast<std::int64_t>(pick() % 1000000);
    step(ReplayStep::Click, us, 0);
    constexpr int kKeys[] = {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeySpace, kKeyP, kKeyQ};
    for (int i = 0; i < 400; ++i) {
      us += pick() % 3 == 0 ? 0 : static_cast<std::int64_t>(pick() % 300000);
      if (pick() % 97 == 0) step(ReplayStep::Floor, us, pick() % 2 ? 0 : 5 + pick() % 20);
      step(pick() % 2 ? ReplayStep::Press : ReplayStep::Release, us,
           static_cast<std::uint64_t>(kKeys[pick() % (i > 300 ? 7 : 6)]));
    }
    step(ReplayStep::End, us + 500000, 0);
    replay.complete = true;
    const Played expected = play(replay);
    ASSERT_EQ(expected.verdict, "replay verified: 0 checks") << round;
    const Replay link = unpack(pack(replay));
    const Played played = play(link);
    EXPECT_EQ(played.verdict.rfind("replay verified: ", 0), 0u) << played.verdict;
    EXPECT_NE(played.verdict, "replay verified: 0 checks");
    EXPECT_EQ(played.hash, expected.hash) << "round " << round;
  }
}

TEST(Link, AGameThatGoesItsOwnWayIsCaughtWithinSeconds) {
  const RecordedSession s(3, 120);
  Replay link = unpack(pack(readReplay(s.text)));
  // Another seed: the first field differs, and the link says so within seconds of "GO!".
  std::int64_t clicked = -1;
  for (ReplayStep& step : link.steps) {
    if (step.kind == ReplayStep::Seed) step.value ^= 1;
    if (step.kind == ReplayStep::Click && clicked < 0) clicked = step.us;
  }
  ASSERT_GE(clicked, 0);
  const std::string verdict = play(link).verdict;
  ASSERT_EQ(verdict.rfind("replay differs from the recording at ", 0), 0u) << verdict;
  const double at =
      std::stod(verdict.substr(std::string("replay differs from the recording at ").size()));
  EXPECT_LE(at, clicked / 1e6 + 4 + kLinkCheckEveryUs / 1e6 + 0.1) << verdict;
  // A recording that does not hold its own checks makes no link.
  std::string text = s.text;
  text.replace(text.find("seed 3\n"), 7, "seed 4\n");
  LinkEncoder encoder(readReplay(text));
  encoder.run();
  EXPECT_EQ(encoder.error().rfind("replay differs from the recording at ", 0), 0u)
      << encoder.error();
  EXPECT_TRUE(encoder.bytes().empty());
}

TEST(Link, RefusesInOneLineWhatIsDamagedCutOffForeignOrLargerThanAnyRecording) {
  const RecordedSession s(2, 60);
  const std::vector<std::uint8_t> bytes = pack(readReplay(s.text));
  auto refusal = [](std::vector<std::uint8_t> b, std::size_t largest = kLargestRecording) {
    const Replay r = unpack(b, kNoBudget, largest);
    EXPECT_TRUE(r.steps.empty());
    return r.error;
  };
  std::vector<std::uint8_t> damaged = bytes;
  damaged[damaged.size() / 2] ^= 0x10;
  EXPECT_EQ(refusal(damaged), "the link holds no replay: it is damaged or cut off");
  EXPECT_EQ(refusal({bytes.begin(), bytes.end() - 3}),
            "the link holds no replay: it is damaged or cut off");
  EXPECT_EQ(refusal({bytes.begin(), bytes.begin() + 3}), "the link holds no replay: it is cut off");
  std::vector<std::uint8_t> newer = bytes;
  newer[1] = 3;
  EXPECT_EQ(refusal(newer),
            "the link holds no replay: a link of format 3, not one this game reads (2)");
  // The text deflated, as links were made for a few hours before this form, never released.
  EXPECT_EQ(refusal({0xb3, 0xc9, 0x28, 0xc9, 0xcd, 0xb1, 0xe3, 0x02, 0x00}),
            "the link holds no replay: a link of format 1, not one this game reads (2)");
  // A key held down a long while, repeating: a link of a few hundred bytes that stands for
  // far more text. Measured before anything is kept, and refused there. Whole, it is its
  // 40000 presses, its seed and floor, a check with its first press and one at its end.
  std::string text = "# RMO Mazeblast replay, format 1\nseed 1\nfloor 16\n";
  for (int i = 0; i < 40000; ++i) text += "at 5.000000 press 32\n";
  const std::vector<std::uint8_t> held = pack(readReplay(text));
  EXPECT_LT(held.size(), 2000u);
  EXPECT_EQ(refusal(held, 512 << 10), "larger than any recording (524288 bytes)");
  EXPECT_EQ(unpack(held).steps.size(), 40004u);
  // A game too long for any address makes no link, and says so.
  LinkEncoder longer(readReplay(s.text), 200);
  longer.run();
  EXPECT_EQ(longer.error(), "too long for a link: an address holds 2 MB at most");
  EXPECT_TRUE(longer.bytes().empty());
}

TEST(Link, IsFoundInAnAddressAndTravelsAsBase64Url) {
  EXPECT_EQ(linkPayload("https://rmo.invalid/mazeblast/#replay=_wI"), "_wI");
  EXPECT_EQ(linkPayload("  #replay=_wI\n"), "_wI");
  EXPECT_EQ(linkPayload("replay=_wI"), "_wI");
  EXPECT_EQ(linkPayload("game.mzr"), "");
  EXPECT_EQ(linkPayload("https://rmo.invalid/mazeblast/"), "");
  std::mt19937 pick(5);
  for (std::size_t n = 0; n < 40; ++n) {
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(pick());
    const std::string text = toBase64Url(bytes.data(), bytes.size());
    EXPECT_EQ(text.find_first_of("+/="), std::string::npos);
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(fromBase64Url(text, back));
    EXPECT_EQ(back, bytes);
  }
  std::vector<std::uint8_t> back;
  EXPECT_FALSE(fromBase64Url("not a link!", back));
  EXPECT_FALSE(fromBase64Url("abcde", back));
}

TEST(Link, OpensNativelyWholeAsItsFragmentOrInAFile) {
  const RecordedSession s(4, 90);
  Replay replay;
  std::string error;
  EXPECT_FALSE(openReplay("#replay=@@@", replay, &error));
  EXPECT_EQ(error, "the link holds no replay: it is not base64url");
  LinkEncoder encoder(readReplay(s.text));
  encoder.run();
  const std::string fragment = encoder.fragment();
  ASSERT_TRUE(openReplay("https://rmo.invalid/#" + fragment.substr(1), replay, &error)) << error;
  const std::string linked = play(replay).verdict;
  EXPECT_EQ(linked.rfind("replay verified: ", 0), 0u);
  ASSERT_TRUE(openReplay(fragment.substr(1), replay, &error)) << error;
  EXPECT_EQ(play(replay).verdict, linked);
  const std::string path = ::testing::TempDir() + "link.txt";
  std::FILE* f = std::fopen(path.c_str(), "w");
  std::fputs(("https://rmo.invalid/mazeblast/" + fragment + "\n").c_str(), f);
  std::fclose(f);
  ASSERT_TRUE(openReplay(path, replay, &error)) << error;
  EXPECT_EQ(play(replay).verdict, linked);
  std::remove(path.c_str());
}

TEST(ReplayReader, ReadsARecordingInPiecesAsWholeAndStopsAtItsLimits) {
  const RecordedSession s(6, 60);
  const Replay whole = readReplay(s.text);
  std::mt19937 pick(6);
  ReplayReader reader;
  for (std::size_t at = 0; at < s.text.size();) {
    const std::size_t n = std::min<std::size_t>(pick() % 300, s.text.size() - at);
    ASSERT_TRUE(reader.feed(std::string_view(s.text).substr(at, n)));
    at += n;
  }
  const Replay pieces = reader.finish();
  ASSERT_EQ(pieces.steps.size(), whole.steps.size());
  EXPECT_EQ(play(pieces).verdict, play(whole).verdict);
  ReplayReader small(4096);
  EXPECT_FALSE(small.feed(s.text));
  EXPECT_EQ(small.finish().error, "larger than any recording (4096 bytes)");
  ReplayReader longLine;
  longLine.feed("# RMO Mazeblast replay, format 1\nseed 1\n# ");
  EXPECT_FALSE(longLine.feed(std::string(5000, 'x')));
  EXPECT_EQ(longLine.finish().error, "line 3: longer than any line of a recording");
}

TEST(Watching, AtEveryBudgetAndSpeedTheVerdictIsTheSame) {
  const RecordedSession s(5, 120);
  const Replay replay = readReplay(s.text);
  const Played expected = play(replay);
  for (int speed : kWatchSpeeds) {
    ReplayWatch watch(replay, 1000000);
    watch.setSpeed(speed, 1000000);
    std::int64_t real = 1000000;
    // Frames of a 60 Hz display, each woken at the next due time at the latest.
    while (!watch.run().over()) {
      real = std::min(real + 16667, std::max(real, watch.nextDueReal()));
      watch.runTo(real, HearNothing{});
    }
    const Frmbomb& game = watch.session().game();
    EXPECT_EQ(watch.run().verdict(), expected.verdict) << speed << "x";
    EXPECT_EQ(stateHash(game), expected.hash) << speed << "x";
    const double seconds = (real - 1000000) / 1e6, played = game.clock.nowUs / 1e6;
    EXPECT_NEAR(seconds * speed, played, 0.1 * speed) << speed << "x";
  }
}

TEST(Watching, SpeedChangesAndHoldsKeepTheGameClockWhereItWas) {
  ReplayWatch watch(Replay{}, 0);
  GameTime& time = watch.session().time();
  EXPECT_EQ(time.at(1000000, 0, kNever), 1000000);
  watch.setSpeed(4, 1000000);
  EXPECT_EQ(time.at(1500000, 0, kNever), 3000000);
  EXPECT_EQ(time.real(3000000), 1500000);
  EXPECT_FALSE(watch.key(kKeyPlus, 1500000));
  EXPECT_EQ(watch.speed(), 8);
  watch.key(kKeyPlus, 1500000);
  EXPECT_EQ(watch.speed(), 8);  // the fastest there is
  EXPECT_EQ(time.at(1600000, 0, kNever), 3800000);
  for (int i = 0; i < 4; ++i) watch.key(kKeyMinus, 1600000);
  EXPECT_EQ(watch.speed(), 1);
  EXPECT_EQ(time.at(2600000, 0, kNever), 4800000);
  // A stall is measured on the real clock, whatever the speed.
  watch.setSpeed(8, 2600000);
  EXPECT_EQ(time.at(2650000, 0, 4800000), 5200000);
  // M is the sound's; Q and Escape leave.
  watch.key(kKeyM, 2650000);
  EXPECT_TRUE(watch.session().controls().muted());
  EXPECT_TRUE(watch.key(kKeyQ, 2650000));
  EXPECT_TRUE(watch.key(kKeyEscape, 2650000));

  auto parse = [](std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"mazeblast"};
    argv.insert(argv.end(), args);
    return parseOptions(static_cast<int>(argv.size()), argv.data());
  };
  EXPECT_EQ(parse({"--replay", "a.mzr", "--speed", "8"}).speed, 8);
  EXPECT_EQ(parse({"--replay", "a.mzr", "--speed=3"}).error,
            "--speed takes a whole number 1, 2, 4 or 8, not '3' (see --help)");
  EXPECT_EQ(parse({"--speed", "2"}).error, "--speed goes with --replay (see --help)");
}

}  // namespace
}  // namespace mazeblast
