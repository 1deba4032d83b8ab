// The page's script, in pieces by concern, each appended to the compiled game's own script in
// this order: draw, layout, clock, sound, input, touch, replay, start. What the pieces share is
// kept on one object.
const mb = {
  W: 849,
  H: 565,
  // Until the game is made, events on the page have no game to go to.
  ready: false
};

// Drawing: the game paints its own 849 x 565 picture in its memory; what changed is put on a
// canvas of the picture's own size, and from there copied onto the page's canvas a whole
// number of times larger without smoothing, and the compositor scales that to the screen,
// smoothly where the scale is no whole number ("sharp bilinear": every game pixel the same
// size, every edge sharp).
(function() {
'use strict';
const W = mb.W, H = mb.H;
const canvas = (mb.canvas = document.getElementById('game'));
const view = canvas.getContext('2d', {alpha: false});
const picture = (mb.picture = document.createElement('canvas'));
picture.width = W;
picture.height = H;
const ctx = picture.getContext('2d', {alpha: false});
Module.mbPicture = picture;  // the game's own pixels, for whoever wants to know

// The page's canvas at `times` the picture: made anew (and drawn whole) when that changes.
let times = 0;
mb.setTimes = function(k) {
  if (k === times) return;
  times = k;
  canvas.width = W * k;
  canvas.height = H * k;
  copy(0, 0, W, H);
};
function copy(x, y, w, h) {
  view.imageSmoothingEnabled = false;
  view.drawImage(picture, x, y, w, h, x * times, y * times, w * times, h * times);
}
Module.mbScreen = {
  // A changed rectangle of the game's picture, from the game's memory.
  put(rgba, x, y, w, h) {
    ctx.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4), w, h), x, y);
    if (times) copy(x, y, w, h);
  },
};
})();
