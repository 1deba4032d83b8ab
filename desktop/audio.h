// The game's sounds in the window, through SDL2_mixer. The device is opened at the first
// sound and closed after a while of silence, so a still screen costs no wake-ups; silent
// while muted or while the window is away. A sound that cannot start when its event
// comes is dropped: nothing ever plays late. No device: one line, and the game plays on.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>

#include "scene/sound_events.h"
#include "screen/sounds.h"

namespace mazeblast {

class SoundPlayer {
 public:
  explicit SoundPlayer(int volumePercent);
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  void play(SoundEvents events, std::int64_t nowUs);
  // Silent (muted, or the window away): what plays stops at once, and nothing new starts.
  void setSilent(bool silent);
  bool silent() const { return silent_; }

  // When the device should be closed, for the event loop to wake then; kNever when closed.
  std::int64_t closeDue() const;
  void closeIfQuiet(std::int64_t nowUs);

 private:
  bool open();
  void close();
  void silence();

  SoundBank bank_;
  Mix_Chunk* chunks_[kSoundEvents] = {};
  int volume_;
  bool silent_ = false;
  bool opened_ = false, failed_ = false;
  std::int64_t quietFromUs_ = 0;  // when the last sound started will have ended
};

}  // namespace mazeblast
