#include "desktop/audio.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "screen/mixer.h"
#include "screen/timers.h"

namespace mazeblast {

namespace {

// A device buffer of 256 frames, about 5 ms at 48 kHz: a sound is heard 10 to 20 ms after
// its event (512 frames made it 15 to 27).
constexpr int kDeviceFrames = 256;
// Closed after this long without a sound: the audio thread wakes for every buffer.
constexpr std::int64_t kQuietUs = 5000000;

// Standard error shut for the length of a call: the sound libraries below SDL say their
// own piece there when no device answers, and the game says it once, in one line.
class QuietErrors {
 public:
  QuietErrors() : saved_(dup(2)) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2), ::close(null);
  }
  ~QuietErrors() {
    if (saved_ >= 0) dup2(saved_, 2), ::close(saved_);
  }

 private:
  int saved_;
};

}  // namespace

SoundPlayer::SoundPlayer(int volumePercent) : mixer_(bank_, volumePercent) {}

SoundPlayer::~SoundPlayer() {
  close();
}

void SoundPlayer::fill(void* self, Uint8* stream, int bytes) {
  static_cast<SoundPlayer*>(self)->mixer_.mix(reinterpret_cast<std::int16_t*>(stream),
                                              bytes / static_cast<int>(sizeof(std::int16_t)));
}

bool SoundPlayer::open() {
  if (opened_ || failed_) return opened_;
  SDL_AudioSpec want{}, have{};
  want.freq = kSampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = kDeviceFrames;
  want.callback = fill;
  want.userdata = this;
  {
    QuietErrors quiet;
    // The device takes the mixer's own form; SDL converts where the hardware wants another.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
      device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (device_ == 0) {
    std::fprintf(stderr, "mazeblast: no sound: %s\n", SDL_GetError());
    failed_ = true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  mixer_.silence();
  SDL_PauseAudioDevice(device_, 0);
  opened_ = true;
  return true;
}

void SoundPlayer::close() {
  if (!opened_) return;
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  opened_ = false;
}

void SoundPlayer::silence() {
  if (!opened_) return;
  SDL_LockAudioDevice(device_);
  mixer_.silence();
  SDL_UnlockAudioDevice(device_);
}

void SoundPlayer::play(SoundEvents events, std::int64_t nowUs) {
  if (events.empty() || silent_ || !open()) return;
  // Each at the start of the device's next buffer.
  SDL_LockAudioDevice(device_);
  events.forEach([&](SoundEvent e) { mixer_.start(e); });
  SDL_UnlockAudioDevice(device_);
  events.forEach([&](SoundEvent e) {
    const auto length = static_cast<std::int64_t>(bank_[e].size()) * 1000000 / kSampleRate;
    quietFromUs_ = std::max(quietFromUs_, nowUs + length);
  });
}

void SoundPlayer::setSilent(bool silent) {
  if (silent && !silent_) silence();
  silent_ = silent;
}

std::int64_t SoundPlayer::closeDue() const {
  return opened_ ? quietFromUs_ + kQuietUs : kNever;
}

void SoundPlayer::closeIfQuiet(std::int64_t nowUs) {
  if (opened_ && nowUs >= closeDue()) close();
}

}  // namespace mazeblast
