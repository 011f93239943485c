// The page's service worker: it keeps the site's files so that the show plays
// with the network gone. The build writes the version, a hash of every file's
// contents, and the list of files, so a new build is a new worker with a new
// cache of its own: the files are cached whole when it installs, and once it
// is active the caches of older builds are deleted. While the network answers
// every file comes from it (revalidated, so a new build is seen at once and
// never mixed with an old one); only without it do they come from the cache.
'use strict';
var VERSION = '@VELM_SITE_VERSION@';
var FILES = [@VELM_SITE_FILES@];
// One cache per build and per folder: two copies of the site under one host
// keep theirs apart.
var PREFIX = 'velm4023 ' + self.registration.scope + ' ';
var CACHE = PREFIX + VERSION;

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(CACHE).then(function (cache) {
    return cache.addAll(FILES.map(function (file) { return new Request(file, { cache: 'reload' }); }));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name.indexOf(PREFIX) === 0 && name !== CACHE;
    }).map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  var request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request.url, { cache: 'no-cache', credentials: 'same-origin' }).catch(function () {
    return caches.open(CACHE).then(function (cache) {
      return cache.match(request, { ignoreSearch: true });
    }).then(function (kept) { return kept || Response.error(); });
  }));
});
