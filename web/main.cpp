// The browser front end: the same game, its controls, sounds and drawing order, on the
// browser's clock. The page's script (js/) calls these functions with the browser's events
// and draws through the functions at the top, on one canvas of the game's own size.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/Frmbomb.h"
#include "scene/controls.h"
#include "scene/damage.h"
#include "scene/registry.h"
#include "scene/replay.h"
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

// One session in the page: a game played and recorded, or a recording watched.
struct Session {
  std::unique_ptr<Frmbomb> game = std::make_unique<Frmbomb>();
  Controls controls{*game};
  SoundWatcher watcher;
  ReplayWriter writer{*game};
  GameTime time;
  std::unique_ptr<ReplayWatch> watch;  // while a recording is watched
};

struct Page {
  std::unique_ptr<Session> session;
  Damage damage;                      // what changed since the canvas was last drawn
  SoundEvents heard;                  // since the page last took them
  std::unique_ptr<SoundBank> sounds;  // made when the page first asks: after the first frame
  std::vector<Pixels> pictures = std::vector<Pixels>(art::count);
  std::unordered_map<PictureRef, int> pictureIds;
  double startMs = 0;
  std::string recorded;  // the session played now, as its recording
  bool played = false;   // a game was started in it
  std::string kept;      // the last one watched or left, for Save, Copy link and Watch
  std::string inbox;     // a text the page hands over
  Replay watched;
  std::string message;  // the line beside the picture
};
Page* page = nullptr;

std::int64_t clockUs(double nowMs) {
  return static_cast<std::int64_t>((nowMs - page->startMs) * 1000.0);
}

void afterHandler() {
  Session& s = *page->session;
  s.watcher.changes(*s.game).forEach([](SoundEvent e) { page->heard.add(e); });
}

// After every tick of a played game: the controls see it, and what it changed is heard.
void ticked(int) {
  page->session->controls.afterTick();
  afterHandler();
}

// What the recorder wrote since the last event, kept in the page's memory.
void keepRecording() {
  Session& s = *page->session;
  if (s.watch) return;
  s.writer.settled();
  const std::string_view text = s.writer.pending();
  page->played = page->played || text.find(" click Cmdstart") != std::string_view::npos;
  page->recorded.append(text);
  s.writer.taken();
}

// A new session on a game made now: played and recorded, or watching `replay`.
void startSession(double nowMs, std::uint64_t seed, const Replay* replay) {
  page->session = std::make_unique<Session>();
  Session& s = *page->session;
  s.time = GameTime(clockUs(nowMs));
  if (!replay) {
    s.game->clock.setFloor(kTimerFloorMs);
    s.game->rnd.reseed(seed);
  }
  s.game->Form_Load();
  s.watcher.look(*s.game);
  page->damage = Damage{};
  s.controls.markChanged();
  if (replay) {
    s.watch = std::make_unique<ReplayWatch>(*replay, s.time);
    return;
  }
  page->recorded.clear();
  page->played = false;
  s.controls.record(&s.writer);
  s.writer.begin(seed, kTimerFloorMs);
  keepRecording();
}

// The recording Save, Copy link and Watch act on: the game played now if one was started,
// else the one last watched or left.
const std::string& recording() {
  return page->played || page->kept.empty() ? page->recorded : page->kept;
}

// Leaves a watched recording for a new game, its verdict still said beside the picture.
void leaveWatching(double nowMs) {
  startSession(nowMs, static_cast<std::uint64_t>(nowMs * 1000.0) ^ 0x9e3779b97f4a7c15u, nullptr);
}

// P holds and resumes the watching, Q leaves it, M is the sound as ever; once it is over, any
// key leaves.
void watchKey(double nowMs, int code) {
  Session& s = *page->session;
  if (code == kKeyM) return s.controls.setMuted(!s.controls.muted());
  if (s.watch->run.over() || code == kKeyQ) return leaveWatching(nowMs);
  if (code != kKeyP) return;
  s.watch->hold(clockUs(nowMs));
  page->message = s.watch->held() ? "replay paused (P resumes)" : "watching a replay";
}

