// Windows: the desktop's size, asked of Windows before SDL starts. The exe's
// manifest declares it DPI-aware, so these are the screen's real pixels, not
// the ones Windows would scale up on a 150 % display.
#include "platform/desktop.h"

#include <windows.h>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WINDESK ", "20261210", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// The main monitor's size in pixels; false when Windows gives none.
bool SDLDPYDesktopSize(std::int32_t* width, std::int32_t* height) {
    if (width == nullptr || height == nullptr) return false;
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    if (w <= 0 || h <= 0) return false;
    *width = w;
    *height = h;
    return true;
}

// A Windows desktop does not go away under its programs: nothing to watch.
void SDLDPYWatchDisplay() {}
