// Paints the element table with SDL's 2D renderer, in the stacking order: into the window
// on the desktop, and into a picture of its own off any window for the screenshots and the
// libretro core.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

#include "scene/damage.h"
#include "screen/elements.h"

namespace mazeblast {

class Frmbomb;

// Opens the game's own face for a label's font ("Arial", "Arial Black", their italics), at its
// size. Null, with a message, where it cannot.
TTF_Font* openFont(const FontSpec& face, std::string* error);

class Painter {
 public:
  explicit Painter(SDL_Renderer* renderer) : renderer_(renderer) {}
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // Makes the picture textures and opens every font; false, with a message, on failure.
  bool load(std::string* error);
  // Draws the whole screen (849 x 565 pixels) into the renderer's current target; or only
  // the part inside `clip`, every element that meets it drawn again in the drawing order:
  // the same pixels there as a whole painting.
  void paint(const Frmbomb& f, const Rect* clip = nullptr);
  // How many of the target's pixels a game pixel takes, where the renderer scales what is
  // drawn (a window filled between whole-number scales): the text is set at that size and
  // the pictures are made the next whole number of times larger, to be smoothed down from
  // there, so that flat shapes and letters are drawn at the target's own resolution and
  // every picture's pixel covers the same area. 1, the game's own pixels, until set.
  void setScale(float scale);

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
  bool makePictures(int times, std::string* error);

  SDL_Renderer* renderer_;
  float scale_ = 1;
  int pictureTimes_ = 1;            // how many times larger than their own the picture textures are
  const SDL_Rect* clip_ = nullptr;  // the part being painted, or null for all of it
  std::unordered_map<const PictureArt*, SDL_Texture*> pictures_;
  std::map<std::tuple<std::string, int, int, bool>, TTF_Font*> fonts_;
  std::unordered_map<const void*, CachedText> texts_;
};

}  // namespace mazeblast
