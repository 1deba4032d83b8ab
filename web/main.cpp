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
#include "scene/replay_link.h"
#include "scene/runner.h"
#include "scene/sound_events.h"
#include "scene/state_hash.h"
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

// A game in the page: the one played and recorded, or a recording watched over it.
struct Session {
  std::unique_ptr<Frmbomb> game = std::make_unique<Frmbomb>();
  Controls controls{*game};
  SoundWatcher watcher;
  GameTime time;
};

struct Played : Session {
  ReplayWriter writer{*game};
  std::string recorded;  // its recording so far
};

struct Watched : Session {
  Replay replay;
  std::vector<std::uint8_t> link;  // its packed link, once known: the one it came from
  std::unique_ptr<ReplayWatch> watch;
  std::string status;  // as last said
};

struct Page {
  std::unique_ptr<Played> played;
  std::unique_ptr<Watched> watched;   // while a recording is watched; the played one waits
  double asideSinceMs = 0;            // when the played game was put aside
  bool focused = true;                // the page's focus, as last told
  Damage damage;                      // what changed since the canvas was last drawn
  SoundEvents heard;                  // since the page last took them
  SoundBank sounds{SoundBank::Later{}};  // made a sound at a time while the page is idle
  std::vector<Pixels> pictures = std::vector<Pixels>(art::count);
  std::unordered_map<PictureRef, int> pictureIds;
  double startMs = 0;
  std::vector<std::uint8_t> inbox;  // what the page hands over: a piece of a file, a link
  // A recording being read a piece at a time, or a link being unpacked or made.
  std::unique_ptr<ReplayReader> reading;
  std::unique_ptr<LinkReader> unpacking;
  std::unique_ptr<LinkEncoder> linking;
  std::string text;     // what the page takes back: a recording, a link
  std::string message;  // the line beside the picture
};
Page* page = nullptr;

// About 20 ms of the page's time between two frames, reading, unpacking or packing.
constexpr int kSliceSteps = 20000;

std::int64_t clockUs(double nowMs) {
  return static_cast<std::int64_t>((nowMs - page->startMs) * 1000.0);
}

// What is on the screen: the recording watched, or the game played.
Session& shown() {
  return page->watched ? static_cast<Session&>(*page->watched) : *page->played;
}

void afterHandler() {
  Session& s = shown();
  s.watcher.changes(*s.game).forEach([](SoundEvent e) { page->heard.add(e); });
}

// After every tick of a played game: the controls see it, and what it changed is heard.
void ticked(int) {
  page->played->controls.afterTick();
  afterHandler();
}

// What the recorder wrote since the last event, kept in the page's memory.
void keepRecording() {
  Played& p = *page->played;
  p.writer.settled();
  p.recorded.append(p.writer.pending());
  p.writer.taken();
}

// The screen is drawn whole again: another game is on it.
void showAnew() {
  page->damage = Damage{};
  shown().controls.markChanged();
  shown().watcher.look(*shown().game);
}

// The played game, ended now: what Save and Copy link take of it.
std::string playedRecording(double nowMs) {
  Played& p = *page->played;
  runUntil(*p.game, p.time, clockUs(nowMs), ticked);
  keepRecording();
  std::string text = p.recorded;
  p.writer.end();
  text.append(p.writer.pending());
  p.writer.taken();
  return text;
}

// The game played comes back as it was put aside, paused, its clock on from where it stood,
// and P plays on. The watching is left out of its recording.
void leaveWatching(double nowMs) {
  if (!page->watched) return;
  Played& p = *page->played;
  const Watched& w = *page->watched;
  // What the watching verified, and where it stopped if it did not come to its end.
  page->message = w.watch->run.verdict();
  if (!w.watch->run.over())
    page->message += "; the watching stopped at " + secondsText(w.game->clock.nowUs);
  const bool muted = w.controls.muted();
  page->watched.reset();
  p.time.hold(clockUs(nowMs) - clockUs(page->asideSinceMs));
  p.controls.setMuted(muted);
  p.controls.focus(page->focused);
  keepRecording();
  showAnew();
}

