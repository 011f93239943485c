// The page has no desktop to ask: it sizes the picture itself, and a page
// cannot lose its display.
#include "platform/desktop.h"

bool SDLDPYDesktopSize(std::int32_t* /*width*/, std::int32_t* /*height*/) { return false; }
void SDLDPYWatchDisplay() {}
