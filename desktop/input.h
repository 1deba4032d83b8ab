// Keys, game controllers, the mouse and the window's focus, turned into the game's handlers.
#pragma once

#include <SDL.h>

namespace mazeblast {

class Frmbomb;
class SoundPlayer;

// The platform's virtual-key number for an SDL key: arrows 37 to 40, space 32, letters their
// upper-case character code, digits their character, Enter 13. 0 for keys the game never sees.
int virtualKey(SDL_Keycode key);

// The virtual key a game-controller button stands for (D-pad arrows, south Space, Start P,
// Back Q), or 0.
int controllerKey(Uint8 button);

// The arrow the left stick points at, past its dead zone, or 0.
int stickArrow(int x, int y);

// Routes SDL events to the game: keys and pad buttons to Pic1 while it holds the focus;
// buttons on the screen pressed by a click, Alt with their access letter, Enter or the pad's
// south button; F11 and Alt+Enter switching fullscreen; every held key released, and play
// paused, when the window loses the focus or is minimised.
class InputRouter {
 public:
  // Turns SDL's text input off: keys are keys, and an input method left listening could
  // swallow them.
  explicit InputRouter(SDL_Window* window = nullptr);
  ~InputRouter();
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

  // Returns false when the window is closed.
  bool handle(Frmbomb& game, const SDL_Event& ev);
  // Call after every handler: pauses play, as P does, while the window has no focus.
  void pauseIfAway(Frmbomb& game);

  bool changedScreen() const { return changed_; }
  void clearChanged() { changed_ = false; }
  void markChanged() { changed_ = true; }
  bool focused() const { return focused_; }
  // M mutes it, and it is silent while the window is away.
  void setSound(SoundPlayer* sound) { sound_ = sound; }
  int padsOpen() const;

 private:
  void key(Frmbomb& game, int code, bool down, int shift);
  bool pressButton(Frmbomb& game, int accessKey, bool anyShown);
  void releaseAll(Frmbomb& game);
  void toggleFullscreen();
  void openController(int deviceIndex);
  void closeController(SDL_JoystickID id);

  SDL_Window* window_;
  SoundPlayer* sound_ = nullptr;
  bool held_[256] = {};
  int stick_ = 0;  // the arrow the left stick holds down
  int mouseDownOn_ = -1;
  // The pads opened, each once, and closed when unplugged: an open pad keeps SDL polling.
  static constexpr int kMaxPads = 8;
  SDL_GameController* pads_[kMaxPads] = {};
  bool focused_ = true;
  bool changed_ = true;
};

}  // namespace mazeblast
