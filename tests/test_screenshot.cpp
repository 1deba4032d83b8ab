// The title screen drawn through SDL's dummy video driver and the software renderer, checked
// pixel by pixel at known places. No display is needed.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "game/Frmbomb.h"
#include "paint/canvas.h"
#include "paint/painter.h"
#include "screen/xpm.h"
#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

Rgb rgbOf(Uint32 p) {
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p)};
}

// Pixel (x, y) of a picture of 32-bit pixels, a row every `pitch` bytes.
Uint32 pixelOf(const void* pixels, int pitch, int x, int y) {
  return static_cast<const Uint32*>(pixels)[y * pitch / 4 + x];
}

// How many of the game picture's 849 x 565 pixels differ in colour between two pictures.
long differing(const void* a, int pitchA, const void* b, int pitchB) {
  long differ = 0;
  for (int y = 0; y < 565; ++y)
    for (int x = 0; x < 849; ++x)
      differ += (pixelOf(a, pitchA, x, y) & 0xFFFFFF) != (pixelOf(b, pitchB, x, y) & 0xFFFFFF);
  return differ;
}

struct Pixels {
  Uint32 data[565][849];
  Rgb at(int x, int y) const { return rgbOf(data[y][x]); }
};

bool same(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST(Screenshot, TitleScreenInTheDummyWindow) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  ASSERT_EQ(SDL_VideoInit(nullptr), 0) << SDL_GetError();
  SDL_Window* w = SDL_CreateWindow("RMO Mazeblast", 0, 0, 849, 565, SDL_WINDOW_HIDDEN);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
  ASSERT_NE(r, nullptr) << SDL_GetError();
  auto f = std::make_unique<Frmbomb>();
  f->Form_Load();
  auto pixels = std::make_unique<Pixels>();
  {
    Painter painter(r);
    std::string error;
    ASSERT_TRUE(painter.load(&error)) << error;
    painter.paint(*f);
    ASSERT_EQ(SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels->data, 849 * 4), 0)
        << SDL_GetError();
  }
  SDL_DestroyRenderer(r);
  SDL_DestroyWindow(w);
  SDL_VideoQuit();

  // The yellow title: many yellow pixels inside its label, none outside it above the field.
  int yellow = 0;
  for (int y = 0; y < 49; ++y)
    for (int x = 168; x < 665; ++x) yellow += same(pixels->at(x, y), {255, 255, 0});
  EXPECT_GT(yellow, 1500);
  // The green face of the start button, beside its caption.
  EXPECT_TRUE(same(pixels->at(355, 285), {0, 255, 0}));
  EXPECT_TRUE(same(pixels->at(490, 305), {0, 255, 0}));
  // Pillar (1, 1) and the top border are dark red; the open field between them is black.
  EXPECT_TRUE(same(pixels->at(60, 124), {192, 0, 0}));
  EXPECT_TRUE(same(pixels->at(300, 75), {192, 0, 0}));
  EXPECT_TRUE(same(pixels->at(30, 95), {0, 0, 0}));
  EXPECT_TRUE(same(pixels->at(100, 160), {0, 0, 0}));
  // The amber walker over its points.
  EXPECT_TRUE(same(pixels->at(216 + 4, 120 + 16), {248, 191, 36}));
}

// The picture kept in memory, drawn again only where it changed after each step of random
// play, is pixel for pixel the picture the painter draws whole: text cut at its label and at
// the part drawn, buttons' edges, sprites over sprites.
TEST(Screenshot, APictureDrawnWhereItChangedIsThePictureDrawnWhole) {
  RandomPlay play(3, 11);
  const Frmbomb& g = play.g;
  SoftwareCanvas kept;
  std::string error;
  ASSERT_TRUE(kept.ready(&error)) << error;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 849, 565, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
  ASSERT_NE(renderer, nullptr) << SDL_GetError();
  {
    Painter whole(renderer);
    ASSERT_TRUE(whole.load(&error)) << error;
    const int keys[] = {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeySpace, kKeySpace, kKeyP};
    for (int step = 0; step < 200; ++step) {
      play.step(keys, 400);
      kept.draw(g);
      whole.paint(g);
      SDL_RenderPresent(renderer);
      ASSERT_EQ(differing(kept.pixels(), kept.pitch(), surface->pixels, surface->pitch), 0)
          << "pixels differ after step " << step;
    }
  }
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(surface);
}

