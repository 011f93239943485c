// The window around the frame: a whole-number enlargement chosen from the
// desktop's height before SDL starts, nearest-neighbour so pixels stay crisp,
// and a way back to it when the user's own enlargement cannot be had. The
// frame itself stays 256 x 256.
#include "platform/window.h"

#include <cstdio>
#include <cstdlib>

#include "host/environment.h"
#include "img/img.h"
#include "platform/desktop.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLWIN  ", "20261209", "Tordeval", "C++     ", "CODE    "};

constexpr std::int64_t frameSize = 256;   // the show's frame, in pixels each way
constexpr std::int32_t maxScale = 64;
constexpr const char* scalingVariable = "SDL12COMPAT_WINDOW_SCALING";

bool userScaling = false;   // the user set the window's enlargement
char automaticScale[16] = "";   // what the show would have chosen; "" for SDL's own default
}  // namespace


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
    if (!userScaling && automaticScale[0] != '\0') HOSTSetEnv(scalingVariable, automaticScale, true);
    HOSTSetEnv("SDL12COMPAT_SCALE_METHOD", "nearest", false);
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
        HOSTSetEnv(scalingVariable, automaticScale, true);
    } else {
        HOSTUnsetEnv(scalingVariable);
    }
    return true;
}
