// The page's studio: the same studio as natively (its keys on the picture, its overlay's lines),
// with a slider for each controller the scene reads, an editor for the nine shader files, the
// tuning and the edits kept in the browser's storage, and a moment shared as a link. The C++ side
// is the studio itself (src/app, src/studio); this file is its page.
'use strict';

// Chromium's longest address, where links stop (the C++ form's limit too).
const MaxLinkChars = 2097152;
// The inflated body at most (nine whole shader files and room for the rest).
const MaxBodyBytes = 9 * 199999 + 65536;
// How long typing pauses before an edit is written and rebuilt, as a save would be.
const EditPauseMs = 400;
// The loop time the audience form ends at, as the demo does.
const DemoEndMs = 151000;

// C++ answers: JSON text in the module's memory, freed here.
function cAnswer(pointer) {
  const text = Module.UTF8ToString(pointer);
  Module._free(pointer);
  return text;
}
function cJson(pointer) {
  return JSON.parse(cAnswer(pointer));
}
// Bytes into the module's memory for a call, freed after it.
function withBytes(bytes, call) {
  const at = Module._malloc(bytes.length + 1);
  Module.HEAPU8.set(bytes, at);
  Module.HEAPU8[at + bytes.length] = 0;
  try {
    return call(at, bytes.length);
  } finally {
    Module._free(at);
  }
}
function hashOf(bytes) {
  return withBytes(bytes, (at, size) => cAnswer(Module._web_served_hash(at, size)));
}
async function streamed(bytes, transform, limit) {
  const reader = new Blob([bytes]).stream().pipeThrough(transform).getReader();
  const chunks = [];
  let size = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    size += value.length;
    if (limit && size > limit) {
      reader.cancel();
      throw new Error('it holds more than a link can');
    }
    chunks.push(value);
  }
  return new Uint8Array(await new Blob(chunks).arrayBuffer());
}
const seconds = (ms) => (ms / 1000).toFixed(3) + ' s';

// The served files as the page downloaded them: their hashes (all eleven, in the link's order) and
// the shaders' texts, so that an edit is known against the file it changes.
const served = {
  names: [],   // the data folder's files in the form's order
  hash: {},    // name -> 16 hex digits ("" bytes for a file that did not load)
  text: {},    // shader name -> text
  note(name, bytes) {
    this.hash[name] = hashOf(bytes);
    if (/\.shader$/.test(name)) this.text[name] = new TextDecoder().decode(bytes);
  },
};

// The browser's storage, one space for the maker's own work and one per opened link (natively
// links/ID/), each entry with a revision: a tab writes only over what it has seen, so two tabs
// never overwrite each other's work unseen.
const store = {
  prefix: '',
  seen: {},
  open(space) {
    this.prefix = 'avada-kedabra|' + data.url + '|' + space + '|';
  },
  read(key) {
    try {
      return JSON.parse(localStorage.getItem(this.prefix + key));
    } catch (e) {
      return null;
    }
  },
  load(key) {
    const entry = this.read(key);
    this.seen[key] = entry ? entry.rev : 0;
    return entry ? entry.value : null;
  },
  // False when another tab wrote it since this tab last read or wrote it (nothing written then),
  // or the browser refused (said on the page).
  write(key, value, force) {
    const entry = this.read(key);
    const rev = entry ? entry.rev : 0;
    if (!force && rev !== (this.seen[key] || 0)) {
      studio.conflict(key);
      return false;
    }
    try {
      if (value === null) localStorage.removeItem(this.prefix + key);
      else localStorage.setItem(this.prefix + key, JSON.stringify({ rev: rev + 1, value }));
    } catch (e) {
      studio.notice('The browser does not keep the studio\'s work (' + e.message + ')', []);
      return false;
    }
    this.seen[key] = value === null ? 0 : rev + 1;
    return true;
  },
  keys(start) {
    const found = [];
    for (let i = 0; i < localStorage.length; i++) {
      const key = localStorage.key(i);
      if (key.startsWith(this.prefix + start)) found.push(key.slice(this.prefix.length));
    }
    return found;
  },
};

