#include "desktop/render.h"

#include <algorithm>
#include <cmath>

#include "game/Frmbomb.h"

namespace mazeblast {

WindowPicture::WindowPicture(SDL_Renderer* renderer, Painter& painter, bool wholeNumbers)
    : renderer_(renderer), painter_(painter) {
  SDL_RenderSetLogicalSize(renderer_, layout::kClientWidth / kTwipsPerPixel,
                           layout::kClientHeight / kTwipsPerPixel);
  SDL_RenderSetIntegerScale(renderer_, wholeNumbers ? SDL_TRUE : SDL_FALSE);
}

float WindowPicture::scale() const {
  float sx = 1, sy = 1;
  SDL_RenderGetScale(renderer_, &sx, &sy);
  return std::min(sx, sy);
}

void WindowPicture::show(const Frmbomb& game) {
  // At a whole-number scale each of the picture's pixels is a square of the window's: the
  // same picture as drawn at its own size and copied larger. Between them the painter draws
  // at the window's resolution.
  const float s = scale();
  painter_.setScale(std::abs(s - std::round(s)) <= 1e-4f ? 1 : s);
  painter_.paint(game);
  SDL_RenderPresent(renderer_);
}

}  // namespace mazeblast
