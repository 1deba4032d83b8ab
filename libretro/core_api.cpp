// The libretro API's entry points, turned into the core's game. The frontend's callbacks and
// the one game stand in this file's statics: a frontend that runs a second instance (for
// run-ahead) loads a copy of the library, with statics of its own.
#include <libretro.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "libretro/core.h"
#include "version.h"

using mazeblast::CoreGame;

namespace {

retro_environment_t environment;
retro_video_refresh_t video;
retro_audio_sample_batch_t audioBatch;
retro_input_poll_t inputPoll;
retro_input_state_t inputState;
retro_log_printf_t logPrintf;
retro_rumble_interface rumble{};

std::unique_ptr<CoreGame> core;

constexpr const char* kSoundOption = "mazeblast_sound";

void say(retro_log_level level, const std::string& line) {
  if (logPrintf) logPrintf(level, "[RMO Mazeblast] %s\n", line.c_str());
}

// The game's random sequence starts from the wall clock, as the window's does. The tests set
// MAZEBLAST_LIBRETRO_SEED to play a known game; it changes nothing else.
std::uint64_t newSeed() {
  if (const char* fixed = std::getenv("MAZEBLAST_LIBRETRO_SEED"))
    return std::strtoull(fixed, nullptr, 10);
  return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

void readOptions() {
  retro_variable v{kSoundOption, nullptr};
  if (core && environment(RETRO_ENVIRONMENT_GET_VARIABLE, &v) && v.value)
    core->setSound(std::strcmp(v.value, "disabled") != 0);
}

void RETRO_CALLCONV keyboardEvent(bool down, unsigned keycode, uint32_t, uint16_t modifiers) {
  if (core) core->keyboard(down, mazeblast::retroKeyToVirtual(keycode), modifiers);
}

mazeblast::PadState readPad() {
  using namespace mazeblast;
  static constexpr struct {
    unsigned id, bit;
  } kButtons[] = {
      {RETRO_DEVICE_ID_JOYPAD_UP, kPadUp},       {RETRO_DEVICE_ID_JOYPAD_DOWN, kPadDown},
      {RETRO_DEVICE_ID_JOYPAD_LEFT, kPadLeft},   {RETRO_DEVICE_ID_JOYPAD_RIGHT, kPadRight},
      {RETRO_DEVICE_ID_JOYPAD_B, kPadB},         {RETRO_DEVICE_ID_JOYPAD_A, kPadA},
      {RETRO_DEVICE_ID_JOYPAD_START, kPadStart}, {RETRO_DEVICE_ID_JOYPAD_SELECT, kPadSelect},
  };
  PadState pad;
  for (const auto& b : kButtons)
    if (inputState(0, RETRO_DEVICE_JOYPAD, 0, b.id)) pad.buttons |= b.bit;
  pad.stickX =
      inputState(0, RETRO_DEVICE_ANALOG, RETRO_DEVICE_INDEX_ANALOG_LEFT, RETRO_DEVICE_ID_ANALOG_X);
  pad.stickY =
      inputState(0, RETRO_DEVICE_ANALOG, RETRO_DEVICE_INDEX_ANALOG_LEFT, RETRO_DEVICE_ID_ANALOG_Y);
  return pad;
}

}  // namespace

RETRO_API void retro_set_environment(retro_environment_t cb) {
  environment = cb;
  // Asked more than once, and some answers fail in the early calls: each is tried each time.
  bool noGame = true;
  cb(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &noGame);
  static const retro_variable kOptions[] = {
      {kSoundOption, "Sound (and rumble); enabled|disabled"},
      {nullptr, nullptr},
  };
  cb(RETRO_ENVIRONMENT_SET_VARIABLES, const_cast<retro_variable*>(kOptions));
  retro_log_callback log{};
  if (cb(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &log)) logPrintf = log.log;
}

RETRO_API void retro_set_video_refresh(retro_video_refresh_t cb) {
  video = cb;
}
RETRO_API void retro_set_audio_sample(retro_audio_sample_t) {}
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t cb) {
  audioBatch = cb;
}
RETRO_API void retro_set_input_poll(retro_input_poll_t cb) {
  inputPoll = cb;
}
RETRO_API void retro_set_input_state(retro_input_state_t cb) {
  inputState = cb;
}

RETRO_API void retro_init() {}
RETRO_API void retro_deinit() {
  core.reset();
}
RETRO_API unsigned retro_api_version() {
  return RETRO_API_VERSION;
}

