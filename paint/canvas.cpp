#include "paint/canvas.h"

#include <SDL_image.h>

#include "game/Frmbomb.h"

namespace mazeblast {

static_assert(SoftwareCanvas::kWidth == layout::kClientWidth / kTwipsPerPixel &&
              SoftwareCanvas::kHeight == layout::kClientHeight / kTwipsPerPixel);

SoftwareCanvas::SoftwareCanvas() {
  // Alpha stands at 255 throughout: the same bytes read as XRGB8888.
  surface_ = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
  renderer_ = surface_ ? SDL_CreateSoftwareRenderer(surface_) : nullptr;
  if (!renderer_) {
    failure_ = std::string("cannot make a drawing surface: ") + SDL_GetError();
    return;
  }
  painter_ = std::make_unique<Painter>(renderer_);
  if (!painter_->load(&failure_)) painter_.reset();
}

SoftwareCanvas::~SoftwareCanvas() {
  painter_.reset();
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (surface_) SDL_FreeSurface(surface_);
}

bool SoftwareCanvas::ready(std::string* error) const {
  if (painter_) return true;
  *error = failure_;
  return false;
}

const std::vector<Rect>& SoftwareCanvas::draw(const Frmbomb& f) {
  const std::vector<Rect>& changed = damage_.since(f);
  if (!painter_) return changed;
  for (const Rect& r : changed) painter_->paint(f, &r);
  SDL_RenderPresent(renderer_);
  return changed;
}

bool SoftwareCanvas::writePng(const char* path, std::string* error) const {
  if (IMG_SavePNG(surface_, path) == 0) return true;
  *error = std::string("cannot write ") + path + ": " + IMG_GetError();
  return false;
}

bool ScreenshotCanvas::write(const Frmbomb& f, const char* path, std::string* error) {
  if (!canvas_.ready(error)) return false;
  canvas_.draw(f);
  return !path || canvas_.writePng(path, error);
}

}  // namespace mazeblast
