// The keys and the mouse that act around the show rather than in it: F11 and
// Alt+Enter (fullscreen), F12 (screenshot), F9 (recording), the pointer and
// its double-click. The keyboard drains SDL's events and hands these here,
// the one place that acts on them (sdlaround.cpp); it calls down into the
// display, the screenshot, the recorder and the pointer, and nothing calls
// back up into the keyboard.
#pragma once

#include <SDL.h>

// Before the frame's events: what must happen first (an end from outside
// that came during a recording ends the show here).
void SDLAROUNDFrameBegin();
// A key-down: true when it was one of the keys around the show and was acted
// on, so that it never reaches the show.
bool SDLAROUNDKey(const SDL_keysym& key);
// Any event that is not a key: the mouse's move the pointer or toggle
// fullscreen; the rest is ignored.
void SDLAROUNDEvent(const SDL_Event& event);
// After the drain: the pointer's rest, and the key the show acts on this
// frame (0 for none), kept for recordings.
void SDLAROUNDFrameEnd(int code);
