// The page around the demo: the start screen and its downloads, the browser's halves of the
// platform services (music, clock, MIDI, clipboard, boxes), the end screen and the failure pages.
// URL parameters: data=URL (the data folder, default "data/"), tuning=LINE (as --tuning);
// at=SECONDS and size=WxH are for the tests: one frame at that loop time, no music.
'use strict';

const params = new URLSearchParams(location.search);
const dataUrl = (params.get('data') || 'data/').replace(/\/?$/, '/');
const $ = (id) => document.getElementById(id);

function fail(title, text) {
  for (const id of ['start', 'box', 'end']) $(id).hidden = true;
  $('failure-title').textContent = title;
  $('failure-text').textContent = text;
  $('failure').hidden = false;
  document.title = 'avada kedabra! (' + title + ')';
  if (page.audio) page.audio.pause();
  if (window.Module && Module.pauseMainLoop) Module.pauseMainLoop();
}

const page = {
  audio: null,
  blobs: {},           // file name -> object URL of what was downloaded and is not in the file system
  offset: 0,           // page clock + offset = the demo's timer
  musicOrigin: 0,      // the timer's value at the music's start
  last: 0,
  passes: 0,
  midiAccess: null,
  midiOn: false,
  midiMax: 0,
  line: null,          // the tuned line, once the demo has ended
  clipboard: '',
  errors: [],          // what the demo wrote on standard error

  // The timer: the page's clock, pulled to the music's position while the music plays, and never
  // backwards, so a stalled music holds the picture and a stalled tab catches up with the music.
  timerNow() {
    this.passes++;
    const now = performance.now();
    let t = now + this.offset;
    const a = this.audio;
    if (a && !a.paused && !a.ended && a.readyState >= 2) {
      const music = this.musicOrigin + a.currentTime * 1000;
      if (Math.abs(music - t) > 20) {
        this.offset = music - now;
        t = music;
      }
    }
    t = Math.max(t, this.last);
    this.last = t;
    return t;
  },

  audioOpen(path) {
    const url = this.blobs[path.split('/').pop()];
    if (!url) return 0;
    this.audio = new Audio(url);
    return 1;
  },
  audioCall(what, ms) {
    const a = this.audio;
    if (!a) return;
    if (what === 'restart') {
      this.musicOrigin = performance.now() + this.offset;
      a.currentTime = 0;
    }
    if (what === 'seek') a.currentTime = ms / 1000;
    if (what === 'restart' || what === 'resume') a.play().catch(() => {}); // refused: silence
    if (what === 'pause' || what === 'free') a.pause();
    if (what === 'free') this.audio = null;
  },

  midiOpen(max) {
    this.midiOn = true;
    this.midiMax = max;
    if (!navigator.requestMIDIAccess) return;
    navigator.requestMIDIAccess().then((access) => {
      this.midiAccess = access;
      access.onstatechange = () => this.midiAttach();
      this.midiAttach();
    }, () => {}); // refused: no inputs
  },
  midiInputs() {
    return this.midiAccess ? [...this.midiAccess.inputs.values()].slice(0, this.midiMax) : [];
  },
  midiAttach() {
    for (const input of this.midiInputs()) {
      input.onmidimessage = (e) => {
        if (this.midiOn && e.data.length) Module._web_midi_message(e.data[0], e.data[1] | 0, e.data[2] | 0);
      };
    }
  },
  midiCount() {
    return this.midiInputs().filter((i) => i.state === 'connected').length;
  },
  midiClose() {
    this.midiOn = false;
    for (const input of this.midiInputs()) input.onmidimessage = null;
  },

  copyLine(text) {
    this.line = text;
    if (!text) return;
    this.clipboard = 'copying';
    this.writeClipboard();
  },
  writeClipboard() {
    navigator.clipboard.writeText(this.line).then(
      () => { this.clipboard = 'copied'; this.showEnd(); },
      (e) => { this.clipboard = 'refused: ' + e.message; this.showEnd(); });
  },

  showBox(caption, text) {
    $('box-caption').textContent = caption;
    $('box-text').textContent = text;
    $('box').hidden = false;
  },

  // y, Y, p: the nine shader files anew from the server, then the rebuild between two frames.
  refetchShaders() {
    download(shaderFiles, () => {}, { cache: 'no-store' }).then(
      () => Module._web_shaders_fetched(),
      (e) => this.showBox(e.file, e.message));
  },

  showEnd() {
    if (this.line === null) return;
    $('box').hidden = true;
    const note = !this.line ? 'No controller was touched: nothing to copy.'
      : this.clipboard === 'copied' ? 'The tuned values are on the clipboard:'
      : this.clipboard === 'copying' ? 'The tuned values:'
      : 'The browser did not let the page copy the tuned values (' + this.clipboard + '); the button copies them:';
    $('end-note').textContent = note;
    $('end-line').textContent = this.line;
    $('end-line').hidden = $('copy').hidden = !this.line;
    $('end').hidden = false;
  },
};

