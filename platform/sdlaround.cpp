// The one place that acts on what happens around the show: the keyboard's
// drain hands it the window's keys and the mouse's events, and it calls down
// into the display, the screenshot, the recorder and the pointer. Each of
// those has its host's implementation (a page keeps screenshots, recordings
// and the pointer to itself), so this file is the same on every host.
#include "platform/around.h"

#include "img/img.h"
#include "platform/pointer.h"
#include "platform/sdldpy.h"
#include "platform/sdlrecord.h"
#include "platform/shot.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLAROUN", "20261210", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// First, before this frame's keys: an end from outside that came during a
// recording ends the show here, the recording written up to the frame on
// screen.
void SDLAROUNDFrameBegin() { SDLKBDRecordPoll(); }

// F11 and Alt+Enter toggle fullscreen, F12 takes a screenshot, F9 starts or
// ends a recording.
bool SDLAROUNDKey(const SDL_keysym& key) {
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
void SDLAROUNDEvent(const SDL_Event& event) {
    if (event.type == SDL_MOUSEMOTION) {
        SDLDPYPointerMoved(SDL_GetTicks());
    } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT &&
               SDLDPYPointerDoubleClick(event.button.x, event.button.y, SDL_GetTicks())) {
        SDLDPYToggleFullScreen(SDLDPYCurrent());
    }
}

// The pointer's rest, and the key the show acts on this frame kept for
// recordings, numbered by the frame on screen.
void SDLAROUNDFrameEnd(int code) {
    SDLDPYPointerRest(SDL_GetTicks());
    SDLKBDLogKey(SDLDPYFramesShown(), code);
}
