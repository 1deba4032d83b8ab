// One main tick at level 10: ten enemies moving, ten bombs in play and their flames on the
// field. Included by two sources, one for each copy of the rules, so the indexed position
// tests and the literal scans run the very same tick.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>
#include <utility>

#include "game/Frmbomb.h"
#include "scene/runner.h"

namespace mazeblast {
namespace {

std::unique_ptr<Frmbomb> busyLevel() {
  auto f = std::make_unique<Frmbomb>();
  f->Form_Load();
  f->Cmdstart_Click();
  f->level = 10;
  advanceTo(*f, 4000 * 1000);
  f->Tmr2.disable();
  // Ten bombs along the open rows, all burst once so their flames stand on the field.
  for (int k = 0; k < 10; ++k) {
    f->playerx = 360 + 480 * 2 * (k % 5) + 240;
    f->playery = static_cast<i16>(1320 + 480 * 4 * (k / 5));
    f->asetapommi();
    f->bombfuse(k) = 1;
  }
  f->playerx = 6120;
  f->playery = 7080;
  f->Tmr2_Timer();
  return f;
}

void mainTickLevel10(benchmark::State& state) {
  auto f = busyLevel();
  for (int k = 0; k < 10; ++k) f->bombfuse(k) = 30000;
  int flames = 0;
  for (const Sprite& s : std::as_const(*f).Imgliekki) flames += s.Visible;
  state.counters["flames"] = flames;
  for (auto _ : state) {
    f->Tmr2_Timer();
    // Keep every enemy alive and the player on his feet, so each tick does the whole work.
    for (int i = 0; i <= 9; ++i) f->enemyhit(i) = 0;
    f->enemyhitpending = 0;
    f->dying = 0;
    if (f->bombfuse(0) < 100)
      for (int k = 0; k < 10; ++k) f->bombfuse(k) = 30000;
    benchmark::DoNotOptimize(f->enemyx(0));
  }
}

void positionTests(benchmark::State& state) {
  auto f = busyLevel();
  int x = 360;
  for (auto _ : state) {
    benchmark::DoNotOptimize(f->wallTileAt(x, 3240));
    benchmark::DoNotOptimize(f->blockAt(x, 3240));
    benchmark::DoNotOptimize(f->flameAt(x, 3240));
    x = x >= 11880 ? 360 : x + 240;
  }
}

}  // namespace
}  // namespace mazeblast
