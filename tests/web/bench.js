// Frame times of the show's own code in headless Chromium: serves the bench
// page of the browser build on 127.0.0.1 and prints what it measured.
// Usage: node bench.js BUILD-WEB/bench
'use strict';
const { Browser, findBrowser, serve } = require('./cdp.js');

async function main() {
  const executable = findBrowser();
  if (!executable) throw new Error('no Chromium found (set CHROMIUM)');
  const { server, base } = await serve(process.argv[2]);
  const browser = new Browser(executable);
  try {
    const page = await browser.newPage();
    await page.open(`${base}/`);
    const out = await page.waitFor(`(t => /done/.test(t) && t)(document.getElementById('out').textContent)`,
                                   120000, 'the measurements');
    console.log(`Chromium ${(await browser.send('Browser.getVersion')).product}, per frame:`);
    process.stdout.write(out.replace(/done\n$/, ''));
  } finally {
    await browser.close();
    server.kill();
  }
}

main().catch((error) => { console.error(error.message); process.exit(1); });
