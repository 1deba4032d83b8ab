#include "desktop/render.h"

#include <algorithm>
#include <cmath>

#include "game/Frmbomb.h"

namespace mazeblast {

WindowPicture::WindowPicture(SDL_Renderer* renderer, Painter& painter, bool wholeNumbers)
    : renderer_(renderer), painter_(painter), whole_(wholeNumbers) {
  const int w = layout::kClientWidth / kTwipsPerPixel, h = layout::kClientHeight / kTwipsPerPixel;
  SDL_RenderSetLogicalSize(renderer_, w, h);
  SDL_RenderSetIntegerScale(renderer_, whole_ ? SDL_TRUE : SDL_FALSE);
  picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
  if (picture_) SDL_SetTextureScaleMode(picture_, SDL_ScaleModeNearest);
}

WindowPicture::~WindowPicture() {
  if (sharp_) SDL_DestroyTexture(sharp_);
  if (picture_) SDL_DestroyTexture(picture_);
}

float WindowPicture::scale() const {
  float sx = 1, sy = 1;
  SDL_RenderGetScale(renderer_, &sx, &sy);
  return std::min(sx, sy);
}

SDL_Texture* WindowPicture::sharpAt(int scale) {
  int w = 0, h = 0;
  if (sharp_) SDL_QueryTexture(sharp_, nullptr, nullptr, &w, &h);
  const int pw = layout::kClientWidth / kTwipsPerPixel, ph = layout::kClientHeight / kTwipsPerPixel;
  if (!sharp_ || w != pw * scale) {
    if (sharp_) SDL_DestroyTexture(sharp_);
    sharp_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                               pw * scale, ph * scale);
    if (sharp_) SDL_SetTextureScaleMode(sharp_, SDL_ScaleModeLinear);
  }
  return sharp_;
}

void WindowPicture::show(const Frmbomb& game) {
  const float s = scale();
  const int up = static_cast<int>(std::ceil(s - 1e-4f));
  if (whole_ || std::abs(s - static_cast<float>(up)) <= 1e-4f || !picture_) {
    // At a whole-number scale SDL draws the picture straight into the window, each of its
    // pixels a square of the window's: the same picture as drawn at its own size and copied
    // larger, for a third of the work of a software renderer.
    painter_.paint(game);
    SDL_RenderPresent(renderer_);
    sharpScale_ = 0;
    return;
  }
  SDL_Texture* sharp = sharpAt(up);
  SDL_SetRenderTarget(renderer_, picture_);
  painter_.paint(game);
  const std::vector<Rect>& changed = damage_.since(game);
  if (sharp) {
    // Copied larger where it changed; all of it where the larger copy is new.
    SDL_SetRenderTarget(renderer_, sharp);
    if (sharpScale_ != up) SDL_RenderCopy(renderer_, picture_, nullptr, nullptr);
    for (const Rect& r : changed) {
      if (sharpScale_ != up) break;
      const SDL_Rect from{r.x, r.y, r.w, r.h}, to{r.x * up, r.y * up, r.w * up, r.h * up};
      SDL_RenderCopy(renderer_, picture_, &from, &to);
    }
    sharpScale_ = up;
  }
  SDL_SetRenderTarget(renderer_, nullptr);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, sharp ? sharp : picture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

}  // namespace mazeblast
