// A picture in memory: 0x00RRGGBB pixels (XRGB8888, what RetroArch, SDL's streaming textures
// and a PNG writer take), row after row with no gap between rows.
#pragma once

#include <cstdint>
#include <vector>

namespace mazeblast {

struct Image {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;

  void resize(int w, int h) {
    width = w;
    height = h;
    pixels.assign(static_cast<std::size_t>(w) * h, 0);
  }
  std::uint32_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
  const std::uint32_t* row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * width;
  }
  int pitch() const { return width * 4; }
};

}  // namespace mazeblast
