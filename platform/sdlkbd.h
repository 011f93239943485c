// SDLKBD: turns SDL's event queue into one key code per frame. One keyboard
// per process; works only while a display exists.
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

// ---- F9: recording the performance (sdlrecord.cpp) ----------------------------
// Every key the show receives is kept with the number of the frame after which
// it was read, from frame 1, in room reserved when the program is loaded. F9
// starts a recording at the frame on screen and ends it (so does quitting,
// with the fade); the keys go to velm4023-YYYYMMDD-HHMMSS.keys in the videos
// folder and the capture tool renders the .mp4 beside it in the background.
// SIGINT, SIGTERM and SIGHUP during a recording, and a lost display, still end
// the show at once, but write the keys file first and render nothing; one line
// on standard error gives the command that renders it.
void SDLKBDLogKey(std::int64_t frame, int code);  // a key the show is about to act on; 0 is none
void SDLKBDRecord();                              // F9
void SDLKBDRecordPoll();                          // once a frame: a signal's end; reports renders that ended
void SDLKBDRecordRescue();                        // the show ends now: the keys file of a recording going
