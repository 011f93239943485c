// Touch: on a touch screen a tap on the picture is Space, and a bar of buttons
// under it sends the other keys, each the very key the keyboard would. The
// bar fades while nobody touches the screen; any tap brings it back.
'use strict';
(function (page) {
  if (page.ended) return;  // the page cannot run the show
  var controls = document.getElementById('controls');

  // A key as the keyboard sends it: the same events on the same document,
  // held for a moment (at least one frame of the show sees it down: it reads
  // one key a frame), then released.
  var keyCodes = { ' ': ['Space', 32], m: ['KeyM', 77], f: ['KeyF', 70], 1: ['Digit1', 49],
                   2: ['Digit2', 50], 3: ['Digit3', 51], Escape: ['Escape', 27] };
  function keyEvent(type, key) {
    var event = new KeyboardEvent(type, { key: key, code: keyCodes[key][0], bubbles: true, cancelable: true });
    ['keyCode', 'which'].forEach(function (name) {
      Object.defineProperty(event, name, { value: keyCodes[key][1] });
    });
    document.dispatchEvent(event);
  }
  function sendKey(key) {
    if (page.ended) return;
    keyEvent('keydown', key);
    setTimeout(function () {
      requestAnimationFrame(function () { requestAnimationFrame(function () { keyEvent('keyup', key); }); });
    }, 100);
  }

  var fadeTimer = 0;
  function showControls() {
    if (!page.touch || page.ended) return;
    controls.classList.remove('faded');
    clearTimeout(fadeTimer);
    fadeTimer = setTimeout(function () { controls.classList.add('faded'); }, 5000);
  }
  function becomeTouch() {
    if (page.touch) return;
    page.touch = true;
    document.body.classList.add('touch');
    controls.hidden = false;
    page.keysLine.textContent = 'Tap the picture for the next part; the buttons switch the music, ' +
        'the frame rate, the scroller, stars and sprites' +
        (page.canFullscreen ? ', quit, and show the picture full screen.' : ', and quit.');
    if (!page.soundStarted) page.soundLine.textContent = 'The music starts with your first tap (browsers allow no sound before).';
    page.fit();
    showControls();
  }
  if (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) becomeTouch();
  window.addEventListener('touchstart', becomeTouch, { capture: true, passive: true });
  window.addEventListener('pointerdown', showControls, true);
  // The show's SDL keeps touches on the canvas from becoming clicks: the
  // finger's lifting is the tap.
  page.canvas.addEventListener('pointerup', function (event) {
    if (page.touch && event.pointerType !== 'mouse') sendKey(' ');
  });
  Array.prototype.forEach.call(controls.querySelectorAll('button[data-key]'), function (button) {
    button.addEventListener('click', function () {
      var key = button.getAttribute('data-key');
      if (key === 'm' && page.soundJustStarted) return;  // this tap started the music
      sendKey(key);
    });
  });
  page.finished.push(function () { controls.hidden = true; });
})(VELM);
