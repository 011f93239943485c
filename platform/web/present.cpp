// The browser's way of presenting a frame. Emscripten's SDL keeps every
// surface in a canvas of its own and copies the pixels of a surface made over
// caller memory once, when it is made, so the lent surface of the desktop path
// would show its first frame for ever. Here each frame is written into the
// screen's own buffer instead, converted from 0x00RRGGBB words to the screen's
// layout (bytes red, green, blue, alpha in a browser canvas), and that buffer
// goes to the page's canvas in one putImageData of an ImageData laid over
// the wasm memory: no JavaScript touches a pixel.
//
// The screen is locked at its first frame and stays locked. Emscripten's SDL
// allocates the buffer at the first lock and keeps it; its unlock would copy
// the buffer into an ImageData of its own, pixel by pixel for the alpha, and
// only then put it, which costs a slow phone a good part of a frame.
#include "platform/present.h"

#include <emscripten.h>

#include <bit>
#include <cstddef>
#include <cstdint>

namespace {
[[maybe_unused]] const IDENT ident = {"WEBSHOW ", "20261209", "Tordeval", "C++     ", "CODE    "};

const SDL_Surface* lockedScreen = nullptr;  // the screen whose buffer stays lent to us

// Where an 8-bit channel sits in the screen's words: the lowest bit of its mask.
int channelShift(Uint32 mask) { return mask == 0 ? 0 : std::countr_zero(mask); }

// Writes w x h pixels of the image into the screen's words, `stride` words a
// row, each through `convert`.
template <typename Convert>
void convertRows(std::uint32_t* to, std::int32_t stride, const IMG* image, std::int32_t w, std::int32_t h,
                 Convert convert) {
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint32_t* row = to + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        const std::uint32_t* from =
            image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width);
        for (std::int32_t x = 0; x < w; ++x) row[x] = convert(from[x]);
    }
}
}  // namespace

// Puts width x height RGBA bytes at `pixels` on the page's canvas. The
// ImageData over the wasm memory is made once and made again only when the
// buffer or the memory itself changes. The page's Module.onFrame, when set
// (while it records), is told of every frame.
EM_JS(void, webPut, (const void* pixels, int width, int height), {
    var put = Module['webPut'];
    if (!put || put.pixels !== pixels || put.image.data.buffer !== HEAPU8.buffer || put.image.width !== width ||
        put.image.height !== height) {
        var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
        put = Module['webPut'] = {
            pixels : pixels,
            context : Module['canvas'].getContext('2d'),
            image : new ImageData(bytes, width, height)
        };
    }
    put.context.putImageData(put.image, 0, 0);
    if (Module['onFrame']) Module['onFrame']();
});

bool SDLDPYHostShow(SDL_Surface* screen, const IMG* image, std::int32_t w, std::int32_t h) {
    if (screen == nullptr || screen->format == nullptr || screen->format->BytesPerPixel != 4) return false;
    if (screen->pitch != screen->w * 4) return false;
    if (screen != lockedScreen || screen->pixels == nullptr) {
        if (SDL_LockSurface(screen) != 0 || screen->pixels == nullptr) return false;
        lockedScreen = screen;
    }
    if (w > screen->w) w = screen->w;
    if (h > screen->h) h = screen->h;
    const SDL_PixelFormat* f = screen->format;
    auto* base = static_cast<std::uint32_t*>(screen->pixels);
    if (f->Rmask == 0x000000FFu && f->Gmask == 0x0000FF00u && f->Bmask == 0x00FF0000u && f->Amask == 0xFF000000u) {
        // A canvas's bytes red, green, blue, alpha: red and blue trade places,
        // which one rotation and two masks do.
        convertRows(base, screen->w, image, w, h,
                    [](std::uint32_t p) { return (std::rotl(p, 16) & 0x00FF00FFu) | (p & 0x0000FF00u) | 0xFF000000u; });
    } else {
        const int rs = channelShift(f->Rmask), gs = channelShift(f->Gmask), bs = channelShift(f->Bmask);
        const Uint32 opaque = f->Amask;
        convertRows(base, screen->w, image, w, h, [=](std::uint32_t p) {
            return ((p >> 16 & 0xFFu) << rs) | ((p >> 8 & 0xFFu) << gs) | ((p & 0xFFu) << bs) | opaque;
        });
    }
    webPut(screen->pixels, screen->w, screen->h);
    return true;
}

// The screen stays locked and lent to the page; nothing else is kept.
void SDLDPYHostForget() {}

// The page shows the canvas full screen itself.
int SDLDPYHostFullScreen(SDL_Surface* screen) { return SDL_WM_ToggleFullScreen(screen) != 0 ? 1 : 0; }
