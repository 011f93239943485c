// How a finished frame reaches the screen surface, private to the display
// (sdldpy.cpp), which checks and clips first and finishes the presentation
// after. The desktops share sdlpresent.cpp, a surface lent over the image and
// blitted; the browser's web/present.cpp converts the frame into the screen's
// own buffer and puts it on the page's canvas, and leaves full screen to the
// page.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "img/img.h"

// Puts the image's top-left w x h pixels (clipped by the caller to the image
// and the screen) on the screen surface, opaque; false when it could not.
bool SDLDPYHostShow(SDL_Surface* screen, const IMG* image, std::int32_t w, std::int32_t h);
// Forgets what was kept from frame to frame (the screen is about to change).
void SDLDPYHostForget();
// Where the host shows the frame full screen itself: toggles that, 1 when
// done, 0 when refused. -1 where the display does it (a desktop).
int SDLDPYHostFullScreen(SDL_Surface* screen);
