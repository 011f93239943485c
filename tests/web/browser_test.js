// The page in a real browser engine, served on 127.0.0.1 as `make serve-web`
// serves it (web/serve.py). One list of checks runs in each
// engine (engines.js drives Chromium, Firefox and WebKitGTK): the page loads
// without console errors and asks for nothing but its own files; the picture
// moves; the first key starts the music, which really plays; Space twice
// reaches part three; f shows the readout ("32"); Escape fades to black and
// the end message offers a restart. Recording gives a playable WebM where the
// engine records one, and where it gives no data the button says so and
// nothing is downloaded; a recorder offering MP4 only gives an .mp4. Full
// screen, prefixed or missing; the audio session or the silent media element
// that lets an iPhone play with its ring switch off; the screen wake lock; a
// quick end with the sound device suspended; the pages that cannot run the
// show. In Chromium also the page on an emulated phone, driven by taps.
// The browser features are faked, where needed, by a script run in the page
// before its own (an index.html copy with it inlined: one way for every
// engine, as WebKit's driver has no such hook).
// Usage: node browser_test.js ENGINE SITE-DIR ASSETS-DIR OUTPUT-DIR
//   ENGINE: chromium, firefox or webkit.
// Exit status 0 passed, 1 failed, 77 skipped (no browser, driver or npm
// module, outside CI).
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { launch, serve, delay, waitFor, Missing } = require('./engines.js');

const [engine, site, assets, output] = process.argv.slice(2);
const sources = path.join(__dirname, '..', '..', 'web');  // the service worker's template, for a rebuild
const timeout = 30000;  // generous: two cores shared with other work
const inCI = process.env.CI === 'true';
const counts = { passed: 0, failed: 0, skipped: 0 };

