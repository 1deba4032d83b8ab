#include "paint/painter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/Frmbomb.h"
#include "scene/registry.h"
#include "screen/xpm.h"

namespace mazeblast {

// One changed rectangle of the picture being painted: the scale it is drawn at (1, or between
// whole numbers the scale itself) and the rectangle, in the picture's pixels.
struct Painter::Target {
  Scale scale;
  Rect clip;

  // A game pixel's edge in the picture's pixels: the first pixel whose centre lies on it or
  // past it. Every shape covers the pixels whose centres it covers, as a GPU draws it.
  int at(int v) const {
    // ceil((v x scale - 1/2) / 1), in whole numbers.
    const std::int64_t n = 2 * std::int64_t{v} * scale.num - scale.den,
                       d = 2 * std::int64_t{scale.den};
    return static_cast<int>(n >= 0 ? (n + d - 1) / d : -(-n / d));
  }
  // A rectangle of game pixels in the picture's pixels: each edge where its scale puts it,
  // so that rectangles side by side stay side by side.
  Rect of(const Rect& r) const {
    const int x = at(r.x), y = at(r.y);
    return {x, y, at(r.x + r.w) - x, at(r.y + r.h) - y};
  }
};

namespace {

int px(int twips) {
  return (twips >= 0 ? twips : twips - (kTwipsPerPixel - 1)) / kTwipsPerPixel;
}

template <class Element>
Rect gameBox(const Element& e) {
  return {px(e.Left), px(e.Top), px(e.Width), px(e.Height)};
}

Rect overlap(const Rect& a, const Rect& b) {
  const int x = std::max(a.x, b.x), y = std::max(a.y, b.y);
  return {x, y, std::max(0, std::min(a.x + a.w, b.x + b.w) - x),
          std::max(0, std::min(a.y + a.h, b.y + b.h) - y)};
}

std::uint32_t rgb(Rgb c) {
  return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

void fill(Image& image, const Rect& r, std::uint32_t colour) {
  for (int y = r.y; y < r.y + r.h; ++y) std::fill_n(image.row(y) + r.x, r.w, colour);
}

// `top` (premultiplied, its alpha in the top byte) laid over `under`.
std::uint32_t over(std::uint32_t top, std::uint32_t under) {
  const std::uint32_t a = top >> 24;
  if (a == 255) return top & 0xffffff;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c =
        ((top >> shift) & 255) + (((under >> shift) & 255) * (255 - a) + 127) / 255;
    out |= std::min(c, 255u) << shift;
  }
  return out;
}

// `colour` laid over `under` with `coverage` out of 255.
std::uint32_t blend(std::uint32_t colour, std::uint32_t under, std::uint32_t coverage) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c =
        ((colour >> shift) & 255) * coverage + ((under >> shift) & 255) * (255 - coverage);
    out |= ((c + 127) / 255) << shift;
  }
  return out;
}

// Two premultiplied pixels mixed, the second with `weight` out of 256.
std::uint32_t mix(std::uint32_t a, std::uint32_t b, int weight) {
  if (a == b || weight == 0) return a;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t v = (((a >> shift) & 255) * static_cast<std::uint32_t>(256 - weight) +
                             ((b >> shift) & 255) * static_cast<std::uint32_t>(weight) + 128) >>
                            8;
    out |= v << shift;
  }
  return out;
}

// Sharp bilinear along one axis, for `count` pixels from `from`: a picture `length` pixels long
// whose first edge stands at game pixel `edge`, made `times` larger, each pixel's centre taken
// back into it; the two picture pixels it lies between and the weight of the second, out of 256.
struct Tap {
  int first, second, weight;
};
void taps(int edge, int length, int times, Painter::Scale s, int from, int count,
          std::vector<Tap>& out) {
  out.resize(count);
  const std::int64_t large = std::int64_t{length} * times;
  for (int i = 0; i < count; ++i) {
    // ((from + i + 1/2) / scale - edge) x times - 1/2, in 256ths.
    const std::int64_t centre =
        (2 * std::int64_t{from + i} + 1) * s.den - 2 * std::int64_t{edge} * s.num;
    const std::int64_t u = std::max<std::int64_t>(centre * times * 128 / s.num - 128, 0);
    const std::int64_t whole = u >> 8;
    out[i] = {static_cast<int>(std::min(whole, large - 1) / times),
              static_cast<int>(std::min(whole + 1, large - 1) / times), static_cast<int>(u & 255)};
  }
}

}  // namespace

