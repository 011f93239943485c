// The window's enlargement through sdl12-compat, which scales the window
// itself: chosen from the desktop's height before SDL starts,
// nearest-neighbour so pixels stay crisp, and a way back to it when the
// user's own enlargement cannot be had.
#include <cstdio>
#include <cstdlib>

#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLSCALE", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr const char* scalingVariable = "SDL12COMPAT_WINDOW_SCALING";

bool userScaling = false;   // the user set the window's enlargement
char automaticScale[16] = "";   // what the show would have chosen; "" for SDL's own default
}  // namespace

// Sets SDL12COMPAT_WINDOW_SCALING from the desktop (asked of X directly, so
// that SDL's video starts once, with the window) and nearest-neighbour
// scaling, each only where the user has not set it; must run before SDL_Init.
void SDLDPYChooseScaling() {
    automaticScale[0] = '\0';
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (SDLDPYDesktopSize(&width, &height) && height > 0) {
        std::snprintf(automaticScale, sizeof automaticScale, "%d", static_cast<int>(SDLDPYWindowScale(height)));
    }
    userScaling = std::getenv(scalingVariable) != nullptr;
    if (!userScaling && automaticScale[0] != '\0') setenv(scalingVariable, automaticScale, 1);
    setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
}

// When SDL refused the window with the user's own enlargement (a size beyond
// what SDL makes), the automatic size takes its place, said in one line.
bool SDLDPYDropUserScaling(const char* why) {
    const char* asked = std::getenv(scalingVariable);
    if (!userScaling || asked == nullptr) return false;
    userScaling = false;
    std::fprintf(stderr, "velm4023: %s=%s cannot be used (%s); the window takes its automatic size\n",
                 scalingVariable, asked, why != nullptr && why[0] != '\0' ? why : "refused");
    if (automaticScale[0] != '\0') {
        setenv(scalingVariable, automaticScale, 1);
    } else {
        unsetenv(scalingVariable);
    }
    return true;
}