function check(ok, what) {
  console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`);
  counts[ok ? 'passed' : 'failed'] += 1;
  return ok;
}
function skip(what) {
  console.log(`SKIP: ${what}`);
  counts.skipped += 1;
}

// ---- Reference pictures from the assets -------------------------------------

// A binary Netpbm picture (P4 or P6 with maxval 255) as 0xRRGGBB words; set
// bitmap bits become white, as the show decodes them.
function readNetpbm(file) {
  const bytes = fs.readFileSync(file);
  const fields = [];
  let at = 0;
  while (fields.length < (bytes[1] === 0x34 ? 3 : 4)) {
    while (/\s/.test(String.fromCharCode(bytes[at]))) at += 1;
    if (bytes[at] === 0x23) {  // comment to the end of the line
      while (bytes[at] !== 0x0a) at += 1;
      continue;
    }
    const start = at;
    while (!/\s/.test(String.fromCharCode(bytes[at]))) at += 1;
    fields.push(bytes.toString('latin1', start, at));
  }
  at += 1;
  const width = Number(fields[1]);
  const height = Number(fields[2]);
  const pixels = new Uint32Array(width * height);
  for (let i = 0; i < pixels.length; i += 1) {
    if (fields[0] === 'P4') {
      const x = i % width;
      const byte = bytes[at + Math.floor(i / width) * Math.ceil(width / 8) + (x >> 3)];
      pixels[i] = (byte >> (7 - (x & 7))) & 1 ? 0xffffff : 0;
    } else {
      const p = at + 3 * i;
      pixels[i] = (bytes[p] << 16) | (bytes[p + 1] << 8) | bytes[p + 2];
    }
  }
  return { width, height, pixels };
}

const logoTop = readNetpbm(path.join(assets, 'logo-top.ppm'));
const emblem = readNetpbm(path.join(assets, 'emblem.ppm'));
const glyphs = readNetpbm(path.join(assets, 'glyphs.pbm'));

// ---- What the canvas shows ------------------------------------------------------

// The canvas's 256 x 256 pixels as 0xRRGGBB words. Read through a copy, so the
// page's own canvas is never read back (Chromium would warn about that).
async function grab(page) {
  const b64 = await page.evaluate(`(() => {
    const probe = window.velmProbe || (window.velmProbe = document.createElement('canvas')
      .getContext('2d', { willReadFrequently: true }));
    probe.canvas.width = probe.canvas.height = 256;
    probe.drawImage(document.getElementById('canvas'), 0, 0);
    const d = probe.getImageData(0, 0, 256, 256).data;
    let s = '';
    for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
    return btoa(s);
  })()`);
  const rgba = Buffer.from(b64, 'base64');
  const words = new Uint32Array(256 * 256);
  for (let i = 0; i < words.length; i += 1) {
    words[i] = (rgba[4 * i] << 16) | (rgba[4 * i + 1] << 8) | rgba[4 * i + 2];
  }
  return words;
}

// Share of a picture's lit pixels (within its first `rows` rows) found
// unchanged on the canvas with the picture's top-left at (x0, y0).
function shown(frame, picture, x0, y0, rows = picture.height) {
  let lit = 0;
  let same = 0;
  for (let y = 0; y < rows; y += 1) {
    for (let x = 0; x < picture.width; x += 1) {
      const p = picture.pixels[y * picture.width + x];
      if (p === 0) continue;
      lit += 1;
      if (frame[(y0 + y) * 256 + x0 + x] === p) same += 1;
    }
  }
  return lit === 0 ? 0 : same / lit;
}

const distinct = (frame) => new Set(frame).size;
const blackPixels = (frame) => frame.reduce((n, p) => n + (p === 0 ? 1 : 0), 0);
const partOne = (frame) => shown(frame, logoTop, 48, 0, 16) > 0.9;  // the picture may cover its lower half
const partTwo = (frame) => shown(frame, emblem, 224, 0) > 0.9;
const partThree = (frame) => blackPixels(frame) === 0;

// The readout in the top-left corner, as a number, or -1 when none shows: two
// glyph cells (15 x 26, 16 to a sheet row) of hexadecimal digits, white where
// the glyph is set and nowhere else. Only meaningful over part three's
// plasma, which is never white.
function readout(frame) {
  const digits = '0123456789ABCDEF';
  const cellShows = (code, left) => {
    for (let y = 0; y < 26; y += 1) {
      for (let x = 0; x < 15; x += 1) {
        const sx = (code % 16) * 15 + x;
        const sy = Math.floor(code / 16) * 26 + y;
        const lit = glyphs.pixels[sy * glyphs.width + sx] !== 0;
        if (lit !== (frame[y * 256 + left + x] === 0xffffff)) return false;
      }
    }
    return true;
  };
  const high = [...digits].findIndex((d) => cellShows(d.charCodeAt(0), 0));
  const low = [...digits].findIndex((d) => cellShows(d.charCodeAt(0), 15));
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Grabs the canvas until `test` holds for it; returns the frame or null.
async function waitForFrame(page, test, ms = timeout) {
  const until = Date.now() + ms;
  for (;;) {
    const frame = await grab(page);
    if (test(frame)) return frame;
    if (Date.now() > until) return null;
    await new Promise((resolve) => setTimeout(resolve, 150));
  }
}

// ---- Scripts run before the page's own ---------------------------------------

// First in every copy: what the other scripts note, for the test to read, and
// every media element played, with the event it was played in.
const notes = `window.velmTest = { calls: {}, downloads: [], problems: [], played: [],
  count: (name) => { velmTest.calls[name] = (velmTest.calls[name] || 0) + 1; } };
{ const play = HTMLMediaElement.prototype.play;
  HTMLMediaElement.prototype.play = function () {
    velmTest.played.push(this.tagName + ' in ' + (window.event ? window.event.type : 'no event'));
    return play.call(this);
  }; }`;

// Where the driver reads no console (WebKit): the page's own console errors
// and warnings, uncaught exceptions and failed loads, kept in the page.
const consoleKeeper = `['error', 'warn'].forEach((level) => {
  const write = console[level];
  console[level] = function (...args) { velmTest.problems.push('console.' + level + ': ' + args.join(' ')); return write.apply(this, args); };
});
addEventListener('error', (e) => velmTest.problems.push(e.message ? 'exception: ' + e.message
  : 'failed load: ' + (e.target.src || e.target.href)), true);
addEventListener('unhandledrejection', (e) => velmTest.problems.push('unhandled rejection: ' + e.reason));`;

// Each download the page starts: the link's name and its blob's type and size.
const downloads = `{ const blobs = new Map();
  const make = URL.createObjectURL;
  URL.createObjectURL = function (blob) { const url = make.call(URL, blob); blobs.set(url, blob); return url; };
  const click = HTMLAnchorElement.prototype.click;
  HTMLAnchorElement.prototype.click = function () {
    const blob = blobs.get(this.href);
    if (this.download) velmTest.downloads.push({ name: this.download, type: blob ? blob.type : '', size: blob ? blob.size : -1 });
    return velmTest.keepDownloads ? undefined : click.call(this);
  }; }`;

// A recorder that makes MP4 only, as Safari's: a few bytes each delivery.
const mp4Only = `velmTest.keepDownloads = true;
window.MediaRecorder = class {
  static isTypeSupported(type) { return /^video\\/mp4/.test(type); }
  constructor(stream, options) { this.mimeType = 'video/mp4;codecs=avc1.42e01e,mp4a.40.2'; velmTest.asked = options && options.mimeType; }
  start() { this.timer = setInterval(() => this.deliver(), 250); }
  stop() { clearInterval(this.timer); setTimeout(() => { this.deliver(); this.onstop(); }); }
  deliver() { this.ondataavailable({ data: new Blob([new Uint8Array(64)], { type: this.mimeType }) }); }
};`;

// A WebM recorder that takes 7 s to report its stop, or whose constructor
// throws; the music's connections to a recording are counted.
const awkwardRecorder = (throws) => `velmTest.keepDownloads = true;
{ let taps = 0;
  const connect = AudioNode.prototype.connect, disconnect = AudioNode.prototype.disconnect;
  AudioNode.prototype.connect = function (node, ...rest) {
    if (node instanceof MediaStreamAudioDestinationNode) taps++; return connect.call(this, node, ...rest); };
  AudioNode.prototype.disconnect = function (node, ...rest) {
    if (node instanceof MediaStreamAudioDestinationNode) taps--; return disconnect.call(this, node, ...rest); };
  Object.defineProperty(velmTest, 'taps', { get: () => taps }); }
window.MediaRecorder = class {
  static isTypeSupported(type) { return /^video\\/webm/.test(type); }
  constructor(stream, options) { if (${throws}) throw new DOMException('cannot', 'NotSupportedError'); this.mimeType = options.mimeType; }
  start() { this.timer = setInterval(() => this.deliver(), 250); }
  stop() { clearInterval(this.timer); setTimeout(() => { this.deliver(); this.onstop(); }, 7000); }
  deliver() { this.ondataavailable({ data: new Blob([new Uint8Array(64)], { type: this.mimeType }) }); }
};`;

const noFullscreen = 'delete Element.prototype.requestFullscreen; delete Element.prototype.webkitRequestFullscreen;';
// Full screen asked for is counted, not entered: the standard call, or only
// the prefixed one of older iPad Safari.
const countedFullscreen = (prefixed) => `${noFullscreen}
  Element.prototype.${prefixed ? 'webkitRequestFullscreen' : 'requestFullscreen'} = function () {
    velmTest.count('fullscreen'); ${prefixed ? '' : 'return Promise.resolve();'} };`;

const noApis = `${noFullscreen} delete Navigator.prototype.wakeLock; delete Navigator.prototype.audioSession;`;

// An iPhone's audio session, noting the event its type was set in.
const audioSession = `{ let type = 'auto';
  const session = { get type() { return type; },
                    set type(value) { type = value; velmTest.sessionSetIn = window.event ? window.event.type : 'no event'; } };
  Object.defineProperty(Navigator.prototype, 'audioSession', { configurable: true, get: () => session }); }`;

// The wake lock's requests and releases counted. The engine's own lock where
// it grants one, else (none, or refused) a stand-in; and a page that can be
// hidden and shown again (velmTest.hide).
const wakeLock = `{ const real = navigator.wakeLock;
  const standIn = () => { const s = new EventTarget();
    s.release = () => { s.dispatchEvent(new Event('release')); return Promise.resolve(); };
    return s; };
  const request = (type) => { velmTest.count('request');
    return (real ? real.request(type) : Promise.reject(new Error('none'))).catch(standIn).then((sentinel) => {
      const release = sentinel.release;
      sentinel.release = function () { velmTest.count('release'); return release.call(this); };
      return sentinel;
    }); };
  Object.defineProperty(Navigator.prototype, 'wakeLock', { configurable: true, get: () => ({ request }) });
  let hidden = false;
  Object.defineProperty(Document.prototype, 'visibilityState', { configurable: true, get: () => (hidden ? 'hidden' : 'visible') });
  Object.defineProperty(Document.prototype, 'hidden', { configurable: true, get: () => hidden });
  velmTest.hide = (h) => { hidden = h; document.dispatchEvent(new Event('visibilitychange')); }; }`;

// Every audio context the page makes is suspended and stays so, as a browser
// without a sound device leaves it.
const suspendedSound = `{ const Native = window.AudioContext;
  window.AudioContext = function (...args) {
    const context = Reflect.construct(Native, args, new.target || Native);
    context.suspend();
    context.resume = () => Promise.resolve();
    return context;
  };
  window.AudioContext.prototype = Native.prototype; }`;

// ---- Pages -----------------------------------------------------------------------

const showStarted = (page) => waitFor(page, "document.getElementById('message').hidden", timeout, 'the show to start');
const endMessage = (page) => waitFor(page, `!document.getElementById('message').hidden &&
  !document.getElementById('restart').hidden && document.getElementById('text').textContent`, timeout, 'the end message');
const restarted = async (page) => {
  await delay(500);
  await waitFor(page, "document.readyState === 'complete' && document.getElementById('message').hidden",
                timeout, 'the show to start again').catch(() => false);
  return await waitForFrame(page, (f) => partOne(f) && distinct(f) > 50) !== null;
};

// Opens the site (ctx.root/FOLDER) in a new page; with scripts, a copy of
// its index.html that runs them first. `before` gets the page before it loads.
let copies = 0;
async function open(ctx, scripts = [], { folder = 'full', url = '', before = null } = {}) {
  const all = ctx.browser.readsConsole || url ? scripts : [consoleKeeper, ...scripts];
  let file = '';
  if (all.length > 0) {
    copies += 1;
    file = `test-${copies}.html`;
    const html = fs.readFileSync(path.join(ctx.root, folder, 'index.html'), 'utf8');
    fs.writeFileSync(path.join(ctx.root, folder, file),
                     html.replace('<head>', `<head>\n<script>\n${notes}\n${all.join('\n')}\n</script>`));
  }
  const page = ctx.page = await ctx.browser.newPage();
  page.file = file;
  if (before) await before(page);
  await page.open(url || `${ctx.base}/${folder}/${file}`);
  return page;
}
async function problems(page) {
  return (await page.problems()) || page.evaluate('velmTest.problems');
}
const readsConsole = (ctx) => (ctx.browser.readsConsole ? ''
  : ' (read in the page: its own console calls, exceptions and failed loads; WebKit\'s driver reads no console)');

// What lies over the middle of the element with this id, if anything: a
// button covered by another element takes no clicks.
const covered = (page, id) => page.evaluate(`(() => {
  const r = document.getElementById('${id}').getBoundingClientRect();
  const top = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
  return !top || top.closest('#${id}') ? '' : ' (covered by ' + (top.id ? '#' + top.id : top.tagName) + ')';
})()`);

// ---- The checks -------------------------------------------------------------------

async function normalUse(ctx) {
  const page = await open(ctx);
  await showStarted(page);
  check(await page.evaluate('document.title') === 'VELM4023', 'the page is titled VELM4023');
  check(await page.evaluate(`getComputedStyle(document.getElementById('canvas')).imageRendering`) === 'pixelated',
        'the picture is scaled without smoothing');

  let frame = await waitForFrame(page, (f) => partOne(f) && distinct(f) > 50);
  check(frame !== null, 'part one is shown: its top logo, and not a flat picture');
  await page.screenshot(path.join(ctx.output, '1-part-one.png'));
  await delay(400);
  const later = await grab(page);
  check(frame !== null && later.some((p, i) => p !== frame[i]), 'the picture moves');

  const soundBefore = await page.evaluate("document.getElementById('sound').textContent");
  check(/first click or key/.test(soundBefore), `before any key the page says how the music starts ("${soundBefore}")`);
  await page.press(' ');
  check(await waitForFrame(page, partTwo) !== null, 'Space leads to part two: its emblem, top right');
  const soundAfter = await page.evaluate("document.getElementById('sound').textContent");
  check(/Music on/.test(soundAfter), `the first key starts the music and the page says so ("${soundAfter}")`);
  // Once the device pulls beyond the buffers filled ahead (Firefox's takes
  // over a second to connect), the synth renders in real time: at least half
  // of 44100 frames a second.
  const ahead = await page.evaluate('Module._WEBSoundRendered()');
  const start = await waitFor(page, `Module._WEBSoundRendered() > ${ahead} && Module._WEBSoundRendered()`, 5000,
                              'the sound device to pull').catch(() => 0);
  await delay(1000);
  const rendered = await page.evaluate('Module._WEBSoundRendered()') - start;
  check(start > 0 && rendered > 22050, `the synth plays in the page (${rendered} sample frames in a second)`);
  await page.screenshot(path.join(ctx.output, '2-part-two.png'));

  await page.press(' ');
  frame = await waitForFrame(page, partThree);
  check(frame !== null, 'Space again leads to part three: the plasma covers every pixel');
  check(frame !== null && readout(frame) < 0, 'no readout before f');
  await page.screenshot(path.join(ctx.output, '3-part-three.png'));

  // 50 frames a second read "32"; a one-second window may hold a frame more or
  // less, and a machine busy with other work may cost a few. Below 40 the
  // pacing itself is wrong.
  await page.press('f');
  const seen = new Set();
  await waitForFrame(page, (f) => {
    const value = partThree(f) ? readout(f) : -1;
    if (value >= 0) seen.add(value);
    return seen.has(50);
  }, 15000);
  const values = [...seen].sort((a, b) => a - b);
  const readings = values.map((v) => `"${v.toString(16).toUpperCase()}" (${v})`).join(', ') || 'nothing';
  check(values.some((v) => v >= 40 && v <= 52), `f shows the readout: ${readings}`);
  await page.screenshot(path.join(ctx.output, '4-readout.png'));

  const quit = Date.now();
  await page.press('Escape');
  check(await waitForFrame(page, (f) => f.every((p) => p === 0)) !== null, 'Escape fades the picture to black');
  const ended = await endMessage(page).catch(() => '');
  const seconds = (Date.now() - quit) / 1000;
  check(/ended/.test(ended), `the page says the show has ended ("${ended}"), ${seconds.toFixed(1)} s after Escape, and offers a restart`);
  await page.screenshot(path.join(ctx.output, '5-ended.png'));

  // Any file of the site may be asked for (and the test's copy of the page),
  // and nothing from anywhere else.
  const files = new Set([...fs.readdirSync(site), page.file]);
  const foreign = (await page.requests()).filter((address) => {
    if (/^(data|blob):/.test(address)) return false;
    const u = new URL(address);
    const file = u.pathname.replace(/^\/full\//, '');
    return u.origin !== ctx.base || !(file === '' || files.has(file));
  });
  check(foreign.length === 0, `the page asks for nothing but its own files ${foreign.join(' ')}`);
  const seenProblems = await problems(page);
  check(seenProblems.length === 0, `no console errors or warnings${readsConsole(ctx)} ${seenProblems.join(' | ')}`);

  await page.evaluate("document.getElementById('restart').click()");
  check(await restarted(page), 'Start again restarts the show');
}

// Record, about three seconds, F9: a clip of the show with its music, 1024 x 1024,
// under a dated name, where the engine records; where it gives no data, the
// button says so and nothing is downloaded.
async function recording(ctx) {
  const page = await open(ctx, [downloads]);
  await showStarted(page);
  if (!check(await page.evaluate("!document.getElementById('record').hidden"), 'the page offers a Record button')) return;
  await page.press(' ');  // the music, for the clip's sound track
  await page.click('#record');
  await delay(1500);
  const label = await page.evaluate("document.getElementById('record').textContent");
  if (!check(/\d:\d\d/.test(label), `the Record button starts a recording and shows the time ("${label}")${await covered(page, 'record')}`)) {
    await page.press('F9');  // the rest of the checks still run
  }
  await delay(1500);
  await page.press('F9');
  await waitFor(page, "velmTest.downloads.length > 0 || document.getElementById('record').disabled", timeout,
                'a download or the button giving up').catch(() => false);
  const got = await page.evaluate('velmTest.downloads');
  const button = await page.evaluate(`(b => ({ text: b.textContent, disabled: b.disabled, title: b.title }))(document.getElementById('record'))`);
  if (!ctx.records) {
    check(got.length === 0, `the engine gives no data and nothing is downloaded (${JSON.stringify(got)})`);
    check(button.text === 'Cannot record' && button.disabled && /could not record/.test(button.title),
          `the button says so: "${button.text}", "${button.title}"${button.disabled ? ', disabled' : ''}`);
    return;
  }
  const clip = got[0] || {};
  check(got.length === 1 && /^velm4023-\d{8}-\d{6}[.]webm$/.test(clip.name) && /^video\/webm/.test(clip.type),
        `F9 stops it and one clip is downloaded: "${clip.name}", ${clip.type}, ${clip.size} bytes`);
  check(button.text === 'Record' && !button.disabled, `then the button says Record again ("${button.text}")`);
  // The file the browser saved, once whole.
  const file = path.join(ctx.downloads, clip.name || 'none');
  const end = Date.now() + timeout;
  while (!(fs.existsSync(file) && fs.statSync(file).size === clip.size) && Date.now() < end) await delay(200);
  if (!check(fs.existsSync(file) && fs.statSync(file).size === clip.size, `the browser saved ${clip.name}`)) return;
  const probe = spawnSync('ffprobe', ['-v', 'error', '-show_entries', 'stream=codec_type,codec_name,width,height',
                                      '-of', 'json', file], { encoding: 'utf8' });
  if (probe.error) {
    if (inCI) check(false, 'ffprobe is installed');
    else skip('ffprobe is not installed');
    return;
  }
  const streams = probe.status === 0 ? JSON.parse(probe.stdout).streams : [];
  const video = streams.find((t) => t.codec_type === 'video');
  check(video && video.width === 1024 && video.height === 1024,
        `the clip's picture is 1024 x 1024 (${video ? `${video.codec_name}, ${video.width} x ${video.height}` : 'no picture'})`);
  check(streams.some((t) => t.codec_type === 'audio'), 'the clip has a sound track');
}

