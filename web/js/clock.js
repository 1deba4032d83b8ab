// The game's timers on the browser's clock, and painting on animation frames.
(function() {
'use strict';

let paintPending = false;
function paint() {
  paintPending = false;
  // A tick due while the frame is drawn would wait for it: it runs first.
  if (wanted >= 0 && performance.now() >= wanted - 2) pump();
  if (Module._mb_changed()) Module._mb_paint();
  mb.pollPads();
}
mb.requestPaint = function() {
  if (!paintPending) {
    paintPending = true;
    requestAnimationFrame(paint);
  }
};

// The browser's timeouts come a few milliseconds late, steadily: the page asks for its
// wake-up that much early, as learned, and a tick found less than 2 ms ahead of its due
// time runs then, at its due time.
let timer = 0, wanted = -1, period = 0, lead = 0;
// How far from its due time each wake-up ran, in ms, with the period of its timer.
Module.lateness = [];
function pump() {
  clearTimeout(timer);
  let now = performance.now();
  if (wanted >= 0) {
    if (now < wanted - 2) {
      schedule(wanted);
      return;
    }
    lead = Math.min(8, Math.max(0, lead + 0.25 * (now - wanted)));
    Module.lateness.push([period, now - wanted]);
    if (Module.lateness.length > 5000) Module.lateness.shift();
    now = Math.max(now, wanted);
  }
  const due = Module._mb_run(now);
  mb.flushSounds();
  mb.showStatus();
  if (Module._mb_changed()) mb.requestPaint();
  schedule(due);
}
mb.pump = pump;
function schedule(due) {
  wanted = due;
  period = Module._mb_next_interval();
  if (due >= 0) timer = setTimeout(pump, Math.max(0, due - lead - performance.now()));
}

// After every event the game was told of: its sounds, the screen, and the timers again.
mb.after = function() {
  mb.flushSounds();
  mb.showSound();
  mb.showStatus();
  mb.requestPaint();
  clearTimeout(timer);
  wanted = -1;
  pump();
};
})();
