// In the browser there are no child processes and no videos folder: F9 does
// nothing and no keys are kept.
#include "platform/sdlrecord.h"

void SDLKBDLogKey(std::int64_t frame, int code) {
    (void)frame;
    (void)code;
}
void SDLKBDRecord() {}
void SDLKBDRecordPoll() {}