async function recordingMp4(ctx) {
  const page = await open(ctx, [downloads, mp4Only]);
  await showStarted(page);
  await page.press('F9');
  await delay(1200);
  await page.press('F9');
  await waitFor(page, 'velmTest.downloads.length > 0', 10000, 'the download').catch(() => false);
  const [clip = {}] = await page.evaluate('velmTest.downloads');
  check(await page.evaluate('velmTest.asked') === 'video/mp4', 'the page asks the recorder for MP4, the one it offers');
  check(/^velm4023-\d{8}-\d{6}[.]mp4$/.test(clip.name) && /^video\/mp4/.test(clip.type) && clip.size > 0,
        `the clip is downloaded as "${clip.name}", ${clip.type}, ${clip.size} bytes`);
}

// A recorder slow to stop still delivers its clip; one that cannot start
// leaves the music connected to nothing.
async function recordingAwkward(ctx) {
  let page = await open(ctx, [downloads, awkwardRecorder(false)]);
  await showStarted(page);
  await page.press(' ');  // the music, which the recording taps
  await page.press('F9');
  await delay(1200);
  await page.press('F9');
  await waitFor(page, 'velmTest.downloads.length > 0', 15000, 'the download').catch(() => false);
  const [clip = {}] = await page.evaluate('velmTest.downloads');
  check(/^velm4023-\d{8}-\d{6}[.]webm$/.test(clip.name) && clip.size > 0,
        `a recorder reporting its stop after 7 s still gives its clip: "${clip.name}", ${clip.size} bytes`);
  check(await page.evaluate('velmTest.taps') === 0, 'and the music is no longer tapped');
  await page.close();
  page = await open(ctx, [downloads, awkwardRecorder(true)]);
  await showStarted(page);
  await page.press(' ');
  await page.press('F9');
  await delay(500);
  const state = await page.evaluate(`({ text: document.getElementById('record').textContent,
    taps: velmTest.taps, downloads: velmTest.downloads.length })`);
  check(state.text === 'Cannot record' && state.taps === 0 && state.downloads === 0,
        `a recorder that cannot start: "${state.text}", ${state.taps} taps left, ${state.downloads} downloads`);
}

