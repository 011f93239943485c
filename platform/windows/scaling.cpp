// Windows: SDL 1.2 opens the window at the frame's own size and scales
// nothing; the window's whole-number enlargement (two thirds of the
// desktop's height, as on Linux) is chosen here before SDL starts.
#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WINSCALE", "20261210", "Tordeval", "C++     ", "CODE    "};

std::int32_t windowScale = 1;
}  // namespace

void SDLDPYChooseScaling() {
    std::int32_t width = 0;
    std::int32_t height = 0;
    windowScale = SDLDPYDesktopSize(&width, &height) && height > 0 ? SDLDPYWindowScale(height) : 1;
}

// There is no enlargement of the user's own to fall back from.
bool SDLDPYDropUserScaling(const char* /*why*/) { return false; }