Painter::Painter() {
  for (int i = 0; i < art::count; ++i) {
    const PictureArt* a = art::all[i];
    Pixels decoded;
    if (!decodeXpm(a->xpm, decoded)) {
      failure_ = std::string("cannot read the picture ") + a->name;
      return;
    }
    Picture& p = pictures_[a];
    p.width = decoded.width;
    p.height = decoded.height;
    p.argb.resize(static_cast<std::size_t>(p.width) * p.height);
    for (std::size_t k = 0; k < p.argb.size(); ++k) {
      const std::uint8_t* c = &decoded.rgba[k * 4];
      p.argb[k] =
          c[3] ? 0xff000000u | (std::uint32_t{c[0]} << 16) | (std::uint32_t{c[1]} << 8) | c[2] : 0;
    }
  }
  for (int i = 0; i < kFontFileCount; ++i) {
    auto made = std::make_unique<Face>(kFontFiles[i]);
    if (!made->ok()) {
      failure_ = std::string("cannot read the game's font for \"") + kFontFiles[i].family + "\"";
      return;
    }
    faces_[&kFontFiles[i]] = std::move(made);
  }
  own_.resize(kWidth, kHeight);
}

Painter::~Painter() = default;

bool Painter::ready(std::string* error) const {
  if (failure_.empty()) return true;
  *error = failure_;
  return false;
}

int Painter::widthAt(Scale scale) {
  return Target{scale, {}}.at(kWidth);
}
int Painter::heightAt(Scale scale) {
  return Target{scale, {}}.at(kHeight);
}

Painter::Scale Painter::fit(int width, int height, bool wholeNumbers) {
  // The side that limits it: width / kWidth against height / kHeight.
  const Scale s = std::int64_t{width} * kHeight <= std::int64_t{height} * kWidth
                      ? Scale{width, kWidth}
                      : Scale{height, kHeight};
  return wholeNumbers ? Scale{std::max(1, s.num / s.den), 1} : s;
}

void Painter::setScale(Scale scale) {
  if (scale == scale_ || scale.num <= 0 || scale.den <= 0) return;
  scale_ = scale;
  times_ = scale.num % scale.den == 0 ? scale.num / scale.den : 0;
  if (times_ == 1 || times_ == 0)
    own_.resize(widthAt(times_ ? Scale{} : scale), heightAt(times_ ? Scale{} : scale));
  else {
    own_.resize(kWidth, kHeight);
    large_.resize(kWidth * times_, kHeight * times_);
  }
  if (times_ <= 1) large_ = Image{};
  texts_.clear();
  damage_ = Damage{};
}

const std::vector<Rect>& Painter::paint(const Frmbomb& f) {
  changed_.clear();
  if (!failure_.empty()) return changed_;
  // The changed rectangles (which never meet) in the pixels they are drawn in: the game's own
  // at a whole-number scale, made larger after, or the picture's between whole numbers.
  const bool whole = times_ >= 1;
  const Scale drawn = whole ? Scale{} : scale_;
  const Rect screen{0, 0, kWidth, kHeight};
  std::vector<Target>& parts = parts_;  // kept between frames: no allocation in play
  parts.clear();
  for (const Rect& r : damage_.since(f)) {
    const Rect part = overlap(r, screen);
    const Target to{
        drawn, whole ? part : overlap(Target{drawn, {}}.of(part), {0, 0, own_.width, own_.height})};
    if (to.clip.w > 0 && to.clip.h > 0) parts.push_back(to);
  }
  if (parts.empty()) return changed_;
  for (const Target& to : parts) fill(own_, to.clip, 0);
  // One walk through the drawing order: every element drawn in each part it meets.
  auto each = [&](const auto& e, auto draw) {
    if (!e.Visible) return;
    const Rect box = parts.front().of(gameBox(e));
    for (const Target& to : parts)
      if (box.meets(to.clip)) draw(to);
  };
  inDrawingOrder(
      f, Overloaded{
             [&](const Sprite& s) { each(s, [&](const Target& to) { drawSprite(to, s); }); },
             [&](const Label& l) { each(l, [&](const Target& to) { drawLabel(to, l); }); },
             [&](const Button& b) { each(b, [&](const Target& to) { drawButton(to, b); }); },
             [&](const FocusBox& b) {
               each(b,
                    [&](const Target& to) { fill(own_, overlap(to.of(gameBox(b)), to.clip), 0); });
             },
         });
  for (const Target& to : parts) {
    const Rect& r = to.clip;
    if (times_ > 1) enlarge(r);
    changed_.push_back(whole ? Rect{r.x * times_, r.y * times_, r.w * times_, r.h * times_} : r);
  }
  return changed_;
}