// The standard call, or only the prefixed one: the button and a double-click
// with the mouse ask for full screen, a single click does not.
async function fullscreen(ctx, prefixed) {
  const page = await open(ctx, [countedFullscreen(prefixed)]);
  await showStarted(page);
  const asked = () => page.evaluate('velmTest.calls.fullscreen || 0');
  check(await page.evaluate("!document.getElementById('fullscreen').hidden"), 'the Full screen button is shown');
  await page.click('#canvas');
  await delay(600);  // more than a double-click's time
  check(await asked() === 0, 'a single click on the picture does not ask for full screen');
  await page.doubleClick('#canvas');
  await delay(300);
  check(await asked() === 1, 'a double-click on the picture with the mouse asks for full screen');
  await page.click('#fullscreen');
  await delay(300);
  check(await asked() === 2, `so does the Full screen button${await covered(page, 'fullscreen')}`);
}

// No full screen, no wake lock, no audio session (an iPhone's older Safari):
// no button nor help for full screen; the first key plays the silent media
// element; the show plays and ends with nothing printed.
async function withoutApis(ctx) {
  const page = await open(ctx, [noApis]);
  await showStarted(page);
  check(await page.evaluate("['fullscreen', 'fullscreen-touch'].every((id) => document.getElementById(id).hidden)"),
        'no Full screen button, on the corner or the touch bar');
  const help = await page.evaluate("dispatchEvent(new Event('touchstart')), document.getElementById('keys').textContent");
  check(/tap/i.test(help) && !/full screen/i.test(help), `the touch help offers no full screen ("${help}")`);
  await page.press(' ');
  const played = await page.evaluate('velmTest.played');
  check(played.includes('AUDIO in keydown'), `the key that opens the sound plays a media element in its own event (${played.join(', ') || 'none'})`);
  check(await waitForFrame(page, partTwo) !== null, 'the show goes on to part two');
  await page.press('Escape');
  check(/ended/.test(await endMessage(page).catch(() => '')), 'and ends');
  const seen = await problems(page);
  check(seen.length === 0, `nothing printed as an error or warning${readsConsole(ctx)} ${seen.join(' | ')}`);
}

