// The pictures as pixels, for the painter and the window's icon: an XPM picture (the form the
// game's pictures are written in) decoded to RGBA.
#pragma once

#include <cstdint>
#include <vector>

namespace mazeblast {

struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // 4 bytes a pixel, row by row; "None" is transparent
};

// False when the picture is not a well-formed XPM of "#RRGGBB" and "None" colours.
bool decodeXpm(const char* const* xpm, Pixels& out);

}  // namespace mazeblast
