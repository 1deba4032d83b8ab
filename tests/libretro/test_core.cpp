// The libretro core, loaded as a frontend loads it: the contract of its calls, the same game
// as the scripted driver plays from the same inputs (picture and state, frame by frame), its
// sound and rumble, and save states that give the game back exactly, in the same instance
// and in a second one.
#include <gtest/gtest.h>

// The sim's screenshots read back (Debian's libstb-dev, compiled in here).
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/Frmbomb.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/checksum.h"
#include "scene/controls.h"
#include "scene/save_state.h"
#include "scene/state_hash.h"
#include "tests/libretro/frontend.h"
#include "tools/sim.h"

namespace mazeblast {
namespace {

constexpr std::uint64_t kSeed = 1234;

// The game's time when frame `n` (from 0) begins: exactly a sixtieth of a second a frame.
std::int64_t frameUs(long n) {
  return n * 50000 / 3;
}

std::string seconds(std::int64_t us) {
  char text[32];
  text[formatReplayTime(us, text)] = 0;
  return text;
}

std::uint64_t hashOf(const std::vector<std::uint8_t>& state) {
  return stateHash(*gameOf(state));
}

std::uint64_t digestOf(const CoreInstance& core) {
  StateDigest d;
  for (std::uint32_t p : core.picture()) d.add(p & 0xFFFFFF);
  for (std::int16_t s : core.lastAudio) d.add(s);
  return d.value();
}

struct CoreTest : ::testing::Test {
  void SetUp() override {
    setenv("MAZEBLAST_LIBRETRO_SEED", std::to_string(kSeed).c_str(), 1);
    core = std::make_unique<CoreInstance>(MAZEBLAST_CORE_PATH);
    ASSERT_TRUE(core->loaded()) << core->failure();
  }
  std::unique_ptr<CoreInstance> core;
};

TEST_F(CoreTest, KeepsTheContractOfALibretroCore) {
  EXPECT_STREQ(core->info.library_name, "RMO Mazeblast");
  EXPECT_TRUE(core->noGame);
  EXPECT_TRUE(core->xrgb);
  EXPECT_EQ(core->av.geometry.base_width, 849u);
  EXPECT_EQ(core->av.geometry.base_height, 565u);
  EXPECT_NEAR(core->av.geometry.aspect_ratio, 849.0 / 565.0, 1e-6);
  EXPECT_EQ(core->av.timing.fps, 60.0);
  EXPECT_EQ(core->av.timing.sample_rate, 48000.0);
  EXPECT_EQ(core->descriptors[RETRO_DEVICE_ID_JOYPAD_UP], "Walk up");
  EXPECT_EQ(core->descriptors[RETRO_DEVICE_ID_JOYPAD_B], "Drop a bomb / Press the button");
  EXPECT_EQ(core->descriptors[RETRO_DEVICE_ID_JOYPAD_START], "Pause");
  EXPECT_EQ(core->descriptors[RETRO_DEVICE_ID_JOYPAD_SELECT], "Quit the game");
  EXPECT_EQ(core->descriptors[100 + RETRO_DEVICE_ID_ANALOG_X], "Walk left / right");
  // Each run: one picture, the whole of it, and one batch of exactly 800 stereo frames.
  core->runFrames(30);
  EXPECT_EQ(core->videoCalls, 30);
  EXPECT_EQ(core->audioCalls, 30);
  for (std::size_t n : core->audioFramesPerRun) EXPECT_EQ(n, 800u);
  EXPECT_EQ(core->width, 849);
  EXPECT_EQ(core->height, 565);
  // Nothing said but through the log, and nothing to say when all is well.
  EXPECT_TRUE(core->log.empty()) << core->log.front();

  // A reset is a new game on the title screen, as a core just started has it.
  CoreInstance fresh(MAZEBLAST_CORE_PATH);
  ASSERT_TRUE(fresh.loaded());
  fresh.runFrames(5);
  core->run(1u << RETRO_DEVICE_ID_JOYPAD_B);
  core->runFrames(30);
  core->reset();
  core->runFrames(5);
  EXPECT_EQ(core->save(), fresh.save());
}

// What the player does, frame by frame: through the RetroPad or the keyboard callback.
struct Step {
  long frame;
  enum { pad, keyboard } by;
  unsigned code;  // a RetroPad button id, or a RETROK_ key
  bool down;
  const char* sim;  // the same input as the scripted driver takes it
};

TEST_F(CoreTest, PlaysTheGameTheScriptedDriverPlaysFromTheSameInputs) {
  // Start by the pad's south button, walk by pad and keyboard, drop bombs by both, pause by
  // Start; the pictures and states at these frames are compared.
  const std::vector<Step> steps = {
      {20, Step::pad, RETRO_DEVICE_ID_JOYPAD_B, true, "click Cmdstart"},
      {22, Step::pad, RETRO_DEVICE_ID_JOYPAD_B, false, "release 32"},
      {270, Step::pad, RETRO_DEVICE_ID_JOYPAD_RIGHT, true, "press 39"},
      {300, Step::pad, RETRO_DEVICE_ID_JOYPAD_RIGHT, false, "release 39"},
      {301, Step::keyboard, RETROK_SPACE, true, "press 32"},
      {303, Step::keyboard, RETROK_SPACE, false, "release 32"},
      {304, Step::keyboard, RETROK_LEFT, true, "press 37"},
      {340, Step::keyboard, RETROK_LEFT, false, "release 37"},
      {341, Step::pad, RETRO_DEVICE_ID_JOYPAD_DOWN, true, "press 40"},
      {360, Step::pad, RETRO_DEVICE_ID_JOYPAD_DOWN, false, "release 40"},
      {600, Step::pad, RETRO_DEVICE_ID_JOYPAD_B, true, "press 32"},
      {601, Step::pad, RETRO_DEVICE_ID_JOYPAD_B, false, "release 32"},
      {640, Step::pad, RETRO_DEVICE_ID_JOYPAD_START, true, "press 80"},
      {641, Step::pad, RETRO_DEVICE_ID_JOYPAD_START, false, "release 80"},
  };
  const std::vector<long> looks = {0, 21, 150, 299, 330, 500, 620, 700};
  std::string dir = std::filesystem::temp_directory_path() / "mazeblast-core-test-XXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);

  std::ostringstream script;
  script << "floor 16\n";
  auto look = looks.begin();
  auto step = steps.begin();
  std::vector<std::uint64_t> hashes;
  std::vector<std::vector<std::uint32_t>> pictures;
  unsigned buttons = 0;
  for (long f = 0; f <= looks.back(); ++f) {
    for (; step != steps.end() && step->frame == f; ++step) {
      script << "at " << seconds(frameUs(f)) << " " << step->sim << "\n";
      if (step->by == Step::pad)
        buttons = step->down ? buttons | (1u << step->code) : buttons & ~(1u << step->code);
      else
        core->key(step->down, step->code);
    }
    core->run(buttons);
    if (look != looks.end() && *look == f) {
      script << "at " << seconds(frameUs(f + 1)) << " screenshot " << dir << "/" << f << ".png\n"
             << "hash\n";
      hashes.push_back(hashOf(core->save()));
      pictures.push_back(core->picture());
      ++look;
    }
  }
  std::istringstream in(script.str());
  std::ostringstream out, err;
  ASSERT_EQ(runScript(in, out, err, kSeed), 0) << err.str();

  std::istringstream printed(out.str());
  for (std::size_t i = 0; i < looks.size(); ++i) {
    std::string word, hex;
    printed >> word >> hex;
    std::uint64_t simHash = 0;
    ASSERT_TRUE(parseStateHash(hex, simHash)) << out.str();
    EXPECT_EQ(hashes[i], simHash) << "the state at frame " << looks[i];
    const std::string path = dir + "/" + std::to_string(looks[i]) + ".png";
    int w = 0, h = 0, channels = 0;
    stbi_uc* shot = stbi_load(path.c_str(), &w, &h, &channels, 3);
    ASSERT_NE(shot, nullptr) << path;
    ASSERT_EQ(w * h, 849 * 565) << path;
    long differ = 0;
    for (int k = 0; k < w * h; ++k) {
      const std::uint32_t p = pictures[i][k];
      differ += shot[k * 3] != ((p >> 16) & 255) || shot[k * 3 + 1] != ((p >> 8) & 255) ||
                shot[k * 3 + 2] != (p & 255);
    }
    stbi_image_free(shot);
    EXPECT_EQ(differ, 0) << "pixels differ from the screenshot at frame " << looks[i];
  }
  std::filesystem::remove_all(dir);
}

// The mean square of one channel of the last frame's sound.
double loudness(const CoreInstance& core) {
  double sum = 0;
  for (std::size_t i = 0; i < core.lastAudio.size(); i += 2)
    sum += double(core.lastAudio[i]) * core.lastAudio[i];
  return sum / (core.lastAudio.size() / 2);
}

TEST_F(CoreTest, TheCountdownIsHeardAndABurstRumblesUnlessTheSoundIsOff) {
  auto play = [](CoreInstance& c, std::vector<long>* loud) {
    c.runFrames(10);
    c.run(1u << RETRO_DEVICE_ID_JOYPAD_B);  // Start the game
    for (long f = 11; f < 270; ++f) {
      c.run();
      if (loudness(c) > 1e4) loud->push_back(f);
      ASSERT_EQ(c.lastAudio[0 + 2 * 100], c.lastAudio[1 + 2 * 100]);  // the same on both sides
    }
    // A bomb dropped where the player stands, and the player walked away from it.
    c.run(1u << RETRO_DEVICE_ID_JOYPAD_B);
    c.runFrames(5);
    c.runFrames(40, 1u << RETRO_DEVICE_ID_JOYPAD_RIGHT);
    c.runFrames(300);
  };
  std::vector<long> loud;
  play(*core, &loud);
  // "3", "2", "1" and "GO!" come a second apart from the press at frame 10.
  ASSERT_FALSE(loud.empty());
  for (long second : {1, 2, 3}) {
    const long at = 10 + 60 * second;
    EXPECT_TRUE(
        std::any_of(loud.begin(), loud.end(), [&](long f) { return f >= at && f < at + 8; }))
        << "nothing heard near frame " << at;
  }
  ASSERT_FALSE(core->rumble.empty()) << "no rumble on the burst";
  EXPECT_EQ(core->rumble.front().strength, 0xFFFF);
  EXPECT_EQ(core->rumble.back().strength, 0) << "the rumble never stopped";

  CoreInstance quiet(MAZEBLAST_CORE_PATH);
  ASSERT_TRUE(quiet.loaded());
  quiet.setOption("mazeblast_sound", "disabled");
  std::vector<long> loudWhenOff;
  play(quiet, &loudWhenOff);
  EXPECT_TRUE(loudWhenOff.empty());
  EXPECT_TRUE(quiet.rumble.empty());
}

TEST_F(CoreTest, ASavedStateGivesTheGameBackExactlyInThisInstanceAndAnother) {
  // In play: the countdown over, a bomb down, enemies walking.
  core->runFrames(10);
  core->run(1u << RETRO_DEVICE_ID_JOYPAD_B);
  core->runFrames(260);
  core->run(1u << RETRO_DEVICE_ID_JOYPAD_B);
  core->runFrames(20, 1u << RETRO_DEVICE_ID_JOYPAD_DOWN);
  const std::vector<std::uint8_t> state = core->save();
  ASSERT_FALSE(state.empty());
  EXPECT_EQ(core->save().size(), state.size());
  EXPECT_EQ(core->save(), state) << "saving changed the game";
  const std::uint64_t hash = hashOf(state);
  // The same bytes on every build (the release's and the sanitizers', two compilers): the
  // state within its header, as it has been since its layout was set. A change of the
  // layout changes this figure, and the state's form number with it.
  EXPECT_EQ(crc32(state.data() + kStateHeader, state.size() - kStateHeader - kStateTrailer),
            0x0f85e9a1u);

  // The next 600 frames, with inputs, as they went the first time.
  auto next600 = [](CoreInstance& c) {
    std::vector<std::uint64_t> frames;
    for (int f = 0; f < 600; ++f) {
      const unsigned held = (f / 45) % 3 == 0   ? 1u << RETRO_DEVICE_ID_JOYPAD_LEFT
                            : (f / 45) % 3 == 1 ? 1u << RETRO_DEVICE_ID_JOYPAD_UP
                                                : 0;
      c.run(held | (f % 97 == 0 ? 1u << RETRO_DEVICE_ID_JOYPAD_B : 0));
      frames.push_back(digestOf(c));
    }
    return frames;
  };
  const std::vector<std::uint64_t> first = next600(*core);
  const std::vector<std::uint8_t> after = core->save();

  ASSERT_TRUE(core->load(state));
  EXPECT_EQ(hashOf(core->save()), hash);
  EXPECT_EQ(core->save(), state);
  EXPECT_EQ(next600(*core), first) << "in the same instance";
  EXPECT_EQ(core->save(), after);

  CoreInstance second(MAZEBLAST_CORE_PATH);
  ASSERT_TRUE(second.loaded());
  second.runFrames(3);
  ASSERT_EQ(second.save().size(), state.size());
  ASSERT_TRUE(second.load(state));
  EXPECT_EQ(hashOf(second.save()), hash);
  EXPECT_EQ(next600(second), first) << "in a second instance";
  EXPECT_EQ(second.save(), after);

  // A damaged state, one of another size, one of another version and whole ones made by hand
  // that are no game (a bomb slot past the ten, an enemy past the ten) are refused, and
  // the game stays as it was.
  std::vector<std::uint8_t> damaged = state;
  damaged[damaged.size() / 2] ^= 0x10;
  std::vector<std::uint8_t> shorter(state.begin(), state.end() - 1);
  std::vector<std::uint8_t> otherVersion = state;
  otherVersion[6] = '9';
  const std::uint32_t crc = crc32(otherVersion.data(), otherVersion.size() - 4);
  for (int i = 0; i < 4; ++i)
    otherVersion[otherVersion.size() - 4 + i] = std::uint8_t(crc >> (8 * i));
  const std::vector<std::uint8_t> noSlot =
      editedState(state, [](Frmbomb& g) { g.currentbomb = 10; });
  const std::vector<std::uint8_t> noEnemy =
      editedState(state, [](Frmbomb& g) { g.enemylast = 10; });
  ASSERT_TRUE(second.load(editedState(state, [](Frmbomb&) {})));  // sealed again, unchanged
  for (const std::vector<std::uint8_t>& bad : {damaged, shorter, otherVersion, noSlot, noEnemy}) {
    EXPECT_FALSE(core->load(bad));
    EXPECT_EQ(core->save(), after);
  }
  ASSERT_EQ(core->log.size(), 5u);
  EXPECT_NE(core->log[0].find("the state is not loaded: a damaged saved game"), std::string::npos)
      << core->log[0];
}

}  // namespace
}  // namespace mazeblast
