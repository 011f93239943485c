// Starting the show: the program's settings for Emscripten (Module), then its
// script. A page that cannot run it says why in words, and what to do.
'use strict';
(function (page) {
  if (page.ended) return;  // the page could not run the show (page.js said why)

  // The key line fades after a few seconds; on a screen held sideways, where
  // they lie over the picture, the title and the line about the music too.
  setTimeout(function () {
    page.keysLine.classList.add('faded');
    document.querySelector('h1').classList.add('faded');
    if (window.matchMedia && window.matchMedia('(orientation: landscape)').matches) page.soundLine.classList.add('faded');
  }, 6000);

  window.Module = {
    canvas: page.canvas,
    print: function (line) { console.log(line); },
    printErr: function (line) { page.lastError = line; console.error(line); },
    setStatus: function () {},
    onRuntimeInitialized: page.start,
    onShowEnded: function () {
      page.finish();
      page.say('The show has ended.', true);
    },
    onAbort: function (what) {
      page.finish();
      if (/fetch|wasm/i.test(String(what) + ' ' + page.lastError)) {
        page.say('The show could not start: its program, velm4023.wasm, did not load. ' +
            'Reload the page to try again; if it still fails, ' + page.serveHelp, true);
      } else {
        page.say('The show stopped with an error (' + (what || page.lastError) + '). Reload the page to start again.', true);
      }
    }
  };
  // The service worker keeps the site for playing offline. Browsers offer it
  // only to pages of a secure context (HTTPS, or this machine); elsewhere the
  // page simply has none.
  if ('serviceWorker' in navigator && window.isSecureContext) {
    window.addEventListener('load', function () {
      navigator.serviceWorker.register('sw.js').catch(function () {});
    });
  }

  var script = document.createElement('script');
  script.src = 'velm4023.js';
  script.onerror = function () {
    page.say('The show could not be loaded (velm4023.js is missing). Reload the page to try again.', true);
  };
  document.body.appendChild(script);
})(VELM);
