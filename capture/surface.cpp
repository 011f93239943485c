// Reading what SDL shows: a surface of any pixel format as RGB bytes.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTSURF", "20261208", "Tordeval", "C++     ", "CODE    "};

// Reads pixel (x, y) of a locked surface as a raw value of its format.
Uint32 readPixel(const SDL_Surface* surface, std::int32_t x, std::int32_t y) {
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + static_cast<std::size_t>(y) * surface->pitch +
                     static_cast<std::size_t>(x) * surface->format->BytesPerPixel;
    switch (surface->format->BytesPerPixel) {
    case 1:
        return p[0];
    case 2: {
        Uint16 v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 3:
        if (SDL_BYTEORDER == SDL_LIL_ENDIAN) {
            return static_cast<Uint32>(p[0]) | static_cast<Uint32>(p[1]) << 8 | static_cast<Uint32>(p[2]) << 16;
        }
        return static_cast<Uint32>(p[2]) | static_cast<Uint32>(p[1]) << 8 | static_cast<Uint32>(p[0]) << 16;
    default: {
        Uint32 v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

}  // namespace

// Copies the surface into frame as 0x00RRGGBB words, whatever its pixel
// format; the frame keeps its buffer while the size stays.
bool CAPTUREFromSurface(SDL_Surface* surface, IMG* frame) {
    if (frame == nullptr || surface == nullptr || surface->format == nullptr || surface->w <= 0 || surface->h <= 0 ||
        surface->format->BytesPerPixel < 1 || surface->format->BytesPerPixel > 4) {
        return false;
    }
    if (frame->pixels == nullptr || frame->width != surface->w || frame->height != surface->h) {
        IMGResize(frame, surface->w, surface->h);
        if (frame->pixels == nullptr || frame->width != surface->w) return false;
    }
    bool locked = SDL_MUSTLOCK(surface);
    if (locked && SDL_LockSurface(surface) != 0) {
        return false;
    }
    if (surface->pixels == nullptr) {
        if (locked) {
            SDL_UnlockSurface(surface);
        }
        return false;
    }
    const SDL_PixelFormat* format = surface->format;
    const bool same = format->BytesPerPixel == 4 && format->Rmask == 0x00FF0000u && format->Gmask == 0x0000FF00u &&
                      format->Bmask == 0x000000FFu;
    std::uint32_t* out = frame->pixels;
    for (std::int32_t y = 0; y < surface->h; y++) {
        if (same) {   // the usual screen: rows copied, the unused top byte cleared
            const Uint8* row = static_cast<const Uint8*>(surface->pixels) + static_cast<std::size_t>(y) * surface->pitch;
            std::memcpy(out, row, static_cast<std::size_t>(surface->w) * 4);
            for (std::int32_t x = 0; x < surface->w; x++) out[x] &= 0x00FFFFFFu;
            out += surface->w;
            continue;
        }
        for (std::int32_t x = 0; x < surface->w; x++) {
            Uint8 r = 0, g = 0, b = 0;
            SDL_GetRGB(readPixel(surface, x, y), format, &r, &g, &b);
            *out++ = static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
        }
    }
    if (locked) {
        SDL_UnlockSurface(surface);
    }
    return true;
}
