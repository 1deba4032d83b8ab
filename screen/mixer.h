// The game's one mixer, for every front end that plays its sounds: the window's audio device,
// the libretro core's frames and the scripted driver's recording. Each sound plays on a
// channel of its own while one is free (else it is dropped, never played late), scaled by the
// volume and added into the output channel by channel, clamped to 16 bits after each. It is
// asked for its sound a buffer at a time; what plays is a few numbers a channel, that a
// saved game keeps.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
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

class Mixer {
 public:
  struct Channel {
    std::int8_t sound = -1;  // none
    std::int32_t at = 0;     // the sample it plays next
  };
  using Channels = std::array<Channel, kMixChannels>;

  explicit Mixer(const SoundBank& bank, int volumePercent = kDefaultVolume)
      : bank_(bank), volume_(mixVolume(volumePercent)) {}

  // Sound `e` starts `delay` samples into the next buffer (in time order), on the first
  // channel free at that sample; with none free it is dropped.
  void start(SoundEvent e, int delay = 0);
  // The next `length` samples.
  void mix(std::int16_t* out, int length);
  // Appends `length` more samples to `out`.
  void mix(std::vector<std::int16_t>& out, std::int64_t length);
  void silence();
  void setVolume(int percent) { volume_ = mixVolume(percent); }
  // How many samples until the last sound playing or to start ends.
  std::int64_t busyFor() const;
  bool quiet() const { return busyFor() == 0; }

  // What plays now, to be kept and given back; a channel given a sound the game has not is
  // silent.
  const Channels& playing() const { return channels_; }
  void resume(const Channels& playing);
  template <class Io>
  static void keep(Io& io, Channels& playing) {
    for (Channel& c : playing) io(c.sound), io(c.at);
  }

 private:
  void begin(SoundEvent e);
  // `length` samples of what plays, `rest` of them to the buffer's end.
  void mixChannels(std::int16_t* out, int length, int rest);

  const SoundBank& bank_;
  int volume_;
  Channels channels_{};
  // The sounds that start within the next buffer, in time order; more than a buffer ever
  // takes are dropped.
  struct Start {
    int delay;
    SoundEvent sound;
  };
  std::array<Start, 64> starts_{};
  int startCount_ = 0;
};

// A 16-bit mono PCM WAV file, written as its samples come and its sizes set when it is
// closed, so that an hour of sound never waits in memory.
class WavFile {
 public:
  // The most a WAV's 32-bit sizes hold: about twelve hours at 48 kHz.
  static constexpr std::int64_t kMostSamples = (std::int64_t{0xFFFFFFFF} - 36) / 2;

  WavFile() = default;
  ~WavFile();
  WavFile(const WavFile&) = delete;
  WavFile& operator=(const WavFile&) = delete;

  // False, with the reason, where the file cannot be made.
  bool open(const std::string& path, int rate, std::string* error);
  // Up to the most a WAV holds; what is past it is left out.
  void write(const std::int16_t* samples, std::int64_t count);
  // False, with the reason, where it could not be written whole.
  bool close(std::string* error);
  std::int64_t samples() const { return samples_; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  std::int64_t samples_ = 0;
  bool failed_ = false;
};

}  // namespace mazeblast
