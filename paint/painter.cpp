#include "paint/painter.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

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

const FontSpec* const kFaces[] = {&layout::kStatusFont, &layout::kTitleFont,  &layout::kPointsFont,
                                  &layout::kHelpFont,   &layout::kCreditFont, &layout::kCountFont,
                                  &layout::kButtonFont};

// A copy `times` times larger, each pixel a square of pixels, in the same pixel format, with
// the same palette and see-through colour.
SDL_Surface* enlarged(SDL_Surface* s, int times) {
  SDL_Surface* big = SDL_CreateRGBSurfaceWithFormat(0, s->w * times, s->h * times,
                                                    s->format->BitsPerPixel, s->format->format);
  if (!big) return nullptr;
  if (s->format->palette) SDL_SetSurfacePalette(big, s->format->palette);
  Uint32 key = 0;
  if (SDL_GetColorKey(s, &key) == 0) SDL_SetColorKey(big, SDL_TRUE, key);
  const int bytes = s->format->BytesPerPixel;
  SDL_LockSurface(s);
  SDL_LockSurface(big);
  for (int y = 0; y < big->h; ++y) {
    const auto* from = static_cast<const Uint8*>(s->pixels) + (y / times) * s->pitch;
    auto* to = static_cast<Uint8*>(big->pixels) + y * big->pitch;
    for (int x = 0; x < big->w; ++x) std::memcpy(to + x * bytes, from + (x / times) * bytes, bytes);
  }
  SDL_UnlockSurface(big);
  SDL_UnlockSurface(s);
  return big;
}

}  // namespace

Painter::~Painter() {
  for (auto& [art, tex] : pictures_) SDL_DestroyTexture(tex);
  for (auto& [key, t] : texts_) SDL_DestroyTexture(t.texture);
  for (auto& [key, font] : fonts_) TTF_CloseFont(font);
}

