// Mixes the game's sounds as the window's mixer does, for a recording: each sound on a
// channel of its own while one is free (else it is dropped, never played late), scaled by
// the volume and added into the output, clamped to 16 bits after each channel.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "screen/sounds.h"

namespace mazeblast {

constexpr int kMixChannels = 16;
constexpr int kDefaultVolume = 80;  // percent

// The mixer's volume, 0 to 128, for a volume of 0 to 100 percent.
constexpr int mixVolume(int percent) {
  return (128 * percent + 50) / 100;
}

class SoftMixer {
 public:
  explicit SoftMixer(const SoundBank& bank, int volumePercent = kDefaultVolume)
      : bank_(bank), volume_(mixVolume(volumePercent)) {}

  // Sound `e` starts at sample `at` (in time order), on the first free channel.
  void start(SoundEvent e, std::int64_t at);
  // The sample after the last sound ends.
  std::int64_t end() const { return end_; }
  // Everything started, mixed into `length` samples.
  std::vector<std::int16_t> mix(std::int64_t length) const;

 private:
  struct Playing {
    SoundEvent sound;
    std::int64_t at;
    int channel;
  };
  const SoundBank& bank_;
  int volume_;
  std::int64_t channelFreeAt_[kMixChannels] = {};
  std::vector<Playing> played_;
  std::int64_t end_ = 0;
};

// The same mixing as a stream, a buffer at a time, for a front end that is asked for its
// sound frame by frame (the libretro core): what it plays is a few numbers a channel, that a
// saved game keeps.
class StreamMixer {
 public:
  struct Channel {
    std::int8_t sound = -1;  // none
    std::int32_t at = 0;     // the sample it plays next; below 0 while it is still to start
  };
  using Channels = std::array<Channel, kMixChannels>;

  explicit StreamMixer(const SoundBank& bank, int volumePercent = kDefaultVolume)
      : bank_(bank), volume_(mixVolume(volumePercent)) {}

  // Sound `e` starts `delay` samples into the next buffer (in time order), on the first
  // channel free by then; else it is dropped.
  void start(SoundEvent e, int delay);
  // The next `length` samples.
  void mix(std::int16_t* out, int length);
  void silence();

  // What plays now, to be kept and given back; a channel given a sound the game has not is
  // silent.
  const Channels& playing() const { return channels_; }
  void resume(const Channels& playing);
  template <class Io>
  static void keep(Io& io, Channels& playing) {
    for (Channel& c : playing) io(c.sound), io(c.at);
  }

 private:
  const SoundBank& bank_;
  int volume_;
  Channels channels_{};
};

// Writes 16-bit mono PCM samples as a WAV file; false, with a message, when it cannot.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
              std::string* error);

}  // namespace mazeblast
