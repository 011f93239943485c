// F9: recording the performance (sdlrecord.cpp; the page records in the
// browser itself, web/record.cpp keeps nothing). Every key the show receives
// is kept with the number of the frame after which it was read, from frame 1,
// in room reserved when the program is loaded. F9 starts a recording at the
// frame on screen and ends it (so does quitting, with the fade); the keys go
// to velm4023-YYYYMMDD-HHMMSS.keys in the videos folder (platform/keysfile.h)
// and the capture tool renders the .mp4 beside it in the background
// (host/process.h). An end from outside during a recording (platform/ending.h)
// still ends the show at once, but writes the keys file first and renders
// nothing; one line on standard error gives the command that renders it.
#pragma once

#include <cstdint>

void SDLKBDLogKey(std::int64_t frame, int code);  // a key the show is about to act on; 0 is none
void SDLKBDRecord();                              // F9
void SDLKBDRecordPoll();                          // once a frame: an end from outside; reports renders that ended
