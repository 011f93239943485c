// Linux: sdl12-compat enlarges the window (SDL12COMPAT_WINDOW_SCALING, set
// by sdlwindow.cpp) and full-screen modes itself.
#include <SDL.h>

#include "platform/window.h"

std::int32_t SDLDPYSelfScale() { return 0; }
std::uint32_t SDLDPYFullScreenFlags() { return SDL_FULLSCREEN; }
