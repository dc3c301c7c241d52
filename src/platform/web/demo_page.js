// The page around the demo: the start screen and its downloads, the browser's halves of the
// platform services (music, clock, MIDI, clipboard, boxes, wake lock), the end screen and the
// failure pages.
// URL parameters: data=URL (the data folder, default "data/"), tuning=LINE (as --tuning), studio
// (the start screen offers the studio first); at=SECONDS and size=WxH are for the tests: one frame
// at that loop time, no music. A fragment is a moment's link (studio_page.js).
'use strict';

const params = new URLSearchParams(location.search);
const $ = (id) => document.getElementById(id);

// What the demo reads of each file, and so the most the page downloads of it.
const MaxShaderBytes = 199999;
const MaxFileBytes = { 'credits.tga': 18 + 4 * 1024 * 1024, 'tune.mp3': 32 * 1024 * 1024 };
const maxBytes = (name) => (/\.shader$/.test(name) ? MaxShaderBytes : MaxFileBytes[name]);
// The last loop time the studio and the capture tool reach.
const EndSeconds = 152;

function fail(title, text) {
  for (const id of ['start', 'box', 'end']) $(id).hidden = true;
  $('failure-title').textContent = title;
  $('failure-text').textContent = text;
  $('failure').hidden = false;
  document.title = 'avada kedabra! (' + title + ')';
  if (page.audio) page.audio.pause();
  wake.release();
  if (window.Module && Module.pauseMainLoop) Module.pauseMainLoop();
}

// The data folder: the page's own data/ or a folder named with ?data=, read over http(s) only. A
// folder on another origin is named on the start screen, and nothing is fetched from it before the
// user says so.
function dataFolder() {
  const given = params.get('data');
  const refused = (why) => ({ error: '?data=' + given + ': ' + why });
  let url;
  try {
    url = new URL((given || 'data/').replace(/\/?$/, '/'), location.href);
  } catch (e) {
    return refused('not an address');
  }
  if (url.protocol !== 'http:' && url.protocol !== 'https:') {
    return refused('the page reads its data over http or https only, not ' + url.protocol);
  }
  if (url.search || url.hash) return refused('a folder\'s address has no query or fragment');
  return { url: url.href, foreign: url.origin !== location.origin, host: url.host };
}
const data = dataFolder();

// The screen stays on while the demo plays (natively the demo holds off the screen saver). The
// browser lets the lock go when the page is hidden; it is taken again when the page shows. A
// browser that refuses it, or has none, is not mentioned.
const wake = {
  wanted: false,
  lock: null,
  take() {
    if (!this.wanted || this.lock || !navigator.wakeLock || document.visibilityState !== 'visible') return;
    navigator.wakeLock.request('screen').then((lock) => {
      if (!this.wanted) return void lock.release().catch(() => {});
      this.lock = lock;
      lock.addEventListener('release', () => { if (this.lock === lock) this.lock = null; });
    }, () => {});
  },
  release() {
    this.wanted = false;
    if (this.lock) this.lock.release().catch(() => {});
    this.lock = null;
  },
};
document.addEventListener('visibilitychange', () => wake.take());

