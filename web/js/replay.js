// Replays in the page: every session is recorded in the game's memory; Save replay downloads
// what is on the screen, Watch replay plays the game so far again, Open replay takes a file
// (picked or dropped on the page), Copy link puts the recording, packed, in a link's
// fragment, which never reaches a server; opening such a link plays it. A game in progress
// is kept, paused, beside the watching and comes back when it ends. Whatever arrives is read
// a slice at a time between frames, and nothing larger than any recording is read.
(function() {
'use strict';
const kLargest = 64 * 1048576;       // bytes of recording at most, as the game reads them
const kLongestAddress = 2 * 1048576;  // characters of address a browser takes
const status = document.getElementById('status');
const speedButton = document.getElementById('replay-speed');

function now() { return performance.now(); }
function say(text) {
  const bytes = new TextEncoder().encode(text);
  const at = Module._mb_inbox(bytes.length + 1);
  HEAPU8.set(bytes, at);
  HEAPU8[at + bytes.length] = 0;
  Module._mb_say(at);
  mb.showStatus();
}

// A macrotask: the page draws its frames and takes its events between two slices of work.
const channel = new MessageChannel();
const waiting = [];
channel.port1.onmessage = () => waiting.shift()();
function nextTask() {
  return new Promise((resolve) => {
    waiting.push(resolve);
    channel.port2.postMessage(0);
  });
}
// Work of one slice runs until about this long since the slice began.
const kSliceMs = 12;

// Shows the game's message beside the picture when it changes, and the speed control while
// a recording is watched; a watching that has ended takes its link out of the address.
let wasWatching = false;
mb.showStatus = function() {
  const text = UTF8ToString(Module._mb_message());
  if (status.textContent !== text) status.textContent = text;
  const speed = Module._mb_speed();
  if (speedButton.hidden !== !speed) {
    speedButton.hidden = !speed;
    mb.layout();
  }
  if (speed && speedButton.textContent !== `Speed ${speed}x`) speedButton.textContent = `Speed ${speed}x`;
  if (wasWatching && !speed && location.hash.startsWith('#replay='))
    history.replaceState(null, '', location.pathname + location.search);
  wasWatching = !!speed;
};

function toInbox(bytes) {
  HEAPU8.set(bytes, Module._mb_inbox(bytes.length));
}

// Only the latest thing opened is read on; one opened before it is dropped.
let opening = 0;

// A recording's text as its stream comes, a slice at a time, into the game's reader; then
// watched, or refused in one line.
async function readRecording(stream, token) {
  const reader = stream.getReader();
  let slice = now();
  for (;;) {
    const {done, value} = await reader.read();
    if (token !== opening) return reader.cancel();
    if (done) break;
    for (let at = 0; at < value.length; at += 262144) {
      toInbox(value.subarray(at, at + 262144));
      if (!Module._mb_feed()) {
        reader.cancel();
        return finish();
      }
    }
    if (now() - slice > kSliceMs) {
      await nextTask();
      slice = now();
      if (token !== opening) return reader.cancel();
    }
  }
  finish();
}
function finish() {
  Module._mb_watch(now());
  mb.after();
}

function openFile(file) {
  if (!file) return;
  const token = ++opening;
  // Nothing larger than any recording is read.
  if (file.size > kLargest) return say(`${file.name} is larger than any recording (64 MB)`);
  readRecording(file.stream(), token).catch(() => {
    if (token === opening) say(`${file.name} cannot be read`);
  });
}
const picker = document.getElementById('replay-file');
document.getElementById('open-replay').addEventListener('click', () => picker.click());
picker.addEventListener('change', () => {
  if (mb.ready) openFile(picker.files[0]);
  picker.value = '';
});
document.addEventListener('dragover', (e) => e.preventDefault());
document.addEventListener('drop', (e) => {
  e.preventDefault();
  if (mb.ready) openFile(e.dataTransfer && e.dataTransfer.files[0]);
});

// A link that carries a replay plays it; a broken one says so and leaves the game alone.
mb.openLink = async function() {
  if (!location.hash.startsWith('#replay=')) {
    if (Module._mb_watching()) {
      Module._mb_leave(now());
      mb.after();
    }
    return;
  }
  const token = ++opening;
  if (location.href.length > kLongestAddress) return say('the link is longer than any address (2 MB)');
  // Unpacked by the game, a slice at a time.
  toInbox(new TextEncoder().encode(location.hash.slice(8)));
  if (!Module._mb_unpack()) return mb.showStatus();
  for (let slice = now(); !Module._mb_unpack_more();) {
    if (now() - slice < kSliceMs) continue;
    await nextTask();
    if (token !== opening) return;
    slice = now();
  }
  finish();
};
window.addEventListener('hashchange', () => mb.ready && mb.openLink());

function stamp() {
  const d = new Date(), two = (n) => String(n).padStart(2, '0');
  return `${d.getFullYear()}${two(d.getMonth() + 1)}${two(d.getDate())}-` +
      `${two(d.getHours())}${two(d.getMinutes())}${two(d.getSeconds())}`;
}

// Save replay: what is on the screen, the recording watched or the game played.
document.getElementById('save-replay').addEventListener('click', () => {
  if (!mb.ready) return;
  const text = UTF8ToString(Module._mb_recording(now()));
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
  a.download = `mazeblast-${stamp()}.mzr`;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60000);
});

document.getElementById('watch-replay').addEventListener('click', () => {
  if (!mb.ready) return;
  Module._mb_watch_played(now());
  mb.after();
});

// Copy link: made by the game a slice at a time, no longer than an address may be.
mb.replayLink = async function() {
  const base = location.href.split('#')[0];
  Module._mb_link_begin(now(), Math.floor((kLongestAddress - base.length - 8) * 3 / 4));
  while (!Module._mb_link_more()) await nextTask();
  const fragment = UTF8ToString(Module._mb_link());
  return fragment ? base + fragment : '';
};
document.getElementById('copy-link').addEventListener('click', async () => {
  if (!mb.ready) return;
  const link = await mb.replayLink();
  Module.lastLink = link;  // for whoever wants to know, as the page's tests do
  if (!link) return mb.showStatus();
  try {
    await navigator.clipboard.writeText(link);
    say(`a link to this replay is on the clipboard (${link.length} characters)`);
  } catch (e) {
    say('the link could not be put on the clipboard');
  }
});

// The speed of the watching, on a touch screen as + and - on a keyboard: 1x, 2x, 4x, 8x.
speedButton.addEventListener('click', () => {
  const speed = Module._mb_speed();
  if (!speed) return;
  Module._mb_set_speed(now(), speed >= 8 ? 1 : speed * 2);
  mb.after();
});
})();
