#include "scene/state_hash.h"

#include "scene/registry.h"

namespace mazeblast {

namespace {

template <class... Sets>
void addAll(StateDigest& d, const Sets&... sets) {
  (..., [&](const auto& values) {
    for (const auto& v : values) d.add(v);
  }(sets));
}

}  // namespace

std::uint64_t stateHash(const Frmbomb& g) {
  StateDigest d;
  for (std::int64_t v :
       {std::int64_t{g.score}, std::int64_t{g.level}, std::int64_t{g.lives},
        std::int64_t{g.hiscore}, std::int64_t{g.bonus}, std::int64_t{g.playerx},
        std::int64_t{g.playery}, std::int64_t{g.direction}, std::int64_t{g.paused},
        std::int64_t{g.dying}, std::int64_t{g.enemylast}, std::int64_t{g.wallcount},
        std::int64_t{g.raybase}, std::int64_t{g.flamebase}, std::int64_t{g.currentbomb},
        std::int64_t{g.bombnear}, std::int64_t{g.bombplaced}, std::int64_t{g.enemyhitpending},
        std::int64_t{g.tickinterval}})
    d.add(v);
  addAll(d, g.bombx, g.bomby, g.bombactive, g.bombfuse, g.bombexploded, g.bombpending, g.bombflames,
         g.enemydir, g.enemykind, g.enemykindclock, g.enemynewkind, g.enemyhit, g.enemyblocked,
         g.enemydeathtimer, g.wallx, g.wally, g.rayreach, g.raystop, g.wallwreck, g.enemyx,
         g.enemyy);
  d.add(static_cast<std::int64_t>(g.rnd.position()));
  d.add(g.rnd.forcedLeft());
  d.add(g.clock.floorMs());
  // Shown or not, every element with all it has; pictures by their names.
  auto box = [&](const auto& e) {
    d.add(e.Visible), d.add(e.Left), d.add(e.Top), d.add(e.Width), d.add(e.Height);
  };
  const auto element = Overloaded{
      [&](const Sprite& e) {
        box(e);
        d.add(e.Picture ? std::string_view(e.Picture->name) : "none");
      },
      [&](const Label& e) { box(e), d.add(e.Caption.view()); },
      [&](const Button& e) { box(e), d.add(e.Caption.view()); },
      [&](const FocusBox& e) { box(e), d.add(e.Enabled); },
      [&](const Timer& t) { d.add(t.enabled()), d.add(t.interval()), d.add(t.dueAfterNow()); },
  };
  for (int k = 0; k < kElementSetCount; ++k) {
    std::visit(
        [&](const auto& set) {
          for (int i = 0; i < set.count; ++i) element(set.look(g, i));
        },
        kElementSets[k]);
  }
  return d.value();
}

}  // namespace mazeblast
