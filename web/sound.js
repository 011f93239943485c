// The page's sound. Browsers let a page make sound only from a click, tap or
// key: the first one once the show runs opens the sound device, and the line
// under the picture says so. iPhones would play that sound as "ambient" audio,
// which the ring switch silences; the same gesture asks for playback audio.
// The show's audio context also hands its sound to a tap a recording can
// listen to.
'use strict';
(function (page) {
  if (page.ended) return;  // the page cannot run the show
  // ---- The tap ------------------------------------------------------------------
  // The show's sound goes to the destination of its audio context; the
  // context made here hands it a gain node in front of the real destination
  // instead, to which a recording can also listen (page.audio.tap).
  var NativeAudio = window.AudioContext || window.webkitAudioContext;
  function getterOf(prototype, name) {
    for (; prototype; prototype = Object.getPrototypeOf(prototype)) {
      var d = Object.getOwnPropertyDescriptor(prototype, name);
      if (d && d.get) return d.get;
    }
    return null;
  }
  var realDestination = NativeAudio && typeof Reflect === 'object' && getterOf(NativeAudio.prototype, 'destination');
  if (realDestination) {
    var PageAudio = function () {
      var context = Reflect.construct(NativeAudio, arguments, PageAudio);
      context.tap = context.createGain();
      context.tap.connect(realDestination.call(context));
      page.audio = context;
      return context;
    };
    PageAudio.prototype = Object.create(NativeAudio.prototype, {
      constructor: { value: PageAudio },
      destination: { get: function () { return this.tap || realDestination.call(this); } }
    });
    Object.setPrototypeOf(PageAudio, NativeAudio);
    window.AudioContext = PageAudio;
  }

  // ---- Playback audio on iPhones --------------------------------------------
  // Where the browser has an audio session (Safari 16.4 and later) it is set to
  // playback. Older Safari plays Web Audio as playback only once a media
  // element has played in a gesture: a tenth of a second of silence, made here.
  function silence() {
    var rate = 8000;
    var samples = rate / 10;
    var header = [0x52494646, 36 + samples, 0x57415645, 0x666d7420, 16, 0x00010001, rate, rate,
                  0x00080001, 0x64617461, samples];
    var big = [true, false, true, true, false, false, false, false, false, true, false];  // byte order of each word
    var bytes = '';
    header.forEach(function (word, i) {
      for (var b = 0; b < 4; b += 1) {
        bytes += String.fromCharCode((word >>> (big[i] ? 24 - 8 * b : 8 * b)) & 0xff);
      }
    });
    for (var s = 0; s < samples; s += 1) bytes += '\x80';  // 8-bit samples: 128 is silence
    return 'data:audio/wav;base64,' + btoa(bytes);
  }
  function playbackAudio() {
    if (navigator.audioSession) {
      try {
        navigator.audioSession.type = 'playback';
      } catch (e) { /* an audio session that refuses leaves the sound as it was */ }
      return;
    }
    try {
      var element = document.createElement('audio');
      element.setAttribute('playsinline', '');
      element.src = silence();
      var played = element.play();
      if (played && typeof played.catch === 'function') played.catch(function () {});
    } catch (e) { /* no media element: the sound plays as the browser plays it */ }
  }

  // ---- The first gesture opens the sound ------------------------------------
  page.soundStarted = false;
  page.soundJustStarted = false;  // by the tap under way, which must not also switch the music off
  window.addEventListener('pointerdown', function () { page.soundJustStarted = false; }, true);
  function startSound(event) {
    if (page.soundStarted || page.ended || !window.Module || typeof Module._WEBStartSound !== 'function') return;
    page.soundStarted = true;
    // An m that starts the music does not also switch it off again.
    if (event.type === 'keydown' && event.key === 'm') event.stopPropagation();
    if (event.type !== 'keydown') page.soundJustStarted = true;
    playbackAudio();
    if (Module._WEBStartSound()) {
      page.soundLine.textContent = 'Music on (' + (page.touch ? 'the \u266A button' : 'm') + ' switches it off and on).';
      page.soundLine.classList.remove('faded');
      setTimeout(function () { page.soundLine.classList.add('faded'); }, 4000);
    } else {
      page.soundLine.textContent = 'This browser gave the page no sound; the show runs silently.';
      page.soundLine.classList.remove('faded');
    }
  }
  // A mouse button's press counts as the viewer's permission, a finger only
  // when lifted.
  window.addEventListener('pointerdown', function (event) {
    if (event.pointerType === 'mouse') startSound(event);
  }, true);
  window.addEventListener('pointerup', function (event) {
    if (event.pointerType !== 'mouse') startSound(event);
  }, true);
  window.addEventListener('keydown', startSound, true);
})(VELM);
