// The three browser engines the page is tested in, each behind one small
// adapter, so that one list of checks runs in every engine:
//   chromium  Debian's chromium, headless, through puppeteer-core (DevTools protocol over a pipe);
//   firefox   firefox-esr, headless, through puppeteer-core (WebDriver BiDi), its sound on a
//             PulseAudio null sink this file starts (Firefox's Web Audio runs only with a device);
//   webkit    WebKitGTK's MiniBrowser, started by a WebKitWebDriver this file starts, on a
//             private Xvfb, through selenium-webdriver.
// A page handle offers: evaluate(expression), press(key), click(selector),
// doubleClick(selector), screenshot(file), requests(), problems() (null
// where the driver cannot read the console), close(). Only Chromium's page
// has .raw, the puppeteer page, for its own checks (touch emulation).
'use strict';
const { spawn, spawnSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const net = require('net');
const os = require('os');
const path = require('path');

const delay = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A needed program or module that is not there: the test skips (fails in CI).
class Missing extends Error {}

function requireModule(name) {
  try {
    return require(name);
  } catch (e) {
    throw new Missing(`the npm module ${name} is not installed (run npm ci)`);
  }
}

function findProgram(...names) {
  const found = names.find((name) => name && fs.existsSync(name));
  if (!found) throw new Missing(`none of ${names.filter(Boolean).join(', ')} is installed`);
  return found;
}

// Keeps the last few kilobytes a child process writes to standard error.
function started(command, args, options = {}) {
  const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'pipe'], ...options });
  child.said = '';
  child.stderr.on('data', (d) => { child.said = (child.said + d).slice(-4000); });
  child.exited = new Promise((resolve) => child.on('exit', resolve));
  child.on('error', () => {});
  return child;
}

// Ends a child process we started: SIGTERM, then SIGKILL after 3 s.
async function stop(child) {
  if (!child || child.exitCode !== null || child.signalCode !== null) return;
  child.kill('SIGTERM');
  const timer = setTimeout(() => child.kill('SIGKILL'), 3000);
  await child.exited;
  clearTimeout(timer);
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    }).on('error', reject);
  });
}

async function until(test, ms, what) {
  const end = Date.now() + ms;
  for (;;) {
    if (await test()) return;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await delay(100);
  }
}

