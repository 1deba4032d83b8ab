// The painter's picture: the title screen checked at known places, the picture drawn only where
// it changed against the one drawn whole, and the picture between whole-number scales.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "game/Frmbomb.h"
#include "paint/painter.h"
#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

Rgb at(const Image& image, int x, int y) {
  const std::uint32_t p = image.row(y)[x];
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p)};
}

bool same(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

long differing(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  long differ = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) differ += a.pixels[i] != b.pixels[i];
  return differ;
}

const Image& painted(Painter& painter, const Frmbomb& f, Painter::Scale scale = {}) {
  std::string error;
  EXPECT_TRUE(painter.ready(&error)) << error;
  painter.setScale(scale);
  painter.paint(f);
  return painter.picture();
}

TEST(Screenshot, TitleScreen) {
  auto f = std::make_unique<Frmbomb>();
  f->Form_Load();
  Painter painter;
  const Image& p = painted(painter, *f);
  ASSERT_EQ(p.width, 849);
  ASSERT_EQ(p.height, 565);
  // The yellow title: many yellow pixels inside its label, none outside it above the field.
  int yellow = 0;
  for (int y = 0; y < 49; ++y)
    for (int x = 0; x < 849; ++x) {
      const bool inside = x >= 168 && x < 665;
      if (same(at(p, x, y), {255, 255, 0})) {
        yellow += inside;
        EXPECT_TRUE(inside) << x << "," << y;
      }
    }
  EXPECT_GT(yellow, 1500);
  // The green face of the start button, beside its caption.
  EXPECT_TRUE(same(at(p, 355, 285), {0, 255, 0}));
  EXPECT_TRUE(same(at(p, 490, 305), {0, 255, 0}));
  // Pillar (1, 1) and the top border are dark red; the open field between them is black.
  EXPECT_TRUE(same(at(p, 60, 124), {192, 0, 0}));
  EXPECT_TRUE(same(at(p, 300, 75), {192, 0, 0}));
  EXPECT_TRUE(same(at(p, 30, 95), {0, 0, 0}));
  EXPECT_TRUE(same(at(p, 100, 160), {0, 0, 0}));
  // The amber walker over its points.
  EXPECT_TRUE(same(at(p, 216 + 4, 120 + 16), {248, 191, 36}));
}

// The picture kept, drawn again only where it changed after each step of random play, is pixel
// for pixel the picture drawn whole: text cut at its label and at the part drawn, buttons'
// edges, sprites over sprites; at the game's own scale, at a whole number and between. On
// every other step the captions are set ahead, as the page does before its first frame.
TEST(Screenshot, APictureDrawnWhereItChangedIsThePictureDrawnWhole) {
  for (const Painter::Scale scale : {Painter::Scale{1, 1}, {2, 1}, {1080, 565}}) {
    RandomPlay play(3, 11);
    Painter kept;
    kept.setScale(scale);
    int setAhead = 0;
    const int keys[] = {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeySpace, kKeySpace, kKeyP};
    for (int step = 0; step < (scale.num == 1 ? 200 : 40); ++step) {
      play.step(keys, 400);
      if (step % 2 == 0)
        while (kept.setNextCaption(play.g)) ++setAhead;
      painted(kept, play.g, scale);
      Painter whole;
      ASSERT_EQ(differing(kept.picture(), painted(whole, play.g, scale)), 0)
          << "pixels differ at scale " << scale.value() << " after step " << step;
    }
    EXPECT_GT(setAhead, 3) << "scale " << scale.value();
  }
}

// Between whole-number scales the painter draws at the picture's own resolution: rectangles
// with sharp edges, the title set at the larger size; at a whole number, each game pixel is a
// square of the picture's.
TEST(Screenshot, BetweenWholeNumbersShapesAndLettersAreDrawnAtThePicturesResolution) {
  auto game = std::make_unique<Frmbomb>();
  game->Form_Load();
  Painter one, two, between;
  const Image& small = painted(one, *game);
  const Image& doubled = painted(two, *game, {2, 1});
  ASSERT_EQ(doubled.width, 849 * 2);
  long unlike = 0;
  for (int y = 0; y < doubled.height; ++y)
    for (int x = 0; x < doubled.width; ++x) unlike += doubled.row(y)[x] != small.row(y / 2)[x / 2];
  EXPECT_EQ(unlike, 0);

  const double scale = 1080.0 / 565;  // 1080p's height
  const Image& big = painted(between, *game, {1080, 565});
  ASSERT_EQ(big.width, 1623);
  ASSERT_EQ(big.height, 1080);
  // Two rows of pillars and the border beside them, away from any sprite, caption or button:
  // every pixel the field's black or the pillars' red, none blended between them.
  long blended = 0;
  for (int y = static_cast<int>(185 * scale); y < static_cast<int>(255 * scale); ++y)
    for (int x = 0; x < big.width; ++x)
      blended += !same(at(big, x, y), {0, 0, 0}) && !same(at(big, x, y), {192, 0, 0});
  EXPECT_EQ(blended, 0);
  // The title's yellow ink: its bounds, and how many of its pixels are blended at the letters'
  // edges for each one wholly yellow. Set at the larger size, the edges are as thin as at the
  // game's own, so that share falls as the letters grow; copied larger, it would stay.
  struct Bounds {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    double edges = 0;
  };
  const auto yellowIn = [](const Image& image, int h) {
    Bounds b;
    long full = 0, part = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < image.width; ++x) {
        const Rgb p = at(image, x, y);
        part += p.b == 0 && p.r == p.g && p.r > 0 && p.r < 255;
        if (!same(p, {255, 255, 0})) continue;
        ++full;
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
      }
    b.edges = static_cast<double>(part) / std::max(1L, full);
    return b;
  };
  const Bounds s = yellowIn(small, 60), l = yellowIn(big, static_cast<int>(60 * scale));
  EXPECT_NEAR(l.left, s.left * scale, 6);
  EXPECT_NEAR(l.right, (s.right + 1) * scale, 6);
  EXPECT_NEAR(l.bottom - l.top, (s.bottom - s.top + 1) * scale, 4);
  EXPECT_LT(l.edges, s.edges * 0.75) << "edges " << l.edges << " against " << s.edges;
}

}  // namespace
}  // namespace mazeblast
