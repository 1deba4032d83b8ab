#include "desktop/input.h"

#include <cstdlib>

#include "desktop/audio.h"
#include "game/Frmbomb.h"
#include "scene/registry.h"

namespace mazeblast {

int virtualKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_UP: return kKeyUp;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 13;
    case SDLK_ESCAPE: return 27;
    default: break;
  }
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  return 0;
}

int controllerKey(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return kKeyLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return kKeyUp;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return kKeyRight;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return kKeyDown;
    case SDL_CONTROLLER_BUTTON_A: return kKeySpace;  // the south face button
    case SDL_CONTROLLER_BUTTON_START: return kKeyP;
    case SDL_CONTROLLER_BUTTON_BACK: return kKeyQ;
    default: return 0;
  }
}

int stickArrow(int x, int y) {
  // About a third of the throw: a resting stick never walks the player.
  constexpr int kDeadZone = 12000;
  if (std::abs(x) < kDeadZone && std::abs(y) < kDeadZone) return 0;
  if (std::abs(x) >= std::abs(y)) return x > 0 ? kKeyRight : kKeyLeft;
  return y > 0 ? kKeyDown : kKeyUp;
}

namespace {

int shiftState(Uint16 mod) {
  return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

// Whether button b is shown and under a point of the game's 849 x 565 picture.
bool over(Frmbomb& game, int b, int x, int y) {
  const Button& btn = game.*kButtons[b].button;
  const int l = btn.Left / kTwipsPerPixel, t = btn.Top / kTwipsPerPixel;
  return btn.Visible && x >= l && x < l + btn.Width / kTwipsPerPixel && y >= t &&
         y < t + btn.Height / kTwipsPerPixel;
}

// The shown button under a point, or -1.
int buttonAt(Frmbomb& game, int x, int y) {
  for (int b = 0; b < 4; ++b)
    if (over(game, b, x, y)) return b;
  return -1;
}

}  // namespace

// Presses the shown button whose access letter is `accessKey`, or with `anyShown` the shown
// button whatever its letter.
bool InputRouter::pressButton(Frmbomb& game, int accessKey, bool anyShown) {
  for (const ButtonBinding& b : kButtons) {
    const Button& btn = game.*b.button;
    if (btn.Visible && (anyShown || btn.accessKey() == accessKey)) {
      (game.*b.click)();
      changed_ = true;
      return true;
    }
  }
  return false;
}

void InputRouter::key(Frmbomb& game, int code, bool down, int shift) {
  held_[code] = down;
  if (!game.keysReachPic1()) return;  // lost, as the game has always had it
  if (down)
    game.Pic1_KeyDown(code, shift);
  else
    game.Pic1_KeyUp(code, shift);
  changed_ = true;
}

void InputRouter::releaseAll(Frmbomb& game) {
  for (int k = 0; k < 256; ++k)
    if (held_[k]) key(game, k, false, 0);
  stick_ = 0;
}

void InputRouter::pauseIfAway(Frmbomb& game) {
  // The same operation as P, taken only where P would pause; P alone resumes.
  if (!focused_ && game.paused == 0 && game.Tmr2.enabled() && game.keysReachPic1()) {
    game.Pic1_KeyDown(kKeyP, 0);
    changed_ = true;
  }
}

void InputRouter::toggleFullscreen() {
  if (!window_) return;
  const bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  changed_ = true;
}

InputRouter::InputRouter(SDL_Window* window) : window_(window) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_StopTextInput();
}

InputRouter::~InputRouter() {
  for (SDL_GameController*& pad : pads_)
    if (pad) SDL_GameControllerClose(pad), pad = nullptr;
}

int InputRouter::padsOpen() const {
  int n = 0;
  for (SDL_GameController* pad : pads_) n += pad != nullptr;
  return n;
}

void InputRouter::openController(int deviceIndex) {
  // SDL announces the pads present at start-up as plugged in, and a pad may be announced
  // again: each is opened once.
  if (!SDL_IsGameController(deviceIndex)) return;
  if (SDL_GameControllerFromInstanceID(SDL_JoystickGetDeviceInstanceID(deviceIndex))) return;
  for (SDL_GameController*& pad : pads_) {
    if (pad) continue;
    pad = SDL_GameControllerOpen(deviceIndex);
    return;
  }
}

void InputRouter::closeController(SDL_JoystickID id) {
  for (SDL_GameController*& pad : pads_) {
    if (!pad || SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) != id) continue;
    SDL_GameControllerClose(pad);
    pad = nullptr;
  }
}

bool InputRouter::handle(Frmbomb& game, const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_QUIT: return false;
    case SDL_WINDOWEVENT:
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
          focused_ = false;
          if (sound_) sound_->setAway(true);
          releaseAll(game);
          pauseIfAway(game);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          focused_ = true;
          if (sound_) sound_->setAway(false);
          break;
        default: break;
      }
      changed_ = true;  // exposed, resized, restored: paint again
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode sym = ev.key.keysym.sym;
      const bool alt = ev.key.keysym.mod & KMOD_ALT;
      const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
      if (sym == SDLK_F11 || (alt && enter)) {
        if (!ev.key.repeat) toggleFullscreen();
        break;
      }
      const int code = virtualKey(sym);
      if (code == 0) break;
      // M is the window's own, and still reaches the game, which has no use for it.
      if (sym == SDLK_m && !ev.key.repeat && sound_) sound_->toggleMute();
      if (alt && pressButton(game, code, false)) break;
      if (enter && !ev.key.repeat && pressButton(game, 0, true)) break;
      key(game, code, true, shiftState(ev.key.keysym.mod));
      break;
    }
    case SDL_KEYUP: {
      const int code = virtualKey(ev.key.keysym.sym);
      if (code != 0) key(game, code, false, shiftState(ev.key.keysym.mod));
      break;
    }
    case SDL_CONTROLLERDEVICEADDED: openController(ev.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: closeController(ev.cdevice.which); break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      const bool down = ev.type == SDL_CONTROLLERBUTTONDOWN;
      // The south button presses the button on the screen, as Enter does.
      if (down && ev.cbutton.button == SDL_CONTROLLER_BUTTON_A && pressButton(game, 0, true)) break;
      if (const int code = controllerKey(ev.cbutton.button)) key(game, code, down, 0);
      break;
    }
    case SDL_CONTROLLERAXISMOTION: {
      if (ev.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX && ev.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY)
        break;
      SDL_GameController* pad = SDL_GameControllerFromInstanceID(ev.caxis.which);
      const int x = pad ? SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX)
                        : (ev.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ? ev.caxis.value : 0);
      const int y = pad ? SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY)
                        : (ev.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY ? ev.caxis.value : 0);
      const int arrow = stickArrow(x, y);
      if (arrow == stick_) break;
      if (stick_) key(game, stick_, false, 0);
      stick_ = arrow;
      if (arrow) key(game, arrow, true, 0);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (ev.button.button == SDL_BUTTON_LEFT)
        mouseDownOn_ = buttonAt(game, ev.button.x, ev.button.y);
      break;
    case SDL_MOUSEBUTTONUP:
      // A button is pressed when the mouse is let go over the button it went down on.
      if (ev.button.button == SDL_BUTTON_LEFT && mouseDownOn_ >= 0 &&
          over(game, mouseDownOn_, ev.button.x, ev.button.y)) {
        for (const ButtonBinding& b : kButtons)
          if (&b == &kButtons[mouseDownOn_]) (game.*b.click)();
        changed_ = true;
      }
      mouseDownOn_ = -1;
      break;
    default: break;
  }
  return true;
}

}  // namespace mazeblast
