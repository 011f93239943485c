// SDLDPY: the program's one window. Opens the video mode, sets the caption and
// presents finished images. The display is a per-process singleton; every
// operation accepts only the current display and reports anything else.
#include "platform/sdldpy.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#ifdef __EMSCRIPTEN__
#include "platform/webshow.h"
#endif

namespace {
[[maybe_unused]] const IDENT ident = {"SDLDPY  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr bool reportErrors = false;           // build-time switch of SDLDPYError
constexpr Uint32 doubleBufFlag = 0x40000000u;  // SDL_DOUBLEBUF
constexpr const char* caption = "VELM4023";
constexpr std::int32_t defaultSize = 256;
[[maybe_unused]] constexpr int maxPitch = 65535;  // SDL 1.2 keeps a surface's row length in 16 bits

SDLDPY* current = nullptr;
SDL_Surface* screenSurface = nullptr;
int doubleBuffered = 0;
Uint32 videoFlags = 0;

// The surface lent over the image last shown, kept while the image's pixel
// buffer and size stay the same, so that a frame allocates nothing.
SDL_Surface* lentSurface = nullptr;
const std::uint32_t* lentPixels = nullptr;
std::int32_t lentWidth = 0;   // the image's width: the lent row length
std::int32_t lentW = 0;       // the lent (clipped) size
std::int32_t lentH = 0;

std::int64_t framesShown = 0;  // presentations since the display opened
char modeError[256] = "";     // SDL's message when the last mode could not be set
char problemText[320] = "";

// Drop the lent surface.
void SDLDPYForgetLent() {
    if (lentSurface != nullptr) SDL_FreeSurface(lentSurface);
    lentSurface = nullptr;
    lentPixels = nullptr;
    lentWidth = lentW = lentH = 0;
}

// The current display with a screen surface, or null.
bool SDLDPYReady(const SDLDPY* display) {
    return display != nullptr && display == current && screenSurface != nullptr;
}

// Show what was put on the screen surface.
void SDLDPYFinish() {
    ++framesShown;
    if (doubleBuffered == 1) {
        SDL_Flip(screenSurface);
    } else {
        SDL_UpdateRect(screenSurface, 0, 0, 0, 0);
    }
}

// Whether the image can be written straight into the screen: exact size, a
// buffer, and a screen of 0x00RRGGBB words.
bool SDLDPYDirectOK(const SDLDPY* display, const IMG* image) {
    if (!SDLDPYReady(display) || image == nullptr || image->pixels == nullptr) return false;
    if (image->width != display->width || image->height != display->height) return false;
    if (image->width <= 0 || image->height <= 0) return false;
    const SDL_PixelFormat* f = screenSurface->format;
    return screenSurface->pixels != nullptr && screenSurface->w == image->width &&
           screenSurface->h == image->height && f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u &&
           f->Gmask == 0x0000FF00u && f->Bmask == 0x000000FFu &&
           std::int64_t{screenSurface->pitch} >= std::int64_t{image->width} * 4;
}

// Lock the screen for an exact-size copy of the image. Reports misuse and hands
// screens of another pixel layout to the blitting path; true only when the
// screen is locked and the caller is to copy and unlock.
bool SDLDPYLockForCopy(SDLDPY* display, const IMG* image) {
    if (!SDLDPYReady(display) || image == nullptr || image->pixels == nullptr ||
        image->width != display->width || image->height != display->height) {
        SDLDPYError();
        return false;
    }
    if (!SDLDPYDirectOK(display, image)) {
        SDLDPYShow(display, image);
        return false;
    }
    if (SDL_LockSurface(screenSurface) != 0) {
        SDLDPYError();
        return false;
    }
    return true;
}

// Whether an SDL environment variable names the driver among its choices.
bool SDLDPYDriverAsked(const char* driver) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (asked == nullptr) return false;
    const std::size_t n = std::strlen(driver);
    for (const char* p = asked; *p != '\0';) {
        const char* end = std::strchr(p, ',');
        const std::size_t len = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
        if (len == n && strncasecmp(p, driver, n) == 0) return true;
        if (end == nullptr) break;
        p = end + 1;
    }
    return false;
}

}  // namespace