const studio = {
  editor: null,
  view: null,
  audience: false,
  edited: {},          // name -> text that differs from the served file
  tuning: '',          // the tuned line last kept
  failure: '',
  marked: null,        // the file whose line is marked
  pending: {},         // name -> timer of an edit waiting for the pause in typing
  knobRows: '',        // the controllers the sliders show, joined
  engaged: {},         // controller -> its slider was moved since it was shown

  editKey: (name) => 'edit/' + name + '/' + served.hash[name],

  // Opens the studio (or, for an audience, the demo from a moment) over the page.
  async open(moment, audience) {
    this.audience = audience;
    $('start').hidden = true;
    document.body.classList.add(audience ? 'audience' : 'studio');
    if (!audience) await loadScript('editor.js');
    if (audience && document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen().catch(() => {}); // refused: the page's size
    }
    // The maker's own work, or the link's, kept apart (natively links/ID/): a reload continues
    // the one it was.
    store.open(moment ? 'link-' + moment.id : 'own');
    let from = 0, loop = null, paused = false;
    if (moment) {
      this.edited = { ...moment.edits };
      this.tuning = moment.tuning;
      from = moment.time, loop = moment.loop, paused = moment.paused && !audience;
    }
    if (!audience) {
      this.restore();
      const saved = this.savedMoment;
      if (saved) from = saved.time, loop = saved.loop, paused = saved.paused;
    }
    for (const [name, text] of Object.entries(this.edited)) Module.FS.writeFile('/data/' + name, text);
    if (!audience) this.buildPanel();
    if (audience && moment.muted) page.muted = true;

    const canvas = $('canvas');
    canvas.width = 1024; // the native studio's window
    canvas.height = audience ? 512 : 576;
    canvas.tabIndex = 0;
    canvas.focus();
    const args = ['--studio', '--from', String(from / 1000)];
    if (!audience) args.push('--pickup');
    if (this.tuning) args.push('--tuning', this.tuning);
    if (loop) args.push('--loop', loop[0] / 1000 + ':' + loop[1] / 1000);
    if (paused) args.push('--paused');
    page.starting = true;
    try {
      Module.callMain(args);
    } finally {
      page.starting = false;
    }
    if (!audience) setInterval(() => this.keepTuning(), 250);
  },

  // What the storage holds for this space: the edits of the served files as they are now, the
  // tuning, and where the maker was. Edits made against another version of a served file are
  // never applied to this one: they are named, with a download.
  restore() {
    for (const name of Object.keys(served.text)) {
      const text = store.load(this.editKey(name));
      if (text !== null) this.edited[name] = text;
    }
    const tuning = store.load('tuning');
    if (tuning !== null) this.tuning = tuning;
    this.savedMoment = store.load('moment');
    const stale = store.keys('edit/').filter((key) => {
      const [, name, hash] = key.split('/');
      return served.hash[name] !== hash;
    });
    if (stale.length) {
      this.notice('Edits kept for an older version of a served file are not applied: ' +
                  stale.map((k) => k.split('/')[1]).join(', '), [
        ['Download them', () => stale.forEach((k) => save(k.split('/')[1], store.read(k).value))],
        ['Discard them', () => stale.forEach((k) => localStorage.removeItem(store.prefix + k))],
      ]);
    }
  },

  buildPanel() {
    const select = $('file');
    for (const name of Object.keys(served.text)) select.add(new Option(name, name));
    this.editor = window.createStudioEditor($('editor'), (name, text) => this.typed(name, text));
    for (const name of Object.keys(served.text)) {
      this.editor.load(name, name in this.edited ? this.edited[name] : served.text[name]);
    }
    this.editor.show(select.value);
    this.markEdited();
    select.onchange = () => this.editor.show(select.value);
    $('revert').onclick = () => this.revert(select.value);
    $('save-file').onclick = () => save(select.value, this.editor.text(select.value));
    $('save-tuning').onclick = () => save('tuning.txt', this.tunedLine() + '\n');
    $('copy-link').onclick = () => this.copyLink(0);
    $('copy-play-link').onclick = () => this.copyLink(1);
    window.addEventListener('storage', (e) => {
      if (e.key && e.key.startsWith(store.prefix)) this.conflict(e.key.slice(store.prefix.length));
    });
  },

  // An edit: written and rebuilt after a pause in typing, kept in the storage at once.
  typed(name, text) {
    if (text === served.text[name]) delete this.edited[name];
    else this.edited[name] = text;
    store.write(this.editKey(name), name in this.edited ? text : null);
    this.markEdited();
    clearTimeout(this.pending[name]);
    this.pending[name] = setTimeout(() => this.written(name, text), EditPauseMs);
  },
  written(name, text) {
    delete this.pending[name];
    Module.FS.writeFile('/data/' + name, text);
    page.wrote(name);
  },
  // Every edit still waiting for its pause written now.
  flush() {
    for (const name of Object.keys(this.pending)) {
      clearTimeout(this.pending[name]);
      this.written(name, this.editor.text(name));
    }
  },
  revert(name) {
    this.editor.load(name, served.text[name]);
    this.typed(name, served.text[name]);
  },
  markEdited() {
    for (const option of $('file').options) {
      option.text = option.value + (option.value in this.edited ? ' (edited)' : '');
    }
  },

  tunedLine() {
    return cAnswer(Module._web_tuned_line());
  },
  keepTuning() {
    const line = this.tunedLine();
    if (line !== this.tuning) {
      if (store.write('tuning', line)) this.tuning = line;
    }
    this.keepMoment();
  },
  // Where the maker is, so that a reload comes back to it.
  keepMoment() {
    const v = this.view;
    if (!v) return;
    const moment = { time: v.loop_ms, loop: v.looping ? v.loop : null, paused: v.paused };
    const last = this.savedMoment || {};
    if (moment.time !== last.time || String(moment.loop) !== String(last.loop) ||
        moment.paused !== last.paused) {
      this.savedMoment = moment;
      store.write('moment', moment, true); // where one stands is no work to lose
    }
  },

  // Each frame: the overlay's lines, the sliders of the scene's controllers, the failing line.
  onView(json) {
    const v = this.view = JSON.parse(json);
    if (this.audience) {
      if (v.loop_ms >= DemoEndMs) {
        $('canvas').dispatchEvent(new KeyboardEvent('keydown', { key: 'Escape', code: 'Escape', bubbles: true }));
      }
      return;
    }
    $('overlay').hidden = !v.shown;
    const lines = v.text + (v.notes ? '\n\n' + v.notes : '');
    if ($('overlay').textContent !== lines) $('overlay').textContent = lines;
    this.showKnobs(v.reads);
    if (v.failure !== this.failure) this.showFailure(v.failure);
  },
  showKnobs(reads) {
    const rows = reads.map((r) => r.controller).join(' ');
    if (rows !== this.knobRows) {
      this.knobRows = rows;
      this.engaged = {};
      const body = $('knobs').tBodies[0];
      body.textContent = '';
      for (const r of reads) {
        const row = body.insertRow();
        row.dataset.controller = r.controller;
        row.insertCell().textContent = r.controller;
        row.insertCell().textContent = r.fallback.toFixed(2);
        const slots = [];
        for (let k = 0; k < 16; k++) if (r.slots & (1 << k)) slots.push(k);
        row.insertCell().textContent = slots.join(' ') || '-';
        const slider = document.createElement('input');
        slider.type = 'range';
        slider.min = 0, slider.max = 127, slider.step = 1;
        slider.setAttribute('aria-label', 'controller ' + r.controller);
        slider.oninput = () => this.moved(r.controller, slider);
        row.insertCell().appendChild(slider);
        row.insertCell();
        row.insertCell();
      }
    }
    const body = $('knobs').tBodies[0];
    reads.forEach((r, i) => {
      const row = body.rows[i];
      const slider = row.cells[3].firstChild;
      const byte = Math.round(r.value * 127);
      if (document.activeElement !== slider) slider.value = byte;
      slider.dataset.held = byte;
      row.cells[4].textContent = r.value.toFixed(2);
      row.cells[5].textContent = r.touched ? 'touched' : '';
    });
  },
  // A slider is a knob: its moves reach the controller as messages, in data-byte steps. Its first
  // move passes the value the controller holds first, as a knob turned through it would, so a
  // controller waiting for its knob (pickup) takes the slider at once.
  moved(controller, slider) {
    if (!this.engaged[controller]) {
      this.engaged[controller] = true;
      Module._web_midi_message(0xB0, controller, +slider.dataset.held);
    }
    Module._web_midi_message(0xB0, controller, +slider.value);
  },
  showFailure(failure) {
    this.failure = failure;
    const match = /^(?:.*\/)?([^/:]+):(\d+): (.*)$/s.exec(failure);
    if (this.marked) this.editor.mark(this.marked, 0, '');
    this.marked = null;
    $('failure-line').textContent = failure;
    $('failure-line').hidden = !failure;
    if (!match || !(match[1] in served.text)) return;
    this.marked = match[1];
    this.editor.mark(match[1], +match[2], match[3]);
  },

  // A moment as a link: loop time, loop, paused, the tuning and every shader that differs from the
  // served one, deflated into the fragment. On the clipboard, or on the page where it is refused.
  async copyLink(play) {
    const v = this.view;
    const m = Module.ccall('web_moment_begin', 'number',
      ['number', 'number', 'number', 'number', 'string'],
      [v.loop_ms, v.looping ? v.loop[0] : -1, v.looping ? v.loop[1] : -1, v.paused ? 1 : 0, this.tunedLine()]);
    served.names.forEach((name, i) => Module.ccall('web_moment_served', null, ['number', 'number', 'string'], [m, i, served.hash[name]]));
    served.names.slice(0, 9).forEach((name, i) => {
      const text = this.editor.text(name);
      if (text !== served.text[name]) {
        Module.ccall('web_moment_edit', null, ['number', 'number', 'string'], [m, i, text]);
      }
    });
    const at = Module._web_moment_write(m);
    const body = Module.HEAPU8.slice(at, at + Module.HEAPU8.indexOf(0, at) - at);
    Module._free(at);
    const compressed = await streamed(body, new CompressionStream('deflate'));
    const fragment = withBytes(compressed, (p, n) => cAnswer(Module._web_link_fragment(p, n, play)));
    const base = location.href.split('#')[0].split('?')[0];
    const url = base + (params.has('data') ? '?data=' + encodeURIComponent(params.get('data')) : '') + fragment;
    $('link-out').value = url;
    $('link-out').hidden = false;
    if (url.length > MaxLinkChars) {
      $('link-note').textContent = 'This link is ' + url.length.toLocaleString('en') + ' characters, ' +
        'more than a browser opens (' + MaxLinkChars.toLocaleString('en') + '): make fewer edits.';
      return;
    }
    let note = 'The link is on the clipboard.';
    try {
      await navigator.clipboard.writeText(url);
    } catch (e) {
      $('link-out').select();
      note = 'The browser did not let the page copy the link; it is selected here.';
    }
    $('link-note').textContent = note + ' (' + url.length.toLocaleString('en') + ' characters)';
  },

  // Another tab changed what this one keeps: say so, and let the maker choose.
  conflict(key) {
    const what = key.startsWith('edit/') ? key.split('/')[1] : key === 'tuning' ? 'the tuning' : null;
    if (!what) return;
    this.notice('Another tab of the studio changed ' + what + ' here since this tab read it.', [
      ['Load theirs', () => location.reload()],
      ['Keep mine', () => {
        if (key === 'tuning') store.write('tuning', this.tunedLine(), true);
        else store.write(key, this.edited[key.split('/')[1]] ?? null, true);
      }],
    ]);
  },
  notice(text, actions) {
    const box = $('notice');
    box.textContent = text + ' ';
    for (const [label, act] of actions) {
      const button = document.createElement('button');
      button.textContent = label;
      button.onclick = () => { box.hidden = true; act(); };
      box.appendChild(button);
    }
    box.hidden = false;
  },
};

