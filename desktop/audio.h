// The game's sounds in the window: the game's one mixer, the one the libretro core and the
// scripted driver's recordings mix with, feeding SDL's audio device from its callback. The
// device is opened at the first sound and closed after a while of silence, so a still screen
// costs no wake-ups; silent while muted or while the window is away. A sound starts at the
// device's next buffer, or is dropped where no channel is free: nothing ever plays late. No
// device: one line, and the game plays on.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "scene/sound_events.h"
#include "screen/mixer.h"
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
  static void fill(void* self, Uint8* stream, int bytes);

  SoundBank bank_;
  Mixer mixer_;  // shared with the device's thread, under its lock
  SDL_AudioDeviceID device_ = 0;
  bool silent_ = false;
  bool opened_ = false, failed_ = false;
  std::int64_t quietFromUs_ = 0;  // when the last sound started will have ended
};

}  // namespace mazeblast