const page = {
  audio: null,
  audioRefused: false,
  musicHeld: false,    // paused by the studio: the timer runs on the page's clock meanwhile
  pendingPlay: false,  // the music waits for the start's box to close
  blobs: {},           // file name -> object URL of what was downloaded and is not in the file system
  missing: {},         // file name -> why it did not load
  starting: false,     // the demo's start-up runs (main, before its loop)
  boxHolds: false,     // a box shown at the start holds the music and the clock until it closes
  lost: false,         // the WebGL context was taken away
  muted: false,        // a link's audience form, muted
  last: 0,             // the timer's last value
  passes: 0,
  midiAccess: null,
  midiOn: false,
  midiMax: 0,
  line: null,          // the tuned line, once the demo has ended
  clipboard: '',
  errors: [],          // what the demo wrote on standard error

  // What the timer is led by (the rule is the platform layer's, in C++): the page's clock, the
  // music's position and whether it moves, and whether a box holds the start.
  leadReading() {
    this.passes++;
    const clock = performance.now();
    if (this.passes === 2) this.firstFrame = clock; // the first pass's frame is drawn
    const a = this.audio;
    const music = !!a && !a.ended && !this.audioRefused && !this.musicHeld;
    return {
      clock, held: this.boxHolds, music,
      playing: music && !a.paused && a.readyState >= 3,
      position: music ? a.currentTime * 1000 : 0,
    };
  },
  audioOpen(path) {
    const url = this.blobs[path.split('/').pop()];
    if (!url) return 0;
    this.audio = new Audio(url);
    this.audio.muted = this.muted;
    return 1;
  },
  audioCall(what, ms) {
    const a = this.audio;
    if (!a) return;
    if (what === 'restart') a.currentTime = 0;
    if (what === 'seek') a.currentTime = ms / 1000;
    if (what === 'restart' || what === 'resume') {
      this.musicHeld = false;
      if (this.boxHolds) this.pendingPlay = true;
      else this.playMusic();
    }
    if (what === 'pause' || what === 'free') {
      this.musicHeld = true;
      a.pause();
    }
    if (what === 'free') this.audio = null;
  },
  audioPosition() {
    return this.audio ? this.audio.currentTime * 1000 : 0;
  },
  playMusic() {
    this.pendingPlay = false;
    if (this.audio) this.audio.play().catch(() => { this.audioRefused = true; }); // silence, on the page's clock
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

  // The export at the end: to the clipboard where the page may write it; the line stays on the
  // page either way.
  copyLine(text) {
    this.line = text;
    if (!text) return;
    this.clipboard = 'copying';
    this.writeClipboard();
  },
  writeClipboard() {
    if (!navigator.clipboard || !navigator.clipboard.writeText) {
      // A page served over plain HTTP from another host than this machine is no secure context.
      this.clipboard = 'refused: the browser offers this page no clipboard (an http:// address)';
      this.showEnd();
      return;
    }
    navigator.clipboard.writeText(this.line).then(
      () => { this.clipboard = 'copied'; this.showEnd(); },
      (e) => { this.clipboard = 'refused: ' + e.message; this.showEnd(); });
  },
  // The button: the Clipboard API where there is one, else the line selected and copied the old
  // way, which works inside a click.
  copyButton() {
    if (navigator.clipboard && navigator.clipboard.writeText) return this.writeClipboard();
    const selection = getSelection();
    const range = document.createRange();
    range.selectNodeContents($('end-line'));
    selection.removeAllRanges();
    selection.addRange(range);
    let copied = false;
    try {
      copied = document.execCommand('copy');
    } catch (e) {
      copied = false;
    }
    this.clipboard = copied ? 'copied' : 'refused: the browser did not copy; the line is selected';
    this.showEnd();
  },

  showBox(caption, text) {
    const name = caption.split('/').pop();
    if (this.missing[name]) {
      text = data.url + name + ': ' + this.missing[name] + '.\nThe demo plays on without it.';
    }
    $('box-caption').textContent = caption;
    $('box-text').textContent = text;
    $('box').hidden = false;
    if (this.starting) this.boxHolds = true; // as natively, where the box is modal
  },
  closeBox() {
    $('box').hidden = true;
    if (!this.boxHolds) return;
    this.boxHolds = false;
    if (this.pendingPlay) this.playMusic();
  },

  // y, Y, p: the nine shader files anew from the server, then the rebuild between two frames; in
  // the studio the editor's texts, never fetched over.
  refetchShaders() {
    if (studio.editor) {
      studio.flush();
      Module._web_shaders_fetched();
      return;
    }
    download(shaderFiles, () => {}).then(
      () => {
        const gone = shaderFiles.find((name) => this.missing[name]);
        if (gone) this.showBox(gone, '');
        else Module._web_shaders_fetched();
      },
      (e) => this.showBox(e.file, e.message));
  },

  studioView(json) {
    studio.onView(json);
  },
  // The files the page wrote for the studio's watch to report, once each.
  written: null,
  watch(on) {
    this.written = on ? [] : null;
  },
  wrote(name) {
    if (this.written) this.written.push(name);
  },
  nextWritten() {
    return this.written && this.written.length ? this.written.shift() : '';
  },

  // The loop ends the demo as Esc would, so the tuned values are not lost; the end screen says why.
  contextLost() {
    this.lost = true;
  },

  showEnd() {
    if (this.line === null) return;
    $('box').hidden = true;
    wake.release();
    const note = !this.line ? 'No controller was touched: nothing to copy.'
      : this.clipboard === 'copied' ? 'The tuned values are on the clipboard:'
      : this.clipboard === 'copying' ? 'The tuned values:'
      : 'The browser did not let the page copy the tuned values (' + this.clipboard + '); the button copies them:';
    $('end-lost').hidden = !this.lost;
    $('end-note').textContent = note;
    // Written once, so that the button's selection of it stays.
    if ($('end-line').textContent !== this.line) $('end-line').textContent = this.line;
    $('end-line').hidden = $('copy').hidden = !this.line;
    $('end').hidden = false;
  },
};

let shaderFiles = [];
let otherFiles = [];

// Downloads the files into the file system (the music into a blob), reporting the bytes so far.
// A file that does not arrive is noted in page.missing and left out, as a missing file is
// natively; one larger than the demo reads rejects the whole with its name and size.
async function download(files, progress) {
  const got = {}, total = {};
  const refuse = (name, bytes) => {
    throw { file: name, message: 'the file is ' + bytes.toLocaleString('en') + ' bytes, more than the ' +
            maxBytes(name).toLocaleString('en') + ' the demo reads of it' };
  };
  const one = async (name) => {
    let response;
    try {
      // Asked anew each time (a cached copy only when unchanged): an edited shader, or a file taken
      // away, is seen.
      response = await fetch(data.url + name, { cache: 'no-cache' });
    } catch (e) {
      page.missing[name] = 'the server did not answer (' + e.message + ')';
      return null;
    }
    if (!response.ok) {
      page.missing[name] = 'the server answered ' + response.status + ' ' + response.statusText;
      return null;
    }
    total[name] = +response.headers.get('Content-Length') || 0;
    if (total[name] > maxBytes(name)) refuse(name, total[name]);
    const reader = response.body.getReader();
    const chunks = [];
    got[name] = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      got[name] += value.length;
      if (got[name] > maxBytes(name)) {
        reader.cancel();
        refuse(name, got[name]);
      }
      progress(Object.values(got).reduce((a, b) => a + b, 0), Object.values(total).reduce((a, b) => a + b, 0));
    }
    delete page.missing[name];
    return new Blob(chunks);
  };
  const blobs = await Promise.all(files.map(one));
  for (let i = 0; i < files.length; i++) {
    const bytes = blobs[i] ? new Uint8Array(await blobs[i].arrayBuffer()) : new Uint8Array();
    served.note(files[i], bytes);
    if (!blobs[i]) continue;
    if (/\.mp3$/.test(files[i])) {
      page.blobs[files[i]] = URL.createObjectURL(blobs[i]);
    } else {
      Module.FS.writeFile('/data/' + files[i], bytes);
    }
  }
}

