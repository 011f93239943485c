// SDLDPY: the program's one window. Opens the SDL video mode, sets the caption
// and presents finished images. One display per process. What is around it
// has a header of its own: the window's size and icon (window.h), the desktop
// (desktop.h), the pointer (pointer.h), screenshots (shot.h), the user's
// folders (folders.h), quiet libraries (quiet.h); the keys around the show
// are acted on in around.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "img/img.h"

struct SDLDPY {
    std::int32_t width;   // screen size of the last successful SDLDPYSetMode
    std::int32_t height;
    std::int32_t depth;   // colour depth of the screen surface
};

// The display itself (sdldpy.cpp; how a frame reaches the screen on each host
// is platform/present.h).
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

// Fullscreen presentation (sdldpy.cpp): the frame enlarged whole-pixel,
// centred on black; not on the invisible drivers. In the browser the page
// shows the canvas full screen itself (platform/present.h).
void SDLDPYSetFullScreen(SDLDPY* display, bool on);
void SDLDPYToggleFullScreen(SDLDPY* display);          // window <-> the whole screen
bool SDLDPYIsFullScreen();
// Where the frame sits on the screen surface: top-left corner and the size of
// one frame pixel (0, 0, 1 in the window). A picture of the frame in
// fullscreen samples every scale-th screen pixel from there.
void SDLDPYFramePlace(std::int32_t* x, std::int32_t* y, std::int32_t* scale);
// The image's top-left width x height, every pixel a scale x scale square,
// into 32-bit rows pitchWords apart (the fullscreen picture).
void SDLDPYEnlarge(const IMG* image, std::int32_t width, std::int32_t height, std::int32_t scale, std::uint32_t* to,
                   std::size_t pitchWords);
std::int64_t SDLDPYFramesShown();                      // presentations since the display opened
