#include "screen/sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mazeblast {

namespace {

enum class Wave { Square, Triangle, Noise };

// One voice of a sound: from startMs for lengthMs, its pitch sliding from fromHz to toHz (for
// noise, the rate at which a new random level is taken). It rises over attackMs, dies away
// by `decay` each second, and fades out over its last releaseMs.
struct Note {
  Wave wave;
  float startMs, lengthMs;
  float fromHz, toHz;
  float volume;
  float attackMs, decay, releaseMs;
  float duty = 0.5f;  // of a square wave
};

struct Recipe {
  SoundEvent event;
  float peak;  // the loudest sample, as a share of full scale
  std::vector<Note> notes;
};

// Note names, equal temperament from A4 = 440 Hz.
constexpr float A3 = 220.0f, C4 = 261.63f, E4 = 329.63f, G4 = 392.0f, A4 = 440.0f, C5 = 523.25f,
                E5 = 659.26f, G5 = 783.99f, A5 = 880.0f, C6 = 1046.5f, E6 = 1318.5f;

using W = Wave;

// clang-format off
std::vector<Recipe> recipes() {
  return {
    //                    wave        start length  from    to     vol  attack decay release duty
    {SoundEvent::button, 0.30f, {{W::Square,   0,    60,  1000,  1500, 1.0f, 1,  20,  20, 0.25f}}},
    {SoundEvent::count, 0.30f,  {{W::Square,   0,   150,   A5,    A5,  1.0f, 2,   6,  40}}},
    {SoundEvent::go, 0.32f,     {{W::Square,   0,   450,   E6,    E6,  0.8f, 2,   4, 150},
                                 {W::Square,   0,   450,   E5,    E5,  0.6f, 2,   4, 150, 0.25f}}},
    {SoundEvent::drop, 0.30f,   {{W::Triangle, 0,    90,   320,   110, 1.0f, 1,  12,  30},
                                 {W::Noise,    0,    12,  9000,  9000, 0.4f, 0,   0,   8}}},
    {SoundEvent::burst, 0.40f,  {{W::Noise,    0,   700,  7000,   350, 1.0f, 2,   5, 250},
                                 {W::Triangle, 0,   450,   110,    38, 0.9f, 2,   6, 150}}},
    {SoundEvent::crack, 0.20f,  {{W::Noise,    0,   140, 12000,  3500, 1.0f, 0,  25,  50}}},
    {SoundEvent::kill, 0.22f,   {{W::Square,   0,   300,  1200,   260, 1.0f, 2,   4,  80, 0.25f},
                                 {W::Noise,    0,    70,  5000,  2000, 0.5f, 0,  30,  30}}},
    {SoundEvent::caught, 0.22f, {{W::Square,   0,   200,   A5,  A5 * 0.97f, 1.0f, 3, 3, 40},
                                 {W::Square, 200,   200, A5 * 0.891f, A5 * 0.86f, 1.0f, 3, 3, 40},
                                 {W::Square, 400,   200, A5 * 0.794f, A5 * 0.77f, 1.0f, 3, 3, 40},
                                 {W::Square, 600,   200, A5 * 0.707f, A5 * 0.69f, 1.0f, 3, 3, 40},
                                 {W::Square, 800,   200, A5 * 0.630f, A5 * 0.61f, 1.0f, 3, 3, 40},
                                 {W::Square, 1000,  200, A5 * 0.561f, A5 * 0.54f, 1.0f, 3, 3, 40},
                                 {W::Square, 1200,  200, A5 * 0.500f, A5 * 0.48f, 1.0f, 3, 3, 40},
                                 {W::Square, 1400,  200, A5 * 0.445f, A5 * 0.43f, 1.0f, 3, 3, 40},
                                 {W::Square, 1600,  200, A5 * 0.397f, A5 * 0.38f, 1.0f, 3, 3, 40},
                                 {W::Square, 1800,  400, A5 * 0.354f, A5 * 0.25f, 1.0f, 3, 2, 250}}},
    {SoundEvent::lifelost, 0.30f, {{W::Triangle, 0, 300,    A3,   165, 1.0f, 3,   2,  60},
                                   {W::Triangle, 300, 300,  147,   147, 1.0f, 3,   3, 150}}},
    {SoundEvent::bonus, 0.12f,  {{W::Square,   0,    12,  1800,  1800, 1.0f, 0,   0,   6}}},
    {SoundEvent::cleared, 0.30f, {{W::Square,  0,   100,   C5,    C5,  1.0f, 2,   3,  30},
                                  {W::Square, 100,  100,   E5,    E5,  1.0f, 2,   3,  30},
                                  {W::Square, 200,  100,   G5,    G5,  1.0f, 2,   3,  30},
                                  {W::Square, 300,  500,   C6,    C6,  1.0f, 2,   3, 250}}},
    {SoundEvent::gameover, 0.30f, {{W::Square,  0,  300,   G4,    G4,  1.0f, 3,   2,  60, 0.25f},
                                   {W::Square, 300, 300,   E4,    E4,  1.0f, 3,   2,  60, 0.25f},
                                   {W::Square, 600, 300,   C4,    C4,  1.0f, 3,   2,  60, 0.25f},
                                   {W::Triangle, 900, 600, C4,    65,  1.0f, 3,   2, 300}}},
    {SoundEvent::quit, 0.28f,   {{W::Square,   0,   180,   E5,    E5,  1.0f, 2,   3,  40, 0.25f},
                                 {W::Square, 180,   220,   A4,   A4 * 0.9f, 1.0f, 2, 3, 120, 0.25f}}},
    {SoundEvent::hiscore, 0.30f, {{W::Square,  0,   120,   C5,    C5,  1.0f, 2,   2,  30},
                                  {W::Square, 120,  120,   E5,    E5,  1.0f, 2,   2,  30},
                                  {W::Square, 240,  120,   G5,    G5,  1.0f, 2,   2,  30},
                                  {W::Square, 360,  640,   C6,    C6,  0.7f, 2,   2, 300},
                                  {W::Square, 360,  640,   E6,    E6,  0.5f, 2,   2, 300, 0.25f}}},
    {SoundEvent::pause, 0.26f,  {{W::Square,   0,    80,   A5,    A5,  1.0f, 1,   4,  20},
                                 {W::Square,  80,    80,   E5,    E5,  1.0f, 1,   4,  40}}},
    {SoundEvent::resume, 0.26f, {{W::Square,   0,    80,   E5,    E5,  1.0f, 1,   4,  20},
                                 {W::Square,  80,    80,   A5,    A5,  1.0f, 1,   4,  40}}},
  };
}
// clang-format on

// A small random source of the synthesizer's own, so every run makes the same noise.
struct Noise {
  std::uint32_t state;
  float next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state & 0xffff) / 32767.5f - 1.0f;
  }
};