// Polls the page's expression until it is truthy; resolves to its value. A
// page still loading may throw: that counts as not yet.
async function waitFor(page, expression, ms, what) {
  const end = Date.now() + ms;
  let failure = '';
  for (;;) {
    const value = await page.evaluate(expression).catch((e) => { failure = e.message; });
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what} ${failure}`);
    await delay(100);
  }
}

// ---- Services: a display and a sound device --------------------------------

// A private X server; resolves to its display name.
async function startXvfb(owned) {
  const xvfb = spawn(findProgram('/usr/bin/Xvfb'), ['-displayfd', '3', '-screen', '0', '1280x1024x24',
    '-nolisten', 'tcp', '-noreset'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  owned.push(xvfb);
  xvfb.exited = new Promise((resolve) => xvfb.on('exit', resolve));
  return new Promise((resolve, reject) => {
    let said = '';
    xvfb.stdio[3].on('data', (d) => {
      said += d;
      if (/\n/.test(said)) resolve(`:${said.trim()}`);
    });
    xvfb.on('exit', (code) => reject(new Error(`Xvfb ended (${code})`)));
  });
}

// PulseAudio with one null sink, on a socket in a private folder; resolves to
// the PULSE_SERVER value. As root it must run as the system instance, which
// drops to the pulse user: that user owns the folder, so it can make the socket.
async function startPulse(owned) {
  const program = findProgram('/usr/bin/pulseaudio');
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'velm-pulse-'));
  const root = process.getuid() === 0;
  if (root) {
    const pulse = spawnSync('id', ['-u', 'pulse'], { encoding: 'utf8' });
    if (pulse.status === 0) fs.chownSync(dir, Number(pulse.stdout), -1);
  }
  const socket = path.join(dir, 'native');
  const daemon = started(program, [...(root ? ['--system'] : []), '--daemonize=no', '--use-pid-file=no',
    '--exit-idle-time=-1', '--disallow-exit', '--disable-shm', '-n',
    '--load=module-null-sink sink_name=velm', `--load=module-native-protocol-unix socket=${socket} auth-anonymous=1`],
  { env: { ...process.env, HOME: dir } });
  owned.push(daemon);
  daemon.folder = dir;
  await until(() => fs.existsSync(socket) || daemon.exitCode !== null, 10000, 'PulseAudio');
  if (daemon.exitCode !== null) throw new Error(`PulseAudio did not start: ${daemon.said}`);
  return `unix:${socket}`;
}

// ---- The engines --------------------------------------------------------------

function puppeteerPage(page, engine) {
  const problems = [];
  const requests = [];
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warn' || m.type() === 'warning') problems.push(`console.${m.type()}: ${m.text()}`);
  });
  page.on('pageerror', (e) => problems.push(`exception: ${e.message || e}`));
  page.on('requestfailed', (r) => problems.push(`failed load: ${r.url()}`));
  page.on('request', (r) => requests.push(r.url()));
  return {
    engine,
    raw: engine === 'chromium' ? page : undefined,
    open: (url) => page.goto(url, { waitUntil: 'load' }),
    evaluate: (expression) => page.evaluate(expression),
    press: (key) => page.keyboard.press(key, { delay: 120 }),
    click: (selector) => page.click(selector),
    doubleClick: (selector) => page.click(selector, { count: 2, delay: 30 }),
    screenshot: (file) => page.screenshot({ path: file }),
    requests: async () => requests,
    problems: async () => problems,
    close: () => page.close().catch(() => {}),
  };
}

async function launchPuppeteer(engine, downloads, owned) {
  const puppeteer = requireModule('puppeteer-core');
  const options = { headless: true };
  if (downloads) options.downloadBehavior = { policy: 'allow', downloadPath: downloads };
  if (engine === 'chromium') {
    options.executablePath = findProgram(process.env.CHROMIUM, '/usr/bin/chromium', '/usr/bin/chromium-browser');
    options.pipe = true;
    options.args = ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--window-size=800,700'];
    options.defaultViewport = { width: 800, height: 700 };
  } else {
    options.browser = 'firefox';
    options.executablePath = findProgram(process.env.FIREFOX, '/usr/bin/firefox-esr', '/usr/bin/firefox');
    options.env = { ...process.env, PULSE_SERVER: await startPulse(owned), MOZ_HEADLESS_WIDTH: '800', MOZ_HEADLESS_HEIGHT: '700' };
    options.defaultViewport = { width: 800, height: 700 };
    // Firefox keeps to its own download preferences.
    options.extraPrefsFirefox = { 'browser.download.folderList': 2, 'browser.download.dir': downloads,
                                  'browser.download.useDownloadDir': true };
  }
  const browser = await puppeteer.launch(options);
  return {
    name: engine,
    version: await browser.version(),
    readsConsole: true,
    newPage: async () => puppeteerPage(await browser.newPage(), engine),
    close: () => browser.close().catch(() => {}),
  };
}

// WebKit: MiniBrowser under Xvfb, through the WebKitWebDriver started here, so
// Selenium never looks for a driver of its own. WebKitWebDriver has no
// WebDriver BiDi, so no console and no network events reach the test: the
// page's requests come from its resource timing.
async function launchWebKit(downloads, owned) {
  const { Builder, Capabilities } = requireModule('selenium-webdriver');
  const driverProgram = findProgram(process.env.WEBKIT_WEBDRIVER, '/usr/bin/WebKitWebDriver');
  const miniBrowser = findProgram(process.env.MINIBROWSER, `/usr/lib/${os.arch() === 'arm64' ? 'aarch64' : 'x86_64'}-linux-gnu/webkit2gtk-4.1/MiniBrowser`);
  const env = { ...process.env, DISPLAY: await startXvfb(owned), PULSE_SERVER: await startPulse(owned) };
  const port = await freePort();
  const driverProcess = started(driverProgram, [`--port=${port}`], { env });
  owned.push(driverProcess);
  const url = `http://127.0.0.1:${port}`;
  await until(() => new Promise((resolve) => http.get(`${url}/status`, (r) => { r.resume(); resolve(true); })
    .on('error', () => resolve(false))), 15000, 'WebKitWebDriver');
  const capabilities = new Capabilities({ browserName: 'MiniBrowser',
    'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation'] } });
  const driver = await new Builder().usingServer(url).withCapabilities(capabilities).build();
  await driver.manage().window().setRect({ width: 800, height: 700 }).catch(() => {});
  const { Key } = requireModule('selenium-webdriver');
  const keys = { ' ': Key.SPACE, Escape: Key.ESCAPE, F9: Key.F9 };
  const element = (selector) => driver.findElement({ css: selector });
  let pageOpen = false;
  return {
    name: 'webkit',
    readsConsole: false,
    version: `WebKitGTK ${(await driver.getCapabilities()).get('browserVersion')}`,
    // One page at a time: the session's own window.
    newPage: async () => {
      if (pageOpen) throw new Error('WebKit: one page at a time');
      pageOpen = true;
      return {
        engine: 'webkit',
        open: (address) => driver.get(address),
        evaluate: (expression) => driver.executeScript(`return (${expression});`),
        press: (key) => driver.actions().keyDown(keys[key] || key).pause(120).keyUp(keys[key] || key).perform(),
        click: async (selector) => driver.actions().move({ origin: await element(selector) }).click().perform(),
        doubleClick: async (selector) => driver.actions().move({ origin: await element(selector) }).doubleClick().perform(),
        screenshot: async (file) => fs.writeFileSync(file, Buffer.from(await driver.takeScreenshot(), 'base64')),
        requests: () => driver.executeScript(
          'return [location.href].concat(performance.getEntriesByType("resource").map((e) => e.name));'),
        problems: async () => null,
        close: async () => { pageOpen = false; await driver.get('about:blank').catch(() => {}); },
      };
    },
    close: () => driver.quit().catch(() => {}),
  };
}

