// The window around the frame: the whole-number enlargements for the window
// (from the desktop's height) and for the whole screen, and the fullscreen
// toggle. The frame itself stays 256 x 256. Who enlarges the window is the
// host's: sdl12-compat's own scaling (sdlscaling.cpp) or the show (windows/).
#include <SDL.h>

#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLWIN  ", "20261209", "Tordeval", "C++     ", "CODE    "};

constexpr std::int64_t frameSize = 256;   // the show's frame, in pixels each way
constexpr std::int32_t maxScale = 64;
}  // namespace

#ifdef __EMSCRIPTEN__
// The page sizes the picture itself; there is no X server to ask.
bool SDLDPYDesktopSize(std::int32_t* /*width*/, std::int32_t* /*height*/) { return false; }
void SDLDPYWatchDisplay() {}
void SDLDPYSetIcon() {}   // the page's own icon stands for the show
#endif

// The largest whole scale at which the frame fits within two thirds of the
// desktop's height, at least 1: 1080 lines give 2, 2160 give 5, 480 give 1.
std::int32_t SDLDPYWindowScale(std::int32_t desktopHeight) {
    const std::int64_t scale = 2 * std::int64_t{desktopHeight} / (3 * frameSize);
    if (scale < 1) return 1;
    return scale > maxScale ? maxScale : static_cast<std::int32_t>(scale);
}

// The largest whole scale at which the frame fits the screen, at least 1:
// 256 x 256 on 1920 x 1080 gives 4, on 3840 x 2160 gives 8.
std::int32_t SDLDPYFitScale(std::int32_t width, std::int32_t height, std::int32_t screenWidth,
                            std::int32_t screenHeight) {
    if (width <= 0 || height <= 0) return 1;
    const std::int32_t across = screenWidth / width;
    const std::int32_t down = screenHeight / height;
    const std::int32_t scale = across < down ? across : down;
    return scale < 1 ? 1 : scale;
}

// Switches between the window and the whole screen.
void SDLDPYToggleFullScreen(SDLDPY* display) {
    if (display == nullptr || display != SDLDPYCurrent() || SDL_GetVideoSurface() == nullptr) {
        SDLDPYError();
        return;
    }
    SDLDPYSetFullScreen(display, !SDLDPYIsFullScreen());
}
