// Paints the element table with SDL's 2D renderer, in the stacking order.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "scene/damage.h"
#include "scene/registry.h"
#include "screen/elements.h"

namespace mazeblast {

class Frmbomb;

// Opens the font for a label look through fontconfig: "Arial" and "Arial Black" with the
// label's weight and slant, or the nearest face the system has. Null, with a message, when
// no usable font exists.
TTF_Font* openFont(const FontSpec& face, std::string* error);

class Painter {
 public:
  explicit Painter(SDL_Renderer* renderer) : renderer_(renderer) {}
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // Makes the picture textures and opens every font; false, with a message, on failure.
  bool load(std::string* error);
  // Draws the whole screen (849 x 565 pixels) into the renderer's current target.
  void paint(const Frmbomb& f);

 private:
  struct CachedText {
    std::string text;
    SDL_Texture* texture = nullptr;
    int w = 0, h = 0;
  };
  void drawSprite(const Sprite& s);
  void drawLabel(const Label& l);
  void drawButton(const Button& b);
  void drawText(const void* key, TTF_Font* font, std::string_view text, Rgb colour,
                const SDL_Rect& box, Align align, int underline = -1);
  TTF_Font* font(const FontSpec& face);

  SDL_Renderer* renderer_;
  std::unordered_map<const PictureArt*, SDL_Texture*> pictures_;
  std::map<std::tuple<std::string, int, int, bool>, TTF_Font*> fonts_;
  std::unordered_map<const void*, CachedText> texts_;
};

// The game's 849 x 565 picture in the window, as large as the window allows. At a
// whole-number scale each of its pixels is a square of window pixels; by whole numbers only,
// with black borders around it. Filling the window between whole numbers, it is drawn at its
// own size into a texture, copied up by the next whole number without smoothing and from
// there down to the window with bilinear filtering ("sharp bilinear"): every game pixel
// covers the same area, and an edge blends over one screen pixel at most.
class WindowPicture {
 public:
  // Sets the renderer's logical size to the picture's, so that mouse positions come back in
  // its own pixels.
  WindowPicture(SDL_Renderer* renderer, Painter& painter, bool wholeNumbers);
  ~WindowPicture();
  WindowPicture(const WindowPicture&) = delete;
  WindowPicture& operator=(const WindowPicture&) = delete;

  // Draws the game and puts it on the screen.
  void show(const Frmbomb& game);
  // How many window pixels a game pixel takes now.
  float scale() const;
  // The renderer lost what its textures held: the next show draws everything again.
  void lost() { sharpScale_ = 0; }

 private:
  SDL_Texture* sharpAt(int scale);

  SDL_Renderer* renderer_;
  Painter& painter_;
  bool whole_;
  SDL_Texture* picture_ = nullptr;  // the game's own pixels
  SDL_Texture* sharp_ = nullptr;    // those a whole number of times larger
  int sharpScale_ = 0;
  // What changed in the picture since the last show: only that is copied larger again.
  Damage damage_;
};

// Draws the screen as the game window would, off any window, and writes it as a PNG. No
// display is needed.
class ScreenshotCanvas {
 public:
  ScreenshotCanvas();
  ~ScreenshotCanvas();
  ScreenshotCanvas(const ScreenshotCanvas&) = delete;
  ScreenshotCanvas& operator=(const ScreenshotCanvas&) = delete;
  // Draws the screen and writes it to `path` as a PNG; only draws it where `path` is null.
  bool write(const Frmbomb& f, const char* path, std::string* error);

 private:
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::unique_ptr<Painter> painter_;
  std::string failure_;
};

}  // namespace mazeblast
