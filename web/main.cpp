// The browser front end: the same game, its controls and sounds, on the browser's clock, and
// the one painter's picture on the page's canvas. The page's script (js/) calls these
// functions with the browser's events and puts what changed in the picture on its canvas.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/Frmbomb.h"
#include "paint/painter.h"
#include "replay/link.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/controls.h"
#include "scene/registry.h"
#include "scene/session.h"
#include "scene/sound_events.h"
#include "scene/state_hash.h"
#include "screen/sounds.h"

// A rectangle of the picture, 4 bytes a pixel in the order R, G, B, A, onto the page's canvas.
EM_JS(void, jsPut, (const std::uint8_t* rgba, int x, int y, int w, int h),
      { Module.mbScreen.put(rgba, x, y, w, h); });

namespace mazeblast {
namespace {

// The game played in the page, recorded as it goes.
struct Played {
  Played(std::uint64_t seed, std::int64_t startUs)
      : session({.seed = seed, .floorMs = kTimerFloorMs, .startUs = startUs, .recorder = &writer}) {
  }
  ReplayWriter writer;
  Session session;
  std::string recorded;  // its recording so far
};

// A recording watched over it.
struct Watched {
  Watched(Replay replay, std::vector<std::uint8_t> packed, std::int64_t startUs)
      : watch(std::move(replay), startUs), link(std::move(packed)) {}
  ReplayWatch watch;
  std::vector<std::uint8_t> link;  // its packed link, once known: the one it came from
  std::string status;              // as last said
};

struct Page {
  std::unique_ptr<Played> played;
  std::unique_ptr<Watched> watched;      // while a recording is watched; the played one waits
  double asideSinceMs = 0;               // when the played game was put aside
  bool focused = true;                   // the page's focus, as last told
  Painter painter;                       // the picture, at the game's own size
  std::vector<std::uint32_t> rgba;       // a changed part of it, as the canvas takes it
  SoundEvents heard;                     // since the page last took them
  SoundBank sounds{SoundBank::Later{}};  // made a sound at a time while the page is idle
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
  return page->watched ? page->watched->watch.session() : page->played->session;
}

// What a handler changed, heard: the page takes the sounds when it next asks.
void hear(SoundEvents events) {
  events.forEach([](SoundEvent e) { page->heard.add(e); });
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
  page->painter.paintAllNext();
  shown().controls().markChanged();
  shown().lookAgain();
}

// The played game, ended now: what Save and Copy link take of it.
std::string playedRecording(double nowMs) {
  Played& p = *page->played;
  p.session.runUntil(clockUs(nowMs), hear);
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
  Watched& w = *page->watched;
  // What the watching verified, and where it stopped if it did not come to its end.
  page->message = w.watch.run().verdict();
  if (!w.watch.run().over())
    page->message +=
        "; the watching stopped at " + secondsText(w.watch.session().game().clock.nowUs);
  const bool muted = w.watch.session().controls().muted();
  page->watched.reset();
  p.session.time().hold(clockUs(nowMs) - clockUs(page->asideSinceMs));
  p.session.controls().setMuted(muted);
  p.session.controls().focus(page->focused);
  keepRecording();
  showAnew();
}

// A recording to watch over the game played, which is paused and kept with its recording as
// the player looks elsewhere.
void watch(double nowMs, Replay replay, std::vector<std::uint8_t> link) {
  Played& p = *page->played;
  const bool muted = shown().controls().muted();
  if (!page->watched) {
    p.session.runUntil(clockUs(nowMs), hear);
    p.session.controls().focus(false);
    keepRecording();
    page->asideSinceMs = nowMs;
  }
  page->watched = std::make_unique<Watched>(std::move(replay), std::move(link), clockUs(nowMs));
  Watched& w = *page->watched;
  w.watch.session().controls().setMuted(muted);
  showAnew();
  page->message = w.status = w.watch.status();
}

// A key while watching: the watching's own keys (P, +, -, M), or Q and Escape leave it.
void watchKey(double nowMs, int code) {
  Watched& w = *page->watched;
  if (w.watch.key(code, clockUs(nowMs))) return leaveWatching(nowMs);
  page->message = w.status = w.watch.status();
}

// One of the page's events, told the game at the page's time, and then heard; the ticks due
// before it run first, as a replay has them. Nothing reaches a game put aside.
template <class Event>
int handle(double nowMs, Event&& event) {
  if (page->watched) return 0;
  Played& p = *page->played;
  const int result = p.session.take(clockUs(nowMs), event, hear);
  keepRecording();
  return result;
}

// A sound, made now with all those still to be made where the page has not made them yet.
const std::vector<std::int16_t>& sound(int e) {
  while (page->sounds.makeNext()) {
  }
  return page->sounds[static_cast<SoundEvent>(e)];
}

}  // namespace
}  // namespace mazeblast

