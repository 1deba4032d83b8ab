// The painter's picture in the window, at any size.
#pragma once

#include <SDL.h>

#include "paint/painter.h"

namespace mazeblast {

class Frmbomb;

// The game's 849 x 565 picture in the window, as large as the window allows, in the middle,
// black around it. The painter draws it at the window's own size (see Painter::setScale:
// whole-number scales exact, sharp letters and edges between them); the window keeps it in one
// streaming texture, into which only the rectangles that changed are uploaded, and the GPU
// only copies that texture to the screen, pixel for pixel.
class WindowPicture {
 public:
  WindowPicture(SDL_Renderer* renderer, Painter& painter, bool wholeNumbers);
  ~WindowPicture();
  WindowPicture(const WindowPicture&) = delete;
  WindowPicture& operator=(const WindowPicture&) = delete;

  // Draws what changed in the game and puts it on the screen.
  void show(const Frmbomb& game);
  // The texture is lost (the renderer's device was reset): made again, and filled whole, at
  // the next show.
  void lost();
  // A point of the window (as its events give them) in the game's pixels.
  void toGame(SDL_Window* window, Sint32& x, Sint32& y) const;

 private:
  SDL_Renderer* renderer_;
  Painter& painter_;
  bool wholeNumbers_;
  SDL_Texture* texture_ = nullptr;
  int outputW_ = 0, outputH_ = 0;
  SDL_Rect place_{};  // where the picture stands, in the window's pixels
};

}  // namespace mazeblast
