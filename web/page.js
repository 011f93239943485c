// The page around the show: its elements and state, shared by the page's other
// scripts through VELM; the message over the picture, the picture's size,
// full screen, the pointer, the keys the browser keeps, and the screen kept
// awake while the show plays.
'use strict';
var VELM = (function () {
  var byId = function (id) { return document.getElementById(id); };
  var page = {
    canvas: byId('canvas'),
    keysLine: byId('keys'),
    soundLine: byId('sound'),
    running: false,  // the show has started
    ended: false,    // the show has ended (or could not start)
    touch: false,    // the page is used by touch
    lastError: '',
    started: [],     // functions run when the show starts
    finished: []     // functions run when it ends
  };
  var frame = byId('frame');
  var message = byId('message');
  var text = byId('text');
  var restart = byId('restart');
  var stage = byId('stage');

  // The show's SDL draws into this context (getContext gives it the same
  // one). Every pixel is opaque, and a desynchronized canvas goes to the
  // screen without the page's commit, the largest part of a frame's main-thread
  // time in the browser besides the show's own.
  page.canvas.getContext('2d', { alpha: false, desynchronized: true });

  // Shows a line over the picture; with a restart button when asked.
  page.say = function (line, offerRestart) {
    text.textContent = line;
    restart.hidden = !offerRestart;
    message.hidden = false;
    if (offerRestart) restart.focus();
  };
  restart.addEventListener('click', function () { location.reload(); });

  page.start = function () {
    page.running = true;
    message.hidden = true;
    page.canvas.focus();
    page.started.forEach(function (f) { f(); });
  };
  page.finish = function () {
    page.ended = true;
    page.finished.forEach(function (f) { f(); });
  };

  // The picture at the largest whole multiple of 256 device pixels that fits.
  page.fit = function () {
    var ratio = window.devicePixelRatio || 1;
    var room = Math.min(stage.clientWidth, stage.clientHeight) * ratio;
    var scale = Math.max(1, Math.floor(room / 256));
    var size = (256 * scale / ratio) + 'px';
    frame.style.width = size;
    frame.style.height = size;
  };
  window.addEventListener('resize', page.fit);
  page.fit();

  // ---- Full screen ------------------------------------------------------------
  // The standard call, else the prefixed one of older iPad Safari. iPhone
  // Safari has neither: there the buttons go (the home-screen app is full
  // screen of its own).
  var root = document.documentElement;
  var enter = root.requestFullscreen || root.webkitRequestFullscreen;
  var leave = document.exitFullscreen || document.webkitExitFullscreen;
  var fullElement = function () { return document.fullscreenElement || document.webkitFullscreenElement; };
  page.canFullscreen = typeof enter === 'function';
  page.toggleFullscreen = function () {
    var result = fullElement() ? leave.call(document) : enter.call(root);
    if (result && typeof result.catch === 'function') result.catch(function () {});  // refused: nothing changes
  };
  var markFull = function () { document.body.classList.toggle('full', !!fullElement()); };
  document.addEventListener('fullscreenchange', markFull);
  document.addEventListener('webkitfullscreenchange', markFull);
  ['fullscreen', 'fullscreen-touch'].forEach(function (id) {
    var button = byId(id);
    if (!page.canFullscreen) {
      button.hidden = true;
      return;
    }
    button.addEventListener('click', function (event) {
      event.currentTarget.blur();
      page.toggleFullscreen();
    });
  });

  // A double-click on the picture with a mouse switches full screen, as in a
  // video player; a finger's taps stay the show's.
  var mouse = false;
  page.canvas.addEventListener('pointerdown', function (event) { mouse = event.pointerType === 'mouse'; });
  page.canvas.addEventListener('dblclick', function () {
    if (mouse && page.canFullscreen && !page.ended) page.toggleFullscreen();
  });

  // The pointer leaves the picture after a second without motion, and comes
  // back with the next.
  var idleTimer = 0;
  var restless = function () {
    frame.classList.remove('idle');
    clearTimeout(idleTimer);
    idleTimer = setTimeout(function () { frame.classList.add('idle'); }, 1000);
  };
  frame.addEventListener('mousemove', restless);
  restless();

  // ---- Keys -------------------------------------------------------------------
  // The show reads keys from the whole document. Keys the browser itself
  // needs (function keys such as F11, Tab, and anything with Ctrl, Alt or
  // Meta) are kept from it, as is every key once the show has ended.
  var browserKey = function (event) {
    return page.ended || /^F\d+$/.test(event.key) || event.key === 'Tab' ||
           event.ctrlKey || event.altKey || event.metaKey;
  };
  ['keydown', 'keyup', 'keypress'].forEach(function (type) {
    window.addEventListener(type, function (event) {
      if (browserKey(event)) event.stopPropagation();
    }, true);
  });

  // ---- The screen kept awake --------------------------------------------------
  // A show is watched, not touched: while it plays and the page is seen, a
  // screen wake lock keeps a phone from dimming and locking. The browser lets
  // go of the lock when the page is hidden; it is asked for again when the
  // page is shown. Where there is no such lock, or it is refused, nothing
  // changes.
  var lock = null;
  var asking = false;
  var keepAwake = function () {
    if (lock || asking || !page.running || page.ended || document.visibilityState !== 'visible' ||
        !navigator.wakeLock || typeof navigator.wakeLock.request !== 'function') return;
    asking = true;
    var done = function (sentinel) {
      asking = false;
      if (!sentinel) return;
      if (page.ended) {
        sentinel.release().catch(function () {});
        return;
      }
      lock = sentinel;
      sentinel.addEventListener('release', function () { if (lock === sentinel) lock = null; });
    };
    try {
      navigator.wakeLock.request('screen').then(done, function () { done(null); });
    } catch (e) {
      done(null);
    }
  };
  page.started.push(keepAwake);
  window.addEventListener('pointerup', keepAwake, true);  // browsers that want a gesture first
  window.addEventListener('keydown', keepAwake, true);
  document.addEventListener('visibilitychange', function () {
    if (document.visibilityState !== 'visible') lock = null;  // the browser has let it go
    keepAwake();
  });
  var letGo = function () {
    if (lock) lock.release().catch(function () {});
    lock = null;
  };
  page.finished.push(letGo);
  // A page kept in the back/forward cache holds no lock; back again, it asks anew.
  window.addEventListener('pagehide', letGo);
  window.addEventListener('pageshow', keepAwake);

  // ---- Pages that cannot run the show ---------------------------------------
  // A page opened from disk may not fetch the show's program: say so, and
  // how to serve it, instead of trying.
  page.serveHelp = 'serve the folder: run python3 -m http.server in it (or make serve-web in the ' +
      'source folder) and open the address it prints, such as http://localhost:8000/.';
  if (location.protocol === 'file:') {
    page.ended = true;
    page.say('This page was opened from a file on disk, and browsers do not let such a page fetch ' +
        'its program, velm4023.wasm. To watch the show, ' + page.serveHelp, false);
  } else if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    page.ended = true;
    page.say('This browser cannot run WebAssembly, which the show needs. ' +
        'Please open the page in a current browser.', false);
  }

  return page;
})();
