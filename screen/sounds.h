// The game's sounds, made by the game's own synthesizer when it starts: square, triangle and
// noise voices with envelopes and pitch slides, in the manner of the classic sound-effect
// generators. Plain 16-bit mono samples that every front end plays as they are.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace mazeblast {

// What the player hears about, in the order a handler's events are told.
enum class SoundEvent {
  button,
  count,
  go,
  drop,
  burst,
  crack,
  kill,
  caught,
  lifelost,
  bonus,
  cleared,
  gameover,
  quit,
  hiscore,
  pause,
  resume,
};
constexpr int kSoundEvents = 16;
constexpr std::string_view kSoundEventNames[kSoundEvents] = {
    "button",   "count", "go",      "drop",     "burst", "crack",   "kill",  "caught",
    "lifelost", "bonus", "cleared", "gameover", "quit",  "hiscore", "pause", "resume"};

constexpr int kSampleRate = 48000;

enum class Wave { Square, Triangle, Noise };

// One voice of a sound: from startMs for lengthMs, its pitch sliding from fromHz to toHz (for
// noise, the rate at which a new random level is taken). It rises over attackMs, dies away
// by `decay` each second, and fades out over its last releaseMs.
struct Note {
  Wave wave;
  float startMs, lengthMs;
  float fromHz, toHz;
  float volume;
  float attackMs, decay, releaseMs;
  float duty = 0.5f;  // of a square wave
};

// One note alone, as a sound's voice plays it at full scale (before the sound's own gain).
std::vector<float> renderNote(const Note& n);

// One sound for each event, all made at once.
class Waves;

class SoundBank {
 public:
  // Every sound, made now.
  SoundBank();
  ~SoundBank();
  // None yet: makeNext makes them a sound at a time, so that a page can make them between
  // its frames.
  struct Later {};
  explicit SoundBank(Later);
  // Makes the next sound not made yet; false once every one is.
  bool makeNext();
  const std::vector<std::int16_t>& operator[](SoundEvent e) const {
    return sounds_[static_cast<int>(e)];
  }

 private:
  std::vector<std::int16_t> sounds_[kSoundEvents];
  int made_ = 0;
  std::unique_ptr<Waves> waves_;  // while sounds are still to be made
};

}  // namespace mazeblast