// Starts the engine, saving downloads in the folder `downloads` where the
// driver can (not WebKit's); resolves to { name, version, readsConsole,
// newPage(), close() }. Services it needed are stopped by close().
async function launch(engine, downloads) {
  const owned = [];
  const stopAll = async () => { for (const child of owned.reverse()) await stop(child); };
  try {
    const browser = engine === 'webkit' ? await launchWebKit(downloads, owned)
      : await launchPuppeteer(engine, downloads, owned);
    const close = browser.close;
    browser.close = async () => {
      await close();
      await stopAll();
      for (const child of owned) if (child.folder) fs.rmSync(child.folder, { recursive: true, force: true });
    };
    return browser;
  } catch (e) {
    await stopAll();
    throw e;
  }
}

// The site's own server (web/serve.py, as `make serve-web` runs it: each file
// with its type, compressed where asked) on 127.0.0.1 on a port it picks;
// resolves to the server and its base URL.
function serve(root) {
  const script = path.join(__dirname, '..', '..', 'web', 'serve.py');
  const server = spawn('python3', [script, '--bind', '127.0.0.1', '--port', '0', '--quiet', root],
                       { stdio: ['ignore', 'pipe', 'pipe'] });
  return new Promise((resolve, reject) => {
    let said = '';
    const timer = setTimeout(() => reject(new Error('serve.py did not start')), 20000);
    const hear = (d) => {
      said += d;
      const m = said.match(/at (http:\/\/127[.]0[.]0[.]1:\d+)\//);
      if (m) {
        clearTimeout(timer);
        resolve({ server, base: m[1] });
      }
    };
    server.stdout.on('data', hear);
    server.stderr.on('data', hear);
    server.on('exit', (code) => reject(new Error(`serve.py ended (${code}): ${said}`)));
  });
}

module.exports = { launch, serve, delay, waitFor, Missing };
