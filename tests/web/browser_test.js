// The page in a real headless Chromium, served on 127.0.0.1 by Python's
// http.server as `make serve-web` serves it: it loads without console errors
// or warnings and asks for nothing but its three files; the picture moves;
// Space twice reaches part three; f shows the readout ("32"); Escape fades to
// black and the end message offers a restart, which starts the show again.
// F9 records a clip: a 1024 x 1024 .webm with sound is downloaded. On an
// emulated phone, taps on the picture and the control bar drive the show.
// Then the bad conditions: no .wasm on the server, no WebAssembly in the
// browser, the page opened from disk; each must leave a clear message in the
// page.
// Usage: node browser_test.js SITE-DIR ASSETS-DIR OUTPUT-DIR
// Exit status 0 passed, 1 failed, 77 skipped (no browser, outside CI).
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { Browser, findBrowser, serve } = require('./cdp.js');

const [site, assets, output] = process.argv.slice(2);
const siteFiles = ['index.html', 'velm4023.js', 'velm4023.wasm'];
const timeout = 30000;  // generous: two cores shared with other work
let failures = 0;

function check(ok, what) {
  console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`);
  if (!ok) failures += 1;
  return ok;
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

// ---- The server ---------------------------------------------------------------

// Two copies of the site under one folder: whole, and without the .wasm.
function prepareSites() {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'velm-site-'));
  for (const [dir, files] of [['full', siteFiles], ['nowasm', siteFiles.slice(0, 2)]]) {
    fs.mkdirSync(path.join(root, dir));
    for (const f of files) fs.copyFileSync(path.join(site, f), path.join(root, dir, f));
  }
  return root;
}

// ---- The steps --------------------------------------------------------------------

async function normalUse(browser, base) {
  const page = await browser.newPage();
  await page.open(`${base}/full/`);
  await page.waitFor("document.getElementById('message').hidden", timeout, 'the show to start');
  check(await page.evaluate('document.title') === 'VELM4023', 'the page is titled VELM4023');
  check(await page.evaluate(`getComputedStyle(document.getElementById('canvas')).imageRendering`) === 'pixelated',
        'the picture is scaled without smoothing');

  let frame = await waitForFrame(page, (f) => partOne(f) && distinct(f) > 50);
  check(frame !== null, 'part one is shown: its top logo, and not a flat picture');
  await page.screenshot(path.join(output, '1-part-one.png'));
  const later = await (async () => { await new Promise((r) => setTimeout(r, 400)); return grab(page); })();
  check(frame !== null && later.some((p, i) => p !== frame[i]), 'the picture moves');

  const soundBefore = await page.evaluate("document.getElementById('sound').textContent");
  check(/first click or key/.test(soundBefore), `before any key the page says how the music starts ("${soundBefore}")`);
  await page.press(' ', 'Space', 32);
  check(await waitForFrame(page, partTwo) !== null, 'Space leads to part two: its emblem, top right');
  const soundAfter = await page.evaluate("document.getElementById('sound').textContent");
  check(/Music on|no sound/.test(soundAfter), `the first key starts the sound and the page says so ("${soundAfter}")`);
  if (/Music on/.test(soundAfter)) {
    await new Promise((r) => setTimeout(r, 1000));
    const rendered = await page.evaluate('Module._WEBSoundRendered()');
    check(rendered > 22050, `the synth plays in the page (${rendered} sample frames in its first second)`);
  }
  await page.screenshot(path.join(output, '2-part-two.png'));

  await page.press(' ', 'Space', 32);
  frame = await waitForFrame(page, partThree);
  check(frame !== null, 'Space again leads to part three: the plasma covers every pixel');
  check(frame !== null && readout(frame) < 0, 'no readout before f');
  await page.screenshot(path.join(output, '3-part-three.png'));

  // 50 frames a second read "32"; a one-second window may hold a frame more or
  // less, and a machine busy with other work may cost a few. Below 40 the
  // pacing itself is wrong.
  await page.press('f', 'KeyF', 70);
  const seen = new Set();
  await waitForFrame(page, (f) => {
    const value = partThree(f) ? readout(f) : -1;
    if (value >= 0) seen.add(value);
    return seen.has(50);
  }, 15000);
  const values = [...seen].sort((a, b) => a - b);
  const readings = values.map((v) => `"${v.toString(16).toUpperCase()}" (${v})`).join(', ') || 'nothing';
  check(values.some((v) => v >= 40 && v <= 52), `f shows the readout: ${readings}`);
  await page.screenshot(path.join(output, '4-readout.png'));

  await record(browser, page);

  await page.press('Escape', 'Escape', 27);
  check(await waitForFrame(page, (f) => f.every((p) => p === 0)) !== null, 'Escape fades the picture to black');
  const ended = await page.waitFor(`!document.getElementById('message').hidden &&
      !document.getElementById('restart').hidden && document.getElementById('text').textContent`, timeout,
      'the end message').catch(() => '');
  check(/ended/.test(ended), `the page says the show has ended ("${ended}") and offers a restart`);
  await page.screenshot(path.join(output, '5-ended.png'));

  const foreign = page.requests.filter((url) => /^https?:/.test(url) &&
    !['/', ...siteFiles.map((f) => '/' + f)].includes(new URL(url).pathname.replace(/^\/full/, '')));
  check(foreign.length === 0, `the page asks for nothing but its own three files ${foreign.join(' ')}`);
  check(page.problems.length === 0, `no console errors or warnings ${page.problems.join(' | ')}`);

  await page.evaluate("document.getElementById('restart').click()");
  await new Promise((r) => setTimeout(r, 500));
  await page.waitFor("document.readyState === 'complete' && document.getElementById('message').hidden",
                     timeout, 'the show to start again').catch(() => false);
  check(await waitForFrame(page, (f) => partOne(f) && distinct(f) > 50) !== null, 'Start again restarts the show');
}

// F9, about three seconds, F9: the browser downloads a clip of the show,
// 1024 x 1024 with a sound track, under a dated name.
async function record(browser, page) {
  if (!check(await page.evaluate("!document.getElementById('record').hidden"), 'the page offers a Record button')) return;
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'velm-clip-'));
  const events = [];
  browser.on((message) => { if (/^Browser[.]download/.test(message.method)) events.push(message.params); });
  await browser.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder, eventsEnabled: true });
  await page.press('F9', 'F9', 120);
  await new Promise((r) => setTimeout(r, 1500));
  const label = await page.evaluate("document.getElementById('record').textContent");
  check(/\d:\d\d/.test(label), `while recording the button shows the time ("${label}")`);
  await new Promise((r) => setTimeout(r, 1500));
  await page.press('F9', 'F9', 120);
  const until = Date.now() + timeout;
  while (!events.some((e) => e.state === 'completed') && Date.now() < until) {
    await new Promise((r) => setTimeout(r, 100));
  }
  const name = (events.find((e) => e.suggestedFilename) || {}).suggestedFilename || '';
  check(/^velm4023-\d{8}-\d{6}[.]webm$/.test(name), `F9 twice downloads a clip named "${name}"`);
  const file = path.join(folder, name);
  const probe = name && fs.existsSync(file)
    ? spawnSync('ffprobe', ['-v', 'error', '-show_entries', 'stream=codec_type,width,height', '-of', 'json', file],
                { encoding: 'utf8' })
    : null;
  if (probe && probe.error) {
    console.log(`${process.env.CI === 'true' ? 'FAIL' : 'SKIP'}: ffprobe is not installed`);
    if (process.env.CI === 'true') failures += 1;
  } else {
    const streams = probe && probe.status === 0 ? JSON.parse(probe.stdout).streams : [];
    const video = streams.find((t) => t.codec_type === 'video');
    check(video && video.width === 1024 && video.height === 1024,
          `the clip's picture is 1024 x 1024 (${video ? `${video.width} x ${video.height}` : 'no picture'})`);
    check(streams.some((t) => t.codec_type === 'audio'), 'the clip has a sound track');
  }
  check(await page.evaluate("document.getElementById('record').textContent") === 'Record',
        'after the second F9 the button says Record again');
  fs.rmSync(folder, { recursive: true, force: true });
}

