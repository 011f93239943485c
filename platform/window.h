// The window around the display's frame: how much it is enlarged, chosen
// before SDL starts, and its icon. The display (sdldpy.cpp) uses these when it
// sets a mode; nothing here calls the display. Scaling in sdlwindow.cpp, the
// icon in sdlicon.cpp (the page's own icon stands for it: web/icon.cpp).
#pragma once

#include <cstdint>

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
void SDLDPYSetIcon();                                  // the emblem as the window's icon, before a mode starts
// Who enlarges the window: 0 where SDL scales the window and full-screen
// modes itself (sdl12-compat: Linux; the page sizes its own picture); on a
// host whose SDL scales nothing (Windows' SDL 1.2), the whole number the
// display enlarges the frame by in the window, 1 on an invisible driver.
// One implementation per host: linux/, web/, windows/ scaling.cpp.
std::int32_t SDLDPYSelfScale();
// The flags that make a full-screen video mode: SDL_FULLSCREEN, or where that
// would change the monitor's mode (Windows' SDL 1.2), a borderless window of
// the desktop's size (SDL_NOFRAME).
std::uint32_t SDLDPYFullScreenFlags();