void Painter::enlarge(const Rect& r) {
  const int n = times_;
  for (int y = r.y; y < r.y + r.h; ++y) {
    const std::uint32_t* from = own_.row(y) + r.x;
    std::uint32_t* first = large_.row(y * n) + r.x * n;
    for (int x = 0; x < r.w; ++x) std::fill_n(first + x * n, n, from[x]);
    for (int k = 1; k < n; ++k)
      std::memcpy(large_.row(y * n + k) + r.x * n, first, sizeof(std::uint32_t) * r.w * n);
  }
}

void Painter::drawSprite(const Target& to, const Sprite& s) {
  if (!s.Picture) return;
  const auto found = pictures_.find(s.Picture);
  if (found == pictures_.end()) return;
  const Picture& p = found->second;
  // A picture is drawn at its own size, cut to the sprite's rectangle.
  const Rect box = gameBox(s);
  const int w = std::min(p.width, box.w), h = std::min(p.height, box.h);
  Image& image = own_;
  if (to.scale.num == to.scale.den) {
    const Rect part = overlap({box.x, box.y, w, h}, to.clip);
    for (int y = part.y; y < part.y + part.h; ++y) {
      const std::uint32_t* from =
          &p.argb[static_cast<std::size_t>(y - box.y) * p.width + (part.x - box.x)];
      std::uint32_t* row = image.row(y) + part.x;
      for (int x = 0; x < part.w; ++x)
        if (from[x]) row[x] = from[x] & 0xffffff;
    }
    return;
  }
  // Between whole numbers: made the next whole number larger, then taken down bilinearly where
  // the scale puts it, over the pixels whose centres it covers.
  const Scale sc = to.scale;
  const int times = (sc.num + sc.den - 1) / sc.den;
  const Rect dst = to.of({box.x, box.y, w, h});
  const Rect part = overlap(dst, to.clip);
  if (part.w <= 0 || part.h <= 0) return;
  static thread_local std::vector<Tap> across, down;
  static thread_local std::vector<std::uint32_t> rows;
  taps(box.x, w, times, sc, part.x, part.w, across);
  taps(box.y, h, times, sc, part.y, part.h, down);
  // Across first, each picture row the part needs; then down, between two of those rows.
  // Most of the picture's pixels stand whole in a larger one: a row is copied, not blended.
  const int top = down.front().first, bottom = down.back().second;
  rows.resize(static_cast<std::size_t>(bottom - top + 1) * part.w);
  for (int r = top; r <= bottom; ++r) {
    const std::uint32_t* from = &p.argb[static_cast<std::size_t>(r) * p.width];
    std::uint32_t* into = &rows[static_cast<std::size_t>(r - top) * part.w];
    for (int i = 0; i < part.w; ++i)
      into[i] = mix(from[across[i].first], from[across[i].second], across[i].weight);
  }
  for (int j = 0; j < part.h; ++j) {
    const Tap& ty = down[j];
    const std::uint32_t* upper = &rows[static_cast<std::size_t>(ty.first - top) * part.w];
    const std::uint32_t* lower = &rows[static_cast<std::size_t>(ty.second - top) * part.w];
    std::uint32_t* row = image.row(part.y + j) + part.x;
    for (int i = 0; i < part.w; ++i) {
      const std::uint32_t c = mix(upper[i], lower[i], ty.weight);
      if (c >> 24) row[i] = over(c, row[i]);
    }
  }
}

void Painter::drawLabel(const Target& to, const Label& l) {
  const Rect box = gameBox(l);
  if (l.look->opaque) fill(own_, overlap(to.of(box), to.clip), rgb(l.look->back));
  if (!l.Caption.view().empty())
    drawText(to, &l, l.look->font, l.Caption.view(), l.look->fore, box, l.look->align, -1);
}

void Painter::drawButton(const Target& to, const Button& b) {
  const Rect box = gameBox(b);
  Image& image = own_;
  auto line = [&](int x, int y, int w, int h, std::uint32_t colour) {
    fill(image, overlap(to.of({x, y, w, h}), to.clip), colour);
  };
  line(box.x, box.y, box.w, box.h, rgb(b.face));
  // A raised face: light above and left, shadow below and right.
  line(box.x, box.y, box.w - 1, 1, 0xffffff);
  line(box.x, box.y, 1, box.h - 1, 0xffffff);
  line(box.x, box.y + box.h - 1, box.w, 1, 0);
  line(box.x + box.w - 1, box.y, 1, box.h, 0);
  line(box.x + 1, box.y + box.h - 2, box.w - 2, 1, 0x606060);
  line(box.x + box.w - 2, box.y + 1, 1, box.h - 2, 0x606060);

  const auto [shown, mark] = buttonCaption(b);
  drawText(to, &b, layout::kButtonFont, shown, layout::kBlack, box, Align::Center, mark);
}

