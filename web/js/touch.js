// Touch controls: a pad that walks while held, a bomb button, and pause, quit and sound.
// Shown where the main pointer is coarse, or from the first touch anywhere; never for a
// mouse. Each is a real button, for assistive technology as much as for fingers.
(function() {
'use strict';
const touch = document.getElementById('touch');
const coarse = window.matchMedia('(pointer: coarse)');

function show() {
  if (mb.touchShown) return;
  mb.touchShown = true;
  touch.hidden = false;
  document.body.classList.add('touch');
  // Before the game is made, its first frame lays the page out.
  if (mb.ready) mb.layout();
}
if (coarse.matches) show();
coarse.addEventListener('change', () => coarse.matches && show());
window.addEventListener('pointerdown', (e) => e.pointerType === 'touch' && show(), true);

// Activated without a pointer (a screen reader, a switch, the keyboard): a short press.
function tapped(e, code) {
  if (e.detail !== 0) return;
  mb.key(code, true);
  setTimeout(() => mb.key(code, false), 150);
}

// The pad acts as the arrow keys. It holds on to the finger that pressed it, so that the
// finger let go anywhere, however far it slid, lets go of the arrow; sliding onto another
// way switches to it.
const pad = document.getElementById('pad');
const arrowButtons = {};
for (const b of pad.querySelectorAll('button')) {
  const code = Number(b.dataset.key);
  arrowButtons[code] = b;
  b.addEventListener('click', (e) => tapped(e, code));
}
let padFinger = null, held = 0;
function hold(code) {
  if (code === held) return;
  if (held) {
    arrowButtons[held].classList.remove('held');
    mb.key(held, false);
  }
  held = code;
  if (held) {
    arrowButtons[held].classList.add('held');
    mb.key(held, true);
  }
}
function aim(e) {
  const r = pad.getBoundingClientRect();
  const dx = e.clientX - (r.left + r.width / 2), dy = e.clientY - (r.top + r.height / 2);
  if (Math.abs(dx) < 12 && Math.abs(dy) < 12) return;  // the middle keeps the way held
  hold(Math.abs(dx) >= Math.abs(dy) ? (dx > 0 ? 39 : 37) : (dy > 0 ? 40 : 38));
}
pad.addEventListener('pointerdown', (e) => {
  e.preventDefault();
  if (padFinger !== null) return;
  padFinger = e.pointerId;
  pad.setPointerCapture(e.pointerId);
  aim(e);
});
pad.addEventListener('pointermove', (e) => {
  if (e.pointerId === padFinger) aim(e);
});
function padLetGo(e) {
  if (e.pointerId !== padFinger) return;
  padFinger = null;
  hold(0);
}
for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
  pad.addEventListener(type, padLetGo);

// The bomb button is Space: held by any of the fingers on it.
const bomb = document.getElementById('bomb');
const bombFingers = new Set();
bomb.addEventListener('pointerdown', (e) => {
  e.preventDefault();
  bomb.setPointerCapture(e.pointerId);
  if (bombFingers.size === 0) {
    bomb.classList.add('held');
    mb.key(32, true);
  }
  bombFingers.add(e.pointerId);
});
function bombLetGo(e) {
  if (!bombFingers.delete(e.pointerId) || bombFingers.size) return;
  bomb.classList.remove('held');
  mb.key(32, false);
}
for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
  bomb.addEventListener(type, bombLetGo);
bomb.addEventListener('click', (e) => tapped(e, 32));

// Pause, quit and sound are P, Q and M.
for (const id of ['pause', 'quit', 'sound']) {
  const b = document.getElementById(id);
  b.addEventListener('click', () => {
    mb.key(Number(b.dataset.key), true);
    mb.key(Number(b.dataset.key), false);
  });
}
const sound = document.getElementById('sound');
mb.showSound = function() {
  const on = Module._mb_muted() ? 'false' : 'true';
  if (sound.getAttribute('aria-pressed') !== on) sound.setAttribute('aria-pressed', on);
};
})();
