// Nothing is allocated during play: every heap allocation made inside the game's handlers,
// in hearing and playing what they change and in recording the session to a file, from "GO!"
// to game over, is counted, and there must be none.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <string>

#include "desktop/audio.h"
#include "desktop/recording.h"
#include "game/Frmbomb.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/controls.h"
#include "scene/session.h"
#include "scene/sound_events.h"

namespace {
bool counting = false;
long allocations = 0;
}  // namespace

// GCC takes free() of what this operator new got from malloc() for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t n) {
  if (counting) ++allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace mazeblast {
namespace {

TEST(Allocation, NoneFromGoToGameOver) {
  // The sounds go to SDL's dummy device, through the window's own player.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SoundPlayer player(80);
  ReplayWriter writer;
  Session session({.recorder = &writer});
  Frmbomb& f = session.game();
  Controls& controls = session.controls();
  RecordingFile file;
  std::string error;
  const std::string path = ::testing::TempDir() + "alloc_test.mzr";
  ASSERT_TRUE(file.open(path, true, &error)) << error;
  file.take(writer, 0, true);
  auto hear = [&](SoundEvents events) { player.play(events, f.clock.nowUs); };
  auto counted = [&](auto&& handler) {
    counting = true;
    handler();
    session.settle(hear);
    file.take(writer, f.clock.nowUs, false);
    counting = false;
  };
  counted([&] { controls.click(0); });
  auto wait = [&](long ms) {
    counting = true;
    session.advanceTo(f.clock.nowUs + ms * 1000, hear);
    writer.settled();
    file.take(writer, f.clock.nowUs, false);
    counting = false;
  };
  f.level = 1;
  wait(4000);  // "GO!"
  allocations = 0;
  // A level cleared: a bomb at the start cell, its enemy brought into the flames' way.
  counted([&] { controls.fieldKey(kKeySpace, true); });
  f.playerx = 4200;
  wait(1078);
  f.enemyx(0) = 6120;
  f.enemyy(0) = 6600;
  wait(4000);
  ASSERT_TRUE(f.Cmdcont2.Visible) << "the level was not cleared";
  counted([&] { controls.click(2); });
  f.level = 10;  // ten enemies at the 5 ms tick, so every part of the game gets its turn
  wait(4000);
  std::mt19937 pick(5);
  long handlers = 0;
  while (!f.Cmdnew.Visible && f.clock.nowUs < 3600LL * 1000000) {
    if (f.Cmdcont.Visible) counted([&] { controls.click(1); });
    if (f.Cmdcont2.Visible) counted([&] { controls.click(2); });
    const int key = std::array{37, 38, 39, 40, 32, 32, 80}[pick() % 7];
    counted([&] { controls.fieldKey(key, true); });
    wait(pick() % 400);
    counted([&] { controls.fieldKey(key, false); });
    ++handlers;
  }
  EXPECT_TRUE(f.Cmdnew.Visible) << "the game did not end";
  EXPECT_EQ(allocations, 0);
  EXPECT_TRUE(file.close());
  EXPECT_EQ(file.failure(), "");
  std::printf("allocations from GO to game over: %ld, over %ld rounds of play\n", allocations,
              handlers);
}

}  // namespace
}  // namespace mazeblast
