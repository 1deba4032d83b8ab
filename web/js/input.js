// Keys, the pointer on the picture, pads and the page's focus, turned into the game's
// controls as on the desktop.
(function() {
'use strict';
const canvas = mb.canvas;

// A key for the game, pressed or let go, now.
mb.key = function(code, down) {
  if (!mb.ready) return;
  mb.startAudio();
  Module._mb_key(performance.now(), code, down ? 1 : 0, 0, 0);
  mb.after();
};

function virtualKey(e) {
  const named = {
    ArrowLeft: 37,
    ArrowUp: 38,
    ArrowRight: 39,
    ArrowDown: 40,
    Space: 32,
    Enter: 13,
    NumpadEnter: 13,
    Escape: 27,
    // + and -, which only a watched recording takes
    Equal: 187,
    NumpadAdd: 187,
    Minus: 189,
    NumpadSubtract: 189
  };
  if (e.code in named) return named[e.code];
  if (/^Key[A-Z]$/.test(e.code)) return e.code.charCodeAt(3);
  if (/^Digit[0-9]$/.test(e.code)) return e.code.charCodeAt(5);
  return 0;
}
// Enter and Space on one of the page's own buttons press that button, as on any page.
function forPageButton(e, code) {
  return (code === 13 || code === 32) && e.target instanceof HTMLButtonElement;
}
window.addEventListener('keydown', (e) => {
  const code = virtualKey(e);
  if (!mb.ready || !code || forPageButton(e, code)) return;
  e.preventDefault();  // no scrolling, no menus
  mb.startAudio();
  Module._mb_key(performance.now(), code, 1, e.altKey ? 1 : 0, e.repeat ? 1 : 0);
  mb.after();
});
window.addEventListener('keyup', (e) => {
  const code = virtualKey(e);
  if (!mb.ready || !code || forPageButton(e, code)) return;
  e.preventDefault();
  Module._mb_key(performance.now(), code, 0, 0, 0);
  mb.after();
});

// A click or a tap presses the game's button it went down and came up on.
function pointer(down, e) {
  e.preventDefault();
  if (!mb.ready) return;
  const [x, y] = mb.toPicture(e.clientX, e.clientY);
  Module._mb_pointer(performance.now(), down, x, y);
  mb.after();
}
canvas.addEventListener('pointerdown', (e) => {
  canvas.focus();
  pointer(1, e);
});
canvas.addEventListener('pointerup', (e) => pointer(0, e));
// Any touch or click on the page may start the sound, as a key does.
window.addEventListener('pointerdown', () => mb.startAudio(), true);

// No long-press menu, no double-tap zoom, no selection anywhere on the page.
for (const type of ['contextmenu', 'dblclick', 'selectstart', 'gesturestart'])
  document.addEventListener(type, (e) => e.preventDefault(), {passive: false});

function focus(on) {
  if (!mb.ready) return;
  Module._mb_focus(performance.now(), on ? 1 : 0);
  mb.after();
}
window.addEventListener('blur', () => focus(false));
window.addEventListener('focus', () => focus(true));
document.addEventListener('visibilitychange', () => focus(!document.hidden && document.hasFocus()));

// Pads with the standard mapping, as the desktop maps them, polled on animation frames
// while one is connected.
const padButtons = {
  12: 38,
  13: 40,
  14: 37,
  15: 39,
  9: 80,
  8: 81
};
const padWas = {};
let padsConnected = 0;
window.addEventListener('gamepadconnected', () => {
  ++padsConnected;
  mb.requestPaint();
});
window.addEventListener('gamepaddisconnected', () => {
  --padsConnected;
});
mb.pollPads = function() {
  if (!mb.ready || padsConnected <= 0 || !navigator.getGamepads) return;
  const now = performance.now();
  let moved = false;
  for (const pad of navigator.getGamepads()) {
    if (!pad || pad.mapping !== 'standard') continue;
    const was = padWas[pad.index] || (padWas[pad.index] = {stick: ''});
    pad.buttons.forEach((b, i) => {
      if (b.pressed === !!was[i]) return;
      was[i] = b.pressed;
      moved = true;
      if (i === 0) {  // south: the button on the screen, else a bomb
        if (b.pressed && Module._mb_press_shown(now)) return;
        Module._mb_key(now, 32, b.pressed ? 1 : 0, 0, 0);
      } else if (padButtons[i]) {
        Module._mb_key(now, padButtons[i], b.pressed ? 1 : 0, 0, 0);
      }
    });
    const x = Math.round(pad.axes[0] * 32767), y = Math.round(pad.axes[1] * 32767);
    if (was.stick !== `${x},${y}`) {
      was.stick = `${x},${y}`;
      moved = true;
      Module._mb_stick(now, x, y);
    }
  }
  if (moved) mb.after();
  mb.requestPaint();  // the next frame polls again
};
})();