// One of the page's events, told the game at the page's time, and then heard; the ticks due
// before it run first, as a replay has them. Nothing reaches a watched game.
template <class Event>
int handle(double nowMs, Event&& event) {
  Session& s = *page->session;
  if (s.watch) return 0;
  runUntil(*s.game, s.time, clockUs(nowMs), ticked);
  const int result = event(s.controls);
  afterHandler();
  keepRecording();
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
  startSession(nowMs, static_cast<std::uint64_t>(seed), nullptr);
  for (int i = 0; i < art::count; ++i) {
    decodeXpm(art::all[i]->xpm, page->pictures[i]);
    page->pictureIds[art::all[i]] = i;
  }
}

// Runs everything due by now: the ticks, and while watching the recording's inputs between
// them. The time the page must wake next in its milliseconds, or -1.
EMSCRIPTEN_KEEPALIVE double mb_run(double nowMs) {
  Session& s = *page->session;
  Frmbomb& g = *s.game;
  std::int64_t due;
  if (!s.watch) {
    runUntil(g, s.time, clockUs(nowMs), ticked);
    keepRecording();
    due = nextTick(g);
  } else {
    // The watching lets the controls see each tick itself.
    const bool over = s.watch->run.over();
    s.watch->runTo(
        g, s.controls, clockUs(nowMs), [](int) { afterHandler(); }, afterHandler);
    if (!over && s.watch->run.over()) page->message = s.watch->run.verdict();
    due = s.watch->nextDue(g);
  }
  due = s.time.real(due);
  return due == kNever ? -1.0 : page->startMs + static_cast<double>(due) / 1000.0;
}

// Room for a text the page hands over, `length` bytes.
EMSCRIPTEN_KEEPALIVE char* mb_inbox(int length) {
  page->inbox.assign(static_cast<std::size_t>(length), '\0');
  return page->inbox.data();
}

// A recording to watch, the whole file, in the inbox: 1 when it plays, else 0 with the reason
// as the message, and the game left as it was.
EMSCRIPTEN_KEEPALIVE int mb_watch(double nowMs) {
  Replay replay = readReplay(page->inbox);
  if (!replay.error.empty()) {
    page->message = "not a replay this game can play: " + replay.error;
    return 0;
  }
  page->kept.swap(page->inbox);
  page->watched = std::move(replay);
  startSession(nowMs, 0, &page->watched);
  page->message = "watching a replay";
  return 1;
}

// The recording Save and Copy link take, ended now if it is still being played.
EMSCRIPTEN_KEEPALIVE const char* mb_recording(double nowMs) {
  Session& s = *page->session;
  if (!s.watch && page->played) {
    runUntil(*s.game, s.time, clockUs(nowMs));
    keepRecording();
    page->kept = page->recorded;
    s.writer.end();
    page->kept.append(s.writer.pending());
    s.writer.taken();
    return page->kept.c_str();
  }
  return recording().c_str();
}
EMSCRIPTEN_KEEPALIVE int mb_watching() {
  return page->session->watch ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE const char* mb_message() {
  return page->message.c_str();
}

// The period of the timer due next, in milliseconds (the floor counted), or 0.
EMSCRIPTEN_KEEPALIVE int mb_next_interval() {
  Frmbomb& g = *page->session->game;
  const int i = firstDue(g.timers, kGameTimers, nextTick(g));
  return i < 0 ? 0 : static_cast<int>(g.timers[i]->periodUs() / 1000);
}

EMSCRIPTEN_KEEPALIVE void mb_key(double nowMs, int code, int down, int alt, int repeat) {
  if (page->session->watch) {
    if (down && !repeat) watchKey(nowMs, code);
    return;
  }
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
  return page->session->controls.muted();
}
EMSCRIPTEN_KEEPALIVE int mb_focused() {
  return page->session->controls.focused();
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
  return page->session->game->direction;
}

EMSCRIPTEN_KEEPALIVE int mb_changed() {
  return page->session->controls.changed();
}

// Draws what changed since the last frame, in the drawing order: each changed rectangle
// cleared, and every element that meets it drawn again, clipped to it.
EMSCRIPTEN_KEEPALIVE void mb_paint() {
  const Frmbomb& g = *page->session->game;
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
  page->session->controls.painted();
}

// The next frame draws the whole picture again, as at the start.
EMSCRIPTEN_KEEPALIVE void mb_paint_all() {
  page->damage = Damage{};
  page->session->controls.markChanged();
}

}  // extern "C"
