// SDLKBD: drains SDL's event queue into one key code per frame. Byte 0 of the
// buffer holds the low byte of the last key pressed, 0 after a release. Only
// the last key event of a drain counts. One keyboard per process, working only
// while a display exists.
#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"

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

// Acts on the keys that work around the show rather than in it: F11 and
// Alt+Enter toggle fullscreen, F12 takes a screenshot, F9 starts or ends a
// recording. True when the key was
// one of them.
bool windowKey(const SDL_keysym& key) {
    if (key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && (key.mod & KMOD_ALT) != 0)) {
        SDLDPYToggleFullScreen(SDLDPYCurrent());
        return true;
    }
    if (key.sym == SDLK_F12) {
        SDLDPYScreenshot(SDLDPYCurrent());
        return true;
    }
    if (key.sym == SDLK_F9) {
        SDLKBDRecord();
        return true;
    }
    return false;
}

// The mouse's events go to the pointer, never into the key code: motion
// shows it, a double-click of the left button toggles fullscreen as F11 does.
// In the browser the page looks after the pointer and double-clicks itself.
void pointerEvent(const SDL_Event& event) {
#ifdef __EMSCRIPTEN__
    (void)event;
#else
    if (event.type == SDL_MOUSEMOTION) {
        SDLDPYPointerMoved(SDL_GetTicks());
    } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT &&
               SDLDPYPointerDoubleClick(event.button.x, event.button.y, SDL_GetTicks())) {
        SDLDPYToggleFullScreen(SDLDPYCurrent());
    }
#endif
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
// 0, the mouse's events move the pointer or toggle fullscreen, everything else
// (the close request included) is discarded. The window's own keys
// (fullscreen, screenshot, recording) act here and leave the code alone. Other
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
    // First, before this frame's keys: a signal that came during a recording
    // ends the show here, the recording written up to the frame on screen.
    SDLKBDRecordPoll();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_KEYDOWN) {
            if (windowKey(event.key.keysym)) continue;
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
            pointerEvent(event);
        }
    }
#ifndef __EMSCRIPTEN__
    SDLDPYPointerRest(SDL_GetTicks());
#endif
    // The key the show acts on this frame, kept for recordings.
    SDLKBDLogKey(SDLDPYFramesShown(), static_cast<unsigned char>(keyboard->buffer[0]));
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
