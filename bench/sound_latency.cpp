// How long after its event a sound is heard, on SDL's disk audio driver, which writes the
// mixed output to a file in real time: a first sound opens the device, then a second one is
// asked for at a known moment and found in the file. Prints each delay and their median.
//   sound_latency [RUNS]
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "desktop/audio.h"

using namespace mazeblast;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
  const std::string file = "/tmp/mazeblast_latency.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  SDL_Init(0);
  std::vector<double> delays;
  for (int run = 0; run < runs; ++run) {
    double askedMs;
    {
      SoundPlayer player(100);
      SoundEvents first, second;
      first.add(SoundEvent::bonus);
      second.add(SoundEvent::count);
      const auto opened = Clock::now();
      player.play(first, 0);  // opens the device; the file starts now
      std::this_thread::sleep_for(std::chrono::milliseconds(300 + 7 * run));
      askedMs = std::chrono::duration<double, std::milli>(Clock::now() - opened).count();
      player.play(second, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto* s = reinterpret_cast<const std::int16_t*>(bytes.data());
    const std::size_t n = bytes.size() / 2;
    // The first sound is 12 ms long: the second one is the first sound after 100 ms.
    std::size_t i = kSampleRate / 10;
    while (i < n && s[i] == 0) ++i;
    if (i == n) {
      std::printf("run %d: the second sound is not in the file\n", run);
      return 1;
    }
    const double heardMs = 1000.0 * static_cast<double>(i) / kSampleRate;
    delays.push_back(heardMs - askedMs);
    std::printf("run %d: asked at %.1f ms, heard at %.1f ms: %.1f ms later\n", run, askedMs,
                heardMs, heardMs - askedMs);
  }
  std::sort(delays.begin(), delays.end());
  std::printf("median %.1f ms, most %.1f ms, over %d runs\n", delays[delays.size() / 2],
              delays.back(), runs);
  SDL_Quit();
  std::remove(file.c_str());
  return 0;
}
