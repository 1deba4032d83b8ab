// Layout: the whole picture always in view, as large as the space allows. A whole number of
// device pixels per game pixel where that fills at least 90 % of the space's limiting side,
// else the fraction that fills it; the compositor scales without smoothing. On a touch
// device the controls go beside the picture (landscape) or below it (portrait) where that
// keeps 90 % of the picture's size, and over its edge, half-transparent, where it would not.
(function() {
'use strict';
const W = mb.W, H = mb.H;
const kKeysLine = 28;  // the keys line under the picture on a desktop
const kBar = 32;       // the replay buttons and the status line above it
const kStrip = 152;    // beside or below the picture: a pad of three 48-pixel targets
const canvas = mb.canvas;
const view = {
  scale: 1,
  left: 0,
  top: 0,
  width: W,
  height: H,
  mode: 'desktop'
};
mb.touchShown = false;

// CSS pixels per game pixel that would fill a space.
function fit(w, h) { return Math.max(0, Math.min(w / W, h / H)); }

function place(el, x, y) {
  el.style.left = `${x}px`;
  el.style.top = `${y}px`;
  const r = el.getBoundingClientRect();
  const over = r.left < view.left + view.width && r.left + r.width > view.left &&
      r.top < view.top + view.height && r.top + r.height > view.top;
  el.classList.toggle('over', over);
}

// The pad on the left, the bomb on the right, both low where the thumbs rest; pause, quit
// and sound at the top right, or between the two where the band below has room.
function placeControls(vw, vh) {
  const pad = document.getElementById('pad'), bomb = document.getElementById('bomb');
  const system = document.getElementById('system');
  if (view.mode === 'side') {
    const y = Math.max(64, Math.min(vh - 152, vh * 0.55 - 72));
    place(pad, (kStrip - 144) / 2, y);
    place(bomb, vw - kStrip + (kStrip - 96) / 2, y + 24);
    place(system, vw - kStrip, 8);
    return;
  }
  // Below the picture, or over its edges as little as the margins allow.
  const sideRoom = view.mode === 'over' ? Math.max(0, view.left) : kStrip;
  place(pad, Math.max(4, (sideRoom - 144) / 2), vh - 148);
  place(bomb, vw - 96 - Math.max(4, (sideRoom - 96) / 2), vh - 124);
  if (view.mode === 'below' && vw >= 144 + 96 + kStrip + 64)
    place(system, (vw - kStrip) / 2, vh - kStrip / 2 - 24);
  else
    place(system, vw - kStrip - 4, 4);
}

mb.layout = function() {
  const vw = window.innerWidth, vh = window.innerHeight, dpr = window.devicePixelRatio || 1;
  let space =
      mb.touchShown ? {x: 0, y: 0, w: vw, h: vh} : {x: 0, y: kBar, w: vw, h: vh - kKeysLine - kBar};
  const full = fit(space.w, space.h) * dpr;  // device pixels per game pixel, all space used
  view.mode = mb.touchShown ? 'over' : 'desktop';
  view.barBelow = false;  // the replay buttons in the band below the picture, not above it
  if (mb.touchShown) {
    if (vw >= vh && fit(vw - 2 * kStrip, vh) * dpr >= 0.9 * full) {
      view.mode = 'side';
      space = {x: kStrip, y: 0, w: vw - 2 * kStrip, h: vh};
    } else if (fit(vw, vh - kStrip - kBar) * dpr >= 0.9 * full) {
      view.mode = 'below';
      space = {x: 0, y: kBar, w: vw, h: vh - kStrip - kBar};
    } else if (fit(vw, vh - kStrip) * dpr >= 0.9 * full) {
      view.mode = 'below';
      view.barBelow = true;
      space = {x: 0, y: 0, w: vw, h: vh - kStrip};
    }
  }
  const most = fit(space.w, space.h) * dpr, whole = Math.floor(most);
  view.scale = whole >= 1 && whole >= 0.9 * full ? whole : most;
  // The page's canvas holds the picture the next whole number of times, shown as it is at a
  // whole-number scale and smoothly scaled down between.
  const exact = Math.abs(view.scale - Math.round(view.scale)) < 1e-6;
  view.times = Math.max(1, exact ? Math.round(view.scale) : Math.ceil(view.scale));
  mb.setTimes(view.times);
  canvas.classList.toggle('smooth', !exact);
  // Whole device pixels for the picture's size; where it is smoothed, whole CSS pixels too
  // (the browser lays out in sixty-fourths of one: a size a third of a pixel off would be
  // smoothed a little off as well), at most a device pixel or two from the picture's shape.
  let pw = Math.max(1, Math.round(W * view.scale)), ph = Math.max(1, Math.round(H * view.scale));
  if (!exact && Number.isInteger(dpr))
    pw = Math.max(dpr, Math.floor(pw / dpr) * dpr), ph = Math.max(dpr, Math.floor(ph / dpr) * dpr);
  view.width = pw / dpr;
  view.height = ph / dpr;
  // Its corner at a whole CSS pixel: the browser lays out in sixty-fourths of one, and a
  // place a third of a pixel off would land a device pixel away from where it is meant to.
  view.left = Math.round(space.x + (space.w - view.width) / 2);
  view.top = Math.round(space.y + (space.h - view.height) / 2);
  canvas.style.width = `${view.width}px`;
  canvas.style.height = `${view.height}px`;
  canvas.style.left = `${view.left}px`;
  canvas.style.top = `${view.top}px`;
  if (mb.touchShown) placeControls(vw, vh);
  placeReplay(vw);
  // Placed: now it may be seen, so that nothing on the page moves as it appears.
  document.body.classList.add('laid-out');
};

// The replay buttons along the top of the page; on a touch device in a grid at the top left
// (beside the picture where it stands between strips), or in the band below the picture
// where the top has no room. The status line beside them, or over the picture's top.
function placeReplay(vw) {
  const bar = document.getElementById('replay'), status = document.getElementById('status');
  // A row where the page is wide enough for it beside pause, quit and sound.
  const grid = mb.touchShown && (view.mode !== 'below' || (!view.barBelow && vw < 600));
  bar.classList.toggle('grid', grid);
  status.classList.toggle('float', grid);
  if (grid) {
    place(bar, view.mode === 'side' ? 2 : 4, 4);
    status.style.left = `${view.left}px`;
    status.style.width = `${view.width}px`;
    status.style.top = `${view.top}px`;
  } else if (view.barBelow) {
    // Centred at the top of the band, between the pad and the bomb.
    place(
        bar, Math.max(4, (window.innerWidth - bar.offsetWidth) / 2),
        window.innerHeight - kStrip + 4);
  } else {
    bar.classList.remove('over');
    bar.style.left = bar.style.top = status.style.left = status.style.top = status.style.width = '';
  }
}

// A point of the page in the game's picture.
mb.toPicture = function(clientX, clientY) {
  const r = canvas.getBoundingClientRect();
  return [
    Math.floor((clientX - r.left) * W / r.width), Math.floor((clientY - r.top) * H / r.height)
  ];
};

// Where the picture stands on the page, for whoever wants to know.
Module.mbView = () => Object.assign({}, view);

window.addEventListener('resize', mb.layout);
})();
