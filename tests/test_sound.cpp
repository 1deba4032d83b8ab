// The sounds: which events each handler's changes make, the synthesized sounds themselves,
// and what the scripted driver hears and records.
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "scene/sound_events.h"
#include "screen/mixer.h"
#include "tests/game_fixture.h"
#include "tools/sim.h"

namespace mazeblast {
namespace {

std::string names(SoundEvents events) {
  std::string s;
  events.forEach([&](SoundEvent e) {
    s += (s.empty() ? "" : " ") + std::string(kSoundEventNames[static_cast<int>(e)]);
  });
  return s;
}

std::string heard(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out, err;
  EXPECT_EQ(runScript(in, out, err, 1), 0) << err.str();
  return out.str();
}

// A field by hand, its handlers called one by one, each followed by the watcher.
struct Heard : HandBuiltField {
  SoundWatcher watcher;
  void SetUp() override {
    HandBuiltField::SetUp();
    parkEnemies();
    watcher.look(f);
  }
  template <class Handler>
  std::string after(Handler&& handler) {
    handler();
    return names(watcher.changes(f));
  }
  void bombAt(int k, int x, int y, int fuse) {
    f.bombactive(k) = 1;
    f.bombx(k) = static_cast<i16>(x);
    f.bomby(k) = static_cast<i16>(y);
    f.bombfuse(k) = static_cast<i16>(fuse);
    for (int r = 0; r < 8; ++r) f.rayreach(8 * k + r) = 4;
    f.Imgpommi(k).Left = x;
    f.Imgpommi(k).Top = y;
    f.Imgpommi(k).Picture = f.Imgmallib1.Picture;
    f.Imgpommi(k).Visible = true;
  }
};

TEST_F(Heard, OneBurstAndOneCrackForATickOfTenAndNothingForATickThatChangesNothing) {
  putPlayer(cx(0), cy(12));
  // Ten bombs in a row, all due on the next tick, and a wall beside each.
  for (int k = 0; k < 10; ++k) {
    bombAt(k, cx(2 * k + 2), cy(2), 1);
    wallCell(2 * k + 2, 1);
  }
  watcher.look(f);
  EXPECT_EQ(after([&] { f.Tmr2_Timer(); }), "burst crack");
  int bursting = 0;
  for (int k = 0; k < 10; ++k) bursting += f.Imgpommi(k).Picture == f.Imgmallib4.Picture;
  EXPECT_EQ(bursting, 10);
  f.Tmr5_Timer();
  watcher.look(f);
  EXPECT_EQ(after([&] { f.Tmr2_Timer(); }), "");
  EXPECT_EQ(after([&] { f.Pic1_KeyDown(kKeySpace, 0); }), "drop");
}

TEST_F(Heard, OneKillPerScoringTickAndOneCatchHoweverOftenItComes) {
  for (int i = 0; i <= 1; ++i) {
    f.Imgvih(i).Visible = true;
    f.Imgvih(i).Picture = f.Imgmallivih3.Picture;
    f.enemyhit(i) = 1;
  }
  f.enemylast = 1;
  watcher.look(f);
  EXPECT_EQ(after([&] { f.vihkuolee(); }), "kill");
  EXPECT_EQ(after([&] {
              f.pelkuolee();
              f.pelkuolee();
            }),
            "caught");
  EXPECT_EQ(after([&] { f.pelkuolee(); }), "");
}

TEST(SoundEventsHeard, TheCountdownAtItsMillisecondsAndNothingOnTheStillTitle) {
  EXPECT_EQ(heard("wait 60000\nsounds\nclick Cmdstart\nwait 4000\nsounds\n"),
            "sounds\nsounds button@60000 count@60000 count@61000 count@62000 go@63000\n");
}

TEST(SoundEventsHeard, PauseResumeQuitAndTheHiScoreOnlyWhenItRises) {
  EXPECT_EQ(heard("click Cmdstart\nwait 4000\nsounds\npress 80\npress 80\npress 81\nsounds\n"
                  "click Cmdnew\nclick Cmdstart\nwait 4000\nset score 50\npress 81\nsounds\n"),
            "sounds button@0 count@0 count@1000 count@2000 go@3000\n"
            "sounds pause@4000 resume@4000 quit@4000\n"
            "sounds button@4000 button@4000 count@4000 count@5000 count@6000 go@7000 quit@8000 "
            "hiscore@8000\n");
}

TEST(Sounds, EachIsHeardNoneClipsAndEveryRunMakesTheSame) {
  const auto start = std::chrono::steady_clock::now();
  const SoundBank bank;
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("synthesis of every sound: %.1f ms\n", ms);
  const SoundBank again;
  for (int e = 0; e < kSoundEvents; ++e) {
    const auto& s = bank[static_cast<SoundEvent>(e)];
    int loudest = 0;
    for (std::int16_t v : s) loudest = std::max(loudest, std::abs(int{v}));
    EXPECT_GT(loudest, 2000) << kSoundEventNames[e];
    EXPECT_LT(loudest, 32767) << kSoundEventNames[e];
    EXPECT_EQ(s, again[static_cast<SoundEvent>(e)]) << kSoundEventNames[e];
  }
  EXPECT_NEAR(bank[SoundEvent::caught].size(), 2.2 * kSampleRate, 0.01 * kSampleRate);
  EXPECT_LT(bank[SoundEvent::bonus].size(), 0.02 * kSampleRate);
}

// The spectrum of `n` samples from `first` (n a power of two), through a Blackman-Harris
// window, whose side lobes (-92 dB) stay under anything the test looks for: the magnitude
// of each bin up to half the sample rate.
std::vector<double> spectrum(const std::vector<float>& wave, std::size_t first, std::size_t n) {
  std::vector<std::complex<double>> x(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double p = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1);
    const double w =
        0.35875 - 0.48829 * std::cos(p) + 0.14128 * std::cos(2 * p) - 0.01168 * std::cos(3 * p);
    x[i] = w * wave.at(first + i);
  }
  for (std::size_t i = 1, j = 0; i < n; ++i) {  // bit-reversed order, then the butterflies
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const auto turn = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1;
      for (std::size_t k = 0; k < len / 2; ++k, w *= turn) {
        const auto a = x[i + k], b = w * x[i + k + len / 2];
        x[i + k] = a + b, x[i + k + len / 2] = a - b;
      }
    }
  }
  std::vector<double> magnitude(n / 2);
  for (std::size_t b = 0; b < n / 2; ++b) magnitude[b] = std::abs(x[b]);
  return magnitude;
}

