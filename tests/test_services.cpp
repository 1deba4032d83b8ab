// The services under the game: the timer scheduler, the random source and number captions.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "screen/elements.h"
#include "screen/random.h"
#include "screen/timers.h"

namespace mazeblast {
namespace {

// Three timers on a virtual clock, recording (time in ms, timer number) for every tick.
struct Clocked : ::testing::Test {
  TimerClock clock;
  Timer a{&clock, 100}, b{&clock, 100}, c{&clock, 30};
  Timer* timers[3] = {&a, &b, &c};
  std::vector<std::pair<long, int>> ticks;
  void run(long ms) {
    runUntil(clock.nowUs / 1000 + ms, [](int) {});
  }
  template <class F>
  void runUntil(long ms, F&& extra) {
    runVirtual(clock, timers, 3, ms * 1000, [&](int i) {
      ticks.push_back({static_cast<long>(clock.nowUs / 1000), i + 1});
      extra(i);
    });
  }
  std::vector<long> timesOf(int n) const {
    std::vector<long> t;
    for (auto [ms, k] : ticks)
      if (k == n) t.push_back(ms);
    return t;
  }
};

TEST_F(Clocked, EnablingARunningTimerKeepsItsPeriod) {
  a.enable();
  run(50);
  a.enable();  // must not push the tick at 100 to 150
  run(60);
  EXPECT_EQ(timesOf(1), (std::vector<long>{100}));
  a.disable();
  a.enable();  // a stopped timer starts afresh: first tick one interval on
  run(100);
  EXPECT_EQ(timesOf(1), (std::vector<long>{100, 210}));
}

TEST_F(Clocked, TicksDueTogetherRunInTimerOrderAndEachInTimeOrder) {
  b.enable();
  a.enable();
  c.enable();
  run(300);
  const std::vector<std::pair<long, int>> want = {
      {30, 3},  {60, 3},  {90, 3},  {100, 1}, {100, 2}, {120, 3}, {150, 3}, {180, 3},
      {200, 1}, {200, 2}, {210, 3}, {240, 3}, {270, 3}, {300, 1}, {300, 2}, {300, 3}};
  EXPECT_EQ(ticks, want);
}

TEST_F(Clocked, AHandlerThatStopsItsTimerGetsNoMoreTicks) {
  a.enable();
  runUntil(1000, [&](int i) {
    if (i == 0) a.disable();
  });
  EXPECT_EQ(timesOf(1), (std::vector<long>{100}));
}

TEST_F(Clocked, ANewIntervalActsAfterTheTickAlreadyScheduled) {
  a.enable();
  run(40);
  a.setInterval(10);
  run(100);
  EXPECT_EQ(timesOf(1), (std::vector<long>{100, 110, 120, 130, 140}));
}

TEST_F(Clocked, TheFloorHoldsShortIntervalsBack) {
  clock.setFloor(16);
  c.setInterval(2);
  c.enable();
  run(64);
  EXPECT_EQ(timesOf(3), (std::vector<long>{16, 32, 48, 64}));
  clock.setFloor(0);
  run(4);  // the tick at 80 stays; the ones after it follow 2 ms
  EXPECT_TRUE(timesOf(3).back() == 64);
  run(16);
  EXPECT_EQ(timesOf(3), (std::vector<long>{16, 32, 48, 64, 80, 82, 84}));
}

TEST_F(Clocked, ALateTickIsNotMadeUpForTwice) {
  a.enable();  // due at 100
  // The real clock comes back from a stall at 1234 ms: one tick, then one period on.
  a.ticked(1234 * 1000);
  EXPECT_EQ(a.due(), (1234 + 100) * 1000);
  // Late by less than a period, the cadence holds.
  a.ticked(1350 * 1000);
  EXPECT_EQ(a.due(), 1434 * 1000);
}

TEST_F(Clocked, AnIntervalOfZeroIsSilent) {
  a.setInterval(0);
  a.enable();
  run(1000);
  EXPECT_TRUE(ticks.empty());
  a.setInterval(50);
  run(50);
  EXPECT_EQ(timesOf(1), (std::vector<long>{1050}));
}

TEST(RandomSource, NeverReturnsOneAndScalesByTruncation) {
  Random r(12345);
  double top = 0;
  for (int i = 0; i < 200000; ++i) {
    const double v = r.next();
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
    top = std::max(top, v);
    ASSERT_EQ(v * 16777216.0, static_cast<double>(static_cast<long>(v * 16777216.0)));
  }
  EXPECT_GT(top, 0.999);
  // The largest value the source can give still lands below n.
  const double largest = 16777215.0 / 16777216.0;
  for (int n : {2, 4, 6, 13, 25, 50}) {
    ASSERT_TRUE(r.force(&largest, 1));
    EXPECT_EQ(r.below(n), n - 1) << n;
  }
}

TEST(RandomSource, ForcedValuesComeFirstThenTheSequenceGoesOn) {
  Random plain(7), forced(7);
  const double v[] = {0.0, 0.48, 0.999};
  ASSERT_TRUE(forced.force(v, 3));
  EXPECT_EQ(forced.below(25), 0);
  EXPECT_EQ(forced.below(25), 12);  // 0.48 x 25 is 12, not 11.99...
  EXPECT_EQ(forced.below(13), 12);
  EXPECT_EQ(forced.next(), plain.next());
  const double bad[] = {1.0};
  EXPECT_FALSE(forced.force(bad, 1));
  const double negative[] = {-0.1};
  EXPECT_FALSE(forced.force(negative, 1));
}

TEST(RandomSource, SpreadsEvenlyOverSmallRanges) {
  Random r(99);
  int counts[6] = {};
  for (int i = 0; i < 60000; ++i) ++counts[r.below(6)];
  for (int c : counts) EXPECT_NEAR(c, 10000, 400);
}

// A deferred timer that wastes random values must leave every draw exactly where a ticking
// one would: the same script of waits, draws, floors, intervals, stops, forced values and
// reseeds is played on both, and every draw compared.
TEST(RandomSource, ADeferredWasterDrawsAsATickingOneWould) {
  struct Side {
    TimerClock clock;
    Timer waster{&clock, 2}, other{&clock, 77};
    Timer* timers[2] = {&waster, &other};
    Random rnd{5};
    std::vector<double> draws;
    explicit Side(bool deferred) {
      waster.enable();
      other.enable();
      if (deferred) rnd.wastedBy(waster);
    }
    void wait(std::int64_t ms) {
      runVirtual(clock, timers, 2, clock.nowUs + ms * 1000, [&](int i) {
        if (i == 0 && waster.wakeAt() != kNever) rnd.next();  // the ticking waster
        if (i == 1) draws.push_back(rnd.next());              // the game draws on its ticks
      });
    }
  };
  Side ticking(false), deferred(true);
  std::mt19937 pick(7);
  for (int step = 0; step < 4000; ++step) {
    const int what = static_cast<int>(pick() % 100);
    const std::int64_t ms = pick() % 300;
    const int n = static_cast<int>(pick() % 40);
    const double forced[2] = {0.25, 0.75};
    for (Side* s : {&ticking, &deferred}) {
      if (what < 60)
        s->wait(ms);
      else if (what < 75)
        s->draws.push_back(s->rnd.next());
      else if (what < 82)
        s->clock.setFloor(n % 2 ? 16 : 0);
      else if (what < 88)
        s->waster.setInterval(n);
      else if (what < 93)
        s->waster.setEnabled(n % 3 != 0);
      else if (what < 97)
        s->rnd.force(forced, 1 + n % 2);
      else
        s->rnd.reseed(static_cast<std::uint64_t>(n));
    }
    ASSERT_EQ(ticking.draws, deferred.draws) << "step " << step;
  }
  EXPECT_GT(deferred.draws.size(), 1000u);
}

TEST(NumberCaption, LeadingBlankForZeroAndAboveMinusForBelow) {
  EXPECT_EQ(numberCaption(0), " 0");
  EXPECT_EQ(numberCaption(3000), " 3000");
  EXPECT_EQ(numberCaption(-10), "-10");
  EXPECT_EQ(numberCaption(2147483647), " 2147483647");
}

}  // namespace
}  // namespace mazeblast
