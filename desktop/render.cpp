#include "desktop/render.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "game/Frmbomb.h"
#include "scene/registry.h"

namespace mazeblast {

namespace {

int px(int twips) {
  return (twips >= 0 ? twips : twips - (kTwipsPerPixel - 1)) / kTwipsPerPixel;
}

SDL_Rect rectOf(int left, int top, int width, int height) {
  return {px(left), px(top), px(width), px(height)};
}

void fill(SDL_Renderer* r, const SDL_Rect& box, Rgb c) {
  SDL_SetRenderDrawColor(r, c.r, c.g, c.b, 255);
  SDL_RenderFillRect(r, &box);
}

}  // namespace

Painter::~Painter() {
  for (auto& [art, tex] : pictures_) SDL_DestroyTexture(tex);
  for (auto& [key, t] : texts_) SDL_DestroyTexture(t.texture);
  for (auto& [key, font] : fonts_) TTF_CloseFont(font);
}

bool Painter::load(std::string* error) {
  for (int i = 0; i < art::count; ++i) {
    const PictureArt* a = art::all[i];
    SDL_Surface* s = IMG_ReadXPMFromArray(const_cast<char**>(a->xpm));
    SDL_Texture* t = s ? SDL_CreateTextureFromSurface(renderer_, s) : nullptr;
    if (s) SDL_FreeSurface(s);
    if (!t) {
      *error = std::string("cannot make the picture ") + a->name + ": " + SDL_GetError();
      return false;
    }
    pictures_[a] = t;
  }
  for (const FontSpec* face :
       {&layout::kStatusFont, &layout::kTitleFont, &layout::kPointsFont, &layout::kHelpFont,
        &layout::kCreditFont, &layout::kCountFont, &layout::kButtonFont}) {
    auto key = std::make_tuple(std::string(face->family), face->pixels, face->weight, face->italic);
    TTF_Font* f = openFont(*face, error);
    if (!f) return false;
    fonts_[key] = f;
  }
  return true;
}

TTF_Font* Painter::font(const FontSpec& face) {
  auto it =
      fonts_.find(std::make_tuple(std::string(face.family), face.pixels, face.weight, face.italic));
  return it == fonts_.end() ? nullptr : it->second;
}

void Painter::paint(const Frmbomb& f) {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  inDrawingOrder(f, Overloaded{
                        [&](const Sprite& s) { drawSprite(s); },
                        [&](const Label& l) { drawLabel(l); },
                        [&](const Button& b) { drawButton(b); },
                        [&](const FocusBox& b) {
                          if (b.Visible)
                            fill(renderer_, rectOf(b.Left, b.Top, b.Width, b.Height),
                                 layout::kBlack);
                        },
                    });
}

void Painter::drawSprite(const Sprite& s) {
  if (!s.Visible || !s.Picture) return;
  auto it = pictures_.find(s.Picture);
  if (it == pictures_.end()) return;
  int w = 0, h = 0;
  SDL_QueryTexture(it->second, nullptr, nullptr, &w, &h);
  // Pictures are never scaled: drawn at their own size, cut to the sprite's rectangle.
  const SDL_Rect box = rectOf(s.Left, s.Top, s.Width, s.Height);
  const SDL_Rect src{0, 0, std::min(w, box.w), std::min(h, box.h)};
  const SDL_Rect dst{box.x, box.y, src.w, src.h};
  SDL_RenderCopy(renderer_, it->second, &src, &dst);
}

void Painter::drawLabel(const Label& l) {
  if (!l.Visible) return;
  const SDL_Rect box = rectOf(l.Left, l.Top, l.Width, l.Height);
  if (l.look->opaque) fill(renderer_, box, l.look->back);
  if (!l.Caption.view().empty())
    drawText(&l, font(l.look->font), l.Caption.view(), l.look->fore, box, l.look->align);
}

void Painter::drawButton(const Button& b) {
  if (!b.Visible) return;
  const SDL_Rect box = rectOf(b.Left, b.Top, b.Width, b.Height);
  fill(renderer_, box, b.face);
  // A raised face: light above and left, shadow below and right.
  SDL_SetRenderDrawColor(renderer_, 255, 255, 255, 255);
  SDL_RenderDrawLine(renderer_, box.x, box.y, box.x + box.w - 2, box.y);
  SDL_RenderDrawLine(renderer_, box.x, box.y, box.x, box.y + box.h - 2);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderDrawLine(renderer_, box.x, box.y + box.h - 1, box.x + box.w - 1, box.y + box.h - 1);
  SDL_RenderDrawLine(renderer_, box.x + box.w - 1, box.y, box.x + box.w - 1, box.y + box.h - 1);
  SDL_SetRenderDrawColor(renderer_, 96, 96, 96, 255);
  SDL_RenderDrawLine(renderer_, box.x + 1, box.y + box.h - 2, box.x + box.w - 2, box.y + box.h - 2);
  SDL_RenderDrawLine(renderer_, box.x + box.w - 2, box.y + 1, box.x + box.w - 2, box.y + box.h - 2);

  std::string shown;
  int underline = -1;
  for (char c : b.Caption.view()) {
    if (c == '&' && underline < 0) {
      underline = static_cast<int>(shown.size());
      continue;
    }
    shown += c;
  }
  drawText(&b, font(layout::kButtonFont), shown, layout::kBlack, box, Align::Center, underline);
}

void Painter::drawText(const void* key, TTF_Font* f, std::string_view text, Rgb colour,
                       const SDL_Rect& box, Align align, int underline) {
  if (!f) return;
  CachedText& c = texts_[key];
  if (!c.texture || c.text != text) {
    if (c.texture) SDL_DestroyTexture(c.texture);
    c.texture = nullptr;
    c.text = std::string(text);
    SDL_Surface* s = TTF_RenderUTF8_Blended(f, c.text.c_str(), {colour.r, colour.g, colour.b, 255});
    if (!s) return;
    c.texture = SDL_CreateTextureFromSurface(renderer_, s);
    c.w = s->w;
    c.h = s->h;
    SDL_FreeSurface(s);
  }
  if (!c.texture) return;
  int x = box.x;
  if (align == Align::Right) x = box.x + box.w - c.w;
  if (align == Align::Center) x = box.x + (box.w - c.w) / 2;
  // Button captions sit in the middle of the face; label captions at the top, as labels do.
  const int y = underline >= 0 ? box.y + (box.h - c.h) / 2 : box.y;
  const SDL_Rect dst{x, y, c.w, c.h};
  // Never spill: a wider stand-in face is cut at the label's edge.
  SDL_RenderSetClipRect(renderer_, &box);
  SDL_RenderCopy(renderer_, c.texture, nullptr, &dst);
  if (underline >= 0 && underline < static_cast<int>(c.text.size())) {
    int before = 0, through = 0;
    TTF_SizeUTF8(f, c.text.substr(0, underline).c_str(), &before, nullptr);
    TTF_SizeUTF8(f, c.text.substr(0, underline + 1).c_str(), &through, nullptr);
    const int base = y + TTF_FontAscent(f) + 1;
    SDL_SetRenderDrawColor(renderer_, colour.r, colour.g, colour.b, 255);
    SDL_RenderDrawLine(renderer_, x + before, base, x + through - 1, base);
  }
  SDL_RenderSetClipRect(renderer_, nullptr);
}

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

ScreenshotCanvas::ScreenshotCanvas() {
  surface_ = SDL_CreateRGBSurfaceWithFormat(0, layout::kClientWidth / kTwipsPerPixel,
                                            layout::kClientHeight / kTwipsPerPixel, 32,
                                            SDL_PIXELFORMAT_ARGB8888);
  renderer_ = surface_ ? SDL_CreateSoftwareRenderer(surface_) : nullptr;
  if (!renderer_) {
    failure_ = std::string("cannot make a drawing surface: ") + SDL_GetError();
    return;
  }
  painter_ = std::make_unique<Painter>(renderer_);
  if (!painter_->load(&failure_)) painter_.reset();
}

ScreenshotCanvas::~ScreenshotCanvas() {
  painter_.reset();
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (surface_) SDL_FreeSurface(surface_);
}

bool ScreenshotCanvas::write(const Frmbomb& f, const char* path, std::string* error) {
  if (!painter_) {
    *error = failure_;
    return false;
  }
  painter_->paint(f);
  SDL_RenderPresent(renderer_);
  if (path && IMG_SavePNG(surface_, path) != 0) {
    *error = std::string("cannot write ") + path + ": " + IMG_GetError();
    return false;
  }
  return true;
}

}  // namespace mazeblast