// Why this browser cannot play the demo, or '' when it can.
function webglProblem() {
  const c = document.createElement('canvas');
  const gl = c.getContext('webgl') || c.getContext('experimental-webgl');
  if (!gl) return 'webgl';
  // The scenes' arithmetic needs full floats: at half precision the clock at 150 s is good to an
  // eighth of a second and the grain stands still.
  const high = gl.getShaderPrecisionFormat(gl.FRAGMENT_SHADER, gl.HIGH_FLOAT);
  const problem = !high || high.precision === 0 ? 'highp' : '';
  const lose = gl.getExtension('WEBGL_lose_context');
  if (lose) lose.loseContext();
  return problem;
}

// The moment ?at= asks for: seconds of loop time, 0 to 152; null when there is none.
function requestedMoment() {
  if (!params.has('at')) return null;
  const given = params.get('at');
  const seconds = /^\s*[0-9]+(\.[0-9]*)?\s*$/.test(given) ? Number(given) : NaN;
  if (!(seconds >= 0 && seconds <= EndSeconds)) {
    return { error: '?at=' + given + ': expected a loop time from 0 to ' + EndSeconds + ' seconds' };
  }
  return { seconds };
}

async function ready() {
  for (let i = 0; ; i++) {
    const name = Module._web_data_file(i);
    if (!name) break;
    const file = Module.UTF8ToString(name);
    (/\.shader$/.test(file) ? shaderFiles : otherFiles).push(file);
  }
  Module.FS.mkdir('/data');
  if (data.foreign) {
    $('foreign-host').textContent = data.host;
    $('foreign').hidden = false;
    $('loading').textContent = 'Nothing is loaded from there until you say so.';
    $('load').hidden = false;
    $('load').focus();
    await new Promise((resolve) => { $('load').onclick = resolve; });
    $('load').hidden = true;
  }
  const files = served.names = shaderFiles.concat(otherFiles);
  try {
    await download(files, (got, total) => {
      $('progress').value = total ? got / total : 0;
      $('loading').textContent = 'Loading… ' + (got / 1e6).toFixed(1) + ' of ' + (total / 1e6).toFixed(1) + ' MB';
    });
  } catch (e) {
    fail('A data file was refused', data.url + e.file + ': ' + e.message + '.');
    return;
  }
  if (files.every((name) => page.missing[name])) {
    fail('The data files did not load', data.url + files[0] + ': ' + page.missing[files[0]] +
         '. The page needs the data folder beside it (or named with ?data=URL).');
    return;
  }
  $('progress').value = 1;
  if (moment) return frameAt(moment.seconds);
  let linked = null;
  try {
    linked = await linkedMoment();
  } catch (e) {
    fail('The link was refused', e.message + '.');
    return;
  }
  $('loading').textContent = 'Ready.';
  if (linked) {
    describeMoment(linked);
    const audience = linked.play !== 'studio';
    const open = audience ? $('play') : $('studio');
    open.textContent = (linked.other.length ? 'Open anyway: ' : '') +
      (audience ? 'Play from ' + seconds(linked.time) : 'Open the link in the studio');
    open.onclick = () => studio.open(linked, audience);
    if (audience) $('studio').hidden = true;
    else $('play').textContent = 'Play the demo';
  }
  $('play').disabled = $('studio').disabled = false;
  (linked && linked.play === 'studio' || params.has('studio') ? $('studio') : $('play')).focus();
}

