// Windows: F9 keeps no recording yet; the key says so on standard error.
#include <cstdio>

#include "platform/sdlkbd.h"

void SDLKBDLogKey(std::int64_t frame, int code) {
    (void)frame;
    (void)code;
}

void SDLKBDRecord() {
    std::fprintf(stderr, "velm4023: F9 (recording) is not available on Windows yet\n");
    std::fflush(stderr);
}

void SDLKBDRecordPoll() {}
void SDLKBDRecordRescue() {}
