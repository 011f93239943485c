// The mouse pointer over the picture, as a video player treats it: out of the
// way in fullscreen from the start, out of the way in the window once it has
// rested for a second, back at the next motion; and a double-click of the
// left button toggles fullscreen. Times are SDL_GetTicks' milliseconds, whose
// differences stay right across its wrap.
#include <SDL.h>

#include "platform/pointer.h"

#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLPTR  ", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr std::uint32_t restMs = 1000;        // at rest this long in the window, the pointer goes
constexpr std::uint32_t doubleClickMs = 400;  // the usual double-click time
constexpr std::int32_t nearPixels = 4;        // the second press at most this far each way

bool started = false;       // the first rest has been counted from
bool shown = true;          // what SDL was last told; SDL starts with the pointer shown
bool wasFullScreen = false;
std::uint32_t lastMotion = 0;

bool pressWaiting = false;  // a first press that a second may complete
std::uint32_t pressTime = 0;
std::int32_t pressX = 0;
std::int32_t pressY = 0;

// Tells SDL to show or hide the pointer when that changes, or whatever it was
// told before when forced (a new video mode may have forgotten it).
void showPointer(bool on, bool force) {
    if (on == shown && !force) return;
    shown = on;
    SDL_ShowCursor(on ? SDL_ENABLE : SDL_DISABLE);
}

// Distance along one axis.
std::int32_t apart(std::int32_t a, std::int32_t b) { return a > b ? a - b : b - a; }
}  // namespace

// Motion: the pointer's rest starts again; in the window it shows at once.
void SDLDPYPointerMoved(std::uint32_t now) {
    started = true;
    lastMotion = now;
    if (!SDLDPYIsFullScreen()) showPointer(true, false);
}

// True when this press completes a double-click with the one before.
bool SDLDPYPointerDoubleClick(std::int32_t x, std::int32_t y, std::uint32_t now) {
    const bool second = pressWaiting && now - pressTime <= doubleClickMs && apart(x, pressX) <= nearPixels &&
                        apart(y, pressY) <= nearPixels;
    pressWaiting = !second;
    pressTime = now;
    pressX = x;
    pressY = y;
    return second;
}

// Hidden in fullscreen; in the window hidden after a second without motion.
// Fullscreen's start and end count as motion, so leaving it shows the pointer
// for a second's rest again.
void SDLDPYPointerRest(std::uint32_t now) {
    const bool full = SDLDPYIsFullScreen();
    const bool changed = full != wasFullScreen;
    if (!started || changed) lastMotion = now;
    started = true;
    wasFullScreen = full;
    showPointer(!full && now - lastMotion < restMs, changed);
}
