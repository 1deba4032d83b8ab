// Drawing only what changed: after every step of random play, a picture kept between frames
// and drawn again only inside the changed rectangles equals the picture drawn whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "scene/damage.h"
#include "scene/registry.h"
#include "scene/runner.h"
#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

constexpr int kW = 849, kH = 565;

// A picture in which every element fills its box with a value of what it shows: drawn whole,
// or only inside some rectangles, each element that meets one clipped to it.
struct Canvas {
  std::vector<std::uint32_t> px = std::vector<std::uint32_t>(kW * kH, 0);

  static std::uint64_t of(std::string_view s, std::uint64_t h) {
    for (unsigned char c : s) h = h * 31 + c;
    return h;
  }
  void fill(const Rect& box, const Rect& clip, std::uint64_t v) {
    const auto value = static_cast<std::uint32_t>(v ^ v >> 32);
    for (int y = std::max({box.y, clip.y, 0}); y < std::min({box.y + box.h, clip.y + clip.h, kH});
         ++y)
      for (int x = std::max({box.x, clip.x, 0}); x < std::min({box.x + box.w, clip.x + clip.w, kW});
           ++x)
        px[y * kW + x] = value;
  }
  void draw(const Frmbomb& g, const Rect& clip) {
    fill(clip, clip, 0);
    std::uint64_t n = 0;
    inDrawingOrder(g, Overloaded{
                          [&](const Sprite& s) {
                            ++n;
                            if (s.Visible && s.Picture)
                              fill(boxOf(s), clip, reinterpret_cast<std::uintptr_t>(s.Picture));
                          },
                          [&](const Label& l) {
                            ++n;
                            if (l.Visible)
                              fill(boxOf(l), clip,
                                   of(l.Caption.view(), reinterpret_cast<std::uintptr_t>(l.look)));
                          },
                          [&](const Button& b) {
                            ++n;
                            if (b.Visible) fill(boxOf(b), clip, of(b.Caption.view(), b.face.g));
                          },
                          [&](const FocusBox& f) {
                            ++n;
                            if (f.Visible) fill(boxOf(f), clip, n);
                          },
                      });
  }
};

TEST(Damage, DrawingOnlyTheChangedRectanglesGivesTheWholePicture) {
  RandomPlay play(5, 7);
  const Frmbomb& g = play.g;
  Damage damage;
  Canvas kept, whole;
  const int keys[] = {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeySpace, kKeyP, kKeyQ};
  int frames = 0, drawn = 0;
  for (int step = 0; step < 500; ++step) {
    play.step(keys, 300);
    for (const Rect& r : damage.since(g)) {
      kept.draw(g, r);
      drawn += r.w * r.h;
    }
    whole.draw(g, {0, 0, kW, kH});
    ++frames;
    ASSERT_EQ(kept.px, whole.px) << "after step " << step;
  }
  std::printf("%d frames: %.1f %% of the picture drawn again on average\n", frames,
              100.0 * drawn / frames / (kW * kH));
}

}  // namespace
}  // namespace mazeblast
