// SDLDPY: the program's one window. Opens the SDL video mode, sets the caption
// and presents finished images. One display per process.
#pragma once

#include <cstddef>
#include <cstdint>

#include "img/img.h"

struct SDLDPY {
    std::int32_t width;   // screen size of the last successful SDLDPYSetMode
    std::int32_t height;
    std::int32_t depth;   // colour depth of the screen surface
};

// The display itself (sdldpy.cpp; in the browser the frame reaches the page
// through webshow.cpp).
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

// ---- Around the window --------------------------------------------------------
// The window keeps showing the 256 x 256 frame; what follows only changes how
// it is enlarged, ends the show when the display goes, and lets the viewer
// keep a picture of it. Each group names the file that holds it.

// The window's size (sdlwindow.cpp; its enlargement through sdl12-compat in
// sdlscaling.cpp) and the X server asked directly (sdlx11.cpp). Windows has
// its own of each in windows/.
std::int32_t SDLDPYWindowScale(std::int32_t desktopHeight);  // largest whole scale fitting 2/3 of the height, >= 1
void SDLDPYChooseScaling();                            // before SDL starts: enlarge unless the user chose
// After SDL refused a mode: when the user's own window scaling was in force,
// says so in one line on standard error and puts the automatic size in its
// place; true when a second try is worth making.
bool SDLDPYDropUserScaling(const char* why);
// The largest whole enlargement of a width x height frame on a screen of
// screenWidth x screenHeight, at least 1.
std::int32_t SDLDPYFitScale(std::int32_t width, std::int32_t height, std::int32_t screenWidth,
                            std::int32_t screenHeight);
void SDLDPYToggleFullScreen(SDLDPY* display);          // window <-> the whole screen
// The X server's screen size, asked directly; false without one (and in the
// browser). Needs no SDL.
bool SDLDPYDesktopSize(std::int32_t* width, std::int32_t* height);
void SDLDPYWatchDisplay();                             // a lost X connection ends the show: one line, status 3

// Fullscreen presentation (sdldpy.cpp).
void SDLDPYSetFullScreen(SDLDPY* display, bool on);    // enlarged whole-pixel, centred on black; not on invisible drivers
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

// The mouse pointer over the picture (sdlpointer.cpp): hidden throughout
// fullscreen and once it has rested a second in the window, shown again at the
// next motion and on leaving fullscreen. now is SDL_GetTicks' milliseconds.
// The keyboard's drain hands it the mouse's events; none reaches the show.
void SDLDPYPointerMoved(std::uint32_t now);            // motion: shown, its rest starts again
// A left-button press at (x, y) on the screen surface: true when it completes
// a double-click (the press before within 400 ms and 4 pixels each way); the
// next press then starts afresh.
bool SDLDPYPointerDoubleClick(std::int32_t x, std::int32_t y, std::uint32_t now);
void SDLDPYPointerRest(std::uint32_t now);             // once a frame: hides or shows it as fullscreen and rest say

// The window's icon (sdlicon.cpp) and quiet libraries (sdlquiet.cpp).
void SDLDPYSetIcon();                                  // the emblem as the window's icon, before a mode starts
// Standard error to /dev/null while libraries look for devices, unless
// VELM4023_LIBRARY_MESSAGES=1; QuietEnd takes QuietBegin's result.
int SDLDPYQuietBegin();
void SDLDPYQuietEnd(int saved);

// Screenshots (sdlshot.cpp; the browser's webshot.cpp leaves them to the
// browser) and the user's folders (sdlfolders.cpp; windows/folders.cpp).
// Writes the frame on screen as velm4023-YYYYMMDD-HHMMSS-NNN.png into the
// pictures folder (see SDLDPYUserDir); the path goes to standard output, a
// failure to one line on standard error.
bool SDLDPYScreenshot(SDLDPY* display);
// The folder a screenshot goes to, written into folder (size bytes).
void SDLDPYPicturesDir(char* folder, std::size_t size);
// The user's folder of a kind as the XDG user directories give it: the
// variable NAME (XDG_PICTURES_DIR, XDG_VIDEOS_DIR), else NAME's line in
// ~/.config/user-dirs.dirs with $HOME expanded, else ~/CONVENTIONAL
// ("Pictures", "Videos"), each when it is a folder, else the current folder.
void SDLDPYUserDir(const char* name, const char* conventional, char* folder, std::size_t size);
