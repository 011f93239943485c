// The built site, without a browser: the manifest and the page's tags that
// make it installable and give a shared link its preview, every file they
// name present and of the size they say, and the service worker's list of
// files the site's own.
// Usage: node site_test.js SITE-DIR
// Exit status 0 passed, 1 failed.
'use strict';
const fs = require('fs');
const path = require('path');

const [site] = process.argv.slice(2);
let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`);
  if (!ok) failures += 1;
  return ok;
}

// Width and height of a PNG file, or null when it is none.
function pngSize(file) {
  if (!fs.existsSync(file)) return null;
  const b = fs.readFileSync(file);
  if (b.length < 24 || b.toString('latin1', 1, 4) !== 'PNG') return null;
  return `${b.readUInt32BE(16)}x${b.readUInt32BE(20)}`;
}

// The attributes of every <meta> and <link> tag of the page.
const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
const tags = [...html.matchAll(/<(meta|link)\b([^>]*)>/g)].map(([, kind, body]) => {
  const a = { kind };
  for (const [, name, value] of body.matchAll(/([\w:-]+)="([^"]*)"/g)) a[name] = value;
  return a;
});
const meta = (key) => (tags.find((t) => t.kind === 'meta' && (t.name === key || t.property === key)) || {}).content;
const link = (rel) => (tags.find((t) => t.kind === 'link' && t.rel === rel) || {}).href;
const manifest = JSON.parse(fs.readFileSync(path.join(site, link('manifest') || 'manifest.webmanifest'), 'utf8'));
const icon = (purpose, size) => (manifest.icons || []).find((i) => (i.purpose || 'any').split(' ').includes(purpose) &&
                                                                   i.sizes === size) || {};
// A relative address must name a file of the site (and an image its size).
const inSite = (href, size) => !!href && (/^https:\/\//.test(href) ||
    (fs.existsSync(path.join(site, href)) && (!size || pngSize(path.join(site, href)) === size)));

const table = [
  ['the manifest names the show', manifest.name === 'VELM4023' && !!manifest.short_name && !!manifest.description],
  ['it opens full screen where it can, else standalone',
   (manifest.display_override || [])[0] === 'fullscreen' && manifest.display === 'standalone'],
  ['black background and theme, any orientation',
   manifest.background_color === '#000000' && manifest.theme_color === '#000000' && manifest.orientation === 'any'],
  ['start and scope are the site\'s own folder', manifest.start_url === './' && manifest.scope === './'],
  ['icons of 192 and 512 pixels, and a maskable one',
   inSite(icon('any', '192x192').src, '192x192') && inSite(icon('any', '512x512').src, '512x512') &&
   (manifest.icons || []).some((i) => i.purpose === 'maskable' && inSite(i.src, i.sizes))],
  ['a favicon and a 180-pixel home-screen icon', inSite(link('icon')) && inSite(link('apple-touch-icon'), '180x180')],
  ['an app on the home screen, with a black status bar',
   meta('apple-mobile-web-app-capable') === 'yes' && meta('apple-mobile-web-app-status-bar-style') === 'black' &&
   meta('theme-color') === '#000000'],
  ['a description', (meta('description') || '').length > 40],
  ['a shared link has title, description and picture',
   !!meta('og:title') && !!meta('og:description') && inSite(meta('og:image'), `${meta('og:image:width')}x${meta('og:image:height')}`) &&
   meta('twitter:card') === 'summary' && inSite(meta('twitter:image'))],
];
for (const [what, ok] of table) check(ok, what);

// The service worker keeps every file of the site (and the folder's address).
const worker = fs.readFileSync(path.join(site, 'sw.js'), 'utf8');
const kept = JSON.parse(worker.match(/var FILES = (\[[^\]]*\])/)[1].replace(/'/g, '"'));
const files = fs.readdirSync(site).filter((f) => f !== 'sw.js').sort();
check(JSON.stringify(kept.filter((f) => f !== './').sort()) === JSON.stringify(files) && kept.includes('./'),
      `the service worker keeps the site's files (${kept.join(' ')})`);

process.exit(failures === 0 ? 0 : 1);
