// SDLKBD: drains SDL's event queue into one key code per frame. Byte 0 of the
// buffer holds the low byte of the last key pressed, 0 after a release. Only
// the last key event of a drain counts. One keyboard per process, working only
// while a display exists.
#include "platform/sdlkbd.h"

#include "platform/around.h"
#include "platform/sdldpy.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace {
[[maybe_unused]] const IDENTSHORT ident = {"SDLKBD  ", "20261208", "TKR     "};

constexpr bool traceCalls = false;   // build-time switch of the call trace
constexpr std::size_t bufferSize = 8;
constexpr int firstWideKey = 256;    // Shift, Control, function, keypad and cursor keys

SDLKBD* current = nullptr;

// One trace line, printed only while the trace is switched on.
void trace(const char* line) {
    if (traceCalls) std::printf("%s", line);
}
}  // namespace

// The one keyboard; null while no display exists or memory is exhausted.
SDLKBD* SDLKBDNew() {
    trace("SDLKBDNew_\n");
    if (SDLDPYCurrent() == nullptr) {
        trace("ERR SDL not init'ed\n");
        trace("_SDLKBDNew\n");
        return nullptr;
    }
    if (current == nullptr) {
        SDLKBD* keyboard = static_cast<SDLKBD*>(std::calloc(1, sizeof(SDLKBD)));
        char* buffer = static_cast<char*>(std::calloc(bufferSize, 1));
        if (keyboard == nullptr || buffer == nullptr) {
            std::free(buffer);
            std::free(keyboard);
            trace("_SDLKBDNew\n");
            return nullptr;
        }
        keyboard->buffer = buffer;
        current = keyboard;
    }
    trace("_SDLKBDNew\n");
    return current;
}

// Release the keyboard and clear the caller's pointer.
void SDLKBDFree(SDLKBD** keyboard) {
    trace("SDLKBDFree_\n");
    if (keyboard == nullptr) {
        trace("ERR void parameter\n");
        trace("_SDLKBDFree\n");
        return;
    }
    if (*keyboard == nullptr) return;
    std::free((*keyboard)->buffer);
    if (*keyboard == current) current = nullptr;
    std::free(*keyboard);
    *keyboard = nullptr;
    trace("_SDLKBDFree\n");
}

// Drain every waiting event: a key-down stores the key's code, a key-up stores
// 0, everything else (the close request included) is discarded by the show.
// The keys and the mouse that act around the show (fullscreen, screenshot,
// recording, the pointer) go to platform/around.h and leave the code alone. Other
// keys beyond the character range have no code of their own and are discarded
// on key-down, so they never pass for the character sharing their low byte.
void SDLKBDGetKey(SDLKBD* keyboard) {
    trace("SDLKBDGetKey_\n");
    if (SDLDPYCurrent() == nullptr) {
        trace("ERR no display\n");
        trace("_SDLKBDGetKey\n");
        return;
    }
    if (keyboard == nullptr || keyboard->buffer == nullptr) {
        trace("ERR void parameter\n");
        trace("_SDLKBDGetKey\n");
        return;
    }
    SDLAROUNDFrameBegin();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_KEYDOWN) {
            if (SDLAROUNDKey(event.key.keysym)) continue;
            const int sym = static_cast<int>(event.key.keysym.sym);
            if (sym < 0 || sym >= firstWideKey) continue;
            keyboard->buffer[0] = static_cast<char>(sym);
            if (traceCalls) {
                std::printf("keyName=%s\n", SDL_GetKeyName(event.key.keysym.sym));
                std::printf("keySym=%c\n", keyboard->buffer[0]);
            }
        } else if (event.type == SDL_KEYUP) {
            keyboard->buffer[0] = 0;
        } else {
            SDLAROUNDEvent(event);
        }
    }
    SDLAROUNDFrameEnd(static_cast<unsigned char>(keyboard->buffer[0]));
    trace("_SDLKBDGetKey\n");
}

// ---- Generic operations --------------------------------------------------------

// The empty text for a keyboard, null for null.
const char* SDLKBDToASCII(const SDLKBD* keyboard) {
    trace("SDLKBDToASCII_\n");
    if (keyboard == nullptr) {
        trace("ERR void parameter\n");
        trace("_SDLKBDToASCII\n");
        return nullptr;
    }
    trace("_SDLKBDToASCII\n");
    return "";
}

// A keyboard cannot be built from text: always null.
SDLKBD* SDLKBDFromASCII(const char* text) {
    trace("SDLKBDFromASCII_\n");
    if (text == nullptr) trace("ERR void parameter\n");
    trace("_SDLKBDFromASCII\n");
    return nullptr;
}

// 1 when both are the same non-null pointer, else 0.
int SDLKBDEqual(const SDLKBD* a, const SDLKBD* b) {
    trace("SDLKBDEqual_\n");
    if (a == nullptr || b == nullptr) {
        trace("ERR void parameter\n");
        trace("_SDLKBDEqual\n");
        return 0;
    }
    trace("_SDLKBDEqual\n");
    return a == b ? 1 : 0;
}

// No copy is ever made: always null.
SDLKBD* SDLKBDCopy(const SDLKBD* keyboard) {
    trace("SDLKBDCopy_\n");
    if (keyboard == nullptr) trace("ERR void parameter\n");
    trace("_SDLKBDCopy\n");
    return nullptr;
}