async function withAudioSession(ctx) {
  const page = await open(ctx, [audioSession]);
  await showStarted(page);
  check(await page.evaluate('navigator.audioSession.type') === 'auto', 'before any click the audio session is as it was');
  await page.click('#canvas');
  const setIn = await waitFor(page, 'velmTest.sessionSetIn', 5000, 'the audio session').catch(() => 'nothing');
  check(await page.evaluate('navigator.audioSession.type') === 'playback' && setIn === 'pointerdown',
        `the first click sets the audio session to playback in its own event (${setIn})`);
  check((await page.evaluate('velmTest.played')).length === 0, 'and plays no media element');
}

async function keptAwake(ctx) {
  const page = await open(ctx, [wakeLock]);
  await showStarted(page);
  await page.press(' ');
  await delay(500);
  const calls = () => page.evaluate('velmTest.calls');
  const first = (await calls()).request || 0;
  check(first >= 1, `while the show plays the page asks for a wake lock (${first} times)`);
  await page.evaluate('velmTest.hide(true)');
  await delay(300);
  await page.evaluate('velmTest.hide(false)');
  await delay(500);
  const again = (await calls()).request || 0;
  check(again === first + 1, `hidden and shown again, it asks once more (${again} requests)`);
  await page.press('Escape');
  await endMessage(page).catch(() => '');
  const released = (await calls()).release || 0;
  check(released === 1, `after the end it lets the lock go (${released} releases)`);
}

