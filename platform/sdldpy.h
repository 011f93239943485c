// SDLDPY: the program's one window. Opens the SDL video mode, sets the caption
// and presents finished images. One display per process.
#pragma once

#include <cstdint>

#include "img/img.h"

struct SDLDPY {
    std::int32_t width;   // screen size of the last successful SDLDPYSetMode
    std::int32_t height;
    std::int32_t depth;   // colour depth of the screen surface
};

SDLDPY* SDLDPYNew();                                   // the current display, opened at 256 x 256
void SDLDPYFree(SDLDPY** display);                     // close and clear the caller's pointer
void SDLDPYSetMode(SDLDPY* display, std::int32_t width, std::int32_t height);  // set the video mode
void SDLDPYShow(SDLDPY* display, const IMG* image);    // present the image's top-left, clipped to the screen
void SDLDPYShowDirect(SDLDPY* display, const IMG* image);  // present an image of the screen's exact size
void SDLDPYShowCopy(SDLDPY* display, const IMG* image);    // present by one plain copy; exact size
const char* SDLDPYToASCII(const SDLDPY* display);      // "" for the current display, else null
SDLDPY* SDLDPYFromASCII(const char* text);             // always null
bool SDLDPYEqual(const SDLDPY* a, const SDLDPY* b);    // both the current display
SDLDPY* SDLDPYCopy(const SDLDPY* display);             // the current display itself, else null
SDLDPY* SDLDPYCurrent();                               // the current display, or null
const char* SDLDPYProblem();                           // why no window is seen (no mode, an invisible driver
                                                       // nobody asked for), or null when one is
void SDLDPYError();                                    // "SDLDPY error\n", switched off at build time
