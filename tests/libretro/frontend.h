// A libretro frontend of the tests' own: it loads the built core with dlopen, a copy of the
// file for each instance (as RetroArch loads run-ahead's second one), answers its
// environment calls, and keeps what every frame gives back: the picture, the sound, the
// rumble, the log.
#pragma once

#include <libretro.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/Frmbomb.h"
#include "scene/controls.h"
#include "scene/save_state.h"

namespace mazeblast {

struct RumbleCall {
  long frame;
  unsigned effect;
  std::uint16_t strength;
};

class CoreInstance {
 public:
  // Loads a copy of the core at `path` and starts it with no content.
  explicit CoreInstance(const std::string& path);
  ~CoreInstance();
  CoreInstance(const CoreInstance&) = delete;
  CoreInstance& operator=(const CoreInstance&) = delete;

  bool loaded() const { return loaded_; }
  const std::string& failure() const { return failure_; }

  // One retro_run with the RetroPad in this state (RETRO_DEVICE_ID_JOYPAD_* bits) and the
  // left stick.
  void run(unsigned buttons = 0, int stickX = 0, int stickY = 0);
  void runFrames(int n, unsigned buttons = 0) {
    for (int i = 0; i < n; ++i) run(buttons);
  }
  // A key through the keyboard callback, taken at the next frame.
  void key(bool down, unsigned keycode, std::uint16_t modifiers = 0);
  // A core option, as the frontend's menu sets it.
  void setOption(const std::string& key, const std::string& value);

  void reset();
  std::vector<std::uint8_t> save();
  bool load(const std::vector<std::uint8_t>& state);

  // What the core gave: the last frame's picture (0x00RRGGBB, 849 x 565) and what came before.
  const std::vector<std::uint32_t>& picture() const { return picture_; }
  int width = 0, height = 0;
  bool keepPictures = true;  // off: each picture is taken as a frontend takes it, not copied
  long frames = 0, videoCalls = 0, audioCalls = 0;
  std::vector<std::size_t> audioFramesPerRun;  // each run's audio batch, in stereo frames
  std::vector<std::int16_t> lastAudio;         // the last run's, left and right
  std::vector<RumbleCall> rumble;
  std::vector<std::string> log;
  std::map<unsigned, std::string> descriptors;  // joypad ids and analog axes (id + 100)
  bool noGame = false, xrgb = false;
  retro_system_av_info av{};
  retro_system_info info{};

  // The frontend's side of the calls, for the static trampolines.
  bool environment(unsigned cmd, void* data);
  void video(const void* data, unsigned w, unsigned h, std::size_t pitch);
  std::size_t audio(const std::int16_t* data, std::size_t frames);
  std::int16_t input(unsigned port, unsigned device, unsigned index, unsigned id) const;
  bool setRumble(unsigned port, unsigned effect, std::uint16_t strength);
  void keyboardCallback(retro_keyboard_event_t cb) { keyboard_ = cb; }

 private:
  template <class F>
  F sym(const char* name);

  void* handle_ = nullptr;
  std::string copy_;
  bool loaded_ = false;
  std::string failure_;
  std::vector<std::uint32_t> picture_;
  std::map<std::string, std::string> options_;
  bool optionsChanged_ = false;
  unsigned buttons_ = 0;
  int stickX_ = 0, stickY_ = 0;
  retro_keyboard_event_t keyboard_ = nullptr;

  void (*run_)() = nullptr;
  void (*reset_)() = nullptr;
  std::size_t (*serializeSize_)() = nullptr;
  bool (*serialize_)(void*, std::size_t) = nullptr;
  bool (*unserialize_)(const void*, std::size_t) = nullptr;
  void (*unload_)() = nullptr;
  void (*deinit_)() = nullptr;
};

// The game in a state the core saved, read by the rules' own layout.
inline std::unique_ptr<Frmbomb> gameOf(const std::vector<std::uint8_t>& state) {
  auto game = std::make_unique<Frmbomb>();
  Controls controls(*game);
  StateIn io(state.data() + kStateHeader, state.size() - kStateHeader - kStateTrailer);
  keepGame(io, *game, controls);
  return game;
}

// The same state with its game changed by `edit`, sealed again: whole, but made by hand.
template <class Edit>
std::vector<std::uint8_t> editedState(const std::vector<std::uint8_t>& state, Edit&& edit) {
  auto game = std::make_unique<Frmbomb>();
  Controls controls(*game);
  StateIn in(state.data() + kStateHeader, state.size() - kStateHeader - kStateTrailer);
  keepGame(in, *game, controls);
  edit(*game);
  std::vector<std::uint8_t> out = state;  // the core's own part as it was
  StateOut write(out.data() + kStateHeader, out.data() + out.size() - kStateTrailer);
  keepGame(write, *game, controls);
  sealState(out, *game);
  return out;
}

}  // namespace mazeblast