// The sound device never plays: the end waits for no fade.
async function endSuspended(ctx) {
  const page = await open(ctx, [suspendedSound]);
  await showStarted(page);
  await page.press(' ');
  await delay(1000);
  const quit = Date.now();
  await page.press('Escape');
  const ended = await endMessage(page).catch(() => '');
  const seconds = (Date.now() - quit) / 1000;
  check(/ended/.test(ended) && seconds < 2, `with the sound device suspended the show ends ${seconds.toFixed(1)} s after Escape`);
}

// A page that cannot run the show says why.
const badCondition = (scripts, where, expected, shot) => async (ctx) => {
  const page = await open(ctx, scripts, where);
  const said = await waitFor(page, `!document.getElementById('message').hidden &&
      /[.]$/.test(document.getElementById('text').textContent) && document.getElementById('text').textContent`,
  timeout, 'a message').catch((e) => `(${e.message})`);
  check(expected.test(said), `the page says "${said}"`);
  await page.screenshot(path.join(ctx.output, shot));
};

// The page on a phone: 390 x 844 CSS pixels at 3x, touch only (Chromium's
// device emulation).
async function phone(ctx) {
  const page = await open(ctx, [], { before: (p) => p.raw.setViewport({ width: 390, height: 844, deviceScaleFactor: 3,
                                                                           isMobile: true, hasTouch: true }) });
  const raw = page.raw;
  await waitFor(page, "document.getElementById('message').hidden", timeout, 'the show to start on the phone');
  const help = await page.evaluate("document.getElementById('keys').textContent");
  check(/tap/i.test(help) && !/Esc/.test(help), `on a phone the help speaks of tapping ("${help}")`);
  const buttons = await page.evaluate(`[...document.querySelectorAll('#controls button')].map((b) => {
    const r = b.getBoundingClientRect();
    return { key: b.dataset.key, label: b.getAttribute('aria-label'), w: r.width, h: r.height, x: r.x + r.width / 2, y: r.y + r.height / 2 };
  })`);
  const small = buttons.filter((b) => !b.label || b.w < 44 || b.h < 44 || b.y > 844);
  check(buttons.length >= 8 && small.length === 0,
        `the control bar shows ${buttons.map((b) => b.label).join(', ')}, each named, on screen and 44 px or more`);
  const centre = await page.evaluate(`(() => { const r = document.getElementById('canvas').getBoundingClientRect();
    return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`);
  // A control is tapped as a person would: a faded bar is brought back first.
  const tapControl = async (key) => {
    const b = buttons.find((x) => x.key === key);
    if (await page.evaluate("document.getElementById('controls').classList.contains('faded')")) {
      await raw.touchscreen.tap(b.x, b.y);
      await delay(300);
    }
    await raw.touchscreen.tap(b.x, b.y);
  };

  await raw.touchscreen.tap(centre.x, centre.y);
  check(await waitForFrame(page, partTwo) !== null, 'a tap on the picture leads to part two');
  await raw.touchscreen.tap(centre.x, centre.y);
  check(await waitForFrame(page, partThree) !== null, 'a second tap leads to part three: the plasma covers every pixel');
  await page.screenshot(path.join(ctx.output, '8-phone-part-three.png'));

  await tapControl('f');
  check(await waitForFrame(page, (f) => partThree(f) && readout(f) > 0, 10000) !== null,
        'the frame rate control shows the readout');
  const music = /Music on/.test(await page.evaluate("document.getElementById('sound').textContent"));
  const before = await page.evaluate('Module._WEBSoundMuted()');
  await tapControl('m');
  const after = await waitFor(page, `Module._WEBSoundMuted() !== ${before} && 'changed'`, 5000, 'the music to switch')
    .catch(() => 'unchanged');
  check(music && before === 0 && after === 'changed', 'the first tap started the music and the music control switches it off');
  await tapControl('Escape');
  const ended = await endMessage(page).catch(() => '');
  check(/ended/.test(ended), `the quit control ends the show ("${ended}")`);
  await page.screenshot(path.join(ctx.output, '9-phone-ended.png'));
  const again = await page.evaluate(`(() => { const r = document.getElementById('restart').getBoundingClientRect();
    return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`);
  await raw.touchscreen.tap(again.x, again.y);
  check(await restarted(page), 'a tap on Start again restarts the show');
  const seen = await problems(page);
  check(seen.length === 0, `no console errors or warnings on the phone ${seen.join(' | ')}`);
}

