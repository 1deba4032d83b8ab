#include "screen/sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <tuple>

namespace mazeblast {

namespace {

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

}  // namespace

// A square (of one duty) or triangle voice made of its own harmonics, only those the sample
// rate can carry: nothing folds back into the band as a partial that is no harmonic of the
// note. One cycle with the first K harmonics is kept for every K, as 2048 points read with
// linear interpolation; a note at pitch f takes the harmonics below 22 kHz, the last one
// weighed by how far it stands below, so that a harmonic leaves smoothly as a slide takes it
// past the edge.
class Cycles {
 public:
  Cycles(Wave wave, float duty) : wave_(wave), duty_(duty) {
    sine_.resize(kPoints);
    for (int m = 0; m < kPoints; ++m)
      sine_[m] = static_cast<float>(std::sin(2 * std::numbers::pi * m / kPoints));
    cycles_.reserve(static_cast<std::size_t>(top() + 1) * kPoints);
    // No harmonic at all: a pulse of duty d stands at 2d - 1 on average.
    cycles_.assign(kPoints, wave == Wave::Square ? 2 * duty - 1 : 0.0f);
  }

  // The wave at a phase (in turns) and a pitch (in turns a sample).
  float at(float phase, float pitch) {
    const float edge = kEdgeHz / (pitch * kSampleRate);  // harmonics that fit, and a part
    const int whole = std::min(static_cast<int>(edge), top());
    const float part = whole == top() ? 1.0f : edge - static_cast<float>(whole);
    grow(whole);
    const float at = phase * kPoints;
    const int i = static_cast<int>(at) & (kPoints - 1), next = (i + 1) & (kPoints - 1);
    const float t = at - static_cast<float>(i);
    const float* above = cycles_.data() + static_cast<std::size_t>(whole) * kPoints;
    const float* below = whole > 0 ? above - kPoints : above;
    const float low = below[i] + t * (below[next] - below[i]);
    return low + part * (above[i] + t * (above[next] - above[i]) - low);
  }

 private:
  static constexpr int kPoints = 2048;
  static constexpr float kEdgeHz = 22000;

  // A square's harmonics fall as 1/k, and past the 256th (a note under 86 Hz) it is duller,
  // never rough; a triangle's as 1/k^2, below -80 dB of the note after the 99th.
  int top() const { return wave_ == Wave::Square ? 256 : 99; }

  // Adds cycles up to the first `k` harmonics: at harmonic k a pulse of duty d has
  // (2 / (pi k)) ((1 - cos 2 pi k d) sin k x + sin 2 pi k d cos k x), a triangle
  // 8 / (pi^2 k^2) cos k x at the odd ones.
  void grow(int k) {
    for (int h = static_cast<int>(cycles_.size() / kPoints); h <= k; ++h) {
      double a = 0, b = 0;
      if (wave_ == Wave::Square) {
        const double d = 2 * std::numbers::pi * h * duty_;
        a = 2 / (std::numbers::pi * h) * (1 - std::cos(d));
        b = 2 / (std::numbers::pi * h) * std::sin(d);
      } else if (h % 2 == 1) {
        b = 8 / (std::numbers::pi * std::numbers::pi * h * h);
      }
      cycles_.resize(cycles_.size() + kPoints);
      float* c = cycles_.data() + cycles_.size() - kPoints;
      const float sa = static_cast<float>(a), sb = static_cast<float>(b);
      for (int m = 0, x = 0; m < kPoints; ++m, x = (x + h) & (kPoints - 1))
        c[m] = c[m - kPoints] + sa * sine_[x] + sb * sine_[(x + kPoints / 4) & (kPoints - 1)];
    }
  }

  Wave wave_;
  float duty_;
  std::vector<float> sine_;
  std::vector<float> cycles_;  // the cycle with the first k harmonics at k * kPoints
};

// The cycles of every wave the sounds use, made as they are first asked for.

// The voices' cycles, made once for every sound that plays them.
class Waves {
 public:
  Cycles& of(Wave wave, float duty) {
    for (auto& [w, d, cycles] : made_)
      if (w == wave && d == duty) return cycles;
    return std::get<2>(made_.emplace_back(wave, duty, Cycles(wave, duty)));
  }

 private:
  std::vector<std::tuple<Wave, float, Cycles>> made_;
};

namespace {

// One voice into `out`.
void voice(const Note& n, std::uint32_t seed, Waves& waves, float* out, int count) {
  const int attack = static_cast<int>(n.attackMs * kSampleRate / 1000);
  const int release = std::max(1, static_cast<int>(n.releaseMs * kSampleRate / 1000));
  const float slide = std::pow(n.toHz / n.fromHz, 1.0f / static_cast<float>(count));
  const float fall = std::exp(-n.decay / kSampleRate);
  Cycles* cycles = n.wave == Wave::Noise ? nullptr : &waves.of(n.wave, n.duty);
  Noise noise{seed};
  float hz = n.fromHz / kSampleRate, phase = 0, level = n.volume, held = noise.next();
  for (int i = 0; i < count; ++i) {
    const float v = cycles ? cycles->at(phase, hz) : held;
    float envelope = level;
    if (i < attack) envelope *= static_cast<float>(i) / static_cast<float>(attack);
    if (count - i < release)
      envelope *= static_cast<float>(count - i) / static_cast<float>(release);
    out[i] += v * envelope;
    phase += hz;
    if (phase >= 1.0f) {
      phase -= 1.0f;
      if (!cycles) held = noise.next();
    }
    hz *= slide;
    level *= fall;
  }
}

void play(const Note& n, std::uint32_t seed, Waves& waves, std::vector<float>& out) {
  const int first = static_cast<int>(n.startMs * kSampleRate / 1000);
  const int count = static_cast<int>(n.lengthMs * kSampleRate / 1000);
  if (out.size() < static_cast<std::size_t>(first + count)) out.resize(first + count, 0.0f);
  voice(n, seed, waves, out.data() + first, count);
}

}  // namespace

std::vector<float> renderNote(const Note& n) {
  Waves waves;
  std::vector<float> out;
  play(n, 1, waves, out);
  return out;
}

SoundBank::SoundBank() {
  while (makeNext()) {
  }
}

SoundBank::SoundBank(Later) {}

SoundBank::~SoundBank() = default;

bool SoundBank::makeNext() {
  const auto& all = recipes();
  if (made_ >= static_cast<int>(std::size(all))) {
    waves_.reset();
    return false;
  }
  if (!waves_) waves_ = std::make_unique<Waves>();
  const Recipe& r = all[static_cast<std::size_t>(made_++)];
  std::vector<float> mix;
  Waves& waves = *waves_;
  {
    std::uint32_t seed = 0x9e3779b9u * (static_cast<std::uint32_t>(r.event) + 1);
    for (const Note& n : r.notes) play(n, seed++, waves, mix);
    float loudest = 0;
    for (float v : mix) loudest = std::max(loudest, std::fabs(v));
    const float gain = loudest > 0 ? r.peak * 32767.0f / loudest : 0.0f;
    std::vector<std::int16_t>& s = sounds_[static_cast<int>(r.event)];
    s.resize(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i)
      s[i] = static_cast<std::int16_t>(std::lround(mix[i] * gain));
  }
  return true;
}

}  // namespace mazeblast