// A recording to watch over the game played, which is paused and kept with its recording as
// the player looks elsewhere.
void watch(double nowMs, Replay replay, std::vector<std::uint8_t> link) {
  Played& p = *page->played;
  const bool muted = shown().controls.muted();
  if (!page->watched) {
    runUntil(*p.game, p.time, clockUs(nowMs), ticked);
    p.controls.focus(false);
    keepRecording();
    page->asideSinceMs = nowMs;
  }
  page->watched = std::make_unique<Watched>();
  Watched& w = *page->watched;
  w.replay = std::move(replay);
  w.link = std::move(link);
  w.time = GameTime(clockUs(nowMs));
  w.game->Form_Load();
  w.controls.setMuted(muted);
  w.watch = std::make_unique<ReplayWatch>(w.replay, w.time);
  showAnew();
  page->message = w.status = w.watch->status();
}

// P holds and resumes the watching, + and - set its speed, Q (or Escape) leaves it, M is the
// sound as ever.
void watchKey(double nowMs, int code) {
  Watched& w = *page->watched;
  const std::int64_t now = clockUs(nowMs);
  if (code == kKeyM) w.controls.setMuted(!w.controls.muted());
  if (code == kKeyP) w.watch->hold(now);
  if (code == kKeyPlus) w.watch->faster(now);
  if (code == kKeyMinus) w.watch->slower(now);
  if (code == kKeyQ || code == 27) return leaveWatching(nowMs);
  page->message = w.status = w.watch->status();
}

// One of the page's events, told the game at the page's time, and then heard; the ticks due
// before it run first, as a replay has them. Nothing reaches a game put aside.
template <class Event>
int handle(double nowMs, Event&& event) {
  if (page->watched) return 0;
  Played& p = *page->played;
  runUntil(*p.game, p.time, clockUs(nowMs), ticked);
  const int result = event(p.controls);
  afterHandler();
  keepRecording();
  return result;
}

// A sound, made now with all those still to be made where the page has not made them yet.
const std::vector<std::int16_t>& sound(int e) {
  while (page->sounds.makeNext()) {
  }
  return page->sounds[static_cast<SoundEvent>(e)];
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
  page->played = std::make_unique<Played>();
  Played& p = *page->played;
  p.time = GameTime(clockUs(nowMs));
  p.game->clock.setFloor(kTimerFloorMs);
  p.game->rnd.reseed(static_cast<std::uint64_t>(seed));
  p.game->Form_Load();
  p.controls.record(&p.writer);
  p.writer.begin(static_cast<std::uint64_t>(seed), kTimerFloorMs);
  keepRecording();
  showAnew();
  for (int i = 0; i < art::count; ++i) {
    decodeXpm(art::all[i]->xpm, page->pictures[i]);
    page->pictureIds[art::all[i]] = i;
  }
}

// Runs everything due by now: the ticks, and while watching the recording's inputs between
// them; a watching that has come to its end gives the played game back. The time the page
// must wake next in its milliseconds, or -1.
EMSCRIPTEN_KEEPALIVE double mb_run(double nowMs) {
  std::int64_t due;
  if (!page->watched) {
    Played& p = *page->played;
    runUntil(*p.game, p.time, clockUs(nowMs), ticked);
    keepRecording();
    due = p.time.real(nextTick(*p.game));
  } else {
    // The watching lets the controls see each tick itself.
    Watched& w = *page->watched;
    w.watch->runTo(
        *w.game, w.controls, clockUs(nowMs), [](int) { afterHandler(); }, afterHandler);
    if (const std::string now = w.watch->status(); now != w.status) page->message = w.status = now;
    if (w.watch->run.over()) {
      leaveWatching(nowMs);
      return mb_run(nowMs);
    }
    due = w.time.real(w.watch->nextDue(*w.game));
  }
  return due == kNever ? -1.0 : page->startMs + static_cast<double>(due) / 1000.0;
}

// Room for `length` bytes the page hands over.
EMSCRIPTEN_KEEPALIVE std::uint8_t* mb_inbox(int length) {
  page->inbox.assign(static_cast<std::size_t>(length), 0);
  return page->inbox.data();
}