// ---- Record -----------------------------------------------------------------

// The current display; a new one is opened at 256 x 256.
SDLDPY* SDLDPYNew() {
    if (current != nullptr) {
        SDLDPYError();
        return current;
    }
    SDLDPY* display = static_cast<SDLDPY*>(std::calloc(1, sizeof(SDLDPY)));
    if (display == nullptr) {
        SDLDPYError();
        return nullptr;
    }
    current = display;
    framesShown = 0;
    SDLDPYSetMode(display, defaultSize, defaultSize);
    return display;
}

// Close the display and clear the caller's pointer. SDL owns the screen
// surface itself; SDL_Quit closes the window.
void SDLDPYFree(SDLDPY** display) {
    if (display == nullptr || *display == nullptr || *display != current) {
        SDLDPYError();
        return;
    }
    SDLDPYForgetLent();
    if (screenSurface != nullptr) SDL_FreeSurface(screenSurface);
    screenSurface = nullptr;
    doubleBuffered = 0;
    modeError[0] = '\0';
    std::free(current);
    current = nullptr;
    *display = nullptr;
}

// Set the video mode at the desktop's depth and caption the window. On
// failure the record keeps its previous size and depth.
void SDLDPYSetMode(SDLDPY* display, std::int32_t width, std::int32_t height) {
    if (display == nullptr || display != current || width < 0 || height < 0) {
        SDLDPYError();
        return;
    }
    if (screenSurface != nullptr) SDL_FreeSurface(screenSurface);
    screenSurface = nullptr;
    videoFlags = SDL_HWSURFACE | SDL_ANYFORMAT;
    screenSurface = SDL_SetVideoMode(width, height, 0, videoFlags);
    if (screenSurface == nullptr) {
        std::snprintf(modeError, sizeof modeError, "%s", SDL_GetError());
        if (modeError[0] == '\0') std::snprintf(modeError, sizeof modeError, "unknown error");
        doubleBuffered = 0;
        SDLDPYError();
        return;
    }
    modeError[0] = '\0';
    SDL_WM_SetCaption(caption, caption);
    current->depth = screenSurface->format->BitsPerPixel;
    current->width = width;
    current->height = height;
    doubleBuffered = (screenSurface->flags & doubleBufFlag) != 0 ? 1 : 0;
}

// ---- Presentation -------------------------------------------------------------

// Present the image's top-left, clipped to the screen: a surface lent over the
// image's own pixels (no copy) is blitted opaquely onto the screen.
void SDLDPYShow(SDLDPY* display, const IMG* image) {
    if (!SDLDPYReady(display) || image == nullptr || image->pixels == nullptr) {
        SDLDPYError();
        return;
    }
    const std::int32_t w = image->width < display->width ? image->width : display->width;
    const std::int32_t h = image->height < display->height ? image->height : display->height;
#ifdef __EMSCRIPTEN__
    // In the browser a lent surface would go stale: the frame is converted
    // into the screen's own buffer (platform/webshow.cpp).
    if (w > 0 && h > 0 && !SDLDPYWebCopy(screenSurface, image, w, h)) {
        SDLDPYError();
        return;
    }
#else
    if (w > 0 && h > 0) {
        if (image->width > maxPitch / 4) {
            SDLDPYError();  // rows too long for SDL to address
            return;
        }
        if (lentSurface == nullptr || lentPixels != image->pixels || lentWidth != image->width ||
            lentW != w || lentH != h) {
            SDLDPYForgetLent();
            // No alpha mask: the top byte of our words is 0 and must not blend.
            lentSurface = SDL_CreateRGBSurfaceFrom(image->pixels, w, h, 32, image->width * 4,
                                                   0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0);
            if (lentSurface == nullptr) {
                SDLDPYError();
                return;
            }
            lentPixels = image->pixels;
            lentWidth = image->width;
            lentW = w;
            lentH = h;
        }
        SDL_UpperBlit(lentSurface, nullptr, screenSurface, nullptr);
    }
#endif
    SDLDPYFinish();
}

