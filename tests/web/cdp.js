// A small DevTools-protocol client: starts a headless Chromium that speaks the
// protocol over a pipe (file descriptors 3 and 4, one JSON message per NUL),
// opens pages and sends them commands; and a local web server for the pages.
// No npm modules.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

// The browser: $CHROMIUM, else Debian's chromium, else another Chromium build.
function findBrowser() {
  const names = [process.env.CHROMIUM, '/usr/bin/chromium', '/usr/bin/chromium-browser',
                 '/usr/bin/google-chrome'];
  return names.find((name) => name && fs.existsSync(name)) || null;
}

class Browser {
  constructor(executable) {
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), 'velm-chromium-'));
    this.process = spawn(executable, [
      '--headless', '--remote-debugging-pipe', '--no-sandbox', '--no-first-run',
      '--no-default-browser-check', '--disable-extensions', '--disable-sync',
      '--disable-background-networking', '--disable-component-update', '--mute-audio',
      '--disable-gpu', '--disable-dev-shm-usage', '--window-size=800,700', `--user-data-dir=${this.profile}`, 'about:blank',
    ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    this.stderr = '';
    this.process.stderr.on('data', (d) => { this.stderr = (this.stderr + d).slice(-4000); });
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.exited = new Promise((resolve) => this.process.on('exit', resolve));
    let buffered = '';
    this.process.stdio[4].on('data', (chunk) => {
      buffered += chunk.toString('utf8');
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        const message = JSON.parse(buffered.slice(0, end));
        buffered = buffered.slice(end + 1);
        this.dispatch(message);
      }
    });
    this.process.on('exit', () => {
      for (const { reject } of this.pending.values()) reject(new Error('the browser exited\n' + this.stderr));
      this.pending.clear();
    });
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const waiter = this.pending.get(message.id);
      if (!waiter) return;
      this.pending.delete(message.id);
      if (message.error) waiter.reject(new Error(`${waiter.method}: ${message.error.message}`));
      else waiter.resolve(message.result);
      return;
    }
    for (const listener of this.listeners) listener(message);
  }

  // Sends one command (to a page when sessionId is given) and waits for its answer.
  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.process.stdio[3].write(JSON.stringify(message) + '\0');
    });
  }

  on(listener) { this.listeners.push(listener); }

  // A new page (tab) with a session attached to it.
  async newPage() {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, sessionId);
    page.targetId = targetId;
    return page;
  }

  // Asks the browser to quit, kills it if it has not within 5 s, and removes
  // its profile.
  async close() {
    await within(this.send('Browser.close').catch(() => {}), 5000);
    await within(this.exited, 5000);
    if (this.process.exitCode === null && this.process.signalCode === null) {
      this.process.kill('SIGKILL');
      await within(this.exited, 5000);
    }
    try {
      fs.rmSync(this.profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
    } catch (e) { /* a profile left in the temporary folder does no harm */ }
  }
}

class Page {
  constructor(browser, sessionId) {
    this.browser = browser;
    this.sessionId = sessionId;
    this.problems = [];   // console errors and warnings, uncaught exceptions, failed loads
    this.requests = [];   // every URL the page asked for
    browser.on((message) => {
      if (message.sessionId !== sessionId) return;
      const p = message.params;
      if (message.method === 'Runtime.consoleAPICalled' && (p.type === 'error' || p.type === 'warning')) {
        this.problems.push(`console.${p.type}: ` + p.args.map((a) => a.value ?? a.description).join(' '));
      } else if (message.method === 'Runtime.exceptionThrown') {
        const d = p.exceptionDetails;
        this.problems.push('exception: ' + (d.exception ? d.exception.description : d.text));
      } else if (message.method === 'Log.entryAdded' && (p.entry.level === 'error' || p.entry.level === 'warning')) {
        this.problems.push(`log ${p.entry.level}: ${p.entry.text} ${p.entry.url || ''}`);
      } else if (message.method === 'Network.requestWillBeSent') {
        this.requests.push(p.request.url);
      }
    });
  }

  send(method, params) { return this.browser.send(method, params, this.sessionId); }

  async open(url, beforeScripts) {
    await this.send('Runtime.enable');
    await this.send('Log.enable');
    await this.send('Network.enable');
    await this.send('Page.enable');
    if (beforeScripts) await this.send('Page.addScriptToEvaluateOnNewDocument', { source: beforeScripts });
    await this.send('Page.navigate', { url });
  }

  // The value of a JavaScript expression in the page (awaited when a promise).
  async evaluate(expression) {
    const r = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (r.exceptionDetails) throw new Error(`evaluate failed: ${expression}: ${r.exceptionDetails.text}`);
    return r.result.value;
  }

  // Polls the expression until it is truthy; throws after timeoutMs. A page
  // still loading may throw; that counts as not yet.
  async waitFor(expression, timeoutMs, what) {
    const until = Date.now() + timeoutMs;
    let failure = '';
    for (;;) {
      const value = await this.evaluate(expression).catch((e) => { failure = e.message; });
      if (value) return value;
      if (Date.now() > until) throw new Error(`timed out waiting for ${what || expression} ${failure}`);
      await delay(100);
    }
  }

  // Presses and, after holdMs, releases one key, as a person would.
  async press(key, code, keyCode, holdMs = 120) {
    const text = key.length === 1 ? key : undefined;
    const common = { key, code, windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode };
    await this.send('Input.dispatchKeyEvent', { type: text ? 'keyDown' : 'rawKeyDown', text, ...common });
    await delay(holdMs);
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
  }

  // A tap of a finger at (x, y) in CSS pixels, as a touch screen sends it.
  async tap(x, y) {
    await this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
    await delay(60);
    await this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }

  async screenshot(file) {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' });
    fs.writeFileSync(file, Buffer.from(data, 'base64'));
  }
}

// Python's http.server on 127.0.0.1 on a port it picks; resolves to its base URL.
function serve(root) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', root],
                       { stdio: ['ignore', 'pipe', 'pipe'] });
  return new Promise((resolve, reject) => {
    let said = '';
    const timer = setTimeout(() => reject(new Error('http.server did not start')), 20000);
    server.stdout.on('data', (d) => {
      said += d;
      const m = said.match(/port (\d+)/);
      if (m) {
        clearTimeout(timer);
        resolve({ server, base: `http://127.0.0.1:${m[1]}` });
      }
    });
    server.on('exit', (code) => reject(new Error(`http.server ended (${code}): ${said}`)));
  });
}

function delay(ms) { return new Promise((resolve) => setTimeout(resolve, ms)); }

// The promise, or nothing once ms have passed; the timer does not outlive it.
function within(promise, ms) {
  let timer;
  const timeout = new Promise((resolve) => { timer = setTimeout(resolve, ms); });
  return Promise.race([promise, timeout]).finally(() => clearTimeout(timer));
}

module.exports = { Browser, findBrowser, serve, delay };
