#include "screen/window.h"

#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "game/Frmbomb.h"
#include "screen/registry.h"
#include "screen/render.h"

namespace mazeblast {

int virtualKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LEFT:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_SPACE:
      return 32;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_ESCAPE:
      return 27;
    default:
      break;
  }
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  return 0;
}

namespace {

int shiftState(Uint16 mod) {
  return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

int buttonAt(Frmbomb& game, int x, int y) {
  for (int b = 0; b < 4; ++b) {
    const Button& btn = game.*kButtons[b].button;
    const int l = btn.Left / kTwipsPerPixel, t = btn.Top / kTwipsPerPixel;
    if (btn.Visible && x >= l && x < l + btn.Width / kTwipsPerPixel && y >= t &&
        y < t + btn.Height / kTwipsPerPixel)
      return b;
  }
  return -1;
}

}  // namespace

// Presses the shown button whose access letter is `key`, or with `anyShown` the first shown
// button (Enter).
bool InputRouter::pressButton(Frmbomb& game, int key, bool anyShown) {
  for (const ButtonBinding& b : kButtons) {
    const Button& btn = game.*b.button;
    if (btn.Visible && (anyShown || btn.accessKey() == key)) {
      (game.*b.click)();
      changed_ = true;
      return true;
    }
  }
  return false;
}

void InputRouter::releaseAll(Frmbomb& game) {
  for (int k = 0; k < 256; ++k) {
    if (!held_[k]) continue;
    held_[k] = false;
    if (game.keysReachPic1()) game.Pic1_KeyUp(k, 0);
  }
}

bool InputRouter::handle(Frmbomb& game, const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_QUIT:
      return false;
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) releaseAll(game);
      changed_ = true;  // exposed, resized, restored: paint again
      break;
    case SDL_KEYDOWN: {
      const int key = virtualKey(ev.key.keysym.sym);
      if (key == 0) break;
      if ((ev.key.keysym.mod & KMOD_ALT) && pressButton(game, key, false)) break;
      if (key == 13 && !ev.key.repeat && pressButton(game, 0, true)) break;
      if (!game.keysReachPic1()) break;
      held_[key] = true;
      game.Pic1_KeyDown(key, shiftState(ev.key.keysym.mod));
      changed_ = true;
      break;
    }
    case SDL_KEYUP: {
      const int key = virtualKey(ev.key.keysym.sym);
      if (key == 0) break;
      held_[key] = false;
      if (!game.keysReachPic1()) break;
      game.Pic1_KeyUp(key, shiftState(ev.key.keysym.mod));
      changed_ = true;
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (ev.button.button == SDL_BUTTON_LEFT)
        mouseDownOn_ = buttonAt(game, ev.button.x, ev.button.y);
      break;
    case SDL_MOUSEBUTTONUP:
      // A button is pressed when the mouse is let go over the button it went down on.
      if (ev.button.button == SDL_BUTTON_LEFT && mouseDownOn_ >= 0 &&
          buttonAt(game, ev.button.x, ev.button.y) == mouseDownOn_) {
        pressButton(game, (game.*kButtons[mouseDownOn_].button).accessKey(), false);
      }
      mouseDownOn_ = -1;
      break;
    default:
      break;
  }
  return true;
}

namespace {

constexpr std::int64_t kFrameUs = 16667;

struct SdlSession {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  ~SdlSession() {
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    if (TTF_WasInit()) TTF_Quit();
    SDL_Quit();
  }
};

int fail(const std::string& what) {
  std::fprintf(stderr, "mazeblast: %s\n", what.c_str());
  return 1;
}

}  // namespace

std::int64_t RealClock::nowUs() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

bool RealClock::waitUntil(std::int64_t dueUs, SDL_Event* ev) const {
  // SDL's waits land up to a millisecond late: wake by SDL a little early and sleep the rest
  // on the steady clock.
  const std::int64_t early = dueUs - nowUs() - 3000;
  if (early >= 1000 && SDL_WaitEventTimeout(ev, static_cast<int>(early / 1000))) return true;
  std::this_thread::sleep_until(start_ + std::chrono::microseconds(dueUs));
  return SDL_PollEvent(ev) != 0;
}

int runGame() {
  RealClock clock;
  SdlSession sdl;
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0)
    return fail(std::string("cannot open the display: ") + SDL_GetError());
  const int width = layout::kClientWidth / kTwipsPerPixel;
  const int height = layout::kClientHeight / kTwipsPerPixel;
  sdl.window = SDL_CreateWindow("RMO Mazeblast", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                width, height, SDL_WINDOW_SHOWN);
  if (!sdl.window) return fail(std::string("cannot open the window: ") + SDL_GetError());
  if (SDL_Surface* icon = IMG_ReadXPMFromArray(const_cast<char**>(art::icon.xpm))) {
    SDL_SetWindowIcon(sdl.window, icon);
    SDL_FreeSurface(icon);
  }
  // No vsync: a blocking present would hold the timers back; the loop paces frames itself.
  sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_ACCELERATED);
  if (!sdl.renderer) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
  if (!sdl.renderer) return fail(std::string("cannot draw in the window: ") + SDL_GetError());

  std::string error;
  Painter painter(sdl.renderer);
  if (!painter.load(&error)) return fail(error);

  auto game = std::make_unique<Frmbomb>();
  game->clock.floorMs = kTimerFloorMs;
  game->clock.nowUs = clock.nowUs();
  game->rnd.reseed(
      static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  game->Form_Load();

  InputRouter input;
  std::int64_t nextFrameUs = 0;
  for (;;) {
    std::int64_t now = clock.nowUs();
    for (int i; (i = firstDue(game->timers, 9, now)) >= 0; now = clock.nowUs()) {
      game->clock.nowUs = now;
      game->timers[i]->ticked(now);
      game->timerTick(i + 1);
      if (i != 0) input.markChanged();  // Tmr1 only draws a random value
    }
    if (input.changedScreen() && now >= nextFrameUs) {
      painter.paint(*game);
      SDL_RenderPresent(sdl.renderer);
      input.clearChanged();
      nextFrameUs = now + kFrameUs;
    }
    std::int64_t due = kNever;
    for (Timer* t : game->timers) due = std::min(due, t->due());
    if (input.changedScreen()) due = std::min(due, nextFrameUs);
    SDL_Event ev;
    bool got = due == kNever ? SDL_WaitEvent(&ev) != 0 : clock.waitUntil(due, &ev);
    while (got) {
      game->clock.nowUs = clock.nowUs();
      if (!input.handle(*game, ev)) return 0;
      got = SDL_PollEvent(&ev) != 0;
    }
  }
}

}  // namespace mazeblast
