// The window's input: keys, pads, the mouse, the focus, and the scale of the picture.
#include <SDL.h>
#include <gtest/gtest.h>

#include "desktop/audio.h"
#include "desktop/input.h"
#include "desktop/window.h"
#include "tests/game_fixture.h"

namespace mazeblast {
namespace {

TEST(Scale, LargestWholeNumberThatFitsTheScreen) {
  const struct {
    int w, h, scale;
  } screens[] = {{800, 600, 1},   {1366, 768, 1},  {1920, 1080, 1}, {1920, 1200, 2},
                 {2560, 1440, 2}, {2560, 1600, 2}, {3840, 2160, 3}, {5120, 2880, 5},
                 {1698, 1130, 2}, {1697, 1130, 1}};
  for (const auto& s : screens) EXPECT_EQ(chooseScale(s.w, s.h), s.scale) << s.w << "x" << s.h;
}

TEST(Scale, TheWindowOpensAsLargeAsTheScreenTakesItsShape) {
  const struct {
    int w, h, scale;
    bool whole;
    WindowSize size;
  } screens[] = {
      {1920, 1080, 0, false, {1623, 1080}},  // fills the height
      {1920, 1055, 0, false, {1585, 1055}},  // less a window's frame
      {3840, 2160, 0, false, {3246, 2160}}, {1280, 800, 0, false, {1202, 800}},
      {2560, 1000, 0, false, {1503, 1000}}, {1000, 1500, 0, false, {1000, 665}},  // the width
      {800, 600, 0, false, {849, 565}},  // never below the picture's own size
      {1920, 1080, 0, true, {849, 565}},    {2560, 1440, 0, true, {1698, 1130}},
      {1920, 1080, 3, false, {2547, 1695}}, {1920, 1080, 2, true, {1698, 1130}},
  };
  for (const auto& s : screens) {
    const WindowSize size = openingSize(s.w, s.h, s.scale, s.whole);
    EXPECT_EQ(size.w, s.size.w) << s.w << "x" << s.h;
    EXPECT_EQ(size.h, s.size.h) << s.w << "x" << s.h;
  }
}

struct Input : GameTest {
  Controls controls{f};
  InputRouter router{controls};
  SDL_Event keyEvent(Uint32 type, SDL_Keycode sym, Uint16 mod = 0, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
  }
  void send(const SDL_Event& e) { router.handle(e); }
  void press(SDL_Keycode sym, Uint16 mod = 0) { send(keyEvent(SDL_KEYDOWN, sym, mod)); }
  void release(SDL_Keycode sym) { send(keyEvent(SDL_KEYUP, sym)); }
  void window(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    send(e);
  }
  void pad(Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    e.cbutton.button = button;
    send(e);
  }
  void stick(Uint8 axis, Sint16 value) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.axis = axis;
    e.caxis.value = value;
    e.caxis.which = 12345;  // no such pad opened: the event's own value counts
    send(e);
  }
};

TEST_F(Input, KeysBecomeVirtualKeysAndButtonsTakeEnterAndAltLetters) {
  EXPECT_EQ(virtualKey(SDLK_LEFT), 37);
  EXPECT_EQ(virtualKey(SDLK_DOWN), 40);
  EXPECT_EQ(virtualKey(SDLK_p), 80);
  EXPECT_EQ(virtualKey(SDLK_SPACE), 32);
  EXPECT_EQ(virtualKey(SDLK_F5), 0);
  press(SDLK_SPACE);  // space never presses a button
  EXPECT_TRUE(f.Cmdstart.Visible);
  press(SDLK_p);  // the start button holds the focus: no pause on the title screen
  EXPECT_EQ(f.paused, 0);
  press(SDLK_s, KMOD_LALT);
  EXPECT_FALSE(f.Cmdstart.Visible);
  wait(4000);
  press(SDLK_RIGHT);
  EXPECT_EQ(f.direction, 1);
  release(SDLK_RIGHT);
  EXPECT_EQ(f.direction, 0);
  press(SDLK_q);
  ASSERT_TRUE(f.Cmdnew.Visible);
  press(SDLK_RETURN);
  EXPECT_TRUE(f.Cmdstart.Visible);
}

TEST_F(Input, LosingTheFocusReleasesKeysAndPausesUntilP) {
  startPlaying();
  press(SDLK_LEFT);
  EXPECT_EQ(f.direction, 3);
  window(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_EQ(f.direction, 0);
  EXPECT_EQ(f.paused, 1);
  EXPECT_TRUE(f.Lblpause.Visible);
  EXPECT_FALSE(f.Tmr2.enabled() || f.Tmr8.enabled());
  window(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(f.paused, 1);  // coming back does not resume by itself
  press(SDLK_p);
  EXPECT_EQ(f.paused, 0);
  EXPECT_TRUE(f.Tmr2.enabled());
  window(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_EQ(f.paused, 1);
  window(SDL_WINDOWEVENT_FOCUS_LOST);  // already paused: stays paused
  EXPECT_EQ(f.paused, 1);
}

TEST_F(Input, GoWhileAwayStartsPaused) {
  f.Cmdstart_Click();
  window(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_EQ(f.paused, 0);  // nothing to pause in the countdown
  wait(4000);
  controls.afterTick();  // the window loop does this after every tick
  EXPECT_EQ(f.paused, 1);
  EXPECT_FALSE(f.Tmr2.enabled());
}

TEST_F(Input, PadButtonsAndStickActAsTheKeys) {
  EXPECT_EQ(controllerKey(SDL_CONTROLLER_BUTTON_DPAD_UP), 38);
  EXPECT_EQ(controllerKey(SDL_CONTROLLER_BUTTON_B), 0);
  pad(SDL_CONTROLLER_BUTTON_A, true);  // the south button presses "Start the game"
  pad(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_FALSE(f.Cmdstart.Visible);
  wait(4000);
  pad(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  EXPECT_EQ(f.direction, 1);
  pad(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
  EXPECT_EQ(f.direction, 0);
  pad(SDL_CONTROLLER_BUTTON_A, true);  // no button shown: a bomb
  EXPECT_EQ(f.bombactive(0), 1);
  stick(SDL_CONTROLLER_AXIS_LEFTX, 5000);  // inside the dead zone
  EXPECT_EQ(f.direction, 0);
  stick(SDL_CONTROLLER_AXIS_LEFTX, -30000);
  EXPECT_EQ(f.direction, 3);
  stick(SDL_CONTROLLER_AXIS_LEFTY, 32767);
  EXPECT_EQ(f.direction, 2);
  stick(SDL_CONTROLLER_AXIS_LEFTY, 0);
  EXPECT_EQ(f.direction, 0);
  pad(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(f.paused, 1);
  pad(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(f.paused, 0);
  pad(SDL_CONTROLLER_BUTTON_BACK, true);
  EXPECT_TRUE(f.Cmdnew.Visible);
}

TEST(StickArrow, DominantAxisPastTheDeadZone) {
  EXPECT_EQ(stickArrow(0, 0), 0);
  EXPECT_EQ(stickArrow(11999, -11999), 0);
  EXPECT_EQ(stickArrow(20000, 15000), 39);
  EXPECT_EQ(stickArrow(-15000, 20000), 40);
  EXPECT_EQ(stickArrow(0, -32768), 38);
}

TEST_F(Input, TheMouseUpPressesTheButtonItWentDownOn) {
  f.Cmdcont2.Visible = true;  // level done
  auto mouse = [&](Uint32 type) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 5280 / 15 + 20;
    e.button.y = 5160 / 15 + 10;
    send(e);
  };
  mouse(SDL_MOUSEBUTTONDOWN);
  f.Cmdcont.Visible = true;  // "&Play next life" comes up in the same place, with the same letter
  mouse(SDL_MOUSEBUTTONUP);
  EXPECT_FALSE(f.Cmdcont2.Visible);  // pressed
  EXPECT_TRUE(f.Cmdcont.Visible);    // not pressed
  EXPECT_TRUE(f.Tmr3.enabled());
}

// SDL's own stand-in pads, on the dummy video driver: each pad is opened once however often
// it is announced, and closed when it goes; and text input is off for the window.
TEST(Pads, OpenedOnceAndClosedWhenUnplugged) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  {
    Frmbomb f;
    Controls controls(f);
    InputRouter router(controls);
    EXPECT_FALSE(SDL_IsTextInputActive());
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int device = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(device));
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
    SDL_Event added{};
    added.type = SDL_CONTROLLERDEVICEADDED;
    added.cdevice.which = device;
    router.handle(added);
    router.handle(added);  // announced again
    EXPECT_EQ(router.padsOpen(), 1);
    EXPECT_NE(SDL_GameControllerFromInstanceID(id), nullptr);
    SDL_Event removed{};
    removed.type = SDL_CONTROLLERDEVICEREMOVED;
    removed.cdevice.which = id;
    router.handle(removed);
    EXPECT_EQ(router.padsOpen(), 0);
    EXPECT_EQ(SDL_GameControllerFromInstanceID(id), nullptr);
    SDL_JoystickDetachVirtual(device);
  }
  SDL_Quit();
}

// M turns the sound off and on and still reaches the game, which has no use for it; the
// game is silent while its window is away.
TEST_F(Input, MMutesAndTheWindowAwayIsSilent) {
  startPlaying();
  press(SDLK_m);
  EXPECT_TRUE(controls.muted());
  press(SDLK_m);
  EXPECT_FALSE(controls.muted());
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SoundPlayer sound(80);
  window(SDL_WINDOWEVENT_FOCUS_LOST);
  sound.setSilent(controls.muted() || !controls.focused());  // as the window loop does
  EXPECT_TRUE(sound.silent());
  window(SDL_WINDOWEVENT_FOCUS_GAINED);
  sound.setSilent(controls.muted() || !controls.focused());
  EXPECT_FALSE(sound.silent());
}

}  // namespace
}  // namespace mazeblast
