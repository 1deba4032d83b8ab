// The browser front end: the same game, its controls, sounds and drawing order, on the
// browser's clock. The page's script (js/) calls these functions with the browser's events
// and draws through the functions at the top, on one canvas of the game's own size.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "game/Frmbomb.h"
#include "scene/controls.h"
#include "scene/damage.h"
#include "scene/registry.h"
#include "scene/runner.h"
#include "scene/sound_events.h"
#include "screen/sounds.h"
#include "screen/xpm.h"

// clang-format off
EM_JS(void, jsClip, (int x, int y, int w, int h), { Module.mbScreen.clip(x, y, w, h); });
EM_JS(void, jsUnclip, (), { Module.mbScreen.unclip(); });
EM_JS(void, jsPicture, (int id, int x, int y, int w, int h), {
  Module.mbScreen.picture(id, x, y, w, h);
});
EM_JS(void, jsFill, (int x, int y, int w, int h, int r, int g, int b), {
  Module.mbScreen.fill(x, y, w, h, r, g, b);
});
EM_JS(void, jsButton, (int x, int y, int w, int h, int r, int g, int b), {
  Module.mbScreen.button(x, y, w, h, r, g, b);
});
EM_JS(void, jsText, (const char* text, int length, int x, int y, int w, int h, int r, int g,
                     int b, const char* family, int pixels, int weight, int italic, int align,
                     int access), {
  Module.mbScreen.text(UTF8ToString(text, length), x, y, w, h, r, g, b, UTF8ToString(family),
                       pixels, weight, italic, align, access);
});
// clang-format on

namespace mazeblast {
namespace {

struct Page {
  std::unique_ptr<Frmbomb> game = std::make_unique<Frmbomb>();
  Controls controls{*game};
  SoundWatcher watcher;
  Damage damage;                      // what changed since the canvas was last drawn
  SoundEvents heard;                  // since the page last took them
  std::unique_ptr<SoundBank> sounds;  // made when the page first asks: after the first frame
  std::vector<Pixels> pictures = std::vector<Pixels>(art::count);
  std::unordered_map<PictureRef, int> pictureIds;
  double startMs = 0;
};
Page* page = nullptr;

std::int64_t clockUs(double nowMs) {
  return static_cast<std::int64_t>((nowMs - page->startMs) * 1000.0);
}

void afterHandler() {
  page->watcher.changes(*page->game).forEach([](SoundEvent e) { page->heard.add(e); });
}

// One of the page's events, told the game at the page's time, and then heard.
template <class Event>
auto handle(double nowMs, Event&& event) {
  page->game->clock.nowUs = clockUs(nowMs);
  const auto result = event(page->controls);
  afterHandler();
  return result;
}

const std::vector<std::int16_t>& sound(int e) {
  if (!page->sounds) page->sounds = std::make_unique<SoundBank>();
  return (*page->sounds)[static_cast<SoundEvent>(e)];
}

int alignCode(Align a) {
  return a == Align::Left ? 0 : a == Align::Right ? 2 : 1;
}

}  // namespace
}  // namespace mazeblast

using namespace mazeblast;

