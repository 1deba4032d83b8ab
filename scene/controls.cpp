#include "scene/controls.h"

#include <cstdlib>

#include "scene/registry.h"

namespace mazeblast {

int stickArrow(int x, int y) {
  // About a third of the throw: a resting stick never walks the player.
  constexpr int kDeadZone = 12000;
  if (std::abs(x) < kDeadZone && std::abs(y) < kDeadZone) return 0;
  if (std::abs(x) >= std::abs(y)) return x > 0 ? kKeyRight : kKeyLeft;
  return y > 0 ? kKeyDown : kKeyUp;
}

namespace {

// Whether button b is shown and under a point of the game's 849 x 565 picture.
bool over(const Frmbomb& game, int b, int x, int y) {
  const Button& btn = game.*kButtons[b].button;
  const int l = btn.Left / kTwipsPerPixel, t = btn.Top / kTwipsPerPixel;
  return btn.Visible && x >= l && x < l + btn.Width / kTwipsPerPixel && y >= t &&
         y < t + btn.Height / kTwipsPerPixel;
}

// The shown button under a point, or -1.
int buttonAt(const Frmbomb& game, int x, int y) {
  for (int b = 0; b < 4; ++b)
    if (over(game, b, x, y)) return b;
  return -1;
}

}  // namespace

void Controls::click(int button) {
  if (log_) log_->click(button);
  // Called through the table's own entry: GCC's -O1 with the sanitizers takes a member
  // pointer read by index for one that may be uninitialized.
  for (const ButtonBinding& b : kButtons)
    if (&b == &kButtons[button]) (game_.*b.click)();
  changed_ = true;
}

bool Controls::pressButton(int accessKey, bool anyShown) {
  for (int b = 0; b < 4; ++b) {
    const Button& btn = game_.*kButtons[b].button;
    if (btn.Visible && (anyShown || btn.accessKey() == accessKey)) {
      click(b);
      return true;
    }
  }
  return false;
}

bool Controls::pressShown() {
  return pressButton(0, true);
}

void Controls::key(int code, bool down, int shift) {
  if (code <= 0 || code > 255) return;
  if (log_ && !quiet_) log_->key(code, down);
  held_[code] = down;
  if (!game_.keysReachPic1()) return;  // lost, as the game has always had it
  if (down)
    game_.Pic1_KeyDown(code, shift);
  else
    game_.Pic1_KeyUp(code, shift);
  changed_ = true;
}

void Controls::keyDown(int code, bool alt, bool repeat, int shift) {
  if (alt && pressButton(code, false)) return;
  if (code == kKeyEnter && !repeat && pressShown()) return;
  if (code == kKeyM && !repeat) muted_ = !muted_;
  key(code, true, shift);
}

void Controls::keyUp(int code, int shift) {
  key(code, false, shift);
}

void Controls::stick(int arrow) {
  if (arrow == stick_) return;
  if (stick_) key(stick_, false, 0);
  stick_ = arrow;
  if (arrow) key(arrow, true, 0);
}

void Controls::pointerDown(int x, int y) {
  pointerDownOn_ = buttonAt(game_, x, y);
}

void Controls::pointerUp(int x, int y) {
  if (pointerDownOn_ >= 0 && over(game_, pointerDownOn_, x, y)) click(pointerDownOn_);
  pointerDownOn_ = -1;
}

void Controls::pauseIfAway() {
  // The same operation as P, taken only where P would pause; P alone resumes.
  if (!focused_ && game_.paused == 0 && game_.Tmr2.enabled() && game_.keysReachPic1()) {
    game_.Pic1_KeyDown(kKeyP, 0);
    changed_ = true;
  }
}

void Controls::focus(bool on) {
  if (log_) log_->focus(on);
  focused_ = on;
  if (on) return;
  quiet_ = true;
  for (int k = 0; k < 256; ++k)
    if (held_[k]) key(k, false, 0);
  quiet_ = false;
  stick_ = 0;
  pauseIfAway();
}

void Controls::afterTick() {
  changed_ = true;
  pauseIfAway();
}

}  // namespace mazeblast
