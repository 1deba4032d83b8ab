// Writes an hour of a recorded session (random keys, clicks, pointer presses and focus
// changes on a clock that wakes the game late) to FILE, for timing its verification:
//   record_hour FILE && mazeblast-sim --replay FILE
#include <cstdio>

#include "tests/recorded_session.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: record_hour FILE\n");
    return 2;
  }
  const mazeblast::RecordedSession s(7, 3600);
  std::FILE* f = std::fopen(argv[1], "w");
  if (!f || std::fwrite(s.text.data(), 1, s.text.size(), f) != s.text.size() || std::fclose(f)) {
    std::perror(argv[1]);
    return 1;
  }
  std::printf("%zu bytes, %.1f minutes of the game's clock\n", s.text.size(),
              s.game->clock.nowUs / 60e6);
  return 0;
}