// The next piece of a recording's text in the inbox, read as it comes: 1 while it reads
// well, 0 once refused.
EMSCRIPTEN_KEEPALIVE int mb_feed() {
  page->unpacking.reset();
  if (!page->reading) page->reading = std::make_unique<ReplayReader>();
  const std::vector<std::uint8_t>& in = page->inbox;
  return page->reading->feed({reinterpret_cast<const char*>(in.data()), in.size()}) ? 1 : 0;
}

// What follows "#replay=" in a link, in the inbox, to unpack a slice at a time with
// mb_unpack_more: 1, or 0 with the reason as the message where it is no base64url.
EMSCRIPTEN_KEEPALIVE int mb_unpack() {
  page->reading.reset();
  page->unpacking.reset();
  std::vector<std::uint8_t> bytes;
  const std::vector<std::uint8_t>& in = page->inbox;
  if (!fromBase64Url({reinterpret_cast<const char*>(in.data()), in.size()}, bytes)) {
    page->message = "the link holds no replay: it is not base64url";
    return 0;
  }
  page->unpacking = std::make_unique<LinkReader>(std::move(bytes));
  return 1;
}
// 1 once the link is read or refused.
EMSCRIPTEN_KEEPALIVE int mb_unpack_more() {
  return !page->unpacking || page->unpacking->run(kSliceSteps) ? 1 : 0;
}

// What was read or unpacked is watched: 1 when it plays, else 0 with the reason as the
// message, and the game left as it was.
EMSCRIPTEN_KEEPALIVE int mb_watch(double nowMs) {
  if (!page->unpacking && !page->reading) return 0;
  const bool link = page->unpacking != nullptr;
  Replay replay = link ? page->unpacking->take() : page->reading->finish();
  std::vector<std::uint8_t> bytes;
  if (link) bytes = page->unpacking->packed();
  page->unpacking.reset();
  page->reading.reset();
  if (!replay.error.empty()) {
    const std::string& e = replay.error;
    page->message = e.rfind("the link", 0) == 0 ? e
                    : e.rfind("larger than", 0) == 0
                        ? (link ? "the link is " : "the recording is ") + e
                        : "not a replay this game can play: " + e;
    return 0;
  }
  watch(nowMs, std::move(replay), std::move(bytes));
  return 1;
}

// Watch replay: the game played so far, watched over itself.
EMSCRIPTEN_KEEPALIVE void mb_watch_played(double nowMs) {
  if (page->watched) return;
  watch(nowMs, readReplay(playedRecording(nowMs)), {});
}

// The recording of what is on the screen, for Save replay: the one watched, or the game
// played, ended now.
EMSCRIPTEN_KEEPALIVE const char* mb_recording(double nowMs) {
  page->text = page->watched ? replayText(page->watched->replay) : playedRecording(nowMs);
  return page->text.c_str();
}

// Copy link: the link of what is on the screen, made a slice at a time with mb_link_more, at
// most `maxBytes` long. A watched link is its own.
EMSCRIPTEN_KEEPALIVE void mb_link_begin(double nowMs, double maxBytes) {
  page->linking.reset();
  if (page->watched && !page->watched->link.empty()) return;
  Replay replay = page->watched ? page->watched->replay : readReplay(playedRecording(nowMs));
  page->linking =
      std::make_unique<LinkEncoder>(std::move(replay), static_cast<std::size_t>(maxBytes));
}
// 1 once the link is made, or refused with the reason as the message.
EMSCRIPTEN_KEEPALIVE int mb_link_more() {
  if (!page->linking) return 1;
  if (!page->linking->run(kSliceSteps)) return 0;
  if (!page->linking->error().empty())
    page->message =
        page->linking->error().rfind("too long", 0) == 0
            ? "this replay is " + page->linking->error() + "; Save replay keeps it whole"
            : "no link: " + page->linking->error();
  return 1;
}
// The fragment of the link made ("#replay=..."), or empty where it was refused.
EMSCRIPTEN_KEEPALIVE const char* mb_link() {
  if (page->linking) {
    const std::vector<std::uint8_t>& bytes = page->linking->bytes();
    if (page->watched && !bytes.empty()) page->watched->link = bytes;
    page->text = bytes.empty() ? "" : page->linking->fragment();
    page->linking.reset();
  } else if (page->watched && !page->watched->link.empty()) {
    const std::vector<std::uint8_t>& bytes = page->watched->link;
    page->text = "#replay=" + toBase64Url(bytes.data(), bytes.size());
  } else {
    page->text.clear();
  }
  return page->text.c_str();
}

