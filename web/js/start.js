// The start: the game made, its pictures decoded, the first frame drawn, the timers running;
// then the page kept for playing with no network.
(function() {
'use strict';
Module.onRuntimeInitialized = function() {
  Module._mb_start(performance.now(), Date.now() % 4294967296);
  mb.ready = true;
  mb.loadPictures();
  mb.soundEvents();
  mb.layout();
  mb.canvas.focus();
  Module._mb_paint();
  Module.firstFrameAt = performance.now();
  mb.pump();
  mb.openLink();
  // The sounds are made while the page is idle after the first frame, not at the first key.
  (window.requestIdleCallback || setTimeout)(() => {
    const start = performance.now();
    Module._mb_make_sounds();
    Module.soundsSynthesizedIn = performance.now() - start;  // ms, for whoever wants to know
  });
};

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