extern "C" {

EMSCRIPTEN_KEEPALIVE void mb_start(double nowMs, double seed) {
  page = new Page;
  page->startMs = nowMs;
  Frmbomb& g = *page->game;
  g.clock.setFloor(kTimerFloorMs);
  g.rnd.reseed(static_cast<std::uint64_t>(seed));
  g.Form_Load();
  page->watcher.look(g);
  for (int i = 0; i < art::count; ++i) {
    decodeXpm(art::all[i]->xpm, page->pictures[i]);
    page->pictureIds[art::all[i]] = i;
  }
}

// Runs every tick due by now; the time of the next one in the page's milliseconds, or -1.
EMSCRIPTEN_KEEPALIVE double mb_run(double nowMs) {
  Frmbomb& g = *page->game;
  catchUp(
      g, [&] { return clockUs(nowMs); },
      [](int) {
        page->controls.afterTick();
        afterHandler();
      });
  const std::int64_t due = nextTick(g);
  return due == kNever ? -1.0 : page->startMs + static_cast<double>(due) / 1000.0;
}

// The period of the timer due next, in milliseconds (the floor counted), or 0.
EMSCRIPTEN_KEEPALIVE int mb_next_interval() {
  Frmbomb& g = *page->game;
  const int i = firstDue(g.timers, 9, nextTick(g));
  return i < 0 ? 0 : static_cast<int>(g.timers[i]->periodUs() / 1000);
}

EMSCRIPTEN_KEEPALIVE void mb_key(double nowMs, int code, int down, int alt, int repeat) {
  handle(nowMs, [&](Controls& c) {
    down ? c.keyDown(code, alt != 0, repeat != 0) : c.keyUp(code);
    return 0;
  });
}

EMSCRIPTEN_KEEPALIVE void mb_pointer(double nowMs, int down, int x, int y) {
  handle(nowMs, [&](Controls& c) {
    down ? c.pointerDown(x, y) : c.pointerUp(x, y);
    return 0;
  });
}

EMSCRIPTEN_KEEPALIVE int mb_press_shown(double nowMs) {
  return handle(nowMs, [](Controls& c) { return c.pressShown() ? 1 : 0; });
}

EMSCRIPTEN_KEEPALIVE void mb_stick(double nowMs, int x, int y) {
  handle(nowMs, [&](Controls& c) {
    c.stick(stickArrow(x, y));
    return 0;
  });
}

EMSCRIPTEN_KEEPALIVE void mb_focus(double nowMs, int on) {
  handle(nowMs, [&](Controls& c) {
    c.focus(on != 0);
    return 0;
  });
}

EMSCRIPTEN_KEEPALIVE int mb_muted() {
  return page->controls.muted();
}
EMSCRIPTEN_KEEPALIVE int mb_focused() {
  return page->controls.focused();
}

// The sound events since the last call, one bit each (SoundEvent order).
EMSCRIPTEN_KEEPALIVE unsigned mb_take_sounds() {
  unsigned bits = 0;
  page->heard.forEach([&](SoundEvent e) { bits |= 1u << static_cast<int>(e); });
  page->heard = SoundEvents{};
  return bits;
}
// Makes the sounds, once: the page asks when it is idle after the first frame, so that the
// first key finds them made.
EMSCRIPTEN_KEEPALIVE void mb_make_sounds() {
  sound(0);
}
EMSCRIPTEN_KEEPALIVE const std::int16_t* mb_sound_data(int e) {
  return sound(e).data();
}
EMSCRIPTEN_KEEPALIVE int mb_sound_length(int e) {
  return static_cast<int>(sound(e).size());
}
EMSCRIPTEN_KEEPALIVE const char* mb_sound_name(int e) {
  return kSoundEventNames[e].data();
}

EMSCRIPTEN_KEEPALIVE int mb_picture_count() {
  return art::count;
}
EMSCRIPTEN_KEEPALIVE int mb_picture_width(int i) {
  return page->pictures[i].width;
}
EMSCRIPTEN_KEEPALIVE int mb_picture_height(int i) {
  return page->pictures[i].height;
}
EMSCRIPTEN_KEEPALIVE const std::uint8_t* mb_picture_rgba(int i) {
  return page->pictures[i].rgba.data();
}

// The way the player walks (0 standing, 1 right, 2 down, 3 left, 4 up): for whoever wants to
// know, as the page's tests do.
EMSCRIPTEN_KEEPALIVE int mb_direction() {
  return page->game->direction;
}

EMSCRIPTEN_KEEPALIVE int mb_changed() {
  return page->controls.changed();
}

// Draws what changed since the last frame, in the drawing order: each changed rectangle
// cleared, and every element that meets it drawn again, clipped to it.
EMSCRIPTEN_KEEPALIVE void mb_paint() {
  const Frmbomb& g = *page->game;
  auto text = [](std::string_view s, const Rect& at, Rgb c, const FontSpec& f, Align align,
                 bool access) {
    jsText(s.data(), static_cast<int>(s.size()), at.x, at.y, at.w, at.h, c.r, c.g, c.b, f.family,
           f.pixels, f.weight, f.italic, alignCode(align), access);
  };
  auto fill = [](const Rect& at, Rgb c) { jsFill(at.x, at.y, at.w, at.h, c.r, c.g, c.b); };
  for (const Rect& r : page->damage.since(g)) {
    jsClip(r.x, r.y, r.w, r.h);
    inDrawingOrder(g, Overloaded{
                          [&](const Sprite& s) {
                            const Rect at = boxOf(s);
                            if (!s.Visible || !s.Picture || !at.meets(r)) return;
                            const auto it = page->pictureIds.find(s.Picture);
                            if (it == page->pictureIds.end()) return;
                            jsPicture(it->second, at.x, at.y, at.w, at.h);
                          },
                          [&](const Label& l) {
                            const Rect at = boxOf(l);
                            if (!l.Visible || !at.meets(r)) return;
                            const LabelLook& look = *l.look;
                            if (look.opaque) fill(at, look.back);
                            if (!l.Caption.view().empty())
                              text(l.Caption.view(), at, look.fore, look.font, look.align, false);
                          },
                          [&](const Button& b) {
                            const Rect at = boxOf(b);
                            if (!b.Visible || !at.meets(r)) return;
                            jsButton(at.x, at.y, at.w, at.h, b.face.r, b.face.g, b.face.b);
                            text(b.Caption.view(), at, layout::kBlack, layout::kButtonFont,
                                 Align::Center, true);
                          },
                          [&](const FocusBox& f) {
                            if (f.Visible && boxOf(f).meets(r)) fill(boxOf(f), layout::kBlack);
                          },
                      });
    jsUnclip();
  }
  page->controls.painted();
}

// The next frame draws the whole picture again, as at the start.
EMSCRIPTEN_KEEPALIVE void mb_paint_all() {
  page->damage = Damage{};
  page->controls.markChanged();
}

}  // extern "C"
