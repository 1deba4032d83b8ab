// One game as every driver puts it together: the game object, the timer floor of a real
// clock, the random source's seed, the title screen, the player's controls, the watcher
// that turns what each handler changed into sound events, the game's clock on the real one,
// and the recorder where the game is recorded. The window, the page, the libretro core, the
// scripted driver and the link maker each hold one and only add what is their own: how
// they show the picture, play the sound and take the player's input.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#include "game/Frmbomb.h"
#include "scene/controls.h"
#include "scene/runner.h"
#include "scene/sound_events.h"

namespace mazeblast {

// What a recording is told of a session: its start, every input as the game takes it, and
// each moment the game has run up to.
class Recorder : public InputLog {
 public:
  // The session's game, on its title screen, with what it was started with.
  virtual void begin(const Frmbomb& game, std::uint64_t seed, int floorMs) = 0;
  // After the game has run up to its time now.
  virtual void settled() = 0;
};

// Hears nothing: for a driver that has no sound, which need not look for any.
struct HearNothing {
  void operator()(SoundEvents) const {}
};

class Session {
 public:
  struct Setup {
    std::uint64_t seed = 1;
    // No timer ticks more often than this: kTimerFloorMs on a real clock, none on a virtual
    // one. A watched recording sets its own, as it sets its seed.
    int floorMs = 0;
    // The real time at which the game's clock starts, for a game on a real clock.
    std::int64_t startUs = 0;
    Recorder* recorder = nullptr;
  };

  explicit Session(const Setup& setup);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Frmbomb& game() { return *game_; }
  const Frmbomb& game() const { return *game_; }
  Controls& controls() { return controls_; }
  const Controls& controls() const { return controls_; }
  // The game's clock on the real one.
  GameTime& time() { return time_; }
  const GameTime& time() const { return time_; }

  // What the handlers since the last call changed on the screen, as sound events.
  SoundEvents heard() { return watcher_.changes(*game_); }
  // The game is looked at afresh (a script set it, a saved game gave it back): what it shows
  // now is no event.
  void lookAgain() { watcher_.look(*game_); }

  // Every tick due up to the game's time `untilUs`, in time order; after each, the controls
  // see it and `hear` takes what it changed.
  template <class Hear>
  void advanceTo(std::int64_t untilUs, Hear&& hear) {
    mazeblast::advanceTo(*game_, untilUs, [&](int) {
      controls_.afterTick();
      if constexpr (!std::is_same_v<std::remove_cvref_t<Hear>, HearNothing>) hear(heard());
    });
  }
  // Every tick due by the real time `realUs`, each at its due time on the game's clock.
  template <class Hear>
  void runUntil(std::int64_t realUs, Hear&& hear) {
    advanceTo(time_.at(realUs, game_->clock.nowUs, nextTick(*game_)), hear);
  }
  // An input taken at the real time `realUs`: the ticks due before it first, as a replay has
  // them, then `input(controls)`, then `hear` takes what it changed and the recorder sees
  // the game settled. What `input` returns.
  template <class Input, class Hear>
  auto take(std::int64_t realUs, Input&& input, Hear&& hear) {
    runUntil(realUs, hear);
    if constexpr (std::is_void_v<decltype(input(controls_))>) {
      input(controls_);
      settle(hear);
    } else {
      auto result = input(controls_);
      settle(hear);
      return result;
    }
  }
  // The recorder sees the game as it stands; `hear` takes what the last handler changed.
  template <class Hear>
  void settle(Hear&& hear) {
    if constexpr (!std::is_same_v<std::remove_cvref_t<Hear>, HearNothing>) hear(heard());
    if (recorder_) recorder_->settled();
  }

  Recorder* recorder() const { return recorder_; }
  std::uint64_t seed() const { return seed_; }

 private:
  std::unique_ptr<Frmbomb> game_ = std::make_unique<Frmbomb>();
  Controls controls_{*game_};
  GameTime time_;
  SoundWatcher watcher_;
  Recorder* recorder_;
  std::uint64_t seed_;
};

}  // namespace mazeblast
