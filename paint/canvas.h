// The game's 849 x 565 picture drawn off any window, in memory: for the scripted driver's
// screenshots and for the libretro core, which hands its pixels to the frontend each frame.
// No display is needed.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "paint/painter.h"
#include "scene/damage.h"

namespace mazeblast {

class Frmbomb;

class SoftwareCanvas {
 public:
  SoftwareCanvas();
  ~SoftwareCanvas();
  SoftwareCanvas(const SoftwareCanvas&) = delete;
  SoftwareCanvas& operator=(const SoftwareCanvas&) = delete;

  // False, with the reason, where no picture could be made (no memory, no font).
  bool ready(std::string* error) const;
  // Brings the picture up to what the game shows, drawing again only what changed since the
  // last time; the rectangles that changed (all of it the first time).
  const std::vector<Rect>& draw(const Frmbomb& f);
  // Writes the picture as a PNG.
  bool writePng(const char* path, std::string* error) const;

  // 0x00RRGGBB pixels, a row every pitch() bytes.
  const std::uint32_t* pixels() const {
    return static_cast<const std::uint32_t*>(surface_->pixels);
  }
  int pitch() const { return surface_->pitch; }
  static constexpr int kWidth = 849, kHeight = 565;

 private:
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::unique_ptr<Painter> painter_;
  Damage damage_;
  std::string failure_;
};

// Draws the screen as the game window would and writes it as a PNG.
class ScreenshotCanvas {
 public:
  // Draws the screen and writes it to `path` as a PNG; only draws it where `path` is null.
  bool write(const Frmbomb& f, const char* path, std::string* error);

 private:
  SoftwareCanvas canvas_;
};

}  // namespace mazeblast
