#include "desktop/window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "desktop/audio.h"
#include "desktop/input.h"
#include "desktop/options.h"
#include "desktop/recording.h"
#include "desktop/render.h"
#include "game/Frmbomb.h"
#include "replay/open.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/controls.h"
#include "scene/session.h"
#include "scene/sound_events.h"
#include "screen/xpm.h"

namespace mazeblast {

int chooseScale(int usableWidth, int usableHeight) {
  const int w = layout::kClientWidth / kTwipsPerPixel, h = layout::kClientHeight / kTwipsPerPixel;
  int scale = 1;
  while (w * (scale + 1) <= usableWidth && h * (scale + 1) <= usableHeight) ++scale;
  return scale;
}

WindowSize openingSize(int usableWidth, int usableHeight, int scale, bool wholeNumbers) {
  const int w = layout::kClientWidth / kTwipsPerPixel, h = layout::kClientHeight / kTwipsPerPixel;
  if (scale == 0 && wholeNumbers) scale = chooseScale(usableWidth, usableHeight);
  if (scale > 0) return {w * scale, h * scale};
  // The picture's shape, as large as the usable area takes it, and never below its own size.
  if (usableWidth < w || usableHeight < h) return {w, h};
  if (usableWidth * h >= usableHeight * w)
    return {std::min(usableWidth, (usableHeight * w + h / 2) / h), usableHeight};
  return {usableWidth, std::min(usableHeight, (usableWidth * h + w / 2) / w)};
}

namespace {

constexpr std::int64_t kFrameUs = 16667;
constexpr const char* kDesktopId = "org.rmo.Mazeblast";

struct SdlSession {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  ~SdlSession() {
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
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

std::string windowDrivers() {
  std::string list;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const std::string_view name = SDL_GetVideoDriver(i);
    if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
    // Asked with no compositor named, the Wayland library says so on standard error itself.
    if (name == "wayland" && !SDL_getenv("WAYLAND_DISPLAY")) continue;
    if (!list.empty()) list += ',';
    list += name;
  }
  return list;
}

namespace {

// A recording watched: the keys that steer it, and the window's title saying where it stands.
class Watching : public WatchKeys {
 public:
  Watching(Replay replay, SDL_Window* window, const RealClock& clock)
      : watch(std::move(replay), clock.nowUs()), window_(window), clock_(clock) {}

  void key(int code) override {
    quit = quit || watch.key(code, clock_.nowUs());
    title();
  }
  // "RMO Mazeblast (replay at 2x, paused)"
  void title() const {
    const std::string text = "RMO Mazeblast (replay at " + std::to_string(watch.speed()) + "x" +
                             (watch.held() ? ", paused)" : ")");
    SDL_SetWindowTitle(window_, text.c_str());
  }

  ReplayWatch watch;
  bool quit = false;

 private:
  SDL_Window* window_;
  const RealClock& clock_;
};

}  // namespace

int runGame(const Options& options) {
  RealClock clock;
  // A recording to make or to watch is settled before any window opens: a file that cannot
  // be written or read is one line and no game.
  std::string error;
  Replay replay;
  RecordingFile recording;
  const bool watching = !options.replay.empty();
  if (watching && !openReplay(options.replay, replay, &error)) return fail(error);
  if (!options.record.empty() && !recording.open(options.record, options.force, &error))
    return fail(error);

  SdlSession sdl;
  // Only a driver chosen on purpose (the tests' dummy or offscreen) may run without a window.
  const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
  if (!chosen || !*chosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, windowDrivers().c_str());
  // The window's class names the desktop entry, so docks group the window with its launcher.
  setenv("SDL_VIDEO_X11_WMCLASS", kDesktopId, 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopId, 0);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0)
    return fail(std::string("cannot open the display: ") + SDL_GetError());
  // A game without its pads still plays.
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  const int width = layout::kClientWidth / kTwipsPerPixel;
  const int height = layout::kClientHeight / kTwipsPerPixel;
  SDL_Rect usable{0, 0, width, height};
  SDL_GetDisplayUsableBounds(0, &usable);
  const WindowSize size = openingSize(usable.w, usable.h, options.scale, options.integerScale);
  const Uint32 fullscreen = options.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  sdl.window = SDL_CreateWindow(
      "RMO Mazeblast", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.w, size.h,
      SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | fullscreen);
  if (!sdl.window) return fail(std::string("cannot open the window: ") + SDL_GetError());
  if (Pixels icon; decodeXpm(art::icon.xpm, icon)) {
    if (SDL_Surface* s =
            SDL_CreateRGBSurfaceWithFormatFrom(icon.rgba.data(), icon.width, icon.height, 32,
                                               icon.width * 4, SDL_PIXELFORMAT_RGBA32)) {
      SDL_SetWindowIcon(sdl.window, s);
      SDL_FreeSurface(s);
    }
  }
  // No vsync: a blocking present would hold the timers back; the loop paces frames itself.
  sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_ACCELERATED);
  if (!sdl.renderer) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
  if (!sdl.renderer) return fail(std::string("cannot draw in the window: ") + SDL_GetError());
  SDL_SetWindowMinimumSize(sdl.window, width, height);

  Painter painter;
  if (!painter.ready(&error)) return fail(error);
  WindowPicture picture(sdl.renderer, painter, options.integerScale);

