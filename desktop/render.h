// The painted picture in the window, at any size.
#pragma once

#include <SDL.h>

#include "paint/painter.h"

namespace mazeblast {

class Frmbomb;

// The game's 849 x 565 picture in the window, as large as the window allows. At a
// whole-number scale each of its pixels is a square of window pixels; by whole numbers only,
// with black borders around it. Filling the window between whole numbers, the rectangles and
// the letters are drawn at the window's own resolution, with sharp edges, and the pictures
// (sprites and wall tiles) are copied up by the next whole number without smoothing and from
// there down with bilinear filtering ("sharp bilinear"): every game pixel covers the same
// area, and an edge blends over one window pixel at most.
class WindowPicture {
 public:
  // Sets the renderer's logical size to the picture's, so that mouse positions come back in
  // its own pixels.
  WindowPicture(SDL_Renderer* renderer, Painter& painter, bool wholeNumbers);
  WindowPicture(const WindowPicture&) = delete;
  WindowPicture& operator=(const WindowPicture&) = delete;

  // Draws the game and puts it on the screen.
  void show(const Frmbomb& game);
  // How many window pixels a game pixel takes now.
  float scale() const;

 private:
  SDL_Renderer* renderer_;
  Painter& painter_;
};

}  // namespace mazeblast
