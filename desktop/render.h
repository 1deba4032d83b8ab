// The painted picture in the window, at any size.
#pragma once

#include <SDL.h>

#include "paint/painter.h"
#include "scene/damage.h"

namespace mazeblast {

class Frmbomb;

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

}  // namespace mazeblast
