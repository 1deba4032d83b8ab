#include "tests/libretro/frontend.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace mazeblast {

namespace {

// The core as a shared library: dlopen where there is one, LoadLibrary on Windows.
#ifdef _WIN32
void* openLibrary(const std::string& path) {
  return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}
void* symbolOf(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void closeLibrary(void* library) {
  FreeLibrary(static_cast<HMODULE>(library));
}
std::string libraryError() {
  return "LoadLibrary failed with error " + std::to_string(GetLastError());
}
#else
void* openLibrary(const std::string& path) {
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* symbolOf(void* library, const char* name) {
  return dlsym(library, name);
}
void closeLibrary(void* library) {
  dlclose(library);
}
std::string libraryError() {
  return dlerror();
}
#endif

// The instance whose call is under way: libretro's callbacks carry no pointer of their own.
CoreInstance* active = nullptr;

bool RETRO_CALLCONV environmentCall(unsigned cmd, void* data) {
  return active && active->environment(cmd, data);
}
void RETRO_CALLCONV videoCall(const void* data, unsigned w, unsigned h, std::size_t pitch) {
  active->video(data, w, h, pitch);
}
void RETRO_CALLCONV audioSampleCall(std::int16_t, std::int16_t) {}
std::size_t RETRO_CALLCONV audioBatchCall(const std::int16_t* data, std::size_t frames) {
  return active->audio(data, frames);
}
void RETRO_CALLCONV inputPollCall() {}
std::int16_t RETRO_CALLCONV inputStateCall(unsigned port, unsigned device, unsigned index,
                                           unsigned id) {
  return active->input(port, device, index, id);
}
bool RETRO_CALLCONV rumbleCall(unsigned port, retro_rumble_effect effect, std::uint16_t strength) {
  return active->setRumble(port, effect, strength);
}
void RETRO_CALLCONV logCall(retro_log_level, const char* fmt, ...) {
  char line[1024];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(line, sizeof line, fmt, args);
  va_end(args);
  active->log.emplace_back(line);
}

// Calls into the core with this instance answering its callbacks.
struct Active {
  explicit Active(CoreInstance* i) : saved(active) { active = i; }
  ~Active() { active = saved; }
  CoreInstance* saved;
};

}  // namespace

template <class F>
F CoreInstance::sym(const char* name) {
  void* p = symbolOf(handle_, name);
  if (!p && failure_.empty()) failure_ = std::string("the core has no ") + name;
  return reinterpret_cast<F>(p);
}

CoreInstance::CoreInstance(const std::string& path) {
  // A copy of its own, so that a second instance has statics of its own.
  std::error_code error;
  for (int attempt = 0; attempt < 100 && copy_.empty(); ++attempt) {
    const auto name = std::filesystem::temp_directory_path() /
                      ("mazeblast-core-" + std::to_string(std::random_device{}()) +
                       std::filesystem::path(path).extension().string());
    if (std::filesystem::copy_file(path, name, error)) copy_ = name.string();
  }
  if (copy_.empty()) {
    failure_ = "cannot copy " + path + ": " + error.message();
    return;
  }
  handle_ = openLibrary(copy_);
  if (!handle_) {
    failure_ = libraryError();
    return;
  }
  Active on(this);
  sym<void (*)(retro_environment_t)>("retro_set_environment")(environmentCall);
  sym<void (*)(retro_video_refresh_t)>("retro_set_video_refresh")(videoCall);
  sym<void (*)(retro_audio_sample_t)>("retro_set_audio_sample")(audioSampleCall);
  sym<void (*)(retro_audio_sample_batch_t)>("retro_set_audio_sample_batch")(audioBatchCall);
  sym<void (*)(retro_input_poll_t)>("retro_set_input_poll")(inputPollCall);
  sym<void (*)(retro_input_state_t)>("retro_set_input_state")(inputStateCall);
  sym<void (*)()>("retro_init")();
  sym<void (*)(retro_system_info*)>("retro_get_system_info")(&info);
  const bool started = sym<bool (*)(const retro_game_info*)>("retro_load_game")(nullptr);
  sym<void (*)(retro_system_av_info*)>("retro_get_system_av_info")(&av);
  run_ = sym<void (*)()>("retro_run");
  reset_ = sym<void (*)()>("retro_reset");
  serializeSize_ = sym<std::size_t (*)()>("retro_serialize_size");
  serialize_ = sym<bool (*)(void*, std::size_t)>("retro_serialize");
  unserialize_ = sym<bool (*)(const void*, std::size_t)>("retro_unserialize");
  unload_ = sym<void (*)()>("retro_unload_game");
  deinit_ = sym<void (*)()>("retro_deinit");
  if (!started && failure_.empty()) failure_ = "retro_load_game failed";
  loaded_ = failure_.empty();
}

CoreInstance::~CoreInstance() {
  if (handle_) {
    Active on(this);
    if (unload_) unload_();
    if (deinit_) deinit_();
    closeLibrary(handle_);
  }
  if (!copy_.empty()) std::filesystem::remove(copy_);
}

void CoreInstance::run(unsigned buttons, int stickX, int stickY) {
  buttons_ = buttons, stickX_ = stickX, stickY_ = stickY;
  Active on(this);
  run_();
  ++frames;
}

void CoreInstance::key(bool down, unsigned keycode, std::uint16_t modifiers) {
  Active on(this);
  if (keyboard_) keyboard_(down, keycode, 0, modifiers);
}

void CoreInstance::setOption(const std::string& key, const std::string& value) {
  options_[key] = value;
  optionsChanged_ = true;
}

void CoreInstance::reset() {
  Active on(this);
  reset_();
}

std::vector<std::uint8_t> CoreInstance::save() {
  Active on(this);
  std::vector<std::uint8_t> state(serializeSize_());
  if (!serialize_(state.data(), state.size())) state.clear();
  return state;
}

bool CoreInstance::load(const std::vector<std::uint8_t>& state) {
  Active on(this);
  return unserialize_(state.data(), state.size());
}

bool CoreInstance::environment(unsigned cmd, void* data) {
  switch (cmd) {
    case RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME: noGame = *static_cast<bool*>(data); return true;
    case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT:
      xrgb = *static_cast<retro_pixel_format*>(data) == RETRO_PIXEL_FORMAT_XRGB8888;
      return xrgb;
    case RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS:
      for (auto* d = static_cast<const retro_input_descriptor*>(data); d->description; ++d)
        descriptors[d->id + (d->device == RETRO_DEVICE_ANALOG ? 100 : 0)] = d->description;
      return true;
    case RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK:
      keyboard_ = static_cast<const retro_keyboard_callback*>(data)->callback;
      return true;
    case RETRO_ENVIRONMENT_GET_RUMBLE_INTERFACE:
      static_cast<retro_rumble_interface*>(data)->set_rumble_state = rumbleCall;
      return true;
    case RETRO_ENVIRONMENT_GET_LOG_INTERFACE:
      static_cast<retro_log_callback*>(data)->log = logCall;
      return true;
    case RETRO_ENVIRONMENT_SET_VARIABLES:
      for (auto* v = static_cast<const retro_variable*>(data); v->key; ++v) {
        // "Description; first|second": the first value is the default.
        std::string values = v->value;
        values = values.substr(values.find("; ") + 2);
        options_.emplace(v->key, values.substr(0, values.find('|')));
      }
      return true;
    case RETRO_ENVIRONMENT_GET_VARIABLE: {
      auto* v = static_cast<retro_variable*>(data);
      auto it = options_.find(v->key);
      v->value = it == options_.end() ? nullptr : it->second.c_str();
      return it != options_.end();
    }
    case RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE:
      *static_cast<bool*>(data) = optionsChanged_;
      optionsChanged_ = false;
      return true;
    default: return false;
  }
}

void CoreInstance::video(const void* data, unsigned w, unsigned h, std::size_t pitch) {
  ++videoCalls;
  width = static_cast<int>(w), height = static_cast<int>(h);
  if (!data || !keepPictures) return;  // no picture: the same as the last
  picture_.resize(std::size_t{w} * h);
  for (unsigned y = 0; y < h; ++y)
    std::memcpy(&picture_[std::size_t{y} * w], static_cast<const std::uint8_t*>(data) + y * pitch,
                w * 4);
}

std::size_t CoreInstance::audio(const std::int16_t* data, std::size_t n) {
  ++audioCalls;
  audioFramesPerRun.push_back(n);
  lastAudio.assign(data, data + 2 * n);
  return n;
}

std::int16_t CoreInstance::input(unsigned port, unsigned device, unsigned index,
                                 unsigned id) const {
  if (port != 0) return 0;
  if (device == RETRO_DEVICE_JOYPAD) return (buttons_ >> id) & 1;
  if (device == RETRO_DEVICE_ANALOG && index == RETRO_DEVICE_INDEX_ANALOG_LEFT)
    return static_cast<std::int16_t>(id == RETRO_DEVICE_ID_ANALOG_X ? stickX_ : stickY_);
  return 0;
}

bool CoreInstance::setRumble(unsigned, unsigned effect, std::uint16_t strength) {
  rumble.push_back({frames, effect, strength});
  return true;
}

}  // namespace mazeblast