// The page on a phone: 390 x 844 CSS pixels at 3x, touch only.
async function phone(browser, base) {
  const page = await browser.newPage();
  await page.send('Emulation.setDeviceMetricsOverride', { width: 390, height: 844, deviceScaleFactor: 3, mobile: true });
  await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
  await page.open(`${base}/full/`);
  await page.waitFor("document.getElementById('message').hidden", timeout, 'the show to start on the phone');
  const help = await page.evaluate("document.getElementById('keys').textContent");
  check(/tap/i.test(help) && !/Esc/.test(help), `on a phone the help speaks of tapping ("${help}")`);
  const buttons = await page.evaluate(`[...document.querySelectorAll('#controls button')].map((b) => {
    const r = b.getBoundingClientRect();
    return { label: b.getAttribute('aria-label'), w: r.width, h: r.height, x: r.x + r.width / 2, y: r.y + r.height / 2 };
  })`);
  const small = buttons.filter((b) => !b.label || b.w < 44 || b.h < 44 || b.y > 844);
  check(buttons.length >= 8 && small.length === 0,
        `the control bar shows ${buttons.map((b) => b.label).join(', ')}, each named, on screen and 44 px or more`);
  const centre = await page.evaluate(`(() => { const r = document.getElementById('canvas').getBoundingClientRect();
    return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`);
  // A control is tapped as a person would: a faded bar is brought back first.
  const tapControl = async (label) => {
    const b = buttons.find((x) => x.label === label);
    if (await page.evaluate("document.getElementById('controls').classList.contains('faded')")) {
      await page.tap(b.x, b.y);
      await new Promise((r) => setTimeout(r, 300));
    }
    await page.tap(b.x, b.y);
  };

  await page.tap(centre.x, centre.y);
  check(await waitForFrame(page, partTwo) !== null, 'a tap on the picture leads to part two');
  await page.tap(centre.x, centre.y);
  let frame = await waitForFrame(page, partThree);
  check(frame !== null, 'a second tap leads to part three: the plasma covers every pixel');
  await page.screenshot(path.join(output, '8-phone-part-three.png'));

  await tapControl('Frame rate readout');
  frame = await waitForFrame(page, (f) => partThree(f) && readout(f) > 0, 10000);
  check(frame !== null, 'the frame rate control shows the readout');
  if (await page.evaluate("/Music on/.test(document.getElementById('sound').textContent)")) {
    const before = await page.evaluate('Module._WEBSoundMuted()');
    await tapControl('Music on or off');
    const after = await page.waitFor(`Module._WEBSoundMuted() !== ${before} && 'changed'`, 5000, 'the music to switch')
      .catch(() => 'unchanged');
    check(before === 0 && after === 'changed', 'the first tap started the music and the music control switches it off');
  } else {
    check(false, 'the first tap started the music');
  }
  await tapControl('Quit');
  const ended = await page.waitFor(`!document.getElementById('restart').hidden && document.getElementById('text').textContent`,
                                   timeout, 'the end message').catch(() => '');
  check(/ended/.test(ended), `the quit control ends the show ("${ended}")`);
  await page.screenshot(path.join(output, '9-phone-ended.png'));
  const again = await page.evaluate(`(() => { const r = document.getElementById('restart').getBoundingClientRect();
    return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`);
  await page.tap(again.x, again.y);
  await new Promise((r) => setTimeout(r, 500));
  await page.waitFor("document.readyState === 'complete' && document.getElementById('message').hidden",
                     timeout, 'the show to start again').catch(() => false);
  check(await waitForFrame(page, (f) => partOne(f) && distinct(f) > 50) !== null, 'a tap on Start again restarts the show');
  check(page.problems.length === 0, `no console errors or warnings on the phone ${page.problems.join(' | ')}`);
}