// How far the loudest partial that is no harmonic of the note stands below its fundamental,
// in dB, over `n` samples from `first` in which the pitch goes from `fromHz` to `toHz`. Bins
// within the window's main lobe of a harmonic's path are the note's own; past the
// frequency where those paths run into each other nothing is looked at.
double foldedBelowFundamental(const std::vector<float>& wave, std::size_t first, std::size_t n,
                              double fromHz, double toHz) {
  const std::vector<double> m = spectrum(wave, first, n);
  const double bin = static_cast<double>(kSampleRate) / static_cast<double>(n), lobe = 6 * bin;
  const double low = std::min(fromHz, toHz), high = std::max(fromHz, toHz);
  double fundamental = 0, folded = 0;
  for (std::size_t b = 1; b < m.size(); ++b) {
    const double hz = static_cast<double>(b) * bin;
    const int k = static_cast<int>(std::lround(hz / (low + high) * 2));
    if (k == 1 && hz > low - lobe && hz < high + lobe) fundamental = std::max(fundamental, m[b]);
    if (hz < lobe || hz > kSampleRate / 2.0 - lobe) continue;
    bool own = false;
    for (int h = std::max(1, k - 1); h <= k + 1; ++h)
      own = own || (hz > h * low - lobe && hz < h * high + lobe);
    const double apart = high > low ? (low - 2 * lobe) / (high - low) * low : hz;
    if (!own && hz <= apart) folded = std::max(folded, m[b]);
  }
  return 20 * std::log10(fundamental / std::max(folded, 1e-300));
}