// Between whole-number scales the painter draws at the target's own resolution: the
// rectangles with sharp edges, the title set at the larger size where the larger label has
// it; set back to 1, it draws the game's own picture again, pixel for pixel.
TEST(Screenshot, BetweenWholeNumbersShapesAndLettersAreDrawnAtTheTargetsResolution) {
  auto game = std::make_unique<Frmbomb>();
  game->Form_Load();
  SoftwareCanvas one;
  std::string error;
  ASSERT_TRUE(one.ready(&error)) << error;
  one.draw(*game);
  constexpr int kW = 1623, kH = 1080;  // 1080p's height, the picture at 1.9115
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
  ASSERT_NE(renderer, nullptr) << SDL_GetError();
  SDL_RenderSetLogicalSize(renderer, 849, 565);
  float scale = 0, ignored = 0;
  SDL_RenderGetScale(renderer, &scale, &ignored);
  ASSERT_NEAR(scale, 1080.0f / 565, 1e-4f);
  const auto at = [&](int x, int y) {
    return rgbOf(pixelOf(surface->pixels, surface->pitch, x, y));
  };
  // The title's yellow ink: its bounds, in the picture's own pixels or the target's, and how
  // many of its pixels are blended at the letters' edges for each one wholly yellow. Set at
  // the target's resolution, the edges are as thin as at the game's own, so that share falls
  // as the letters grow; copied larger, it would stay.
  struct Bounds {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    double edges = 0;
  };
  const auto yellowIn = [](int w, int h, auto pixel) {
    Bounds b;
    long full = 0, part = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const Rgb p = pixel(x, y);
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
  const Bounds small = yellowIn(
      849, 60, [&](int x, int y) { return rgbOf(pixelOf(one.pixels(), one.pitch(), x, y)); });
  {
    Painter painter(renderer);
    ASSERT_TRUE(painter.load(&error)) << error;
    painter.setScale(scale);
    painter.paint(*game);
    // Two rows of pillars and the border beside them, away from any sprite, caption or
    // button: every pixel the field's black or the pillars' red, none blended between them.
    long blended = 0;
    for (int y = static_cast<int>(185 * scale); y < static_cast<int>(255 * scale); ++y)
      for (int x = 0; x < kW; ++x)
        blended += !same(at(x, y), {0, 0, 0}) && !same(at(x, y), {192, 0, 0});
    EXPECT_EQ(blended, 0);
    const Bounds big = yellowIn(kW, static_cast<int>(60 * scale), at);
    // Letters set at the larger size keep their shapes, give or take a pixel a letter.
    EXPECT_NEAR(big.left, small.left * scale, 6);
    EXPECT_NEAR(big.right, (small.right + 1) * scale, 6);
    EXPECT_NEAR(big.bottom - big.top, (small.bottom - small.top + 1) * scale, 4);
    EXPECT_LT(big.edges, small.edges * 0.75) << "edges " << big.edges << " against " << small.edges;

    SDL_RenderSetLogicalSize(renderer, 0, 0);
    SDL_RenderSetScale(renderer, 1, 1);
    painter.setScale(1);
    painter.paint(*game);
    EXPECT_EQ(differing(surface->pixels, surface->pitch, one.pixels(), one.pitch()), 0)
        << "pixels differ from the game's own picture at scale 1";
  }
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(surface);
}

// The browser decodes the pictures itself: to the same pixels SDL_image makes of them.
TEST(Pictures, DecodedAsTheWindowDecodesThem) {
  for (int i = 0; i < art::count; ++i) {
    const PictureArt* a = art::all[i];
    mazeblast::Pixels mine;
    ASSERT_TRUE(decodeXpm(a->xpm, mine)) << a->name;
    SDL_Surface* s = IMG_ReadXPMFromArray(const_cast<char**>(a->xpm));
    ASSERT_NE(s, nullptr) << a->name;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ABGR8888, 0);
    SDL_FreeSurface(s);
    ASSERT_EQ(mine.width, rgba->w) << a->name;
    ASSERT_EQ(mine.height, rgba->h) << a->name;
    for (int y = 0; y < rgba->h; ++y) {
      const auto* row = static_cast<const std::uint8_t*>(rgba->pixels) + y * rgba->pitch;
      for (int x = 0; x < rgba->w * 4; ++x) {
        const int alpha = row[x | 3];
        if (alpha == 0 && mine.rgba[(y * rgba->w * 4) + (x | 3)] == 0) continue;  // both clear
        ASSERT_EQ(mine.rgba[y * rgba->w * 4 + x], row[x]) << a->name << " at " << x / 4 << "," << y;
      }
    }
    SDL_FreeSurface(rgba);
  }
}

}  // namespace
}  // namespace mazeblast