using namespace mazeblast;

extern "C" {

EMSCRIPTEN_KEEPALIVE void mb_start(double nowMs, double seed) {
  page = new Page;
  page->startMs = nowMs;
  page->played = std::make_unique<Played>(static_cast<std::uint64_t>(seed), clockUs(nowMs));
  keepRecording();
  showAnew();
}

// Runs everything due by now: the ticks, and while watching the recording's inputs between
// them; a watching that has come to its end gives the played game back. The time the page
// must wake next in its milliseconds, or -1.
EMSCRIPTEN_KEEPALIVE double mb_run(double nowMs) {
  std::int64_t due;
  if (!page->watched) {
    Played& p = *page->played;
    p.session.runUntil(clockUs(nowMs), hear);
    keepRecording();
    due = p.session.time().real(nextTick(p.session.game()));
  } else {
    Watched& w = *page->watched;
    w.watch.runTo(clockUs(nowMs), hear);
    if (const std::string now = w.watch.status(); now != w.status) page->message = w.status = now;
    if (w.watch.run().over()) {
      leaveWatching(nowMs);
      return mb_run(nowMs);
    }
    due = w.watch.nextDueReal();
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
  page->text = page->watched ? replayText(page->watched->watch.replay()) : playedRecording(nowMs);
  return page->text.c_str();
}

// Copy link: the link of what is on the screen, made a slice at a time with mb_link_more, at
// most `maxBytes` long. A watched link is its own.
EMSCRIPTEN_KEEPALIVE void mb_link_begin(double nowMs, double maxBytes) {
  page->linking.reset();
  if (page->watched && !page->watched->link.empty()) return;
  Replay replay =
      page->watched ? page->watched->watch.replay() : readReplay(playedRecording(nowMs));
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
  return page->watched ? page->watched->watch.speed() : 0;
}
EMSCRIPTEN_KEEPALIVE void mb_set_speed(double nowMs, int speed) {
  if (!page->watched) return;
  Watched& w = *page->watched;
  w.watch.setSpeed(speed, clockUs(nowMs));
  page->message = w.status = w.watch.status();
}
EMSCRIPTEN_KEEPALIVE const char* mb_message() {
  return page->message.c_str();
}
EMSCRIPTEN_KEEPALIVE void mb_say(const char* text) {
  page->message = text;
}

// The period of the timer due next, in milliseconds (the floor counted), or 0.
EMSCRIPTEN_KEEPALIVE int mb_next_interval() {
  Frmbomb& g = shown().game();
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
  return shown().controls().muted();
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

// The way the player walks (0 standing, 1 right, 2 down, 3 left, 4 up): for whoever wants to
// know, as the page's tests do.
EMSCRIPTEN_KEEPALIVE int mb_direction() {
  return shown().game().direction;
}

// The game played, for whoever wants to know, as the page's tests do: its state hash, its
// score, lives and level.
EMSCRIPTEN_KEEPALIVE const char* mb_played() {
  const Frmbomb& g = page->played->session.game();
  char hex[17] = {};
  formatStateHash(stateHash(g), hex);
  page->text = std::string(hex) + " " + std::to_string(g.score) + " " + std::to_string(g.lives) +
               " " + std::to_string(g.level);
  return page->text.c_str();
}

EMSCRIPTEN_KEEPALIVE int mb_changed() {
  return shown().controls().changed();
}

// Sets the letters of one caption the next frame shows, while there is one: 1 if it did. The
// page calls it before its first frame, a few at a time, so that no moment of the start is long.
EMSCRIPTEN_KEEPALIVE int mb_set_caption() {
  return page->painter.setNextCaption(shown().game());
}

// Puts on the page's canvas what changed in the picture since the last frame.
EMSCRIPTEN_KEEPALIVE void mb_paint() {
  for (const Rect& r : page->painter.paint(shown().game())) {
    page->rgba.resize(static_cast<std::size_t>(r.w) * r.h);
    std::uint32_t* to = page->rgba.data();
    for (int y = r.y; y < r.y + r.h; ++y) {
      const std::uint32_t* from = page->painter.picture().row(y) + r.x;
      // 0x00RRGGBB to the bytes R, G, B, 255 of WebAssembly's little-endian memory.
      for (int x = 0; x < r.w; ++x, ++to)
        *to = 0xff000000u | (from[x] & 0xff) << 16 | (from[x] & 0xff00) | (from[x] >> 16 & 0xff);
    }
    jsPut(reinterpret_cast<const std::uint8_t*>(page->rgba.data()), r.x, r.y, r.w, r.h);
  }
  shown().controls().painted();
}

// The next frame draws the whole picture again, as at the start.
EMSCRIPTEN_KEEPALIVE void mb_paint_all() {
  page->painter.paintAllNext();
  shown().controls().markChanged();
}

}  // extern "C"