async function badCondition(browser, url, before, expected, what, shot) {
  const page = await browser.newPage();
  await page.open(url, before);
  const said = await page.waitFor(`!document.getElementById('message').hidden &&
      /[.]$/.test(document.getElementById('text').textContent) && document.getElementById('text').textContent`,
      timeout, 'a message').catch((e) => `(${e.message})`);
  check(expected.test(said), `${what}: the page says "${said}"`);
  await page.screenshot(path.join(output, shot));
}

async function main() {
  const executable = findBrowser();
  if (!executable) {
    console.log(`${process.env.CI === 'true' ? 'FAIL' : 'SKIP'}: no Chromium found (set CHROMIUM)`);
    return process.env.CI === 'true' ? 1 : 77;
  }
  for (const f of siteFiles) {
    if (!fs.existsSync(path.join(site, f))) {
      console.log(`${process.env.CI === 'true' ? 'FAIL' : 'SKIP'}: ${site}/${f} is missing (run make web)`);
      return process.env.CI === 'true' ? 1 : 77;
    }
  }
  fs.mkdirSync(output, { recursive: true });
  const root = prepareSites();
  const { server, base } = await serve(root);
  const browser = new Browser(executable);
  try {
    await normalUse(browser, base);
    await badCondition(browser, `${base}/nowasm/`, null, /velm4023[.]wasm, did not load/,
                       'served without velm4023.wasm', '6-no-wasm.png');
    await badCondition(browser, `${base}/full/`, 'delete globalThis.WebAssembly;', /cannot run WebAssembly/,
                       'a browser without WebAssembly', '7-no-webassembly.png');
    await badCondition(browser, `file://${root}/full/index.html`, null,
                       /opened from a file on disk.*velm4023[.]wasm.*http[.]server.*serve-web/,
                       'the page opened from disk', '10-from-disk.png');
    await phone(browser, base);
  } finally {
    await browser.close();
    server.kill();
    fs.rmSync(root, { recursive: true, force: true });
  }
  console.log(`screenshots in ${output}`);
  return failures === 0 ? 0 : 1;
}

main().then((status) => process.exit(status), (error) => {
  console.log(`FAIL: ${error.stack}`);
  process.exit(1);
});
