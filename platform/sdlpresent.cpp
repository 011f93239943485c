// A frame onto the screen on the desktops: a surface lent over the image's own
// pixels (no copy) is blitted opaquely onto the screen surface, and kept while
// the image's buffer and size stay the same, so that a frame allocates nothing.
#include "platform/present.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLPRES ", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr int maxPitch = 65535;  // SDL 1.2 keeps a surface's row length in 16 bits

SDL_Surface* lentSurface = nullptr;
const std::uint32_t* lentPixels = nullptr;
std::int32_t lentWidth = 0;   // the image's width: the lent row length
std::int32_t lentW = 0;       // the lent (clipped) size
std::int32_t lentH = 0;
}  // namespace

void SDLDPYHostForget() {
    if (lentSurface != nullptr) SDL_FreeSurface(lentSurface);
    lentSurface = nullptr;
    lentPixels = nullptr;
    lentWidth = lentW = lentH = 0;
}

bool SDLDPYHostShow(SDL_Surface* screen, const IMG* image, std::int32_t w, std::int32_t h) {
    if (image->width > maxPitch / 4) return false;  // rows too long for SDL to address
    if (lentSurface == nullptr || lentPixels != image->pixels || lentWidth != image->width || lentW != w ||
        lentH != h) {
        SDLDPYHostForget();
        // No alpha mask: the top byte of our words is 0 and must not blend.
        lentSurface = SDL_CreateRGBSurfaceFrom(image->pixels, w, h, 32, image->width * 4, 0x00FF0000u, 0x0000FF00u,
                                               0x000000FFu, 0);
        if (lentSurface == nullptr) return false;
        lentPixels = image->pixels;
        lentWidth = image->width;
        lentW = w;
        lentH = h;
    }
    SDL_UpperBlit(lentSurface, nullptr, screen, nullptr);
    return true;
}

// The display itself fills the screen on a desktop.
int SDLDPYHostFullScreen(SDL_Surface* /*screen*/) { return -1; }
