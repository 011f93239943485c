// The desktop the window lives on, asked of the host directly: its size
// before SDL starts, and the end of the show when the display goes away.
// One implementation per host: platform/linux/desktop.cpp asks the X server
// through Xlib; platform/web/desktop.cpp has no desktop (the page sizes the
// picture itself).
#pragma once

#include <cstdint>

// The desktop's size in pixels; false when there is none to ask, with
// nothing printed. Needs no SDL.
bool SDLDPYDesktopSize(std::int32_t* width, std::int32_t* height);
// After every new video mode: the display going away ends the show at once
// (platform/ending.h), with one line and status 3.
void SDLDPYWatchDisplay();
