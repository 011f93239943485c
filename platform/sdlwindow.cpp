// The window around the frame: a whole-number enlargement chosen from the
// desktop's height before SDL starts, nearest-neighbour so pixels stay crisp,
// and the fullscreen toggle. The frame itself stays 256 x 256.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLWIN  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int64_t frameSize = 256;   // the show's frame, in pixels each way
constexpr std::int32_t maxScale = 64;

// The desktop's height in pixels, asked of a short-lived SDL video start; 0
// when there is no desktop to ask.
std::int32_t askDesktopHeight() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) return 0;
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    const std::int32_t height = info != nullptr ? info->current_h : 0;
    SDL_Quit();
    return height;
}
}  // namespace

// The largest whole scale at which the frame fits within two thirds of the
// desktop's height, at least 1: 1080 lines give 2, 2160 give 5, 480 give 1.
std::int32_t SDLDPYWindowScale(std::int32_t desktopHeight) {
    const std::int64_t scale = 2 * std::int64_t{desktopHeight} / (3 * frameSize);
    if (scale < 1) return 1;
    return scale > maxScale ? maxScale : static_cast<std::int32_t>(scale);
}

// Sets SDL12COMPAT_WINDOW_SCALING from the desktop and nearest-neighbour
// scaling, each only where the user has not set it; must run before SDL_Init.
void SDLDPYChooseScaling() {
    if (std::getenv("SDL12COMPAT_WINDOW_SCALING") == nullptr) {
        const std::int32_t height = askDesktopHeight();
        if (height > 0) {
            char scale[16];
            std::snprintf(scale, sizeof scale, "%d", static_cast<int>(SDLDPYWindowScale(height)));
            setenv("SDL12COMPAT_WINDOW_SCALING", scale, 0);
        }
    }
    setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
}

// Switches between the window and a desktop-filling one; SDL keeps the same
// 256 x 256 screen surface and letterboxes it.
void SDLDPYToggleFullScreen(SDLDPY* display) {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (display == nullptr || display != SDLDPYCurrent() || screen == nullptr) {
        SDLDPYError();
        return;
    }
    if (SDL_WM_ToggleFullScreen(screen) == 0) SDLDPYError();
}
