// Screenshots in the browser: the page keeps F12 for the browser, whose own
// tools save pictures of a page, so the show writes no files there. The
// keyboard's F12 handler still links; asked anyway, it reports and refuses.
#include <cstdio>

#include "platform/shot.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WEBSHOT ", "20261208", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// No file is written in a browser: always false, with one line on standard error.
bool SDLDPYScreenshot(SDLDPY* display) {
    if (display == nullptr || display != SDLDPYCurrent()) {
        SDLDPYError();
        return false;
    }
    std::fprintf(stderr, "velm4023: screenshot not written: a page cannot write files; use the browser's own\n");
    return false;
}