// Present an image of the screen's exact size by one copy into the locked
// screen; screens of another pixel layout take the blitting path.
void SDLDPYShowDirect(SDLDPY* display, const IMG* image) {
    if (!SDLDPYLockForCopy(display, image)) return;
    const std::size_t rowBytes = static_cast<std::size_t>(image->width) * 4;
    auto* to = static_cast<unsigned char*>(screenSurface->pixels);
    const auto* from = reinterpret_cast<const unsigned char*>(image->pixels);
    if (static_cast<std::size_t>(screenSurface->pitch) == rowBytes) {
        std::memcpy(to, from, rowBytes * static_cast<std::size_t>(image->height));
    } else {
        for (std::int32_t y = 0; y < image->height; ++y) {
            std::memcpy(to, from, rowBytes);
            to += screenSurface->pitch;
            from += rowBytes;
        }
    }
    SDL_UnlockSurface(screenSurface);
    SDLDPYFinish();
}

// Present an image of the screen's exact size by a pixel-for-pixel copy into
// the locked screen, row by row.
void SDLDPYShowCopy(SDLDPY* display, const IMG* image) {
    if (!SDLDPYLockForCopy(display, image)) return;
    const std::int32_t w = image->width;
    const std::size_t pitchWords = screenSurface->pitch / 4u;
    auto* base = static_cast<std::uint32_t*>(screenSurface->pixels);
    for (std::int32_t y = 0; y < image->height; ++y) {
        std::uint32_t* to = base + static_cast<std::size_t>(y) * pitchWords;
        const std::uint32_t* from = image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (std::int32_t x = 0; x < w; ++x) to[x] = from[x];
    }
    SDL_UnlockSurface(screenSurface);
    SDLDPYFinish();
}

// ---- Generic operations --------------------------------------------------------

// The empty text for the current display, else null.
const char* SDLDPYToASCII(const SDLDPY* display) {
    if (display == nullptr || display != current) {
        SDLDPYError();
        return nullptr;
    }
    return "";
}

// A display cannot be built from text: always null.
SDLDPY* SDLDPYFromASCII(const char* text) {
    if (text == nullptr || current != nullptr) SDLDPYError();
    return nullptr;
}

// True when both are the current display.
bool SDLDPYEqual(const SDLDPY* a, const SDLDPY* b) {
    if (a == nullptr || b == nullptr || a != b || a != current) {
        SDLDPYError();
        return false;
    }
    return true;
}

// The current display itself when given it; never a new record.
SDLDPY* SDLDPYCopy(const SDLDPY* display) {
    if (display == nullptr || display != current) {
        SDLDPYError();
        return nullptr;
    }
    return current;
}

// Presentations since the display opened: the frame number of a screenshot.
std::int64_t SDLDPYFramesShown() { return framesShown; }

// The current display, or null (the keyboard asks).
SDLDPY* SDLDPYCurrent() { return current; }

// Why the viewer sees no window, or null when one exists. SDL falls back to an
// invisible driver when there is no desktop; that counts as a problem unless
// SDL_VIDEODRIVER asked for it.
const char* SDLDPYProblem() {
    if (current == nullptr) {
        std::snprintf(problemText, sizeof problemText, "no display has been opened");
        return problemText;
    }
    if (screenSurface == nullptr) {
        std::snprintf(problemText, sizeof problemText, "video mode could not be set: %s",
                      modeError[0] != '\0' ? modeError : "no screen surface");
        return problemText;
    }
    char driver[64] = "";
    if (SDL_VideoDriverName(driver, sizeof driver) == nullptr) driver[0] = '\0';
    for (const char* invisible : {"offscreen", "dummy"}) {
        if (strcasecmp(driver, invisible) == 0 && !SDLDPYDriverAsked(invisible)) {
            std::snprintf(problemText, sizeof problemText,
                          "no window can be shown: SDL fell back to its invisible \"%s\" video driver "
                          "(is DISPLAY set?)",
                          invisible);
            return problemText;
        }
    }
    return nullptr;
}

// The module's reporter, silent unless switched on at build time.
void SDLDPYError() {
    if (reportErrors) std::printf("SDLDPY error\n");
}
