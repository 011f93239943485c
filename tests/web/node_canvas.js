// Lets the browser build of the show run on Node: the few browser objects
// Emscripten's SDL touches, with a canvas whose 2D context keeps real pixel
// buffers and draws nothing. Included with --pre-js in the Node test build.
(function () {
  // An object on which any property is a function doing nothing.
  function inert() {
    return new Proxy(function () {}, {
      get: function (target, key) {
        if (key === Symbol.toPrimitive) return function () { return 0; };
        if (!(key in target)) target[key] = inert();
        return target[key];
      },
      apply: function () { return undefined; }
    });
  }
  function image(w, h) { return { width: w, height: h, data: new Uint8ClampedArray(w * h * 4) }; }
  var context = new Proxy({
    createImageData: image,
    getImageData: function (x, y, w, h) { return image(w, h); },
    putImageData: function () {}
  }, { get: function (target, key) { return key in target ? target[key] : function () {}; } });
  var canvas = {
    width: 300, height: 150, style: inert(),
    addEventListener: function () {}, removeEventListener: function () {},
    getContext: function () { return context; },
    getBoundingClientRect: function () { return { left: 0, top: 0, width: canvas.width, height: canvas.height }; }
  };
  if (typeof ImageData === 'undefined') {
    globalThis.ImageData = function (data, w, h) { this.data = data; this.width = w; this.height = h; };
  }
  if (typeof document === 'undefined') {
    globalThis.document = inert();
    globalThis.window = inert();
  }
  Module['canvas'] = canvas;
})();