// ---- The page as an app ----------------------------------------------------------

// A copy of the site in a folder of its own, whose service worker and caches
// are its own too.
function siteCopy(ctx, folder) {
  fs.cpSync(path.join(ctx.root, 'full'), path.join(ctx.root, folder), { recursive: true });
  return folder;
}
const controlled = (page) => waitFor(page, "navigator.serviceWorker.controller && 'yes'", timeout, 'the service worker');
const moving = async (page) => {
  const frame = await waitForFrame(page, (f) => distinct(f) > 50);
  await delay(300);
  return frame !== null && (await grab(page)).some((p, i) => p !== frame[i]);
};

// Chromium's own judgement of whether the page can be installed.
async function installable(ctx) {
  const page = await open(ctx);
  await showStarted(page);
  const session = await page.raw.createCDPSession();
  const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0,
        `the page can be installed (${installabilityErrors.map((e) => e.errorId).join(', ') || 'no errors'})`);
}

// With the network gone after a first visit, a reload plays the show from the
// service worker's cache; after a rebuild, one reload serves the new build
// whole, and the old build's cache goes.
async function offlineAndRebuilt(ctx) {
  const folder = siteCopy(ctx, 'app');
  const page = await open(ctx, [], { folder });
  await showStarted(page);
  await controlled(page);
  await page.raw.setOfflineMode(true);
  await page.raw.reload({ waitUntil: 'load' }).catch(() => {});
  await showStarted(page).catch(() => {});
  check(await moving(page), 'offline, a reload plays the show from the cache');
  await page.press(' ');
  check(await waitForFrame(page, partTwo) !== null, 'offline, Space still leads to part two');
  await page.raw.setOfflineMode(false);

  // The rebuild: two of the files change, and the worker is written anew.
  const dir = path.join(ctx.root, folder);
  fs.appendFileSync(path.join(dir, 'page.js'), "\nwindow.velmBuild = 'new';\n");
  const html = path.join(dir, 'index.html');
  fs.writeFileSync(html, fs.readFileSync(html, 'utf8').replace('<head>', '<head>\n<meta name="velm-build" content="new">'));
  const files = JSON.parse(fs.readFileSync(path.join(dir, 'sw.js'), 'utf8').match(/var FILES = (\[[^\]]*\])/)[1]
    .replace(/'/g, '"')).filter((f) => f !== './');
  const made = spawnSync('cmake', [`-DSITE=${dir}`, `-DFILES=${files.join(';')}`, `-DTEMPLATE=${path.join(sources, 'sw.js')}`,
                                  '-P', path.join(sources, 'worker.cmake')], { encoding: 'utf8' });
  if (!check(made.status === 0, `the worker is written for the new build ${made.stderr || ''}`)) return;
  await page.raw.reload({ waitUntil: 'load' });
  await showStarted(page);
  const build = await page.evaluate("[window.velmBuild, !!document.querySelector('meta[name=velm-build]')].join(' ')");
  check(build === 'new true', `one reload after a rebuild serves the new page and script ("${build}")`);
  const caches = await waitFor(page, `caches.keys().then((k) => k.filter((n) => n.includes('/${folder}/'))).then((k) =>
    k.length === 1 && k.length)`, timeout, 'the old cache to go').catch(() => 0);
  check(caches === 1, 'the old build\'s cache is deleted once the new worker runs');
}

// Back to the page after leaving it: it comes from the back/forward cache,
// still playing, not started anew.
async function backForward(ctx) {
  const page = await open(ctx, ["addEventListener('pageshow', (e) => { if (e.persisted) velmTest.restored = true; });"]);
  await showStarted(page);
  await page.press(' ');
  await waitForFrame(page, partTwo);
  fs.writeFileSync(path.join(ctx.root, 'full', 'away.html'), '<!doctype html><title>away</title><p>away</p>');
  await page.evaluate("location.href = 'away.html'");
  await waitFor(page, "document.title === 'away'", timeout, 'the other page');
  await page.evaluate('history.back()');
  const restored = await waitFor(page, "window.velmTest && velmTest.restored && 'yes'", 10000, 'the page restored')
    .catch(() => 'no');
  check(restored === 'yes', 'back again, the page comes from the back/forward cache');
  check(await waitForFrame(page, partTwo, 5000) !== null && await moving(page), 'and the show goes on in part two');
}

// Held sideways (844 x 390 at 2x) the picture takes 3x, the height's largest
// whole multiple; upright (390 x 844) it keeps its size; once the lines and
// the touch bar have faded, nothing lies over it.
async function sideways(ctx) {
  const view = { deviceScaleFactor: 2, isMobile: true, hasTouch: true };
  const page = await open(ctx, [], { before: (p) => p.raw.setViewport({ width: 844, height: 390, ...view }) });
  await showStarted(page);
  const size = () => page.evaluate("Math.round(document.getElementById('canvas').getBoundingClientRect().width)");
  check(await size() === 384, `sideways the picture is 384 CSS pixels, 3x (${await size()})`);
  await page.screenshot(path.join(ctx.output, '11-sideways.png'));
  await delay(8000);
  const over = await page.evaluate(`(() => { const r = document.getElementById('canvas').getBoundingClientRect();
    const found = new Set();
    for (let y = r.top + 2; y < r.bottom; y += 12) for (let x = r.left + 2; x < r.right; x += 12) {
      const e = document.elementFromPoint(x, y);
      if (e && e.id !== 'canvas') found.add(e.id || e.tagName);
    }
    return [...found].join(', '); })()`);
  check(over === '', `once faded nothing lies over the picture${over ? ` (${over})` : ''}`);
  await page.raw.setViewport({ width: 390, height: 844, ...view });
  await delay(300);
  check(await size() === 384, `upright the picture is 384 CSS pixels too, the width's 3x (${await size()})`);
}

// The table: each row runs in every engine, or in those it names.
const checks = [
  ['normal use: parts, keys, readout, music, the end', normalUse],
  ['recording', recording],
  ['recording where the recorder offers MP4 only', recordingMp4],
  ['recording with a recorder slow to stop or failing to start', recordingAwkward, ['chromium']],
  ['full screen', (ctx) => fullscreen(ctx, false)],
  ['full screen where only the webkit-prefixed call exists', (ctx) => fullscreen(ctx, true)],
  ['no full screen, wake lock nor audio session', withoutApis],
  ['an audio session (iPhone)', withAudioSession],
  ['the screen kept awake', keptAwake],
  ['the end with the sound device suspended', endSuspended],
  ['served without velm4023.wasm', badCondition([], { folder: 'nowasm' }, /velm4023[.]wasm, did not load/, '6-no-wasm.png')],
  ['a browser without WebAssembly', badCondition(['delete globalThis.WebAssembly;'], {}, /cannot run WebAssembly/,
                                                  '7-no-webassembly.png')],
  ['the page opened from disk', (ctx) => badCondition([], { url: `file://${ctx.root}/full/index.html` },
    /opened from a file on disk.*velm4023[.]wasm.*http[.]server.*serve-web/, '10-from-disk.png')(ctx)],
  ['a phone: touch, through Chromium\'s device emulation', phone, ['chromium']],
  ['installable as an app', installable, ['chromium']],
  ['offline, and a new build', offlineAndRebuilt, ['chromium']],
  ['back and forward', backForward],
  ['a phone held sideways', sideways, ['chromium']],
];

// What each engine records here: WebKitGTK's recorder gives no data.
const records = { chromium: true, firefox: true, webkit: false };

// Two copies of the site under one folder: whole, and without the .wasm.
function prepareSites() {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'velm-site-'));
  for (const [dir, leaveOut] of [['full', ''], ['nowasm', 'velm4023.wasm']]) {
    fs.mkdirSync(path.join(root, dir));
    for (const f of fs.readdirSync(site)) if (f !== leaveOut) fs.copyFileSync(path.join(site, f), path.join(root, dir, f));
  }
  return root;
}