EMSCRIPTEN_KEEPALIVE int mb_watching() {
  return page->watched ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void mb_leave(double nowMs) {
  leaveWatching(nowMs);
}
// The speed a recording is watched at, or 0 while none is; and a new one.
EMSCRIPTEN_KEEPALIVE int mb_speed() {
  return page->watched ? page->watched->watch->speed() : 0;
}
EMSCRIPTEN_KEEPALIVE void mb_set_speed(double nowMs, int speed) {
  if (!page->watched) return;
  Watched& w = *page->watched;
  w.watch->setSpeed(speed, clockUs(nowMs));
  page->message = w.status = w.watch->status();
}
EMSCRIPTEN_KEEPALIVE const char* mb_message() {
  return page->message.c_str();
}
EMSCRIPTEN_KEEPALIVE void mb_say(const char* text) {
  page->message = text;
}

// The period of the timer due next, in milliseconds (the floor counted), or 0.
EMSCRIPTEN_KEEPALIVE int mb_next_interval() {
  Frmbomb& g = *shown().game;
  const int i = firstDue(g.timers, kGameTimers, nextTick(g));
  return i < 0 ? 0 : static_cast<int>(g.timers[i]->periodUs() / 1000);
}

EMSCRIPTEN_KEEPALIVE void mb_key(double nowMs, int code, int down, int alt, int repeat) {
  if (page->watched) {
    if (down && !repeat) watchKey(nowMs, code);
    return;
  }
  // + and - are the watching's alone.
  if (code == kKeyPlus || code == kKeyMinus) return;
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
  page->focused = on != 0;
  handle(nowMs, [&](Controls& c) {
    c.focus(on != 0);
    return 0;
  });
}

EMSCRIPTEN_KEEPALIVE int mb_muted() {
  return shown().controls.muted();
}
EMSCRIPTEN_KEEPALIVE int mb_focused() {
  return page->focused;
}

// The sound events since the last call, one bit each (SoundEvent order).
EMSCRIPTEN_KEEPALIVE unsigned mb_take_sounds() {
  unsigned bits = 0;
  page->heard.forEach([&](SoundEvent e) { bits |= 1u << static_cast<int>(e); });
  page->heard = SoundEvents{};
  return bits;
}
// Makes the next sound: the page asks while it is idle after the first frame, a sound at a
// time, so that the first key finds them made. 0 once every one is.
EMSCRIPTEN_KEEPALIVE int mb_make_sound() {
  return page->sounds.makeNext() ? 1 : 0;
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
  return shown().game->direction;
}

// The game played, for whoever wants to know, as the page's tests do: its state hash, its
// score, lives and level.
EMSCRIPTEN_KEEPALIVE const char* mb_played() {
  const Frmbomb& g = *page->played->game;
  char hex[17] = {};
  formatStateHash(stateHash(g), hex);
  page->text = std::string(hex) + " " + std::to_string(g.score) + " " + std::to_string(g.lives) +
               " " + std::to_string(g.level);
  return page->text.c_str();
}

EMSCRIPTEN_KEEPALIVE int mb_changed() {
  return shown().controls.changed();
}

// Draws what changed since the last frame, in the drawing order: each changed rectangle
// cleared, and every element that meets it drawn again, clipped to it.
EMSCRIPTEN_KEEPALIVE void mb_paint() {
  const Frmbomb& g = *shown().game;
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
  shown().controls.painted();
}

// The next frame draws the whole picture again, as at the start.
EMSCRIPTEN_KEEPALIVE void mb_paint_all() {
  page->damage = Damage{};
  shown().controls.markChanged();
}

}  // extern "C"
