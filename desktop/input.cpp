#include "desktop/input.h"

#include "game/Frmbomb.h"

namespace mazeblast {

int virtualKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_UP: return kKeyUp;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_ESCAPE: return kKeyEscape;
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

namespace {

// The keys a watched recording takes: the game's, and + and - for its speed.
int watchKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_PLUS:
    case SDLK_EQUALS:
    case SDLK_KP_PLUS: return kKeyPlus;
    case SDLK_MINUS:
    case SDLK_KP_MINUS: return kKeyMinus;
    default: return virtualKey(key);
  }
}

int shiftState(Uint16 mod) {
  return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

}  // namespace

void InputRouter::toggleFullscreen() {
  if (!window_) return;
  const bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  controls_.markChanged();
}

InputRouter::InputRouter(Controls& controls, SDL_Window* window)
    : controls_(controls), window_(window) {
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

bool InputRouter::watched(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_KEYDOWN:
      if (ev.key.repeat || ev.key.keysym.sym == SDLK_F11 || (ev.key.keysym.mod & KMOD_ALT))
        return ev.key.repeat;
      watching_->key(watchKey(ev.key.keysym.sym));
      return true;
    case SDL_CONTROLLERBUTTONDOWN: watching_->key(controllerKey(ev.cbutton.button)); return true;
    case SDL_KEYUP:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return true;
    case SDL_WINDOWEVENT:
      return ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
             ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED ||
             ev.window.event == SDL_WINDOWEVENT_MINIMIZED;
    default: return false;
  }
}

bool InputRouter::handle(const SDL_Event& ev) {
  if (watching_ && watched(ev)) return true;
  switch (ev.type) {
    case SDL_QUIT: return false;
    case SDL_WINDOWEVENT:
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED: controls_.focus(false); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: controls_.focus(true); break;
        // Only what uncovers or resizes the picture paints it again: the pointer crossing
        // the window or the window being moved leaves it as it is.
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: controls_.markChanged(); break;
        default: break;
      }
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode sym = ev.key.keysym.sym;
      const bool alt = ev.key.keysym.mod & KMOD_ALT;
      const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
      if (sym == SDLK_F11 || (alt && enter)) {
        if (!ev.key.repeat) toggleFullscreen();
        break;
      }
      if (const int code = virtualKey(sym))
        controls_.keyDown(code, alt, ev.key.repeat, shiftState(ev.key.keysym.mod));
      break;
    }
    case SDL_KEYUP:
      if (const int code = virtualKey(ev.key.keysym.sym))
        controls_.keyUp(code, shiftState(ev.key.keysym.mod));
      break;
    case SDL_CONTROLLERDEVICEADDED: openController(ev.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: closeController(ev.cdevice.which); break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      const bool down = ev.type == SDL_CONTROLLERBUTTONDOWN;
      // The south button presses the button on the screen, as Enter does.
      if (down && ev.cbutton.button == SDL_CONTROLLER_BUTTON_A && controls_.pressShown()) break;
      const int code = controllerKey(ev.cbutton.button);
      if (code && down) controls_.keyDown(code, false, false);
      if (code && !down) controls_.keyUp(code);
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
      controls_.stick(stickArrow(x, y));
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (ev.button.button == SDL_BUTTON_LEFT) controls_.pointerDown(ev.button.x, ev.button.y);
      break;
    case SDL_MOUSEBUTTONUP:
      if (ev.button.button == SDL_BUTTON_LEFT) controls_.pointerUp(ev.button.x, ev.button.y);
      break;
    default: break;
  }
  return true;
}

}  // namespace mazeblast
