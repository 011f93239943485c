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
