// SDL_Delay in the page, linked with --js-library in place of Emscripten's,
// which sleeps with setTimeout. The show still decides how long to sleep (its
// frame-rate module asks for the rest of the frame); here it wakes at the
// first animation frame by which that time has come, or will have come before
// the next one, so each frame it draws is in the browser's next picture. A
// busy main thread runs its timers late and renders between them, and then
// the show drew frames the screen never showed; animation frames keep their
// turn under load, and one frame of the show falls to each.
//
// A hidden page gets no animation frames: there, and where a runtime has none,
// the sleep is a timer. A page hidden during a sleep resumes when shown again.
mergeInto(LibraryManager.library, {
  $webSleepUntil__deps: ['$callUserCallback', '$safeSetTimeout'],
  $webSleepUntil: function(due, wakeUp) {
    if (typeof requestAnimationFrame !== 'function' || (typeof document === 'object' && document.hidden)) {
      safeSetTimeout(wakeUp, Math.max(0, due - performance.now()));
      return;
    }
    {{{ runtimeKeepalivePush() }}}
    // Half a frame of a 60 Hz screen: waking that much early is nearer the
    // due time than waking a whole frame late; the pacing evens out either.
    var early = 8;
    var look = function() {
      if (performance.now() + early < due) {
        requestAnimationFrame(look);
        return;
      }
      {{{ runtimeKeepalivePop() }}}
      callUserCallback(wakeUp);
    };
    requestAnimationFrame(look);
  },

  SDL_Delay__deps: ['$webSleepUntil'],
  SDL_Delay: function(ms) {
    var due = performance.now() + ms;
    Asyncify.handleSleep(function(wakeUp) { webSleepUntil(due, wakeUp); });
  },
});
