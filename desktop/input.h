// Keys, game controllers, the mouse and the window's focus, turned into the game's handlers.
#pragma once

#include <SDL.h>

#include "scene/controls.h"

namespace mazeblast {

// The platform's virtual-key number for an SDL key: arrows 37 to 40, space 32, letters their
// upper-case character code, digits their character, Enter 13. 0 for keys the game never sees.
int virtualKey(SDL_Keycode key);

// The virtual key a game-controller button stands for (D-pad arrows, south Space, Start P,
// Back Q), or 0.
int controllerKey(Uint8 button);

// While a recording is watched, the keys that steer the watching (P, Q, M) go here and
// nothing reaches the game.
class WatchKeys {
 public:
  virtual ~WatchKeys() = default;
  virtual void key(int code) = 0;
};

// Turns SDL's events into the game's controls: keys and pad buttons as virtual keys, the
// left stick as arrows, mouse buttons over the buttons on the screen, the window's focus;
// F11 and Alt+Enter switch fullscreen. Pads are opened as they are plugged in.
class InputRouter {
 public:
  // Turns SDL's text input off: keys are keys, and an input method left listening could
  // swallow them.
  InputRouter(Controls& controls, SDL_Window* window = nullptr);
  ~InputRouter();
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

  // Returns false when the window is closed.
  bool handle(const SDL_Event& ev);
  void watch(WatchKeys* keys) { watching_ = keys; }
  int padsOpen() const;

 private:
  void toggleFullscreen();
  void openController(int deviceIndex);
  void closeController(SDL_JoystickID id);

  bool watched(const SDL_Event& ev);

  Controls& controls_;
  SDL_Window* window_;
  WatchKeys* watching_ = nullptr;
  // The pads opened, each once, and closed when unplugged: an open pad keeps SDL polling.
  static constexpr int kMaxPads = 8;
  SDL_GameController* pads_[kMaxPads] = {};
};

}  // namespace mazeblast
