// Frame times of the show in headless Chromium, driven through puppeteer-core
// (tests/web/engines.js starts it).
//
//   node bench.js BUILD-WEB/bench
//     the show's own code per frame: serves the bench page of the browser
//     build on 127.0.0.1 and prints what it measured.
//   node bench.js --throttled [--rates 1,4,8,12] [--repeat 3] [--seconds 3] BUILD-WEB/site
//     the page itself on a slowed CPU (Chromium's Emulation.setCPUThrottlingRate):
//     for each slowdown and each part, the distinct frames a second that reach
//     the screen (counted once per animation frame of the page), and where the
//     page's main thread spends a frame, by stage from a sampled profile: the
//     show's WebAssembly (compose and synth), the frame's way to the canvas,
//     the sound's way to Web Audio, sleeping and waking, other JavaScript, the
//     browser's own work (style, paint, commit, ...), and how late timers come. With
//     VELM_BENCH_FUNCTIONS=1 the 12 sampled functions that took most are listed
//     (=N: the N most).
//     Medians over the repeats; the machine's other load makes single runs noisy.
'use strict';
const { launch, serve, delay, waitFor } = require('../../tests/web/engines.js');

// Counters kept inside the page, installed before its own scripts run: every
// frame put on the show's canvas, every animation frame that finds a new one
// there, and how late the page's timers come.
const probe = `(() => {
  const s = window.velmBench = { presents: 0, shown: 0, late: 0, lateN: 0 };
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    put.apply(this, args);
    if (this.canvas.id === 'canvas') s.presents += 1;
  };
  let seen = 0;
  const look = () => {
    if (s.presents !== seen) { seen = s.presents; s.shown += 1; }
    requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
  const later = window.setTimeout;
  window.setTimeout = function (f, ms, ...args) {
    const due = performance.now() + (ms || 0);
    return later.call(window, function (...a) {
      s.late += performance.now() - due; s.lateN += 1;
      return f.apply(this, a);
    }, ms, ...args);
  };
})();`;

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  return v.length === 0 ? NaN : v.length % 2 ? v[v.length >> 1] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};

// Self time of the sampled profile by stage: the show's WebAssembly (compose
// and synth), the frame's way to the canvas, the sound's way to Web Audio
// (buffers, nodes, conversion), the sleep and its wake-up (timers, animation
// frames, Asyncify's unwind and rewind), other JavaScript, this probe, the
// browser's own work (layout, paint, garbage collection, ...) and idle.
const stages = [
  ['present', /^(putImageData|webPut|_SDL_(Unlock|Lock)Surface|_SDL_UpdateRect|_SDL_Flip)$/],
  ['audio', /^(createBuffer|createBufferSource|fillWebAudioBufferFromHeap|SDL_queueNewAudioData|SDL\.audio\..*|SDL_audioCaller|connect|start|getChannelData|copyToChannel)$/],
  ['sleep', /^(requestAnimationFrame|setTimeout|safeSetTimeout|_SDL_Delay|_emscripten_sleep|webSleepUntil|sleepCallback|handleSleep|doRewind|maybeStopUnwind|callUserCallback|runAndAbortIfError|ret\.<computed>|[sg]etDataRewindFunc)$/],
];
function profileShares(profile) {
  const kind = new Map();
  for (const node of profile.nodes) {
    const { functionName, url, lineNumber } = node.callFrame;
    let k = 'js';
    if (/^wasm:|^wasm-function/.test(url) || /^wasm-function|^\$|^js-to-wasm/.test(functionName)) k = 'wasm';
    else if (functionName === '(program)' || functionName === '(root)' || functionName === '(garbage collector)') k = 'browser';
    else if (functionName === '(idle)') k = 'idle';
    else if (url === '' && lineNumber >= 0) k = 'probe';
    else k = (stages.find(([, re]) => re.test(functionName)) || ['js'])[0];
    kind.set(node.id, k);
  }
  const ms = { wasm: 0, present: 0, audio: 0, sleep: 0, js: 0, probe: 0, browser: 0, idle: 0 };
  const byName = new Map();
  const names = new Map(profile.nodes.map((n) => [n.id, `${n.callFrame.functionName || '(anonymous)'} ` +
    `${(n.callFrame.url || '').replace(/.*[/]/, '')}:${n.callFrame.lineNumber}`]));
  profile.samples.forEach((id, i) => {
    const t = (profile.timeDeltas[i] || 0) / 1000;
    ms[kind.get(id)] += t;
    byName.set(names.get(id), (byName.get(names.get(id)) || 0) + t);
  });
  const listed = Math.max(12, Number(process.env.VELM_BENCH_FUNCTIONS) || 0);
  ms.top = [...byName].filter(([n]) => !/^[(]idle/.test(n)).sort((a, b) => b[1] - a[1]).slice(0, listed);
  return ms;
}

// One part measured for `seconds` on the page as it runs now.
async function measurePart(page, cdp, seconds) {
  const read = () => page.evaluate('JSON.stringify(window.velmBench)').then(JSON.parse);
  await cdp.send('Profiler.start');
  const a = await read();
  const t0 = Date.now();
  await delay(seconds * 1000);
  const b = await read();
  const wall = (Date.now() - t0) / 1000;
  const { profile } = await cdp.send('Profiler.stop');
  const presents = b.presents - a.presents;
  const shares = profileShares(profile);
  const sampled = Object.keys(shares).filter((k) => k !== 'top').reduce((sum, k) => sum + shares[k], 0) || 1;
  if (process.env.VELM_BENCH_FUNCTIONS) {
    console.log(shares.top.map(([n, t]) => `  ${(100 * t / sampled).toFixed(1)}% ${n}`).join('\n'));
  }
  return {
    fps: (b.shown - a.shown) / wall,
    presentsPerS: presents / wall,
    lateMs: (b.late - a.late) / Math.max(1, b.lateN - a.lateN),
    // shares of the main thread's time, from the sampling profiler
    ...Object.fromEntries(['wasm', 'present', 'audio', 'sleep', 'js', 'probe', 'browser', 'idle']
      .map((k) => [k, shares[k] / sampled])),
    // the main thread's time per frame presented, and the busy part of it:
    // the work a frame costs, which other load on the machine changes less
    // than the frames a second
    frameMs: presents > 0 ? wall * 1000 / presents : NaN,
    busyMs: presents > 0 ? (1 - shares.idle / sampled) * wall * 1000 / presents : NaN,
  };
}

// Opens the page at one slowdown and measures part one (music on), two and three.
async function throttledRun(browser, base, rate, seconds) {
  const page = await browser.newPage();
  const cdp = await page.raw.createCDPSession();
  await page.raw.evaluateOnNewDocument(probe);
  await page.open(`${base}/`);
  await waitFor(page, "document.getElementById('message').hidden", 60000, 'the show to start');
  await cdp.send('Profiler.enable');
  await cdp.send('Profiler.setSamplingInterval', { interval: 500 });
  await cdp.send('Emulation.setCPUThrottlingRate', { rate });
  await page.press('m');  // the first key starts the music
  await delay(1000);
  const parts = [await measurePart(page, cdp, seconds)];
  for (let i = 0; i < 2; i += 1) {
    await page.press(' ');
    await delay(1000);
    parts.push(await measurePart(page, cdp, seconds));
  }
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 1 });
  await page.close();
  return parts;
}

