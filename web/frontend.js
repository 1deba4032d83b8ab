// The page around the game: one canvas, the browser's keys, pointer, pads and focus turned
// into the game's controls, the game's timers on the browser's clock, its sounds through Web
// Audio. Appended to the compiled game's own script.
(function () {
  'use strict';
  const W = 849, H = 565;
  const canvas = document.getElementById('game');
  const view = canvas.getContext('2d');
  const screen = document.createElement('canvas');
  screen.width = W;
  screen.height = H;
  const ctx = screen.getContext('2d');
  const pictures = [];
  let scale = 1, offsetX = 0, offsetY = 0;

  // ---- Drawing: called by the game, in its drawing order ----
  const faces = { 'Arial': '"Arial", "Liberation Sans", sans-serif',
                  'Arial Black': '"Arial Black", "DejaVu Sans", sans-serif' };
  Module.mbScreen = {
    clear() { ctx.fillStyle = '#000'; ctx.fillRect(0, 0, W, H); },
    picture(id, x, y, w, h) {
      const p = pictures[id];
      if (!p) return;
      const cw = Math.min(w, p.width), ch = Math.min(h, p.height);
      ctx.drawImage(p, 0, 0, cw, ch, x, y, cw, ch);
    },
    fill(x, y, w, h, r, g, b) { ctx.fillStyle = `rgb(${r},${g},${b})`; ctx.fillRect(x, y, w, h); },
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
      const base = access ? y + Math.floor((h - ascent - descent) / 2 + ascent) : y + Math.round(ascent);
      ctx.fillText(s, tx, base);
      if (underline >= 0 && underline < s.length) {
        const before = ctx.measureText(s.slice(0, underline)).width;
        const through = ctx.measureText(s.slice(0, underline + 1)).width;
        ctx.fillRect(Math.round(tx + before), base + 1, Math.round(through - before), 1);
      }
      ctx.restore();
    },
  };

  // The largest whole-number scale that fits, in device pixels, centred on black.
  function present() {
    const dpr = window.devicePixelRatio || 1;
    const cw = Math.max(1, Math.round(canvas.clientWidth * dpr));
    const ch = Math.max(1, Math.round(canvas.clientHeight * dpr));
    if (canvas.width !== cw || canvas.height !== ch) { canvas.width = cw; canvas.height = ch; }
    scale = Math.max(1, Math.floor(Math.min(cw / W, ch / H)));
    offsetX = Math.floor((cw - W * scale) / 2);
    offsetY = Math.floor((ch - H * scale) / 2);
    view.imageSmoothingEnabled = false;
    view.fillStyle = '#000';
    view.fillRect(0, 0, cw, ch);
    view.drawImage(screen, offsetX, offsetY, W * scale, H * scale);
  }

  let paintPending = false;
  function paint() {
    paintPending = false;
    // A tick due while the frame is drawn would wait for it: it runs first.
    if (wanted >= 0 && performance.now() >= wanted - 2) pump();
    if (Module._mb_changed()) {
      Module._mb_paint();
      present();
    }
    pollPads();
  }
  function requestPaint() {
    if (!paintPending) { paintPending = true; requestAnimationFrame(paint); }
  }

  // ---- Sound: the game's own samples through Web Audio, from the first key or click ----
  let audio = null;
  const buffers = [];
  Module.heard = [];  // every sound played, by name: for whoever wants to know
  function startAudio() {
    if (audio) return;
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    audio = new Context();
    const gain = audio.createGain();
    gain.gain.value = 102 / 128;  // the desktop's default volume, 80 %
    gain.connect(audio.destination);
    audio.mbOut = gain;
    for (let e = 0; e < 16; ++e) {
      const n = Module._mb_sound_length(e);
      const data = new Int16Array(HEAP16.buffer, Module._mb_sound_data(e), n);
      const buffer = audio.createBuffer(1, n, 48000);
      const ch = buffer.getChannelData(0);
      for (let i = 0; i < n; ++i) ch[i] = data[i] / 32768;
      buffer.mbName = UTF8ToString(Module._mb_sound_name(e));
      buffers.push(buffer);
    }
  }
  function flushSounds() {
    const bits = Module._mb_take_sounds();
    if (!bits || !audio || Module._mb_muted() || !Module._mb_focused()) return;
    for (let e = 0; e < 16; ++e) {
      if (!(bits & (1 << e))) continue;
      const source = audio.createBufferSource();
      source.buffer = buffers[e];
      source.connect(audio.mbOut);
      source.start();
      Module.heard.push(buffers[e].mbName);
      if (Module.heard.length > 1000) Module.heard.shift();
    }
  }

  // ---- The game's timers on the browser's clock ----
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
      if (now < wanted - 2) { schedule(wanted); return; }
      lead = Math.min(8, Math.max(0, lead + 0.25 * (now - wanted)));
      Module.lateness.push([period, now - wanted]);
      if (Module.lateness.length > 5000) Module.lateness.shift();
      now = Math.max(now, wanted);
    }
    const due = Module._mb_run(now);
    flushSounds();
    if (Module._mb_changed()) requestPaint();
    schedule(due);
  }
  function schedule(due) {
    wanted = due;
    period = Module._mb_next_interval();
    if (due >= 0) timer = setTimeout(pump, Math.max(0, due - lead - performance.now()));
  }
  function after() {  // every event the game was told of
    flushSounds();
    requestPaint();
    clearTimeout(timer);
    wanted = -1;
    pump();
  }

  // ---- Keys, pointer, pads and focus ----
  function virtualKey(e) {
    const named = { ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, Space: 32,
                    Enter: 13, NumpadEnter: 13, Escape: 27 };
    if (e.code in named) return named[e.code];
    if (/^Key[A-Z]$/.test(e.code)) return e.code.charCodeAt(3);
    if (/^Digit[0-9]$/.test(e.code)) return e.code.charCodeAt(5);
    return 0;
  }
  window.addEventListener('keydown', (e) => {
    const code = virtualKey(e);
    if (!code) return;
    e.preventDefault();  // no scrolling, no menus
    startAudio();
    Module._mb_key(performance.now(), code, 1, e.altKey ? 1 : 0, e.repeat ? 1 : 0);
    after();
  });
  window.addEventListener('keyup', (e) => {
    const code = virtualKey(e);
    if (!code) return;
    e.preventDefault();
    Module._mb_key(performance.now(), code, 0, 0, 0);
    after();
  });
  function pointer(down, e) {
    e.preventDefault();
    startAudio();
    const r = canvas.getBoundingClientRect();
    const dpr = window.devicePixelRatio || 1;
    const x = Math.floor(((e.clientX - r.left) * dpr - offsetX) / scale);
    const y = Math.floor(((e.clientY - r.top) * dpr - offsetY) / scale);
    Module._mb_pointer(performance.now(), down, x, y);
    after();
  }
  canvas.addEventListener('pointerdown', (e) => { canvas.focus(); pointer(1, e); });
  canvas.addEventListener('pointerup', (e) => pointer(0, e));
  function focus(on) {
    Module._mb_focus(performance.now(), on ? 1 : 0);
    after();
  }
  window.addEventListener('blur', () => focus(false));
  window.addEventListener('focus', () => focus(true));
  document.addEventListener('visibilitychange', () => focus(!document.hidden && document.hasFocus()));
  window.addEventListener('resize', () => { Module._mb_mark_changed(); requestPaint(); });

  // Pads with the standard mapping, as the desktop maps them.
  const padButtons = { 12: 38, 13: 40, 14: 37, 15: 39, 9: 80, 8: 81 };
  const padWas = {};
  let padsConnected = 0;
  window.addEventListener('gamepadconnected', () => { ++padsConnected; requestPaint(); });
  window.addEventListener('gamepaddisconnected', () => { --padsConnected; });
  function pollPads() {
    if (padsConnected <= 0 || !navigator.getGamepads) return;
    const now = performance.now();
    let moved = false;
    for (const pad of navigator.getGamepads()) {
      if (!pad || pad.mapping !== 'standard') continue;
      const was = padWas[pad.index] || (padWas[pad.index] = { stick: '' });
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
    if (moved) after();
    requestPaint();  // the next frame polls again
  }

  // Where the picture stands in the canvas, for whoever reads the canvas's pixels.
  Module.mbView = () => ({ scale, offsetX, offsetY });

  Module.onRuntimeInitialized = function () {
    Module._mb_start(performance.now(), Date.now() % 4294967296);
    for (let i = 0; i < Module._mb_picture_count(); ++i) {
      const w = Module._mb_picture_width(i), h = Module._mb_picture_height(i);
      const c = document.createElement('canvas');
      c.width = w;
      c.height = h;
      const rgba = new Uint8ClampedArray(HEAPU8.buffer, Module._mb_picture_rgba(i), w * h * 4);
      c.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(rgba), w, h), 0, 0);
      pictures.push(c);
    }
    canvas.focus();
    Module._mb_paint();
    present();
    Module.firstFrameAt = performance.now();
    pump();
  };
})();