bool Painter::makePictures(int times, std::string* error) {
  // All made before any is replaced: the pictures are all of one size.
  std::unordered_map<const PictureArt*, SDL_Texture*> made;
  for (int i = 0; i < art::count; ++i) {
    const PictureArt* a = art::all[i];
    SDL_Surface* s = IMG_ReadXPMFromArray(const_cast<char**>(a->xpm));
    if (s && times > 1) {
      SDL_Surface* big = enlarged(s, times);
      SDL_FreeSurface(s);
      s = big;
    }
    SDL_Texture* t = s ? SDL_CreateTextureFromSurface(renderer_, s) : nullptr;
    if (s) SDL_FreeSurface(s);
    if (!t) {
      *error = std::string("cannot make the picture ") + a->name + ": " + SDL_GetError();
      for (auto& [art, tex] : made) SDL_DestroyTexture(tex);
      return false;
    }
    SDL_SetTextureScaleMode(t, times > 1 ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    made[a] = t;
  }
  for (auto& [art, tex] : pictures_) SDL_DestroyTexture(tex);
  pictures_ = std::move(made);
  pictureTimes_ = times;
  return true;
}

bool Painter::load(std::string* error) {
  if (!makePictures(1, error)) return false;
  for (const FontSpec* face : kFaces) {
    auto key = std::make_tuple(std::string(face->family), face->pixels, face->weight, face->italic);
    TTF_Font* f = openFont(*face, error);
    if (!f) return false;
    fonts_[key] = f;
  }
  return true;
}

void Painter::setScale(float scale) {
  if (scale == scale_) return;
  const int times = std::max(1, static_cast<int>(std::ceil(scale - 1e-4f)));
  std::string error;
  // Pictures that cannot be made larger stay as they were, drawn less smoothly.
  if (times != pictureTimes_) makePictures(times, &error);
  for (const FontSpec* face : kFaces)
    if (TTF_Font* f = font(*face))
      TTF_SetFontSize(f, static_cast<int>(std::lround(face->pixels * scale)));
  for (auto& [key, t] : texts_) SDL_DestroyTexture(t.texture);
  texts_.clear();
  scale_ = scale;
}

TTF_Font* Painter::font(const FontSpec& face) {
  auto it =
      fonts_.find(std::make_tuple(std::string(face.family), face.pixels, face.weight, face.italic));
  return it == fonts_.end() ? nullptr : it->second;
}

void Painter::paint(const Frmbomb& f, const Rect* clip) {
  const SDL_Rect part = clip ? SDL_Rect{clip->x, clip->y, clip->w, clip->h} : SDL_Rect{};
  clip_ = clip ? &part : nullptr;
  SDL_RenderSetClipRect(renderer_, clip_);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  // Clearing ignores the clip: a part is filled.
  if (clip_)
    SDL_RenderFillRect(renderer_, clip_);
  else
    SDL_RenderClear(renderer_);
  // Every element is drawn inside its box: one that misses the part is passed by.
  auto meets = [&](const auto& e) {
    const SDL_Rect box = rectOf(e.Left, e.Top, e.Width, e.Height);
    return !clip_ || SDL_HasIntersection(&box, clip_);
  };
  inDrawingOrder(f, Overloaded{
                        [&](const Sprite& s) {
                          if (meets(s)) drawSprite(s);
                        },
                        [&](const Label& l) {
                          if (meets(l)) drawLabel(l);
                        },
                        [&](const Button& b) {
                          if (meets(b)) drawButton(b);
                        },
                        [&](const FocusBox& b) {
                          if (b.Visible && meets(b))
                            fill(renderer_, rectOf(b.Left, b.Top, b.Width, b.Height),
                                 layout::kBlack);
                        },
                    });
  SDL_RenderSetClipRect(renderer_, nullptr);
  clip_ = nullptr;
}

void Painter::drawSprite(const Sprite& s) {
  if (!s.Visible || !s.Picture) return;
  auto it = pictures_.find(s.Picture);
  if (it == pictures_.end()) return;
  int w = 0, h = 0;
  SDL_QueryTexture(it->second, nullptr, nullptr, &w, &h);
  w /= pictureTimes_;
  h /= pictureTimes_;
  // Pictures are drawn at their own size, cut to the sprite's rectangle (from a copy made
  // larger where the target is).
  const SDL_Rect box = rectOf(s.Left, s.Top, s.Width, s.Height);
  const SDL_Rect src{0, 0, std::min(w, box.w), std::min(h, box.h)};
  const SDL_Rect dst{box.x, box.y, src.w, src.h};
  const int n = pictureTimes_;
  const SDL_Rect from{0, 0, src.w * n, src.h * n};
  SDL_RenderCopy(renderer_, it->second, &from, &dst);
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
  // Placed in the target's own pixels, where the text was set: each of its pixels one of the
  // target's.
  const auto at = [&](int v) { return static_cast<int>(std::lround(v * scale_)); };
  const int left = at(box.x), top = at(box.y), width = at(box.x + box.w) - left,
            height = at(box.y + box.h) - top;
  int x = left;
  if (align == Align::Right) x = left + width - c.w;
  if (align == Align::Center) x = left + (width - c.w) / 2;
  // Button captions sit in the middle of the face; label captions at the top, as labels do.
  const int y = underline >= 0 ? top + (height - c.h) / 2 : top;
  const auto game = [&](int v) { return static_cast<float>(v) / scale_; };
  const SDL_FRect dst{game(x), game(y), game(c.w), game(c.h)};
  // Never spill: a wider stand-in face is cut at the label's edge.
  SDL_Rect cut = box;
  if (clip_ && !SDL_IntersectRect(&box, clip_, &cut)) return;
  SDL_RenderSetClipRect(renderer_, &cut);
  SDL_RenderCopyF(renderer_, c.texture, nullptr, &dst);
  if (underline >= 0 && underline < static_cast<int>(c.text.size())) {
    int before = 0, through = 0;
    TTF_SizeUTF8(f, c.text.substr(0, underline).c_str(), &before, nullptr);
    TTF_SizeUTF8(f, c.text.substr(0, underline + 1).c_str(), &through, nullptr);
    const int base = y + TTF_FontAscent(f) + 1;
    const SDL_FRect line{game(x + before), game(base), game(through - before),
                         game(std::max(1, at(1)))};
    SDL_SetRenderDrawColor(renderer_, colour.r, colour.g, colour.b, 255);
    SDL_RenderFillRectF(renderer_, &line);
  }
  SDL_RenderSetClipRect(renderer_, clip_);
}

}  // namespace mazeblast
