// SDLKBD: turns SDL's event queue into one key code per frame. One keyboard
// per process; works only while a display exists. The keys and the mouse that
// act around the show go to platform/around.h.
#pragma once

#include <cstdint>

struct SDLKBD {
    char* buffer;  // 8 bytes; byte 0 is the code of the last key pressed, 0 for none
};

SDLKBD* SDLKBDNew();                                   // the one keyboard; null without a display
void SDLKBDFree(SDLKBD** keyboard);                    // release and clear the caller's pointer
void SDLKBDGetKey(SDLKBD* keyboard);                   // drain SDL's events into byte 0
const char* SDLKBDToASCII(const SDLKBD* keyboard);     // "" for a keyboard, null for null
SDLKBD* SDLKBDFromASCII(const char* text);             // always null
int SDLKBDEqual(const SDLKBD* a, const SDLKBD* b);     // 1 when both are the same non-null pointer
SDLKBD* SDLKBDCopy(const SDLKBD* keyboard);            // always null