let shaderFiles = [];
let otherFiles = [];

// Downloads the files into the file system (the music into a blob), reporting the bytes so far.
// Rejects with the first file that did not arrive and why.
async function download(files, progress, options) {
  const got = {}, total = {};
  const one = async (name) => {
    let response;
    try {
      response = await fetch(dataUrl + name, options || {});
    } catch (e) {
      throw { file: name, message: 'the server did not answer (' + e.message + ')' };
    }
    if (!response.ok) {
      throw { file: name, message: 'the server answered ' + response.status + ' ' + response.statusText };
    }
    total[name] = +response.headers.get('Content-Length') || 0;
    const reader = response.body.getReader();
    const chunks = [];
    got[name] = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      got[name] += value.length;
      progress(Object.values(got).reduce((a, b) => a + b, 0), Object.values(total).reduce((a, b) => a + b, 0));
    }
    return new Blob(chunks);
  };
  const blobs = await Promise.all(files.map(one));
  for (let i = 0; i < files.length; i++) {
    if (/\.mp3$/.test(files[i])) {
      page.blobs[files[i]] = URL.createObjectURL(blobs[i]);
    } else {
      Module.FS.writeFile('/data/' + files[i], new Uint8Array(await blobs[i].arrayBuffer()));
    }
  }
}

function webglMissing() {
  const c = document.createElement('canvas');
  return !(c.getContext('webgl') || c.getContext('experimental-webgl'));
}

async function ready() {
  for (let i = 0; ; i++) {
    const name = Module._web_data_file(i);
    if (!name) break;
    const file = Module.UTF8ToString(name);
    (/\.shader$/.test(file) ? shaderFiles : otherFiles).push(file);
  }
  Module.FS.mkdir('/data');
  try {
    await download(shaderFiles.concat(otherFiles), (got, total) => {
      $('progress').value = total ? got / total : 0;
      $('loading').textContent = 'Loading… ' + (got / 1e6).toFixed(1) + ' of ' + (total / 1e6).toFixed(1) + ' MB';
    });
  } catch (e) {
    fail('A data file did not load', dataUrl + e.file + ': ' + e.message +
         '. The page needs the data folder beside it (or named with ?data=URL).');
    return;
  }
  $('progress').value = 1;
  if (params.has('at')) return frameAt(+params.get('at'));
  $('loading').textContent = 'Ready.';
  $('play').disabled = false;
  $('play').focus();
}

// The tests' single frame: the canvas at the given size, the frame drawn, its pixels kept.
function frameAt(seconds) {
  const [w, h] = (params.get('size') || '1024x512').split('x').map(Number);
  const canvas = $('canvas');
  canvas.width = w;
  canvas.height = h;
  $('start').hidden = true;
  if (!Module._web_frame_at(seconds)) return;
  window.webFrame = canvas.toDataURL('image/png');
}

function play() {
  $('start').hidden = true;
  const canvas = $('canvas');
  const scale = window.devicePixelRatio || 1;
  canvas.width = Math.round(screen.width * scale);
  canvas.height = Math.round(screen.height * scale);
  if (document.documentElement.requestFullscreen) {
    document.documentElement.requestFullscreen().catch(() => {}); // refused: the page's size
  }
  canvas.focus();
  const args = [];
  if (params.has('tuning')) args.push('--tuning', params.get('tuning'));
  Module.callMain(args);
}

function ended(code) {
  if (page.audio) page.audio.pause();
  if (code === 2) {
    fail('The tuning was refused', page.errors.join(' ').replace(/^demo: /, '') ||
         'the line is malformed');
    return;
  }
  if (code !== 0) {
    if (!$('box').hidden) return; // the box says why
    fail('The demo could not start', page.errors.join(' ') || 'exit code ' + code);
    return;
  }
  if (page.line === null) page.line = '';
  page.showEnd();
}

$('play').onclick = play;
$('box-close').onclick = () => { $('box').hidden = true; };
$('copy').onclick = () => page.writeClipboard();
$('again').onclick = () => location.reload();

var Module = {
  webPage: page,
  canvas: $('canvas'),
  print: (text) => console.log(text),
  printErr: (text) => { page.errors.push(text); console.warn(text); },
  onRuntimeInitialized: ready,
  onExit: ended,
};

$('canvas').addEventListener('webglcontextlost', (e) => {
  e.preventDefault();
  fail('The graphics context was lost',
       'The browser took the WebGL context away (a GPU reset, a driver update, too many pages ' +
       'using the GPU). Reload the page to play again.');
});

if (webglMissing()) {
  fail('This browser offers no WebGL',
       'The demo draws with WebGL 1, which this browser or its settings do not offer (hardware ' +
       'acceleration off, or a blocked graphics driver).');
} else {
  const script = document.createElement('script');
  script.src = 'demo.js';
  script.onerror = () => fail('The demo did not load', 'demo.js could not be downloaded.');
  document.body.appendChild(script);
}
