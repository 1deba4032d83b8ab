// The start: the game made, the page laid out, the first frame drawn, the timers running;
// then the page kept for playing with no network.
(function() {
'use strict';
// In steps, each a task of its own, so that the page answers between them as it loads and no
// moment of the start is long on a slow phone; events wait for the last. A step that returns
// true has more to do and comes again.
const steps = [
  () => Module._mb_start(performance.now(), Date.now() % 4294967296),
  () => {
    mb.soundEvents();
    mb.layout();
  },
  () => mb.canvas.focus(),
  // The letters of the first frame's captions, as many as a few milliseconds allow at a time.
  () => {
    const start = performance.now();
    while (Module._mb_set_caption())
      if (performance.now() - start > 4) return true;
    return false;
  },
  firstFrame,
];
function next() {
  if (!steps[0]()) steps.shift();
  if (steps.length) setTimeout(next);
}
Module.onRuntimeInitialized = next;

function firstFrame() {
  Module._mb_paint();
  Module.firstFrameAt = performance.now();
  mb.ready = true;
  mb.pump();
  mb.openLink();
  // The sounds are made while the page is idle after the first frame, a sound at a time, not
  // at the first key.
  const idle = window.requestIdleCallback || setTimeout;
  let making = 0;
  idle(function make() {
    const start = performance.now();
    const more = Module._mb_make_sound();
    making += performance.now() - start;
    if (more) return idle(make);
    Module.soundsSynthesizedIn = making;  // ms, for whoever wants to know
  });
}

// A canvas the browser had to drop (short of memory, say) comes back blank: all of it again.
mb.canvas.addEventListener('contextrestored', () => {
  Module._mb_paint_all();
  mb.requestPaint();
});

// Every file of the page is kept by the service worker at the first visit, so that the next
// one plays offline; a new build is taken at the visit after it appears.
if ('serviceWorker' in navigator && window.isSecureContext) {
  window.addEventListener('load', () => {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  });
}
})();
