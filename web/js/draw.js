// The page's script, in pieces by concern, each appended to the compiled game's own script in
// this order: draw, layout, clock, sound, input, touch, replay, start. What the pieces share is
// kept on one object.
const mb = {
  W: 849,
  H: 565,
  // Until the game is made, events on the page have no game to go to.
  ready: false
};

// Drawing: the game paints its own 849 x 565 picture, in its drawing order, on a canvas of
// its own; what changed is copied onto the page's canvas a whole number of times larger
// without smoothing, and the compositor scales that to the screen, smoothly where the scale
// is no whole number ("sharp bilinear": every game pixel the same size, every edge sharp).
(function() {
'use strict';
const W = mb.W, H = mb.H;
const canvas = (mb.canvas = document.getElementById('game'));
const view = canvas.getContext('2d', {alpha: false});
const picture = (mb.picture = document.createElement('canvas'));
picture.width = W;
picture.height = H;
const ctx = picture.getContext('2d', {alpha: false});
mb.pictures = [];
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
let clipped = null;

// The game's own faces, compiled into it: the page asks the browser for no font of its own.
const faces = {
  'Arial': '"Mazeblast Arial"',
  'Arial Black': '"Mazeblast Arial Black"',
};
// Each face taken from the game's memory into the page's fonts; a promise of them all.
mb.loadFonts = function() {
  const loaded = [];
  for (let i = 0; i < Module._mb_font_count(); ++i) {
    const bytes = HEAPU8.slice(Module._mb_font_data(i), Module._mb_font_data(i) + Module._mb_font_size(i));
    const face = new FontFace(`Mazeblast ${UTF8ToString(Module._mb_font_family(i))}`, bytes.buffer, {
      weight: String(Module._mb_font_weight(i)),
      style: Module._mb_font_italic(i) ? 'italic' : 'normal',
    });
    document.fonts.add(face);
    loaded.push(face.load());
  }
  return Promise.all(loaded);
};
Module.mbScreen = {
  // Only what changed is drawn: a rectangle cleared to black, and all drawing kept inside
  // it until unclip.
  clip(x, y, w, h) {
    clipped = [x, y, w, h];
    ctx.save();
    ctx.beginPath();
    ctx.rect(x, y, w, h);
    ctx.clip();
    ctx.fillStyle = '#000';
    ctx.fillRect(x, y, w, h);
  },
  unclip() {
    ctx.restore();
    if (times) copy(...clipped);
  },
  picture(id, x, y, w, h) {
    const p = mb.pictures[id];
    if (!p) return;
    const cw = Math.min(w, p.width), ch = Math.min(h, p.height);
    ctx.drawImage(p, 0, 0, cw, ch, x, y, cw, ch);
  },
  fill(x, y, w, h, r, g, b) {
    ctx.fillStyle = `rgb(${r},${g},${b})`;
    ctx.fillRect(x, y, w, h);
  },
  button(x, y, w, h, r, g, b) {
    this.fill(x, y, w, h, r, g, b);
    // A raised face: light above and left, shadow below and right.
    this.fill(x, y, w - 1, 1, 255, 255, 255);
    this.fill(x, y, 1, h - 1, 255, 255, 255);
    this.fill(x, y + h - 1, w, 1, 0, 0, 0);
    this.fill(x + w - 1, y, 1, h, 0, 0, 0);
    this.fill(x + 1, y + h - 2, w - 2, 1, 96, 96, 96);
    this.fill(x + w - 2, y + 1, 1, h - 2, 96, 96, 96);
  },
  text(s, x, y, w, h, r, g, b, family, pixels, weight, italic, align, access) {
    let underline = -1;
    if (access && s.indexOf('&') >= 0) {
      underline = s.indexOf('&');
      s = s.slice(0, underline) + s.slice(underline + 1);
    }
    ctx.save();
    ctx.beginPath();
    ctx.rect(x, y, w, h);
    ctx.clip();  // never spill: a wider stand-in face is cut at the edge
    ctx.font = `${italic ? 'italic ' : ''}${weight} ${pixels}px ${faces[family] || 'sans-serif'}`;
    ctx.fillStyle = `rgb(${r},${g},${b})`;
    ctx.textBaseline = 'alphabetic';
    const m = ctx.measureText(s);
    const ascent = m.fontBoundingBoxAscent || pixels * 0.9;
    const descent = m.fontBoundingBoxDescent || pixels * 0.25;
    const tx = align === 0 ? x : align === 2 ? x + w - m.width : x + Math.floor((w - m.width) / 2);
    // Button captions sit in the middle of the face; label captions at the top.
    const base =
        access ? y + Math.floor((h - ascent - descent) / 2 + ascent) : y + Math.round(ascent);
    ctx.fillText(s, tx, base);
    if (underline >= 0 && underline < s.length) {
      const before = ctx.measureText(s.slice(0, underline)).width;
      const through = ctx.measureText(s.slice(0, underline + 1)).width;
      ctx.fillRect(Math.round(tx + before), base + 1, Math.round(through - before), 1);
    }
    ctx.restore();
  },
};

// The game's pictures, decoded by the game from its own sources, each on a canvas of its own.
// Made into bitmaps off the page's own work, where the browser can; a promise of them all.
mb.loadPictures = function() {
  const made = [];
  for (let i = 0; i < Module._mb_picture_count(); ++i) {
    const w = Module._mb_picture_width(i), h = Module._mb_picture_height(i);
    const rgba = new Uint8ClampedArray(HEAPU8.buffer, Module._mb_picture_rgba(i), w * h * 4);
    made.push(createImageBitmap(new ImageData(new Uint8ClampedArray(rgba), w, h)));
  }
  return Promise.all(made).then((bitmaps) => {
    mb.pictures = bitmaps;
  });
};
})();
