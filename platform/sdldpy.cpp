// SDLDPY: the program's one window. Opens the video mode, sets the caption and
// presents finished images. The display is a per-process singleton; every
// operation accepts only the current display and reports anything else.
#include "platform/sdldpy.h"

#include <SDL.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/desktop.h"
#include "platform/present.h"
#include "platform/quiet.h"
#include "platform/window.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLDPY  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr bool reportErrors = false;           // build-time switch of SDLDPYError
constexpr Uint32 doubleBufFlag = 0x40000000u;  // SDL_DOUBLEBUF
constexpr int maxPitch = 65535;  // SDL 1.2 keeps a surface's row length in 16 bits
constexpr const char* caption = "VELM4023";
constexpr std::int32_t defaultSize = 256;

SDLDPY* current = nullptr;
SDL_Surface* screenSurface = nullptr;
int doubleBuffered = 0;
Uint32 videoFlags = 0;

std::int64_t framesShown = 0;  // presentations since the display opened

// Fullscreen: the screen is the desktop's size and each frame pixel becomes a
// fullScale x fullScale block, the picture's top-left corner at (fullX, fullY);
// fullScale is 0 in the window.
std::int32_t fullScale = 0;
std::int32_t fullX = 0;
std::int32_t fullY = 0;
// In the window, where SDL enlarges nothing (platform/window.h): each frame
// pixel becomes a windowScale x windowScale block from the top-left corner.
std::int32_t windowScale = 1;
char modeError[256] = "";     // SDL's message when the last mode could not be set
char problemText[320] = "";

// The first n characters equal in any case.
bool sameStart(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
        if (a[i] == '\0') return true;
    }
    return true;
}

// Names equal in any case.
bool sameName(const char* a, const char* b) { return sameStart(a, b, std::strlen(a) + 1); }

// The current display with a screen surface, or null.
bool ready(const SDLDPY* display) {
    return display != nullptr && display == current && screenSurface != nullptr;
}

// Show what was put on the screen surface; in fullscreen only the picture's
// rectangle changes, so only it is sent on.
void finishShow(Sint32 x = 0, Sint32 y = 0, Uint32 w = 0, Uint32 h = 0) {
    ++framesShown;
    if (doubleBuffered == 1) {
        SDL_Flip(screenSurface);
    } else {
        SDL_UpdateRect(screenSurface, x, y, w, h);
    }
}

// A screen of 0x00RRGGBB words.
bool screenIsXRGB(const SDL_Surface* screen) {
    const SDL_PixelFormat* f = screen->format;
    return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u && f->Bmask == 0x000000FFu;
}

// Enlarged presentation, straight into the locked screen: in fullscreen (the
// black around the picture was drawn when it began), or in a window the
// display enlarges itself.
void showEnlarged(const IMG* image, std::int32_t w, std::int32_t h, std::int32_t x, std::int32_t y, std::int32_t k) {
    if (SDL_LockSurface(screenSurface) != 0) {
        SDLDPYError();
        return;
    }
    const std::size_t pitchWords = static_cast<std::size_t>(screenSurface->pitch) / 4;
    auto* to = static_cast<std::uint32_t*>(screenSurface->pixels) + static_cast<std::size_t>(y) * pitchWords +
               static_cast<std::size_t>(x);
    SDLDPYEnlarge(image, w, h, k, to, pitchWords);
    SDL_UnlockSurface(screenSurface);
    finishShow(x, y, static_cast<Uint32>(w) * k, static_cast<Uint32>(h) * k);
}

// SDL_SetVideoMode, the icon given first, with the libraries' own complaints
// held back.
SDL_Surface* quietMode(std::int32_t width, std::int32_t height, Uint32 flags) {
    SDLDPYSetIcon();
    const int saved = SDLDPYQuietBegin();
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 0, flags);
    SDLDPYQuietEnd(saved);
    return screen;
}

