// What changed on the screen since the last frame, as rectangles of the game's 849 x 565
// picture: a front end that keeps its picture between frames draws only those, each
// element that meets one drawn again in the drawing order, clipped to it.
#pragma once

#include <cstdint>
#include <vector>

#include "game/Frmbomb.h"

namespace mazeblast {

struct Rect {
  int x, y, w, h;  // pixels
  bool meets(const Rect& r) const {
    return x < r.x + r.w && r.x < x + w && y < r.y + r.h && r.y < y + h;
  }
  bool operator==(const Rect&) const = default;
};

// An element's box in pixels.
template <class Element>
Rect boxOf(const Element& e) {
  return {e.Left / kTwipsPerPixel, e.Top / kTwipsPerPixel, e.Width / kTwipsPerPixel,
          e.Height / kTwipsPerPixel};
}

class Damage {
 public:
  // The rectangles in which the screen differs from the last time this was asked (all of it
  // the first time); every element is drawn inside its box, so an element that changed in
  // any way damages the box it had and the box it has.
  const std::vector<Rect>& since(const Frmbomb& game);

 private:
  // How an element was drawn: where, whether, and a digest of what (picture, caption, look).
  struct Seen {
    Rect box;
    bool shown;
    std::uint64_t what;
    bool operator==(const Seen&) const = default;
  };
  void add(Rect r);

  std::vector<Seen> seen_;
  std::vector<Rect> rects_;
};

}  // namespace mazeblast
