// Recording: Record (or F9) keeps a clip. Every frame the show presents is
// drawn 4x, without smoothing, into a 1024 x 1024 canvas, which the browser's
// MediaRecorder encodes at 50 frames a second with the music, tapped from the
// page's audio (sound.js). A second press, or the show's end, stops it and the
// browser downloads velm4023-YYYYMMDD-HHMMSS.webm, or .mp4 where the browser
// records MP4 only (Safari). A recorder that fails or gives no bytes downloads
// nothing: the button says the browser could not record. One slow to finish
// still delivers its clip, and one that cannot start leaves nothing connected
// to the music. While nobody records
// the show draws nothing more than its own canvas.
'use strict';
(function (page) {
  if (page.ended) return;  // the page cannot run the show
  var button = document.getElementById('record');
  var keyHelp = document.getElementById('recordkey');  // in the key line, which touch replaces
  // The first container and codecs the browser records, best first.
  var types = ['video/webm;codecs=vp9,opus', 'video/webm;codecs=vp8,opus', 'video/mp4'];
  var type = typeof MediaRecorder === 'function' && typeof MediaRecorder.isTypeSupported === 'function' &&
      typeof page.canvas.captureStream === 'function' &&
      types.filter(function (t) { return MediaRecorder.isTypeSupported(t); })[0];
  if (!type) return;

  var recording = null;
  var title = button.title;
  function twoDigits(n) { return (n < 10 ? '0' : '') + n; }
  function clipName(d, extension) {
    return 'velm4023-' + d.getFullYear() + twoDigits(d.getMonth() + 1) + twoDigits(d.getDate()) + '-' +
        twoDigits(d.getHours()) + twoDigits(d.getMinutes()) + twoDigits(d.getSeconds()) + extension;
  }
  function download(blob, name) {
    var link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 60000);
  }
  function ready() {
    button.textContent = 'Record';
    button.title = title;
    button.disabled = false;
  }
  function cannotRecord() {
    button.textContent = 'Cannot record';
    button.title = 'This browser could not record the show';
    button.disabled = true;
    button.classList.remove('on');
    button.removeAttribute('aria-label');
  }

  function start() {
    var big = document.createElement('canvas');
    big.width = big.height = 1024;
    var context = big.getContext('2d');
    context.imageSmoothingEnabled = false;
    var draw = function () { context.drawImage(page.canvas, 0, 0, 1024, 1024); };
    draw();
    var stream = big.captureStream(50);
    var listener = null;
    // Lets go of the picture's and the music's tracks; a recorder whose
    // tracks have all ended stops by itself.
    var release = function () {
      stream.getTracks().forEach(function (track) { track.stop(); });
      if (listener) page.audio.tap.disconnect(listener);
      listener = null;
    };
    if (page.audio && page.audio.tap) {
      listener = page.audio.createMediaStreamDestination();
      page.audio.tap.connect(listener);
      listener.stream.getAudioTracks().forEach(function (track) { stream.addTrack(track); });
    }
    var recorder;
    try {
      recorder = new MediaRecorder(stream, { mimeType: type });
    } catch (e) {  // nothing may stay connected to the music
      release();
      throw e;
    }
    var chunks = [];
    var bytes = 0;
    var failed = false;
    var started = new Date();
    var finish = function () {
      if (!recorder) return;  // stopped already
      recorder = null;
      clearTimeout(watchdog);
      release();
      // The container is the one the recorder says it made, else the one asked for.
      var made = (this && this.mimeType) || type;
      if (failed || bytes === 0) {
        cannotRecord();
        return;
      }
      // A clip that came after the button gave up on it is still kept.
      if (button.textContent === 'Cannot record') ready();
      download(new Blob(chunks, { type: made }), clipName(started, /mp4/.test(made) ? '.mp4' : '.webm'));
    };
    var watchdog = null;
    recorder.ondataavailable = function (event) {
      if (event.data && event.data.size > 0) {
        chunks.push(event.data);
        bytes += event.data.size;
      }
    };
    recorder.onerror = function () { failed = true; };
    recorder.onstop = finish;
    var active = recorder;
    recorder.start(1000);
    Module.onFrame = draw;
    var tick = function () {
      var s = Math.floor((Date.now() - started.getTime()) / 1000);
      button.textContent = '\u25A0 ' + Math.floor(s / 60) + ':' + twoDigits(s % 60);
    };
    tick();
    recording = {
      timer: setInterval(tick, 500),
      stop: function () {
        active.stop();
        // A recorder slow to finish still delivers its clip whenever it says
        // it stopped. After 5 s its tracks are let go, which ends one still
        // recording; after a minute the button says it could not record.
        watchdog = setTimeout(function () {
          release();
          watchdog = setTimeout(function () { if (recorder) cannotRecord(); }, 55000);
        }, 5000);
      }
    };
    button.classList.add('on');
    button.setAttribute('aria-label', 'Stop recording');
  }
  function stop() {
    if (!recording) return;
    Module.onFrame = null;
    clearInterval(recording.timer);
    var r = recording;
    recording = null;
    button.textContent = 'Record';
    button.classList.remove('on');
    button.removeAttribute('aria-label');
    try {
      r.stop();
    } catch (e) {
      cannotRecord();
    }
  }
  function toggle() {
    if (recording) {
      stop();
    } else if (page.running && !page.ended && !button.disabled) {
      try {
        start();
      } catch (e) {  // a browser that names MediaRecorder but cannot record this
        Module.onFrame = null;
        recording = null;
        cannotRecord();
      }
    }
  }

  button.hidden = false;
  if (keyHelp) keyHelp.hidden = false;  // gone where touch has replaced the key line
  button.addEventListener('click', function (event) {
    event.currentTarget.blur();
    toggle();
  });
  window.addEventListener('keydown', function (event) {
    if (event.key !== 'F9' || event.repeat) return;
    event.preventDefault();
    toggle();
  }, true);
  page.finished.push(stop);
})(VELM);
