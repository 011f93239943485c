// The browser's way of presenting a frame (platform/webshow.cpp), private to
// the display module: SDLDPYShow calls it in the browser build instead of
// blitting a surface lent over the image.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "img/img.h"

// Writes the image's top-left w x h pixels into the screen, opaque, and puts
// the screen on the page's canvas; false when the screen is not 32-bit, rows
// apart, or cannot be locked. The caller has clipped w and h to the image and
// the display.
bool SDLDPYWebCopy(SDL_Surface* screen, const IMG* image, std::int32_t w, std::int32_t h);
