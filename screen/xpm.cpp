#include "screen/xpm.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace mazeblast {

namespace {

// A pixel's code of up to four characters as one number: a look-up without a string made for
// every pixel, which the page's first moments felt.
std::uint32_t code(const char* at, int cpp) {
  std::uint32_t key = 0;
  for (int i = 0; i < cpp; ++i) key = key << 8 | static_cast<unsigned char>(at[i]);
  return key;
}

}  // namespace

bool decodeXpm(const char* const* xpm, Pixels& out) {
  int w, h, colours, cpp;
  if (std::sscanf(xpm[0], "%d %d %d %d", &w, &h, &colours, &cpp) != 4 || w <= 0 || h <= 0 ||
      colours <= 0 || cpp <= 0 || cpp > 4)
    return false;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> table;  // code, R G B A from high to low
  for (int c = 1; c <= colours; ++c) {
    const char* line = xpm[c];
    if (std::strlen(line) < static_cast<std::size_t>(cpp)) return false;
    const char* value = std::strstr(line + cpp, " c ");
    if (!value) return false;
    value += 3;
    while (*value == ' ') ++value;
    unsigned rgb = 0;
    std::uint32_t colour = 0;
    if (std::strncmp(value, "None", 4) == 0)
      colour = 0;
    else if (std::sscanf(value, "#%6x", &rgb) == 1)
      colour = (rgb << 8) | 0xff;
    else
      return false;
    table.emplace_back(code(line, cpp), colour);
  }
  out.width = w;
  out.height = h;
  out.rgba.assign(static_cast<std::size_t>(w) * h * 4, 0);
  std::size_t last = 0;  // neighbours are mostly of one colour
  for (int y = 0; y < h; ++y) {
    const char* row = xpm[1 + colours + y];
    if (std::strlen(row) < static_cast<std::size_t>(w * cpp)) return false;
    for (int x = 0; x < w; ++x) {
      const std::uint32_t key = code(row + x * cpp, cpp);
      if (table[last].first != key) {
        last = 0;
        while (last < table.size() && table[last].first != key) ++last;
        if (last == table.size()) return false;
      }
      const std::uint32_t colour = table[last].second;
      std::uint8_t* p = &out.rgba[(static_cast<std::size_t>(y) * w + x) * 4];
      p[0] = static_cast<std::uint8_t>(colour >> 24);
      p[1] = static_cast<std::uint8_t>(colour >> 16);
      p[2] = static_cast<std::uint8_t>(colour >> 8);
      p[3] = static_cast<std::uint8_t>(colour);
    }
  }
  return true;
}

}  // namespace mazeblast