// One voice into `out`: the wave chosen at compile time, so the loop is the wave's own.
template <Wave kWave>
void voice(const Note& n, std::uint32_t seed, float* out, int count) {
  const int attack = static_cast<int>(n.attackMs * kSampleRate / 1000);
  const int release = std::max(1, static_cast<int>(n.releaseMs * kSampleRate / 1000));
  const float slide = std::pow(n.toHz / n.fromHz, 1.0f / static_cast<float>(count));
  const float fall = std::exp(-n.decay / kSampleRate);
  Noise noise{seed};
  float hz = n.fromHz / kSampleRate, phase = 0, level = n.volume, held = noise.next();
  for (int i = 0; i < count; ++i) {
    float v;
    if constexpr (kWave == Wave::Square) v = phase < n.duty ? 1.0f : -1.0f;
    if constexpr (kWave == Wave::Triangle) v = 4.0f * std::fabs(phase - 0.5f) - 1.0f;
    if constexpr (kWave == Wave::Noise) v = held;
    float envelope = level;
    if (i < attack) envelope *= static_cast<float>(i) / static_cast<float>(attack);
    if (count - i < release)
      envelope *= static_cast<float>(count - i) / static_cast<float>(release);
    out[i] += v * envelope;
    phase += hz;
    if (phase >= 1.0f) {
      phase -= 1.0f;
      if constexpr (kWave == Wave::Noise) held = noise.next();
    }
    hz *= slide;
    level *= fall;
  }
}

void play(const Note& n, std::uint32_t seed, std::vector<float>& out) {
  const int first = static_cast<int>(n.startMs * kSampleRate / 1000);
  const int count = static_cast<int>(n.lengthMs * kSampleRate / 1000);
  if (out.size() < static_cast<std::size_t>(first + count)) out.resize(first + count, 0.0f);
  switch (n.wave) {
    case Wave::Square: return voice<Wave::Square>(n, seed, out.data() + first, count);
    case Wave::Triangle: return voice<Wave::Triangle>(n, seed, out.data() + first, count);
    case Wave::Noise: return voice<Wave::Noise>(n, seed, out.data() + first, count);
  }
}

}  // namespace

SoundBank::SoundBank() {
  std::vector<float> mix;
  for (const Recipe& r : recipes()) {
    mix.assign(0, 0.0f);
    std::uint32_t seed = 0x9e3779b9u * (static_cast<std::uint32_t>(r.event) + 1);
    for (const Note& n : r.notes) play(n, seed++, mix);
    float loudest = 0;
    for (float v : mix) loudest = std::max(loudest, std::fabs(v));
    const float gain = loudest > 0 ? r.peak * 32767.0f / loudest : 0.0f;
    std::vector<std::int16_t>& s = sounds_[static_cast<int>(r.event)];
    s.resize(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i)
      s[i] = static_cast<std::int16_t>(std::lround(mix[i] * gain));
  }
}

}  // namespace mazeblast
