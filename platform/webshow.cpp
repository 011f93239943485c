// The browser's way of presenting a frame. Emscripten's SDL keeps every
// surface in a canvas of its own and copies the pixels of a surface made over
// caller memory once, when it is made, so the lent surface of the desktop path
// would show its first frame for ever. Here each frame is written into the
// screen's own buffer instead, converted from 0x00RRGGBB words to the screen's
// layout (bytes red, green, blue, alpha in a browser canvas); the unlock puts
// the buffer on the page.
#include <SDL.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WEBSHOW ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Where an 8-bit channel sits in the screen's words: the lowest bit of its mask.
int channelShift(Uint32 mask) { return mask == 0 ? 0 : std::countr_zero(mask); }
}  // namespace

// Writes the image's top-left w x h pixels into the screen, opaque; false when
// the screen is not 32-bit or cannot be locked. The caller has clipped w and h
// to the image and the display.
bool SDLDPYWebCopy(SDL_Surface* screen, const IMG* image, std::int32_t w, std::int32_t h) {
    if (screen == nullptr || screen->format == nullptr || screen->format->BytesPerPixel != 4) return false;
    if (w > screen->w) w = screen->w;
    if (h > screen->h) h = screen->h;
    if (SDL_LockSurface(screen) != 0) return false;
    if (screen->pixels == nullptr) {
        SDL_UnlockSurface(screen);
        return false;
    }
    const SDL_PixelFormat* f = screen->format;
    const int rs = channelShift(f->Rmask), gs = channelShift(f->Gmask), bs = channelShift(f->Bmask);
    const Uint32 opaque = f->Amask;
    auto* base = static_cast<unsigned char*>(screen->pixels);
    for (std::int32_t y = 0; y < h; ++y) {
        auto* to = reinterpret_cast<std::uint32_t*>(base + static_cast<std::size_t>(y) * screen->pitch);
        const std::uint32_t* from = image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width);
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t p = from[x];
            to[x] = ((p >> 16 & 0xFFu) << rs) | ((p >> 8 & 0xFFu) << gs) | ((p & 0xFFu) << bs) | opaque;
        }
    }
    SDL_UnlockSurface(screen);
    return true;
}
