#include "screen/mixer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mazeblast {

void SoftMixer::start(SoundEvent e, std::int64_t at) {
  const auto length = static_cast<std::int64_t>(bank_[e].size());
  for (int c = 0; c < kMixChannels; ++c) {
    if (channelFreeAt_[c] > at) continue;
    channelFreeAt_[c] = at + length;
    played_.push_back({e, at, c});
    end_ = std::max(end_, at + length);
    return;
  }
}

std::vector<std::int16_t> SoftMixer::mix(std::int64_t length) const {
  std::vector<std::int16_t> out(static_cast<std::size_t>(length), 0);
  // Channel by channel, as the window's mixer adds them.
  for (int c = 0; c < kMixChannels; ++c) {
    for (const Playing& p : played_) {
      if (p.channel != c) continue;
      const std::vector<std::int16_t>& s = bank_[p.sound];
      const std::int64_t n =
          std::min<std::int64_t>(static_cast<std::int64_t>(s.size()), length - p.at);
      for (std::int64_t i = 0; i < n; ++i) {
        const int v = out[p.at + i] + s[i] * volume_ / 128;
        out[p.at + i] = static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
      }
    }
  }
  return out;
}

void StreamMixer::start(SoundEvent e, int delay) {
  for (Channel& c : channels_) {
    if (c.sound >= 0 &&
        static_cast<std::int64_t>(bank_[static_cast<SoundEvent>(c.sound)].size()) - c.at > delay)
      continue;
    c.sound = static_cast<std::int8_t>(e);
    c.at = -delay;
    return;
  }
}

void StreamMixer::mix(std::int16_t* out, int length) {
  std::fill(out, out + length, std::int16_t{0});
  // Channel by channel, as the window's mixer adds them.
  for (Channel& c : channels_) {
    if (c.sound < 0) continue;
    const std::vector<std::int16_t>& s = bank_[static_cast<SoundEvent>(c.sound)];
    const auto size = static_cast<std::int64_t>(s.size());
    for (int i = std::max(0, -c.at); i < length && c.at + i < size; ++i) {
      const int v = out[i] + s[c.at + i] * volume_ / 128;
      out[i] = static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
    }
    c.at += length;
    if (c.at >= size) c.sound = -1;
  }
}

void StreamMixer::resume(const Channels& playing) {
  channels_ = playing;
  for (Channel& c : channels_)
    if (c.sound < -1 || c.sound >= kSoundEvents) c.sound = -1;
}

void StreamMixer::silence() {
  for (Channel& c : channels_) c = Channel{};
}

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
              std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    *error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  const auto data = static_cast<std::uint32_t>(samples.size() * 2);
  auto u32 = [&](std::uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
  };
  auto u16 = [&](unsigned v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
  };
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + data);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate * 2));
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(data);
  for (std::int16_t s : samples) u16(static_cast<std::uint16_t>(s));
  const bool ok = std::fclose(f) == 0;
  if (!ok) *error = "cannot finish '" + path + "': " + std::strerror(errno);
  return ok;
}

}  // namespace mazeblast
