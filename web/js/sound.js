// Sound: the game's own samples through Web Audio, from the first key or touch; a short
// vibration on a burst and on being caught, where the device has one.
(function() {
'use strict';
let audio = null;
const buffers = [];
Module.heard = [];     // every sound played, by name: for whoever wants to know
Module.vibrated = [];  // every vibration asked for, in ms

mb.startAudio = function() {
  if (audio) return;
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return;
  const start = performance.now();
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
  Module.soundsMadeIn = performance.now() - start;  // ms, for whoever wants to know
};

// The game's sound events by name, as numbered by the game.
function event(name) {
  for (let e = 0; e < 16; ++e)
    if (UTF8ToString(Module._mb_sound_name(e)) === name) return e;
  return -1;
}
let burst = -1, caught = -1;
mb.soundEvents = function() {
  burst = event('burst');
  caught = event('caught');
};

function vibrate(ms) {
  if (!mb.touchShown || !navigator.vibrate) return;
  navigator.vibrate(ms);
  Module.vibrated.push(ms);
  if (Module.vibrated.length > 1000) Module.vibrated.shift();
}

mb.flushSounds = function() {
  const bits = Module._mb_take_sounds();
  if (!bits || Module._mb_muted() || !Module._mb_focused()) return;
  if (bits & (1 << caught))
    vibrate(200);
  else if (bits & (1 << burst))
    vibrate(40);
  if (!audio) return;
  for (let e = 0; e < 16; ++e) {
    if (!(bits & (1 << e))) continue;
    const source = audio.createBufferSource();
    source.buffer = buffers[e];
    source.connect(audio.mbOut);
    source.start();
    Module.heard.push(buffers[e].mbName);
    if (Module.heard.length > 1000) Module.heard.shift();
  }
};
})();
