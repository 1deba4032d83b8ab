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

SoundPlayer::SoundPlayer(int volumePercent) : volume_(mixVolume(volumePercent)) {}

SoundPlayer::~SoundPlayer() {
  close();
}

bool SoundPlayer::open() {
  if (opened_ || failed_) return opened_;
  bool ok;
  {
    QuietErrors quiet;
    ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
         Mix_OpenAudioDevice(kSampleRate, AUDIO_S16SYS, 1, kDeviceFrames, nullptr, 0) == 0;
  }
  if (!ok) {
    std::fprintf(stderr, "mazeblast: no sound: %s\n", Mix_GetError());
    failed_ = true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_AllocateChannels(kMixChannels);
  Mix_Volume(-1, volume_);
  for (int e = 0; e < kSoundEvents; ++e) {
    const auto& s = bank_[static_cast<SoundEvent>(e)];
    chunks_[e] = Mix_QuickLoad_RAW(const_cast<Uint8*>(reinterpret_cast<const Uint8*>(s.data())),
                                   static_cast<Uint32>(s.size() * sizeof s[0]));
  }
  opened_ = true;
  return true;
}

void SoundPlayer::close() {
  if (!opened_) return;
  Mix_HaltChannel(-1);
  for (Mix_Chunk*& c : chunks_) Mix_FreeChunk(c), c = nullptr;
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  opened_ = false;
}

void SoundPlayer::silence() {
  if (opened_) Mix_HaltChannel(-1);
}

void SoundPlayer::play(SoundEvents events, std::int64_t nowUs) {
  if (events.empty() || silent_ || !open()) return;
  events.forEach([&](SoundEvent e) {
    // No free channel: dropped.
    if (Mix_PlayChannel(-1, chunks_[static_cast<int>(e)], 0) < 0) return;
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
