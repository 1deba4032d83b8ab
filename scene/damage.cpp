#include "scene/damage.h"

#include <algorithm>
#include <string_view>

#include "scene/registry.h"

namespace mazeblast {

namespace {

constexpr int kMostRects = 24;  // past that, one rectangle around them all draws faster

std::uint64_t digest(std::string_view s, std::uint64_t h = 1469598103934665603ull) {
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

std::uint64_t digest(const void* p) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
}

Rect around(const Rect& a, const Rect& b) {
  const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
  return {x, y, std::max(a.x + a.w, b.x + b.w) - x, std::max(a.y + a.h, b.y + b.h) - y};
}

}  // namespace

void Damage::add(Rect r) {
  if (r.w <= 0 || r.h <= 0) return;
  // Rectangles that meet are drawn as one.
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
      if (!rects_[i].meets(r)) continue;
      r = around(r, rects_[i]);
      rects_[i] = rects_.back();
      rects_.pop_back();
      merged = true;
      break;
    }
  }
  rects_.push_back(r);
  if (static_cast<int>(rects_.size()) > kMostRects) {
    Rect all = rects_[0];
    for (const Rect& q : rects_) all = around(all, q);
    rects_.assign(1, all);
  }
}

const std::vector<Rect>& Damage::since(const Frmbomb& game) {
  rects_.clear();
  const bool first = seen_.empty();
  if (first) rects_.reserve(kMostRects + 1);
  std::size_t i = 0;
  auto look = [&](Seen now) {
    if (first) {
      seen_.push_back(now);
      return;
    }
    Seen& was = seen_[i++];
    if (now == was) return;
    if (was.shown) add(was.box);
    if (now.shown) add(now.box);
    was = now;
  };
  inDrawingOrder(game, Overloaded{
                           [&](const Sprite& s) {
                             look({boxOf(s), s.Visible && s.Picture, digest(s.Picture)});
                           },
                           [&](const Label& l) {
                             look({boxOf(l), l.Visible, digest(l.Caption.view(), digest(l.look))});
                           },
                           [&](const Button& b) {
                             const std::uint64_t face =
                                 std::uint64_t{b.face.r} << 16 | b.face.g << 8 | b.face.b;
                             look({boxOf(b), b.Visible, digest(b.Caption.view(), face)});
                           },
                           [&](const FocusBox& f) {
                             look({boxOf(f), f.Visible, 0});
                           },
                       });
  if (first)
    rects_.assign(1, Rect{0, 0, layout::kClientWidth / kTwipsPerPixel,
                          layout::kClientHeight / kTwipsPerPixel});
  return rects_;
}

}  // namespace mazeblast
