// The page's audit (make audit-web): Lighthouse, mobile defaults, on the built
// site served by web/serve.py on 127.0.0.1, in Debian's chromium (CHROME_PATH,
// /usr/bin/chromium unless set). Prints the four category scores and the
// title of every audit that falls short, and writes the full report, HTML
// and JSON, into the report folder. A benchmark step: the scores are
// reported, not required.
// Usage: node audit.mjs SITE-DIR REPORT-DIR
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';

const here = path.dirname(fileURLToPath(import.meta.url));
const [site, reports] = process.argv.slice(2);
if (!site || !reports) {
  console.error('usage: node audit.mjs SITE-DIR REPORT-DIR');
  process.exit(2);
}
const CATEGORIES = ['performance', 'accessibility', 'best-practices', 'seo'];

// The site as a host serves it; resolves to the server and its address.
function serve(root) {
  const serveScript = path.join(here, '..', '..', '..', 'web', 'serve.py');
  const server = spawn('python3', [serveScript, '--bind', '127.0.0.1', '--port', '0', '--quiet', root],
                       { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let said = '';
    const timer = setTimeout(() => reject(new Error('serve.py did not start')), 20000);
    server.stdout.on('data', (d) => {
      said += d;
      const m = said.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (m) {
        clearTimeout(timer);
        resolve({ server, url: m[0] });
      }
    });
    server.on('exit', (code) => reject(new Error(`serve.py ended (${code}): ${said}`)));
  });
}

const { server, url } = await serve(site);
let chrome;
try {
  // The machine's browser, without a sandbox (the audit may run as root), and
  // without reaching out to the network for updates, components or syncing.
  chrome = await chromeLauncher.launch({
    chromePath: process.env.CHROME_PATH || '/usr/bin/chromium',
    chromeFlags: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                  '--disable-background-networking', '--disable-component-update', '--disable-sync',
                  '--disable-extensions', '--no-first-run', '--no-default-browser-check', '--mute-audio'],
  });
  const result = await lighthouse(url, { port: chrome.port, output: ['html', 'json'], logLevel: 'error' });
  const { lhr, report } = result;
  fs.mkdirSync(reports, { recursive: true });
  fs.writeFileSync(path.join(reports, 'report.html'), report[0]);
  fs.writeFileSync(path.join(reports, 'report.json'), report[1]);

  console.log(`Lighthouse ${lhr.lighthouseVersion}, ${lhr.configSettings.formFactor}, ${lhr.environment.hostUserAgent}`);
  console.log(`${url}`);
  for (const id of CATEGORIES) {
    const category = lhr.categories[id];
    const score = category.score === null ? '?' : Math.round(category.score * 100);
    console.log(`${category.title.padEnd(16)} ${String(score).padStart(3)}`);
  }
  // Every audit of the four that counts and scored below full marks, once.
  const short = new Map();
  for (const id of CATEGORIES) {
    for (const ref of lhr.categories[id].auditRefs) {
      const audit = lhr.audits[ref.id];
      const counts = audit.score !== null && !['informative', 'manual', 'notApplicable'].includes(audit.scoreDisplayMode);
      if (counts && audit.score < 1 && !short.has(ref.id)) {
        short.set(ref.id, `${lhr.categories[id].title}: ${audit.title} (${ref.id}, ${Math.round(audit.score * 100)}` +
                          `${audit.displayValue ? `, ${audit.displayValue}` : ''})`);
      }
    }
  }
  console.log(short.size === 0 ? 'No audit falls short.' : 'Short of full marks:');
  for (const line of short.values()) console.log(`  ${line}`);
  if (lhr.runWarnings.length > 0) console.log(`Warnings:\n  ${lhr.runWarnings.join('\n  ')}`);
  console.log(`Report: ${path.join(reports, 'report.html')}`);
} finally {
  if (chrome) await chrome.kill();
  server.kill();
}
