// Replays in the page: every session is recorded in the game's memory; Save replay downloads
// it, Watch replay plays it again, Open replay takes a file (picked or dropped on the page),
// Copy link puts the whole recording, compressed, in a link's fragment, which never reaches
// a server; opening such a link plays it. What happened is said in the status line.
(function() {
'use strict';
const status = document.getElementById('status');
const encoder = new TextEncoder();

// Shows the game's message beside the picture when it changes.
mb.showStatus = function() {
  const text = UTF8ToString(Module._mb_message());
  if (status.textContent !== text) status.textContent = text;
};

mb.watch = function(text) {
  if (!mb.ready) return;
  const bytes = encoder.encode(text);
  HEAPU8.set(bytes, Module._mb_inbox(bytes.length));
  Module._mb_watch(performance.now());
  mb.after();
  mb.showStatus();
};

function recording() { return UTF8ToString(Module._mb_recording(performance.now())); }

function stamp() {
  const d = new Date(), two = (n) => String(n).padStart(2, '0');
  return `${d.getFullYear()}${two(d.getMonth() + 1)}${two(d.getDate())}-` +
      `${two(d.getHours())}${two(d.getMinutes())}${two(d.getSeconds())}`;
}

document.getElementById('save-replay').addEventListener('click', () => {
  if (!mb.ready) return;
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([recording()], {type: 'text/plain'}));
  a.download = `mazeblast-${stamp()}.mzr`;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60000);
});

document.getElementById('watch-replay').addEventListener('click', () => {
  if (mb.ready) mb.watch(recording());
});

const picker = document.getElementById('replay-file');
document.getElementById('open-replay').addEventListener('click', () => picker.click());
function openFile(file) {
  if (!file) return;
  // Nothing larger than any recording is read.
  if (file.size > 64 * 1048576) {
    status.textContent = `${file.name}: larger than any recording`;
    return;
  }
  file.text().then(mb.watch, () => {
    status.textContent = `${file.name}: cannot be read`;
  });
}
picker.addEventListener('change', () => {
  openFile(picker.files[0]);
  picker.value = '';
});
document.addEventListener('dragover', (e) => e.preventDefault());
document.addEventListener('drop', (e) => {
  e.preventDefault();
  openFile(e.dataTransfer && e.dataTransfer.files[0]);
});

// The link: deflate-raw, then base64url.
function squeeze(text, format, back) {
  const stream = new Blob([text]).stream().pipeThrough(
      back ? new DecompressionStream(format) : new CompressionStream(format));
  return new Response(stream).arrayBuffer();
}
function toBase64Url(buffer) {
  let bin = '';
  const bytes = new Uint8Array(buffer);
  for (let i = 0; i < bytes.length; i += 8192)
    bin += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
  return btoa(bin).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}
function fromBase64Url(text) {
  const bin = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(bin, (c) => c.charCodeAt(0));
}
mb.replayLink = function(text) {
  return squeeze(text, 'deflate-raw', false).then((packed) => {
    const url = new URL(location.href);
    url.hash = `replay=${toBase64Url(packed)}`;
    return url.href;
  });
};
document.getElementById('copy-link').addEventListener('click', () => {
  if (!mb.ready) return;
  mb.replayLink(recording())
      .then((link) => {
        Module.lastLink = link;  // for whoever wants to know, as the page's tests do
        return navigator.clipboard.writeText(link);
      })
      .then(
          () => {
            status.textContent = 'a link to this replay is on the clipboard';
          },
          () => {
            status.textContent = 'the link could not be put on the clipboard';
          });
});

// A link that carries a replay plays it; a broken one says so and leaves the game alone.
mb.openLink = function() {
  if (!location.hash.startsWith('#replay=')) return;
  let packed;
  try {
    packed = fromBase64Url(location.hash.slice(8));
  } catch (e) {
    status.textContent = 'the link holds no replay: it is not base64url';
    return;
  }
  squeeze(packed, 'deflate-raw', true)
      .then((buffer) => mb.watch(new TextDecoder().decode(buffer)), () => {
        status.textContent = 'the link holds no replay: it does not unpack';
      });
};
window.addEventListener('hashchange', mb.openLink);
})();