async function main() {
  if (!(engine in records) || !output) {
    console.log('usage: node browser_test.js chromium|firefox|webkit SITE-DIR ASSETS-DIR OUTPUT-DIR');
    return 2;
  }
  for (const f of ['index.html', 'velm4023.js', 'velm4023.wasm']) {
    if (!fs.existsSync(path.join(site, f))) throw new Missing(`${site}/${f} is missing (run make web)`);
  }
  const ctx = { output, records: records[engine] };
  fs.mkdirSync(ctx.output, { recursive: true });
  ctx.root = prepareSites();
  ctx.downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'velm-clips-'));
  const { server, base } = await serve(ctx.root);
  ctx.base = base;
  try {
    const started = Date.now();
    ctx.browser = await launch(engine, ctx.downloads);
    console.log(`${ctx.browser.version} (started in ${((Date.now() - started) / 1000).toFixed(1)} s)`);
    for (const [name, run, only] of checks) {
      if (only && !only.includes(engine)) {
        console.log(`-- ${name}: ${only.join(', ')} only`);
        continue;
      }
      const t0 = Date.now();
      console.log(`-- ${name}`);
      try {
        await run(ctx);
      } catch (e) {
        check(false, `${name}: ${e.message}`);
      } finally {
        if (ctx.page) await ctx.page.close();
        ctx.page = null;
      }
      console.log(`   (${((Date.now() - t0) / 1000).toFixed(1)} s)`);
    }
  } finally {
    if (ctx.browser) await ctx.browser.close();
    server.kill();
    for (const dir of [ctx.root, ctx.downloads]) fs.rmSync(dir, { recursive: true, force: true });
  }
  console.log(`screenshots in ${ctx.output}`);
  console.log(`${engine}: ${counts.passed} passed, ${counts.failed} failed, ${counts.skipped} skipped`);
  return counts.failed === 0 ? 0 : 1;
}

main().then((status) => process.exit(status), (error) => {
  if (error instanceof Missing) {
    console.log(`${inCI ? 'FAIL' : 'SKIP'}: ${error.message}`);
    process.exit(inCI ? 1 : 77);
  }
  console.log(`FAIL: ${error.stack}`);
  process.exit(1);
});