async function throttled(site, rates, repeat, seconds) {
  const { server, base } = await serve(site);
  const browser = await launch('chromium');
  try {
    console.log(`${browser.version}; ` +
                `${seconds} s a part, median of ${repeat} runs at each slowdown`);
    const rows = [];
    for (const rate of rates) {
      const runs = [];
      for (let r = 0; r < repeat; r += 1) runs.push(await throttledRun(browser, base, rate, seconds));
      rows.push({ rate, parts: [0, 1, 2].map((p) => {
        const m = {};
        for (const key of Object.keys(runs[0][p])) m[key] = median(runs.map((run) => run[p][key]));
        m.runs = runs.map((run) => run[p].fps);
        return m;
      }) });
    }
    console.log('\nDistinct frames a second on the canvas:\n');
    console.log('| CPU slowdown | part one | part two | part three |\n|---|---|---|---|');
    for (const { rate, parts } of rows) {
      console.log(`| ${rate}x | ${parts.map((p) => p.fps.toFixed(1)).join(' | ')} |`);
    }
    console.log('\nA frame on the main thread, in ms per frame presented (medians; busy = all its work, split by ' +
                'stage from the sampled profile: the show\'s WebAssembly, the frame\'s way to the canvas, the sound\'s ' +
                'way to Web Audio, sleeping and waking, other JavaScript, the browser\'s own work, this probe):\n');
    console.log('| slowdown | part | frames/s (runs) | presents/s | timers late | busy | wasm | present | audio | sleep |' +
                ' other JS | browser | probe | idle % |\n|---|---|---|---|---|---|---|---|---|---|---|---|---|---|');
    for (const { rate, parts } of rows) {
      parts.forEach((p, i) => {
        const ms = (k) => (p[k] * p.frameMs).toFixed(2);
        console.log(`| ${rate}x | ${['one', 'two', 'three'][i]} | ${p.fps.toFixed(1)} (${p.runs.map((x) => x.toFixed(0)).join(' ')}) | ` +
                    `${p.presentsPerS.toFixed(1)} | ${p.lateMs.toFixed(1)} | ${p.busyMs.toFixed(1)} | ` +
                    `${['wasm', 'present', 'audio', 'sleep', 'js', 'browser', 'probe'].map(ms).join(' | ')} | ` +
                    `${(100 * p.idle).toFixed(0)} |`);
      });
    }
  } finally {
    await browser.close();
    server.kill();
  }
}

async function ownCode(dir) {
  const { server, base } = await serve(dir);
  const browser = await launch('chromium');
  try {
    const page = await browser.newPage();
    await page.open(`${base}/`);
    const out = await waitFor(page, `(t => /done/.test(t) && t)(document.getElementById('out').textContent)`,
                              120000, 'the measurements');
    console.log(`${browser.version}, per frame:`);
    process.stdout.write(out.replace(/done\n$/, ''));
  } finally {
    await browser.close();
    server.kill();
  }
}

async function main() {
  const args = process.argv.slice(2);
  const option = (name, fallback) => {
    const i = args.indexOf(name);
    if (i < 0) return fallback;
    const value = args[i + 1];
    args.splice(i, 2);
    return value;
  };
  const rates = option('--rates', '1,4,8,12').split(',').map(Number);
  const repeat = Number(option('--repeat', '3'));
  const seconds = Number(option('--seconds', '3'));
  const isThrottled = args[0] === '--throttled';
  if (isThrottled) args.shift();
  if (args.length !== 1 || rates.some((r) => !(r >= 1)) || !(repeat >= 1) || !(seconds > 0)) {
    throw new Error('usage: node bench.js BUILD-WEB/bench | node bench.js --throttled ' +
                    '[--rates 1,4,8,12] [--repeat N] [--seconds S] BUILD-WEB/site');
  }
  if (isThrottled) await throttled(args[0], rates, repeat, seconds);
  else await ownCode(args[0]);
}

main().catch((error) => { console.error(error.message); process.exit(1); });
