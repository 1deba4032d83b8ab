#include "screen/mixer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mazeblast {

void Mixer::start(SoundEvent e, int delay) {
  if (startCount_ < static_cast<int>(starts_.size())) starts_[startCount_++] = {delay, e};
}

void Mixer::begin(SoundEvent e) {
  for (Channel& c : channels_) {
    if (c.sound >= 0) continue;
    c.sound = static_cast<std::int8_t>(e);
    c.at = 0;
    return;
  }
}

void Mixer::mixChannels(std::int16_t* out, int length, int rest) {
  // Channel by channel, each clamped as it is added.
  for (Channel& c : channels_) {
    if (c.sound < 0) continue;
    const std::vector<std::int16_t>& s = bank_[static_cast<SoundEvent>(c.sound)];
    const auto size = static_cast<std::int64_t>(s.size());
    const auto n = static_cast<int>(std::min<std::int64_t>(length, size - c.at));
    for (int i = 0; i < n; ++i) {
      const int v = out[i] + s[c.at + i] * volume_ / 128;
      out[i] = static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
    }
    // A channel whose sound ended counts on to the end of the buffer, as saved games have
    // always kept it.
    if (c.at + length >= size) {
      c.at += rest;
      c.sound = -1;
    } else {
      c.at += length;
    }
  }
}

void Mixer::mix(std::int16_t* out, int length) {
  std::fill(out, out + length, std::int16_t{0});
  // Up to each sound's start, then on from there with it playing.
  int done = 0;
  for (int i = 0; i < startCount_; ++i) {
    const int at = std::clamp(starts_[i].delay, done, length);
    mixChannels(out + done, at - done, length - done);
    done = at;
    begin(starts_[i].sound);
  }
  startCount_ = 0;
  mixChannels(out + done, length - done, length - done);
}

void Mixer::mix(std::vector<std::int16_t>& out, std::int64_t length) {
  // A buffer at a time, as a device takes it.
  constexpr int kBuffer = 4096;
  for (std::int64_t done = 0; done < length;) {
    const int n = static_cast<int>(std::min<std::int64_t>(kBuffer, length - done));
    const std::size_t from = out.size();
    out.resize(from + static_cast<std::size_t>(n));
    mix(out.data() + from, n);
    done += n;
  }
}

std::int64_t Mixer::busyFor() const {
  std::int64_t most = 0;
  for (const Channel& c : channels_)
    if (c.sound >= 0)
      most = std::max(
          most, static_cast<std::int64_t>(bank_[static_cast<SoundEvent>(c.sound)].size()) - c.at);
  for (int i = 0; i < startCount_; ++i)
    most = std::max(most,
                    starts_[i].delay + static_cast<std::int64_t>(bank_[starts_[i].sound].size()));
  return most;
}

void Mixer::resume(const Channels& playing) {
  channels_ = playing;
  startCount_ = 0;
  for (Channel& c : channels_) {
    if (c.sound < -1 || c.sound >= kSoundEvents) c.sound = -1;
    // A sound still to start, or past its end, is not one this mixer leaves between buffers.
    if (c.sound >= 0 && (c.at < 0 || c.at >= static_cast<std::int64_t>(
                                                 bank_[static_cast<SoundEvent>(c.sound)].size())))
      c.sound = -1;
  }
}

void Mixer::silence() {
  for (Channel& c : channels_) c = Channel{};
  startCount_ = 0;
}

WavFile::~WavFile() {
  std::string ignored;
  close(&ignored);
}

namespace {

void put(std::FILE* f, std::uint32_t v, int bytes) {
  unsigned char b[4];
  for (int i = 0; i < bytes; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
  std::fwrite(b, 1, static_cast<std::size_t>(bytes), f);
}

}  // namespace

bool WavFile::open(const std::string& path, int rate, std::string* error) {
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) {
    *error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  path_ = path;
  samples_ = 0;
  failed_ = false;
  std::fwrite("RIFF", 1, 4, file_);
  put(file_, 36, 4);  // with the data's size when it is closed
  std::fwrite("WAVEfmt ", 1, 8, file_);
  put(file_, 16, 4);
  put(file_, 1, 2);  // PCM
  put(file_, 1, 2);  // mono
  put(file_, static_cast<std::uint32_t>(rate), 4);
  put(file_, static_cast<std::uint32_t>(rate * 2), 4);
  put(file_, 2, 2);
  put(file_, 16, 2);
  std::fwrite("data", 1, 4, file_);
  put(file_, 0, 4);
  return true;
}

void WavFile::write(const std::int16_t* samples, std::int64_t count) {
  if (!file_) return;
  count = std::min(count, kMostSamples - samples_);
  unsigned char bytes[8192];
  for (std::int64_t done = 0; done < count;) {
    const std::int64_t n = std::min<std::int64_t>(count - done, sizeof bytes / 2);
    for (std::int64_t i = 0; i < n; ++i) {
      const auto v = static_cast<std::uint16_t>(samples[done + i]);
      bytes[2 * i] = static_cast<unsigned char>(v),
                bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    if (std::fwrite(bytes, 2, static_cast<std::size_t>(n), file_) != static_cast<std::size_t>(n))
      failed_ = true;
    done += n;
  }
  samples_ += count;
}

bool WavFile::close(std::string* error) {
  if (!file_) return true;
  const auto data = static_cast<std::uint32_t>(samples_ * 2);
  std::fseek(file_, 4, SEEK_SET);
  put(file_, 36 + data, 4);
  std::fseek(file_, 40, SEEK_SET);
  put(file_, data, 4);
  const bool ok = std::fclose(file_) == 0 && !failed_;
  file_ = nullptr;
  if (!ok) *error = "cannot finish '" + path_ + "': " + std::strerror(errno);
  return ok;
}

}  // namespace mazeblast
