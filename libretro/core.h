// RMO Mazeblast as a libretro core: the game driven a frame at a time by the frontend. Each
// frame is exactly a sixtieth of a second of the game's clock, its picture drawn where it
// changed, its sound mixed as the desktop mixes it, and the whole game saved and given back
// by value. This part knows nothing of the libretro API's calls: core_api.cpp turns those into
// these.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/Frmbomb.h"
#include "paint/painter.h"
#include "scene/session.h"
#include "scene/sound_events.h"
#include "screen/mixer.h"
#include "screen/sounds.h"

namespace mazeblast {

constexpr int kFrameRate = 60;
// Three frames are 50 ms: 16, 17 and 17 ms in whole microseconds, and never a drift.
constexpr std::int64_t kUsPerThreeFrames = 50000;
constexpr int kAudioFrames = kSampleRate / kFrameRate;  // 800 stereo frames a frame

// The RetroPad's buttons the game answers, as bits of `PadState::buttons`.
enum PadBit : unsigned {
  kPadUp = 1u << 0,
  kPadDown = 1u << 1,
  kPadLeft = 1u << 2,
  kPadRight = 1u << 3,
  kPadB = 1u << 4,  // south: drops a bomb, or presses the button on the screen
  kPadA = 1u << 5,  // east: presses the button on the screen
  kPadStart = 1u << 6,
  kPadSelect = 1u << 7,
};

struct PadState {
  unsigned buttons = 0;
  int stickX = 0, stickY = 0;  // the left stick, -32768 to 32767
};

// What a frame asks of the frontend's rumble motor: start (at full strength) or stop.
enum class Rumble { none, start, stop };

// The virtual key a libretro keyboard code stands for, or 0 for keys the game never sees.
int retroKeyToVirtual(unsigned keycode);

class CoreGame {
 public:
  // A new game on the title screen, its random sequence from `seed`.
  explicit CoreGame(std::uint64_t seed);

  // False, with the reason, where the picture cannot be drawn (a compiled-in face unread).
  bool ready(std::string* error) const { return painter_.ready(error); }
  // A new game on the title screen, as at the start.
  void reset(std::uint64_t seed);

  // A key of the keyboard, taken at the start of the next frame; modifiers as libretro's
  // (shift 1, ctrl 2, alt 4).
  void keyboard(bool down, int virtualKey, unsigned modifiers);
  // One frame: the pad as it is now, then a sixtieth of a second of the game, its picture
  // and its sound.
  void frame(const PadState& pad);

  // The sound of the last frame: kAudioFrames left and right pairs.
  const std::int16_t* audio() const { return audio_; }
  const Image& picture() const { return painter_.picture(); }
  Rumble rumble() const { return rumble_; }

  // Sound off: none heard, and no rumble.
  void setSound(bool on) { soundOn_ = on; }

  // A saved game: always the same size; false where it cannot be saved, or where it is not
  // accepted (the reason in `why`), the game then left as it was.
  std::size_t stateSize() const { return stateSize_; }
  bool save(std::uint8_t* out, std::size_t size);
  bool load(const std::uint8_t* in, std::size_t size, std::string* why);

 private:
  void padInput(const PadState& pad);
  void press(int key, bool down, bool byPad, unsigned modifiers = 0);
  void hear(SoundEvents events);

  // What the core keeps of its own in a saved game, after the game.
  struct Own {
    std::int64_t frame = 0;       // frames run since the game began
    unsigned padHeld = 0;         // the pad's buttons down at the last frame
    std::int16_t rumbleLeft = 0;  // frames until the rumble stops
    bool keyHeld[256] = {};       // virtual keys the keyboard holds down
    Mixer::Channels playing{};
    template <class Io>
    void keep(Io& io) {
      io(frame), io(padHeld), io(rumbleLeft);
      for (bool& k : keyHeld) io(k);
      Mixer::keep(io, playing);
    }
  };

  Frmbomb& game() { return session_->game(); }
  Controls& controls() { return session_->controls(); }

  std::unique_ptr<Session> session_;
  // A state is read into this first, and it changes places with the game once it is found
  // whole: a state that breaks what always holds of the game leaves it as it was.
  std::unique_ptr<Session> spare_ = std::make_unique<Session>(Session::Setup{});
  SoundBank bank_;
  Mixer mixer_{bank_};
  Painter painter_;
  bool soundOn_ = true;

  Own own_;                   // its sounds playing stand in the mixer
  std::int64_t frameUs_ = 0;  // the game's time when this frame began
  Rumble rumble_ = Rumble::none;

  struct KeyEvent {
    bool down;
    std::uint8_t key;
    std::uint8_t modifiers;
  };
  std::vector<KeyEvent> keys_;  // taken since the last frame

  std::int16_t mono_[kAudioFrames] = {};
  std::int16_t audio_[2 * kAudioFrames] = {};
  std::vector<std::uint8_t> scratch_;  // a state being written, kept for its capacity
  std::size_t stateSize_ = 0;          // the same for every state
};

}  // namespace mazeblast