const Face* Painter::face(const FontSpec& font) const {
  const auto found = faces_.find(fontFileFor(font));
  return found == faces_.end() ? nullptr : found->second.get();
}

std::pair<std::string, int> Painter::buttonCaption(const Button& b) {
  // The letter after '&' is the access key, underlined; with none, the mark is past the end.
  std::string shown;
  int mark = -1;
  for (char c : b.Caption.view()) {
    if (c == '&' && mark < 0) {
      mark = static_cast<int>(shown.size());
      continue;
    }
    shown += c;
  }
  return {shown, mark < 0 ? static_cast<int>(shown.size()) : mark};
}

const SetLine* Painter::setText(const void* key, const FontSpec& font, std::string_view text,
                                int mark, Scale scale) {
  const Face* f = face(font);
  if (!f) return nullptr;
  SetText& set = texts_[key];
  if (!set.holds(text, mark)) {
    set.text = std::string(text);
    set.mark = mark;
    set.line = f->set(
        text, static_cast<float>(font.pixels * scale.num) / static_cast<float>(scale.den), mark);
  }
  return &set.line;
}

bool Painter::setNextCaption(const Frmbomb& f) {
  if (!failure_.empty()) return false;
  const Scale drawn = times_ >= 1 ? Scale{} : scale_;
  bool set = false;
  // Only a caption not set yet, or set for other text, costs anything to set.
  auto stale = [&](const void* key, std::string_view text, int mark) {
    const auto found = texts_.find(key);
    return found == texts_.end() || !found->second.holds(text, mark);
  };
  inDrawingOrder(f, Overloaded{
                        [&](const Label& l) {
                          if (set || !l.Visible || l.Caption.view().empty() ||
                              !stale(&l, l.Caption.view(), -1))
                            return;
                          set = setText(&l, l.look->font, l.Caption.view(), -1, drawn) != nullptr;
                        },
                        [&](const Button& b) {
                          if (set || !b.Visible) return;
                          const auto [shown, mark] = buttonCaption(b);
                          if (!stale(&b, shown, mark)) return;
                          set = setText(&b, layout::kButtonFont, shown, mark, drawn) != nullptr;
                        },
                        [](const auto&) {},
                    });
  return set;
}

void Painter::drawText(const Target& to, const void* key, const FontSpec& font,
                       std::string_view text, Rgb colour, Rect box, Align align, int mark) {
  const SetLine* set = setText(key, font, text, mark, to.scale);
  if (!set) return;
  const SetLine& line = *set;
  // A button's caption (which has a mark, past its end where it has no access key) sits in
  // the middle of the face; a label's at the top, as labels have it.
  const bool button = mark >= 0;
  const Rect b = to.of(box);
  int x = b.x;
  if (align == Align::Right) x = b.x + b.w - line.advance;
  if (align == Align::Center) x = b.x + (b.w - line.advance) / 2;
  const int y = button ? b.y + (b.h - line.lineHeight) / 2 : b.y;
  // Never spill: letters are cut at the element's edge.
  const Rect cut = overlap(b, to.clip);
  const Rect ink = overlap({x + line.left, y + line.top, line.width, line.height}, cut);
  const std::uint32_t c = rgb(colour);
  Image& image = own_;
  for (int py = ink.y; py < ink.y + ink.h; ++py) {
    const std::uint8_t* cover =
        &line.coverage[static_cast<std::size_t>(py - y - line.top) * line.width +
                       (ink.x - x - line.left)];
    std::uint32_t* row = image.row(py) + ink.x;
    for (int i = 0; i < ink.w; ++i)
      if (cover[i]) row[i] = cover[i] == 255 ? c : blend(c, row[i], cover[i]);
  }
  if (button && line.markTo > line.markFrom) {
    const int thick = std::max(1, (2 * to.scale.num + to.scale.den) / (2 * to.scale.den));
    fill(image,
         overlap({x + line.markFrom, y + line.ascent + 1, line.markTo - line.markFrom, thick}, cut),
         c);
  }
}

}  // namespace mazeblast