// Whether the image can be written straight into the screen: exact size, a
// buffer, and a screen of 0x00RRGGBB words.
bool directOK(const SDLDPY* display, const IMG* image) {
    if (!ready(display) || image == nullptr || image->pixels == nullptr) return false;
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
bool lockForCopy(SDLDPY* display, const IMG* image) {
    if (!ready(display) || image == nullptr || image->pixels == nullptr ||
        image->width != display->width || image->height != display->height) {
        SDLDPYError();
        return false;
    }
    if (!directOK(display, image)) {
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
bool driverAsked(const char* driver) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (asked == nullptr) return false;
    const std::size_t n = std::strlen(driver);
    for (const char* p = asked; *p != '\0';) {
        const char* end = std::strchr(p, ',');
        const std::size_t len = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
        if (len == n && sameStart(p, driver, n)) return true;
        if (end == nullptr) break;
        p = end + 1;
    }
    return false;
}

// The invisible driver SDL fell back to without being asked, or null.
const char* invisibleFallback() {
    char driver[64] = "";
    if (SDL_VideoDriverName(driver, sizeof driver) == nullptr) return nullptr;
    for (const char* invisible : {"offscreen", "dummy"}) {
        if (sameName(driver, invisible) && !driverAsked(invisible)) return invisible;
    }
    return nullptr;
}

// The video mode, started again after a pause when SDL fell back to an
// invisible driver although an X display is named: a busy X server now and
// then refuses or drops a new connection (EAGAIN, a reset), and SDL then
// takes the next driver rather than trying again. About 1.5 s in all before
// the fallback stands.
SDL_Surface* startMode(std::int32_t width, std::int32_t height, Uint32 flags) {
    SDL_Surface* screen = quietMode(width, height, flags);
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') return screen;
    for (Uint32 pause = 100; pause <= 800 && screen != nullptr && invisibleFallback() != nullptr; pause *= 2) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Delay(pause);
        screen = quietMode(width, height, flags);
    }
    return screen;
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
    SDLDPYHostForget();
    if (screenSurface != nullptr) SDL_FreeSurface(screenSurface);
    screenSurface = nullptr;
    doubleBuffered = 0;
    fullScale = 0;
    windowScale = 1;
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
    fullScale = 0;
    // Where SDL enlarges nothing, the window is opened that many times larger
    // and the display enlarges each frame into it.
    const std::int32_t self = SDLDPYSelfScale();
    windowScale = self > 1 && std::int64_t{width} * self <= maxPitch / 4 && std::int64_t{height} * self <= maxPitch
                      ? self
                      : 1;
    screenSurface = startMode(width * windowScale, height * windowScale, videoFlags);
    if (screenSurface == nullptr && windowScale > 1) {
        windowScale = 1;
        screenSurface = startMode(width, height, videoFlags);
    }
    if (screenSurface != nullptr && windowScale > 1 && !screenIsXRGB(screenSurface)) {
        windowScale = 1;   // a screen the display cannot write into: the frame as it is
        screenSurface = startMode(width, height, videoFlags);
    }
    if (screenSurface == nullptr && SDLDPYDropUserScaling(SDL_GetError())) {
        screenSurface = startMode(width, height, videoFlags);
    }
    if (screenSurface == nullptr) {
        std::snprintf(modeError, sizeof modeError, "%s", SDL_GetError());
        if (modeError[0] == '\0') std::snprintf(modeError, sizeof modeError, "unknown error");
        doubleBuffered = 0;
        SDLDPYError();
        return;
    }
    modeError[0] = '\0';
    SDLDPYWatchDisplay();
    SDL_WM_SetCaption(caption, caption);
    current->depth = screenSurface->format->BitsPerPixel;
    current->width = width;
    current->height = height;
    doubleBuffered = (screenSurface->flags & doubleBufFlag) != 0 ? 1 : 0;
}

// ---- Presentation -------------------------------------------------------------

// Present the image's top-left, clipped to the screen, the host's way
// (platform/present.h); in fullscreen enlarged straight into the screen.
void SDLDPYShow(SDLDPY* display, const IMG* image) {
    if (!ready(display) || image == nullptr || image->pixels == nullptr) {
        SDLDPYError();
        return;
    }
    const std::int32_t w = image->width < display->width ? image->width : display->width;
    const std::int32_t h = image->height < display->height ? image->height : display->height;
    if (fullScale > 0 || windowScale > 1) {
        if (fullScale > 0) {
            showEnlarged(image, w, h, fullX, fullY, fullScale);
        } else {
            showEnlarged(image, w, h, 0, 0, windowScale);
        }
        return;
    }
    if (w > 0 && h > 0 && !SDLDPYHostShow(screenSurface, image, w, h)) {
        SDLDPYError();
        return;
    }
    finishShow();
}

// Present an image of the screen's exact size by one copy into the locked
// screen; screens of another pixel layout take the blitting path.
void SDLDPYShowDirect(SDLDPY* display, const IMG* image) {
    if (!lockForCopy(display, image)) return;
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
    finishShow();
}

// Present an image of the screen's exact size by a pixel-for-pixel copy into
// the locked screen, row by row.
void SDLDPYShowCopy(SDLDPY* display, const IMG* image) {
    if (!lockForCopy(display, image)) return;
    const std::int32_t w = image->width;
    const std::size_t pitchWords = screenSurface->pitch / 4u;
    auto* base = static_cast<std::uint32_t*>(screenSurface->pixels);
    for (std::int32_t y = 0; y < image->height; ++y) {
        std::uint32_t* to = base + static_cast<std::size_t>(y) * pitchWords;
        const std::uint32_t* from = image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (std::int32_t x = 0; x < w; ++x) to[x] = from[x];
    }
    SDL_UnlockSurface(screenSurface);
    finishShow();
}

// ---- Fullscreen -----------------------------------------------------------------

// Fullscreen on: the frame enlarged by the largest whole number that fits the
// desktop, centred on black; by SDL from a screen that many times smaller
// where that is exact, else by the show into a screen of the desktop's size.
// Off: the window again. The display's record keeps the frame's size.
void SDLDPYSetFullScreen(SDLDPY* display, bool on) {
    if (!ready(display)) {
        SDLDPYError();
        return;
    }
    // Where the host shows the frame full screen itself (the page), it does.
    const int byHost = SDLDPYHostFullScreen(screenSurface);
    if (byHost >= 0) {
        if (byHost == 0) SDLDPYError();
        return;
    }
    if (on == (fullScale > 0)) return;
    char driver[64] = "";
    if (SDL_VideoDriverName(driver, sizeof driver) == nullptr || sameName(driver, "dummy") ||
        sameName(driver, "offscreen")) {
        return;  // no screen to fill: the invisible drivers (the capture tool's) keep the frame as it is
    }
    SDLDPYHostForget();
    fullScale = 0;
    if (on) {
        // The desktop's mode: SDL's in a window where SDL scales (sdl12-compat);
        // where it does not, SDL's is the window's own, and the host is asked.
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        SDL_VideoInfo hostDesktop{};
        std::int32_t hostW = 0, hostH = 0;
        if (SDLDPYSelfScale() != 0 && SDLDPYDesktopSize(&hostW, &hostH)) {
            hostDesktop.current_w = hostW;
            hostDesktop.current_h = hostH;
            info = &hostDesktop;
        }
        const SDL_VideoInfo* desktop = info;
        SDL_Surface* screen = nullptr;
        if (desktop != nullptr && desktop->current_w >= display->width && desktop->current_h >= display->height) {
            // When the whole scale divides the desktop both ways and SDL
            // samples nearest pixels, SDL itself enlarges a screen that much
            // smaller by exactly that scale (1920 x 1080: 480 x 270, four
            // times): the frame is copied unenlarged, a sixteenth of the work.
            const std::int32_t k = SDLDPYFitScale(display->width, display->height, desktop->current_w,
                                                  desktop->current_h);
            const char* method = std::getenv("SDL12COMPAT_SCALE_METHOD");
            const bool exact = SDLDPYSelfScale() == 0 && desktop->current_w % k == 0 && desktop->current_h % k == 0 && method != nullptr &&
                               sameName(method, "nearest");
            const std::int32_t w = exact ? desktop->current_w / k : desktop->current_w;
            const std::int32_t h = exact ? desktop->current_h / k : desktop->current_h;
            screen = SDL_SetVideoMode(w, h, 0, videoFlags | SDLDPYFullScreenFlags());
        }
        if (screen != nullptr && screenIsXRGB(screen)) {
            screenSurface = screen;
            fullScale = SDLDPYFitScale(display->width, display->height, screen->w, screen->h);
            fullX = (screen->w - display->width * fullScale) / 2;
            fullY = (screen->h - display->height * fullScale) / 2;
            SDL_FillRect(screen, nullptr, 0);
            SDL_UpdateRect(screen, 0, 0, 0, 0);
            SDLDPYWatchDisplay();
            return;
        }
        SDLDPYError();  // no such screen: back to the window
    }
    screenSurface = SDL_SetVideoMode(display->width * windowScale, display->height * windowScale, 0, videoFlags);
    if (screenSurface == nullptr) SDLDPYError();
    SDLDPYWatchDisplay();
}

bool SDLDPYIsFullScreen() { return fullScale > 0; }

// Switches between the window and the whole screen.
void SDLDPYToggleFullScreen(SDLDPY* display) {
    if (display == nullptr || display != current || SDL_GetVideoSurface() == nullptr) {
        SDLDPYError();
        return;
    }
    SDLDPYSetFullScreen(display, !SDLDPYIsFullScreen());
}

// Where the frame sits on the screen surface: its top-left corner and the
// size of one frame pixel (0, 0 and 1 in the window).
void SDLDPYFramePlace(std::int32_t* x, std::int32_t* y, std::int32_t* scale) {
    if (x != nullptr) *x = fullScale > 0 ? fullX : 0;
    if (y != nullptr) *y = fullScale > 0 ? fullY : 0;
    if (scale != nullptr) *scale = fullScale > 0 ? fullScale : windowScale;
}

// The image's top-left width x height, every pixel a scale x scale square,
// into 32-bit rows pitchWords apart from to: each source row is spread once,
// then copied scale - 1 times. Nothing is allocated.
void SDLDPYEnlarge(const IMG* image, std::int32_t width, std::int32_t height, std::int32_t scale, std::uint32_t* to,
                   std::size_t pitchWords) {
    if (image == nullptr || image->pixels == nullptr || to == nullptr || scale < 1 || width > image->width ||
        height > image->height || pitchWords < static_cast<std::size_t>(width) * static_cast<std::size_t>(scale)) {
        SDLDPYError();
        return;
    }
    const std::size_t k = static_cast<std::size_t>(scale);
    const std::size_t rowWords = static_cast<std::size_t>(width) * k;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint32_t* from = image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width);
        std::uint32_t* spread = to;
        for (std::int32_t x = 0; x < width; ++x) {
            for (std::size_t i = 0; i < k; ++i) *spread++ = from[x];
        }
        for (std::size_t r = 1; r < k; ++r) std::memcpy(to + r * pitchWords, to, rowWords * sizeof *to);
        to += k * pitchWords;
    }
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
    if (const char* invisible = invisibleFallback()) {
        std::snprintf(problemText, sizeof problemText,
                      "no window can be shown: SDL fell back to its invisible \"%s\" video driver "
                      "(is DISPLAY set?)",
                      invisible);
        return problemText;
    }
    return nullptr;
}

// The module's reporter, silent unless switched on at build time.
void SDLDPYError() {
    if (reportErrors) std::printf("SDLDPY error\n");
}
