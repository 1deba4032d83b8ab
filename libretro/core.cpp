#include "libretro/core.h"

#include <libretro.h>

#include <cstring>

#include "scene/save_state.h"

namespace mazeblast {

namespace {

// The RetroPad's buttons and the keys they stand for, as the desktop's pad has them; A only
// presses the button on the screen.
struct PadKey {
  unsigned bit;
  int key;
};
constexpr PadKey kPadKeys[] = {
    {kPadUp, kKeyUp},   {kPadDown, kKeyDown}, {kPadLeft, kKeyLeft}, {kPadRight, kKeyRight},
    {kPadB, kKeySpace}, {kPadA, 0},           {kPadStart, kKeyP},   {kPadSelect, kKeyQ},
};

// How long the pad rumbles, in frames: the page's 40 ms for a burst, 200 ms when caught.
constexpr int kBurstRumbleFrames = 3, kCaughtRumbleFrames = 12;

}  // namespace

int retroKeyToVirtual(unsigned keycode) {
  switch (keycode) {
    case RETROK_LEFT: return kKeyLeft;
    case RETROK_UP: return kKeyUp;
    case RETROK_RIGHT: return kKeyRight;
    case RETROK_DOWN: return kKeyDown;
    case RETROK_SPACE: return kKeySpace;
    case RETROK_RETURN:
    case RETROK_KP_ENTER: return kKeyEnter;
    case RETROK_ESCAPE: return 27;
    default: break;
  }
  if (keycode >= RETROK_a && keycode <= RETROK_z) return 'A' + static_cast<int>(keycode - RETROK_a);
  if (keycode >= RETROK_0 && keycode <= RETROK_9) return '0' + static_cast<int>(keycode - RETROK_0);
  return 0;
}

CoreGame::CoreGame(std::uint64_t seed) {
  reset(seed);
}

void CoreGame::reset(std::uint64_t seed) {
  // As the window starts a game: the timer floor of a real clock, then the title screen.
  session_ = std::make_unique<Session>(Session::Setup{.seed = seed, .floorMs = kTimerFloorMs});
  mixer_.silence();
  Own own;
  stateSize_ = mazeblast::stateSize(game(), controls(), [&](auto& io) { own.keep(io); });
  rumble_ = own_.rumbleLeft > 0 ? Rumble::stop : Rumble::none;
  own_ = Own{};
  frameUs_ = 0;
  keys_.clear();
}

void CoreGame::keyboard(bool down, int virtualKey, unsigned modifiers) {
  if (virtualKey <= 0 || virtualKey > 255 || keys_.size() >= 256) return;
  keys_.push_back(
      {down, static_cast<std::uint8_t>(virtualKey), static_cast<std::uint8_t>(modifiers & 7)});
}

void CoreGame::frame(const PadState& pad) {
  rumble_ = Rumble::none;
  if (own_.rumbleLeft > 0 && --own_.rumbleLeft == 0) rumble_ = Rumble::stop;
  // The inputs come at the frame's start, where the game's clock stands.
  frameUs_ = game().clock.nowUs;
  for (const KeyEvent& k : keys_) press(k.key, k.down, false, k.modifiers);
  keys_.clear();
  padInput(pad);
  session_->advanceTo((own_.frame + 1) * kUsPerThreeFrames / 3,
                      [&](SoundEvents events) { hear(events); });
  ++own_.frame;
  painter_.paint(game());
  mixer_.mix(mono_, kAudioFrames);
  for (int i = 0; i < kAudioFrames; ++i) audio_[2 * i] = audio_[2 * i + 1] = mono_[i];
}

void CoreGame::padInput(const PadState& pad) {
  const unsigned changed = pad.buttons ^ own_.padHeld;
  for (const PadKey& p : kPadKeys) {
    if (!(changed & p.bit)) continue;
    const bool down = pad.buttons & p.bit;
    own_.padHeld ^= p.bit;
    // South and east press the button on the screen, as Enter does; south drops a bomb
    // where none is shown.
    if (down && (p.bit == kPadA || p.bit == kPadB) && controls().pressShown()) {
      hear(session_->heard());
      continue;
    }
    if (p.key) press(p.key, down, true);
  }
  controls().stick(stickArrow(pad.stickX, pad.stickY));
  hear(session_->heard());
}

void CoreGame::press(int key, bool down, bool byPad, unsigned modifiers) {
  bool padHolds = false;
  for (const PadKey& p : kPadKeys) padHolds |= p.key == key && (own_.padHeld & p.bit);
  const bool repeat = !byPad && down && own_.keyHeld[key];
  // A key held by the pad and the keyboard at once is one key, down once and up once.
  const bool otherHolds = byPad ? own_.keyHeld[key] : padHolds;
  if (!byPad) own_.keyHeld[key] = down;
  if (otherHolds) return;
  if (down)
    controls().keyDown(key, modifiers & RETROKMOD_ALT, repeat, static_cast<int>(modifiers));
  else
    controls().keyUp(key, static_cast<int>(modifiers));
  hear(session_->heard());
}

void CoreGame::hear(SoundEvents events) {
  if (events.empty() || !soundOn_ || controls().muted()) return;
  // Each sound where its event fell in the frame, to the sample.
  const auto delay = static_cast<int>((game().clock.nowUs - frameUs_) * kSampleRate / 1000000);
  events.forEach([&](SoundEvent e) { mixer_.start(e, delay); });
  if (events.has(SoundEvent::caught) || events.has(SoundEvent::burst)) {
    own_.rumbleLeft = events.has(SoundEvent::caught) ? kCaughtRumbleFrames : kBurstRumbleFrames;
    rumble_ = Rumble::start;
  }
}

bool CoreGame::save(std::uint8_t* out, std::size_t size) {
  own_.playing = mixer_.playing();
  if (size < stateSize_ ||
      !saveGame(game(), controls(), scratch_, stateSize_, [&](auto& io) { own_.keep(io); }))
    return false;
  std::memcpy(out, scratch_.data(), scratch_.size());
  return true;
}

bool CoreGame::load(const std::uint8_t* in, std::size_t size, std::string* why) {
  Own own;
  Frmbomb& spare = spare_->game();
  if (!loadGame(
          spare, spare_->controls(), in, size, stateSize_, [&](auto& io) { own.keep(io); }, why))
    return false;
  // A state made by hand may be whole and still no game, or one whose clock is not where
  // its frames put it: refused.
  constexpr std::int64_t kLastFrame = std::int64_t{1} << 40;  // 580 years
  if (!playableState(spare) || own.frame < 0 || own.frame > kLastFrame ||
      spare.clock.nowUs != own.frame * kUsPerThreeFrames / 3) {
    *why = "a saved game that is no game this one could have played";
    return false;
  }
  std::swap(session_, spare_);
  own_ = own;
  mixer_.resume(own.playing);
  session_->lookAgain();
  keys_.clear();
  return true;
}

}  // namespace mazeblast
