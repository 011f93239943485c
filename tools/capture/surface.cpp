// Reading what SDL shows: a surface of any pixel format as RGB bytes.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "tools/capture/capture.h"

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

// Copies the surface into frame as RGB bytes, whatever its pixel format; the
// frame's buffer is reused when the size stays.
bool CAPTUREFromSurface(SDL_Surface* surface, CAPTUREFRAME* frame) {
    if (frame == nullptr || surface == nullptr || surface->format == nullptr || surface->w <= 0 || surface->h <= 0 ||
        surface->format->BytesPerPixel < 1 || surface->format->BytesPerPixel > 4) {
        return false;
    }
    std::size_t bytes = static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h) * 3;
    if (frame->rgb == nullptr || frame->width != surface->w || frame->height != surface->h) {
        unsigned char* rgb = static_cast<unsigned char*>(std::realloc(frame->rgb, bytes));
        if (rgb == nullptr) {
            return false;
        }
        frame->rgb = rgb;
        frame->width = surface->w;
        frame->height = surface->h;
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
    bool plain32 = format->BytesPerPixel == 4 && format->Rloss == 0 && format->Gloss == 0 && format->Bloss == 0;
    unsigned char* out = frame->rgb;
    for (std::int32_t y = 0; y < surface->h; y++) {
        for (std::int32_t x = 0; x < surface->w; x++, out += 3) {
            Uint32 pixel = readPixel(surface, x, y);
            if (plain32) {   // the usual 32-bit screen: shift the channels out directly
                out[0] = static_cast<unsigned char>((pixel & format->Rmask) >> format->Rshift);
                out[1] = static_cast<unsigned char>((pixel & format->Gmask) >> format->Gshift);
                out[2] = static_cast<unsigned char>((pixel & format->Bmask) >> format->Bshift);
            } else {
                SDL_GetRGB(pixel, format, &out[0], &out[1], &out[2]);
            }
        }
    }
    if (locked) {
        SDL_UnlockSurface(surface);
    }
    return true;
}

