// The mouse pointer over the picture: hidden throughout fullscreen and once
// it has rested a second in the window, shown again at the next motion and on
// leaving fullscreen. now is SDL_GetTicks' milliseconds. The desktops share
// sdlpointer.cpp; in the browser the page looks after the pointer and
// double-clicks itself (web/pointer.cpp does nothing).
#pragma once

#include <cstdint>

void SDLDPYPointerMoved(std::uint32_t now);            // motion: shown, its rest starts again
// A left-button press at (x, y) on the screen surface: true when it completes
// a double-click (the press before within 400 ms and 4 pixels each way); the
// next press then starts afresh.
bool SDLDPYPointerDoubleClick(std::int32_t x, std::int32_t y, std::uint32_t now);
void SDLDPYPointerRest(std::uint32_t now);             // once a frame: hides or shows it as fullscreen and rest say