// One frame at a loop time with the controllers of a tuning line, drawn as the demo draws it;
// false, with the page saying why, when the line is refused.
function webFrameAt(seconds, tuning) {
  page.errors = [];
  if (Module.ccall('web_frame_at', 'number', ['number', 'string'], [seconds, tuning || ''])) return true;
  ended(2);
  return false;
}

// The tests' single frame: the canvas at the given size, the frame drawn, its pixels kept.
function frameAt(seconds) {
  const [w, h] = (params.get('size') || '1024x512').split('x').map(Number);
  const canvas = $('canvas');
  canvas.width = w;
  canvas.height = h;
  $('start').hidden = true;
  if (!webFrameAt(seconds, params.get('tuning'))) return;
  window.webFrame = canvas.toDataURL('image/png');
}

function play() {
  $('start').hidden = true;
  const canvas = $('canvas');
  // The screen's size in CSS pixels, as the native demo takes the screen's logical size (a
  // high-density screen would multiply the post pass's cost and make its grain finer), grown where
  // needed to hold the scene's 1024 x 512 pass, which is drawn into the same buffer before the post
  // pass covers it.
  const grow = Math.max(1, 1024 / screen.width, 512 / screen.height);
  canvas.width = Math.ceil(screen.width * grow);
  canvas.height = Math.ceil(screen.height * grow);
  if (document.documentElement.requestFullscreen) {
    document.documentElement.requestFullscreen().catch(() => {}); // refused: the page's size
  }
  canvas.focus();
  wake.wanted = true;
  wake.take();
  const args = [];
  if (params.has('tuning')) args.push('--tuning', params.get('tuning'));
  page.starting = true;
  try {
    Module.callMain(args);
  } finally {
    page.starting = false;
  }
}

function ended(code) {
  if (page.audio) page.audio.pause();
  wake.release();
  if (!$('failure').hidden) return; // the page already says why
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
$('studio').onclick = () => studio.open(null, false);
$('box-close').onclick = () => page.closeBox();
$('copy').onclick = () => page.copyButton();
$('again').onclick = () => location.reload();

var Module = {
  webPage: page,
  canvas: $('canvas'),
  print: (text) => console.log(text),
  printErr: (text) => { page.errors.push(text); console.warn(text); },
  onRuntimeInitialized: ready,
  onExit: ended,
  onAbort: (what) => fail('The demo stopped', String(what)),
};

// Without this the browser would not even try to give the context back.
$('canvas').addEventListener('webglcontextlost', (e) => e.preventDefault());

const moment = requestedMoment();
const problem = webglProblem();
if (problem === 'webgl') {
  fail('This browser offers no WebGL',
       'The demo draws with WebGL 1, which this browser or its settings do not offer (hardware ' +
       'acceleration off, or a blocked graphics driver).');
} else if (problem === 'highp') {
  fail('This graphics driver computes at half precision',
       'The demo\'s shaders need full (highp) floats in fragment shaders, which this browser\'s ' +
       'WebGL does not offer here: at half precision the picture\'s clock would be good to an ' +
       'eighth of a second at the end of the demo, and its grain would stand still.');
} else if (data.error) {
  fail('The data folder was refused', data.error + '.');
} else if (moment && moment.error) {
  fail('The moment was refused', moment.error + '.');
} else {
  const script = document.createElement('script');
  script.src = 'demo.js';
  script.onerror = () => fail('The demo did not load', 'demo.js could not be downloaded.');
  document.body.appendChild(script);
}
