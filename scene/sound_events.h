// The sounds follow what happens on the screen: a watcher looks at the game before and after
// each handler and turns what the handler changed into sound events, at most one of a kind.
// The rules know nothing of it.
#pragma once

#include <cstdint>

#include "game/Frmbomb.h"
#include "screen/sounds.h"

namespace mazeblast {

// A set of sound events, one bit each.
class SoundEvents {
 public:
  bool has(SoundEvent e) const { return bits_ & bit(e); }
  void add(SoundEvent e) { bits_ |= bit(e); }
  bool empty() const { return bits_ == 0; }

  template <class F>
  void forEach(F&& f) const {
    for (int e = 0; e < kSoundEvents; ++e)
      if (bits_ & (1u << e)) f(static_cast<SoundEvent>(e));
  }

 private:
  static unsigned bit(SoundEvent e) { return 1u << static_cast<int>(e); }
  unsigned bits_ = 0;
};

class SoundWatcher {
 public:
  // What the screen shows now, to compare with after the next handler.
  void look(const Frmbomb& game);
  // What the handler since the last look changed, as events; then looks again.
  SoundEvents changes(const Frmbomb& game);

 private:
  struct Seen {
    bool countShown = false;
    Text count;
    bool bombShown[10] = {};
    PictureRef bombPicture[10] = {};
    PictureRef enemyPicture[10] = {};
    bool buttonShown[4] = {};
    bool pauseShown = false;
    int crackedWalls = 0;
    bool bombsAbout = false;  // some bomb sprite shown: only then can a wall crack
    std::int32_t score = 0, hiscore = 0;
    std::int16_t bonus = 0, dying = 0;
  };
  static Seen see(const Frmbomb& game);
  Seen before_;
};

}  // namespace mazeblast