RETRO_API void retro_get_system_info(retro_system_info* info) {
  *info = {};
  info->library_name = "RMO Mazeblast";
  info->library_version = MAZEBLAST_VERSION;
  info->valid_extensions = "";
  info->need_fullpath = false;
  info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(retro_system_av_info* info) {
  using mazeblast::Painter;
  *info = {};
  info->geometry.base_width = info->geometry.max_width = Painter::kWidth;
  info->geometry.base_height = info->geometry.max_height = Painter::kHeight;
  info->geometry.aspect_ratio =
      static_cast<float>(Painter::kWidth) / static_cast<float>(Painter::kHeight);
  info->timing.fps = mazeblast::kFrameRate;
  info->timing.sample_rate = mazeblast::kSampleRate;
}

RETRO_API void retro_set_controller_port_device(unsigned, unsigned) {}

RETRO_API void retro_reset() {
  if (core) core->reset(newSeed());
}

RETRO_API bool retro_load_game(const retro_game_info*) {
  retro_pixel_format format = RETRO_PIXEL_FORMAT_XRGB8888;
  if (!environment(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
    say(RETRO_LOG_ERROR, "the frontend does not take XRGB8888 pictures");
    return false;
  }
  static const retro_input_descriptor kDescriptors[] = {
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_UP, "Walk up"},
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_DOWN, "Walk down"},
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_LEFT, "Walk left"},
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_RIGHT, "Walk right"},
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_B, "Drop a bomb / Press the button"},
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_A, "Press the button"},
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_START, "Pause"},
      {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_SELECT, "Quit the game"},
      {0, RETRO_DEVICE_ANALOG, RETRO_DEVICE_INDEX_ANALOG_LEFT, RETRO_DEVICE_ID_ANALOG_X,
       "Walk left / right"},
      {0, RETRO_DEVICE_ANALOG, RETRO_DEVICE_INDEX_ANALOG_LEFT, RETRO_DEVICE_ID_ANALOG_Y,
       "Walk up / down"},
      {0, 0, 0, 0, nullptr},
  };
  environment(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS,
              const_cast<retro_input_descriptor*>(kDescriptors));
  retro_keyboard_callback keyboard{keyboardEvent};
  environment(RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK, &keyboard);
  if (!environment(RETRO_ENVIRONMENT_GET_RUMBLE_INTERFACE, &rumble)) rumble = {};

  core = std::make_unique<CoreGame>(newSeed());
  std::string error;
  if (!core->ready(&error)) {
    say(RETRO_LOG_ERROR, error);
    core.reset();
    return false;
  }
  readOptions();
  return true;
}

RETRO_API bool retro_load_game_special(unsigned, const retro_game_info*, size_t) {
  return false;
}

RETRO_API void retro_unload_game() {
  core.reset();
}

RETRO_API unsigned retro_get_region() {
  return RETRO_REGION_NTSC;
}

RETRO_API void retro_run() {
  if (!core) return;
  bool updated = false;
  if (environment(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &updated) && updated) readOptions();
  // Drawn every frame, run-ahead's hidden ones too: RetroArch 1.14 says "no video" for every
  // frame where its video driver draws nowhere, and still takes its screenshots from the
  // frames it is given. Only what changed is drawn.
  inputPoll();
  core->frame(readPad());
  const mazeblast::Image& picture = core->picture();
  video(picture.pixels.data(), mazeblast::Painter::kWidth, mazeblast::Painter::kHeight,
        static_cast<std::size_t>(picture.pitch()));
  audioBatch(core->audio(), mazeblast::kAudioFrames);
  if (rumble.set_rumble_state && core->rumble() != mazeblast::Rumble::none) {
    const std::uint16_t strength = core->rumble() == mazeblast::Rumble::start ? 0xFFFF : 0;
    rumble.set_rumble_state(0, RETRO_RUMBLE_STRONG, strength);
    rumble.set_rumble_state(0, RETRO_RUMBLE_WEAK, strength);
  }
}

RETRO_API size_t retro_serialize_size() {
  return core ? core->stateSize() : 0;
}

RETRO_API bool retro_serialize(void* data, size_t size) {
  return core && core->save(static_cast<std::uint8_t*>(data), size);
}

RETRO_API bool retro_unserialize(const void* data, size_t size) {
  std::string why;
  if (!core) return false;
  if (core->load(static_cast<const std::uint8_t*>(data), size, &why)) return true;
  say(RETRO_LOG_WARN, "the state is not loaded: " + why);
  return false;
}

RETRO_API void retro_cheat_reset() {}
RETRO_API void retro_cheat_set(unsigned, bool, const char*) {}

RETRO_API void* retro_get_memory_data(unsigned) {
  return nullptr;
}
RETRO_API size_t retro_get_memory_size(unsigned) {
  return 0;
}
