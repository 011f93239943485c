// In the browser the page sizes the picture and fills the screen itself.
#include <SDL.h>

#include "platform/window.h"

std::int32_t SDLDPYSelfScale() { return 0; }
std::uint32_t SDLDPYFullScreenFlags() { return SDL_FULLSCREEN; }