  // The game played, and recorded where asked; or a recording watched. The game's clock
  // starts with the game: time 0 is when it is made, as in a replay.
  const std::uint64_t seed =
      static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  ReplayWriter writer;
  const bool recorded = !options.record.empty();
  std::unique_ptr<Session> played;
  std::unique_ptr<Watching> viewer;
  if (watching)
    viewer = std::make_unique<Watching>(std::move(replay), sdl.window, clock);
  else
    played = std::make_unique<Session>(Session::Setup{.seed = seed,
                                                      .floorMs = kTimerFloorMs,
                                                      .startUs = clock.nowUs(),
                                                      .recorder = recorded ? &writer : nullptr});
  Session& session = watching ? viewer->watch.session() : *played;
  const Frmbomb& game = session.game();
  Controls& controls = session.controls();
  controls.setMuted(options.mute);

  SoundPlayer sound(options.volume);
  InputRouter input(controls, sdl.window);
  if (recorded) {
    recording.take(writer, clock.nowUs(), true);
    if (!recording.failure().empty()) return 1;
  }
  if (watching) {
    input.watch(viewer.get());
    viewer->watch.setSpeed(options.speed, clock.nowUs());
    viewer->title();
  }
  // What every handler changed is heard, unless the sound is off or the player away.
  auto hear = [&](SoundEvents events) {
    sound.setSilent(controls.muted() || !controls.focused());
    sound.play(events, clock.nowUs());  // the device keeps real time
  };
  // The game up to now: its ticks, and while watching the recording's inputs between them.
  auto runToNow = [&] {
    if (watching)
      viewer->watch.runTo(clock.nowUs(), hear);
    else
      session.runUntil(clock.nowUs(), hear);
  };
  // The end of the session: the recording closed with its last line, or the watching's
  // verdict. Verified, or stopped by the player, is status 0.
  auto finish = [&]() -> int {
    if (!watching) {
      runToNow();
      if (!recorded) return 0;
      writer.end();
      recording.take(writer, clock.nowUs(), true);
      recording.close();  // a recording that failed has said so; the game itself went well
      return 0;
    }
    const ReplayRun& run = viewer->watch.run();
    if (run.over()) return run.differs() ? 1 : 0;
    std::printf("%s; the watching stopped at %s\n", run.verdict().c_str(),
                secondsText(game.clock.nowUs).c_str());
    return 0;
  };
  // The window is shown with its first frame already drawn: on a machine whose renderer has
  // no shader cache yet, that frame costs most of a second, and an empty window would stand
  // that long on the screen.
  picture.show(game);
  SDL_ShowWindow(sdl.window);
  // The frame the window manager puts around the window is known a moment after it shows:
  // a window of the size chosen here then shrinks, keeping its shape, where the frame would
  // run past the usable area.
  std::int64_t fitUntilUs = options.scale == 0 && !options.fullscreen ? clock.nowUs() + 3000000 : 0;
  auto fitFrame = [&] {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(sdl.window, &top, &left, &bottom, &right) != 0 ||
        top + left + bottom + right == 0) {
      if (clock.nowUs() > fitUntilUs) fitUntilUs = 0;
      return;
    }
    fitUntilUs = 0;
    if (size.w + left + right <= usable.w && size.h + top + bottom <= usable.h) return;
    const WindowSize inside =
        openingSize(usable.w - left - right, usable.h - top - bottom, 0, options.integerScale);
    SDL_SetWindowSize(sdl.window, inside.w, inside.h);
    SDL_SetWindowPosition(sdl.window, usable.x + left + (usable.w - left - right - inside.w) / 2,
                          usable.y + top + (usable.h - top - bottom - inside.h) / 2);
  };
  std::int64_t nextFrameUs = 0;
  bool told = false;
  for (;;) {
    runToNow();
    const std::int64_t now = clock.nowUs();
    if (watching && viewer->watch.run().over() && !told) {
      // A verified end closes the window; a difference stays on the screen until closed.
      told = true;
      std::printf("%s\n", viewer->watch.run().verdict().c_str());
      std::fflush(stdout);
      if (!viewer->watch.run().differs()) return finish();
    }
    if (watching && viewer->quit) return finish();
    sound.closeIfQuiet(now);
    if (controls.changed() && now >= nextFrameUs) {
      picture.show(game);
      controls.painted();
      nextFrameUs = now + kFrameUs;
    }
    const std::int64_t gameDue =
        watching ? viewer->watch.nextDueReal() : session.time().real(nextTick(game));
    std::int64_t due = std::min(gameDue, sound.closeDue());
    if (controls.changed()) due = std::min(due, nextFrameUs);
    if (recorded) {
      writer.settled();
      recording.take(writer, now, due - now > kCheckEveryUs);
    }
    SDL_Event ev;
    bool got = due == kNever ? SDL_WaitEvent(&ev) != 0 : clock.waitUntil(due, &ev);
    while (got) {
      // The ticks due before the event come first, as a replay has them.
      runToNow();
      if (ev.type == SDL_MOUSEBUTTONDOWN || ev.type == SDL_MOUSEBUTTONUP)
        picture.toGame(sdl.window, ev.button.x, ev.button.y);
      if (!input.handle(ev)) return finish();
      if (fitUntilUs && ev.type == SDL_WINDOWEVENT) fitFrame();
      if (ev.type == SDL_RENDER_TARGETS_RESET || ev.type == SDL_RENDER_DEVICE_RESET) {
        picture.lost();
        controls.markChanged();
      }
      session.settle(hear);
      got = SDL_PollEvent(&ev) != 0;
    }
  }
}

}  // namespace mazeblast
