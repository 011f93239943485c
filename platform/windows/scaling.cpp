// Windows: SDL 1.2 opens a window of exactly the size asked and changes the
// monitor's mode for SDL_FULLSCREEN. So the display enlarges the frame itself,
// by the largest whole number that fits two thirds of the desktop's height
// (as sdl12-compat does on Linux), and full screen is a borderless window of
// the desktop's size, which the entry has SDL centre (SDL_VIDEO_CENTERED).
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/desktop.h"
#include "platform/window.h"

namespace {
// SDL's invisible drivers (the capture tool's, the tests') have no window to enlarge.
bool invisible() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}
}  // namespace

std::int32_t SDLDPYSelfScale() {
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (invisible() || !SDLDPYDesktopSize(&width, &height) || height <= 0) return 1;
    return SDLDPYWindowScale(height);
}

std::uint32_t SDLDPYFullScreenFlags() { return SDL_NOFRAME; }
