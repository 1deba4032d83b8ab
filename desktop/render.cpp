#include "desktop/render.h"

#include <cmath>

#include "game/Frmbomb.h"

namespace mazeblast {

WindowPicture::WindowPicture(SDL_Renderer* renderer, Painter& painter, bool wholeNumbers)
    : renderer_(renderer), painter_(painter), wholeNumbers_(wholeNumbers) {}

WindowPicture::~WindowPicture() {
  lost();
}

void WindowPicture::lost() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
}

void WindowPicture::show(const Frmbomb& game) {
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  if (w != outputW_ || h != outputH_) {
    outputW_ = w;
    outputH_ = h;
    painter_.setScale(Painter::fit(w, h, wholeNumbers_));
    lost();
  }
  const Image& picture = painter_.picture();
  const std::vector<Rect>& changed = painter_.paint(game);
  if (!texture_) {
    // Made at the picture's size and filled whole.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                 picture.width, picture.height);
    if (!texture_) return;
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    SDL_UpdateTexture(texture_, nullptr, picture.pixels.data(), picture.pitch());
    place_ = {(w - picture.width) / 2, (h - picture.height) / 2, picture.width, picture.height};
  } else {
    for (const Rect& r : changed) {
      const SDL_Rect part{r.x, r.y, r.w, r.h};
      SDL_UpdateTexture(texture_, &part, picture.row(r.y) + r.x, picture.pitch());
    }
  }
  // Black around the picture: the bars on either side of it, not the whole window again.
  const SDL_Rect bars[] = {{0, 0, w, place_.y},
                           {0, place_.y + place_.h, w, h - place_.y - place_.h},
                           {0, place_.y, place_.x, place_.h},
                           {place_.x + place_.w, place_.y, w - place_.x - place_.w, place_.h}};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderFillRects(renderer_, bars, 4);
  SDL_RenderCopy(renderer_, texture_, nullptr, &place_);
  SDL_RenderPresent(renderer_);
}

void WindowPicture::toGame(SDL_Window* window, Sint32& x, Sint32& y) const {
  // Events give points of the window; the picture stands in its pixels, more of them on a
  // screen of high density.
  int pointsW = 0, pointsH = 0;
  SDL_GetWindowSize(window, &pointsW, &pointsH);
  const double s = painter_.scale().value();
  const double across = pointsW > 0 ? static_cast<double>(outputW_) / pointsW : 1;
  const double down = pointsH > 0 ? static_cast<double>(outputH_) / pointsH : 1;
  x = static_cast<Sint32>(std::floor((x * across - place_.x) / s));
  y = static_cast<Sint32>(std::floor((y * down - place_.y) / s));
}

}  // namespace mazeblast