TEST(Sounds, NoPartialFoldsBackIntoTheBand) {
  // Held notes across the sounds' range, both waves, both duties; then a slide up, whose
  // harmonics leave past the top of the band as it goes, and a slide down.
  for (Wave wave : {Wave::Square, Wave::Triangle})
    for (float duty : {0.25f, 0.5f})
      for (float hz : {110.0f, 220.0f, 440.0f, 880.0f, 1046.5f, 1400.0f}) {
        if (wave == Wave::Triangle && duty != 0.5f) continue;
        const auto note = renderNote({wave, 0, 500, hz, hz, 1, 0, 0, 1, duty});
        const double below = foldedBelowFundamental(note, 4096, 16384, hz, hz);
        std::printf(
            "%s %6.1f Hz, duty %.2f: the loudest folded partial %.1f dB below the "
            "fundamental\n",
            wave == Wave::Square ? "square  " : "triangle", hz, duty, below);
        EXPECT_GT(below, 60) << (wave == Wave::Square ? "square " : "triangle ") << hz
                             << " Hz, duty " << duty;
      }
  for (auto [from, to] : {std::pair{700.0f, 1400.0f}, std::pair{1400.0f, 700.0f}}) {
    const auto note = renderNote({Wave::Square, 0, 1000, from, to, 1, 0, 0, 1, 0.5f});
    double worst = 1000;
    for (std::size_t first = 0; first + 4096 <= note.size(); first += 8192) {
      // Captured by value: clang 14 takes no structured binding into a lambda.
      const auto at = [low = from, high = to, n = note.size()](std::size_t i) {
        return low * std::pow(high / low, static_cast<double>(i) / n);
      };
      worst =
          std::min(worst, foldedBelowFundamental(note, first, 4096, at(first), at(first + 4096)));
    }
    std::printf(
        "a slide from %.0f to %.0f Hz: the loudest folded partial %.1f dB below the "
        "fundamental\n",
        from, to, worst);
    EXPECT_GT(worst, 60) << from << " to " << to << " Hz";
  }
}

TEST(Sounds, TheLoudestTickStaysWithinFullScale) {
  // A tick of ten bursts is one burst, with a crack, a kill and the player caught besides.
  const SoundBank bank;
  Mixer mixer(bank, 100);
  for (SoundEvent e : {SoundEvent::burst, SoundEvent::crack, SoundEvent::kill, SoundEvent::caught})
    mixer.start(e, 0);
  std::vector<std::int16_t> mixed;
  mixer.mix(mixed, mixer.busyFor());
  int loudest = 0;
  for (std::int16_t v : mixed) loudest = std::max(loudest, std::abs(int{v}));
  EXPECT_LT(loudest, 32767);
}

// The recording of a scripted game: silence until the first event, sound right after each.
TEST(Sounds, TheRecordingIsSilentBeforeTheFirstEventAndHeardAfterEach) {
  const std::string path = ::testing::TempDir() + "mazeblast_game.wav";
  const std::string out = heard("wait 500\naudio " + path +
                                "\nwait 700\nclick Cmdstart\nwait 4000\npress 39\nwait 1000\n"
                                "press 32\nwait 3000\nsounds\n");
  std::ifstream wav(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 44u);
  EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
  std::vector<std::int16_t> samples((bytes.size() - 44) / 2);
  std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  auto energy = [&](long fromMs, long toMs) {
    double sum = 0;
    const auto a = static_cast<std::size_t>(fromMs * kSampleRate / 1000);
    const auto b = static_cast<std::size_t>(toMs * kSampleRate / 1000);
    for (std::size_t i = a; i < b && i < samples.size(); ++i)
      sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(b - a));
  };
  // Every event heard, each as NAME@MS; the recording starts at 500 ms.
  std::istringstream events(out);
  std::string word;
  events >> word;
  ASSERT_EQ(word, "sounds");
  std::vector<long> times;
  while (events >> word) times.push_back(std::stol(word.substr(word.find('@') + 1)) - 500);
  ASSERT_GE(times.size(), 7u) << out;
  EXPECT_EQ(out.rfind("sounds button@1200 count@1200 count@2200 count@3200 go@4200 drop@6200 ", 0),
            0u)
      << out;
  EXPECT_EQ(energy(0, times.front()), 0.0);
  for (long t : times) EXPECT_GT(energy(t, t + 20), 1000.0) << "at " << t << " in " << out;
  std::remove(path.c_str());
}

TEST(Sounds, ARecordingThatCannotBeWrittenIsAnErrorLine) {
  std::istringstream in("audio /nonexistent/dir/x.wav\nclick Cmdstart\n");
  std::ostringstream out, err;
  EXPECT_EQ(runScript(in, out, err, 1), 1);
  EXPECT_EQ(err.str().rfind("line 1: ", 0), 0u) << err.str();
}

}  // namespace
}  // namespace mazeblast