// A file for the maker to carry into the native studio.
function save(name, text) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
  a.download = name;
  a.click();
  setTimeout(() => URL.revokeObjectURL(a.href), 0);
}

function loadScript(src) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = src;
    script.onload = resolve;
    script.onerror = () => reject(new Error(src + ' could not be downloaded'));
    document.body.appendChild(script);
  });
}

// The link in the page's address, opened with the form's own parser: null when there is none; a
// refusal throws with its reason.
async function linkedMoment() {
  if (!location.hash) return null;
  const parts = cJson(Module.ccall('web_link_unwrap', 'number', ['string'], [location.href]));
  if (parts.error) throw new Error(parts.error);
  const compressed = Module.HEAPU8.slice(parts.z, parts.z + parts.size);
  Module._free(parts.z);
  let body;
  try {
    body = await streamed(compressed, new DecompressionStream('deflate'), MaxBodyBytes);
  } catch (e) {
    throw new Error('the link does not decompress (' + e.message + '): cut short or damaged');
  }
  const moment = withBytes(body, (at, size) => cJson(Module._web_link_parse(at, size)));
  if (moment.error) throw new Error(moment.error);
  moment.id = hashOf(body).slice(0, 12);
  moment.play = parts.play;
  moment.muted = parts.play === 'muted';
  moment.other = served.names.filter((name, i) => served.hash[name] !== moment.served[i]);
  return moment;
}

// The start screen for a link: what it changes and where it opens, and whether it was made
// against these data.
function describeMoment(m) {
  const controllers = m.tuning.trim() ? m.tuning.trim().split(/\s+/).length : 0;
  const files = Object.keys(m.edits).length;
  const plural = (n, one) => n + ' ' + one + (n === 1 ? '' : 's');
  let text = 'This link ' + (m.play === 'studio' ? 'opens the studio at ' : 'plays the demo from ') +
    seconds(m.time) + (m.loop ? ', looping ' + seconds(m.loop[0]) + ' to ' + seconds(m.loop[1]) : '') +
    (m.paused && m.play === 'studio' ? ', paused' : '') + (m.muted ? ', muted' : '') +
    '; it changes ' + plural(files, 'shader file') + ' and ' + plural(controllers, 'controller') +
    (files ? ' (' + Object.keys(m.edits).join(', ') + ')' : '') + '.';
  $('link-about').textContent = text;
  $('link-about').hidden = false;
  if (m.other.length) {
    $('link-other').textContent = 'It was made against other data: ' + m.other.join(', ') +
      ' differ' + (m.other.length === 1 ? 's' : '') + ' here, so what it shows may not be what its maker saw.';
    $('link-other').hidden = false;
  }
}
