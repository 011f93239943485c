// SDLSND: the soundtrack through SDL's audio device. SDL calls back from its
// own thread for more samples; the callback renders them with the synth and
// reads only what the show publishes through the atomics below, so it never
// allocates, locks or waits. One sound record per process. Without a device
// the record still exists, silent, and every operation is harmless.
#pragma once

#include <atomic>
#include <cstdint>

#include "sound/synth.h"

struct SDLSND {
    SYNTH* synth;                         // owned; only the callback touches it while the device plays
    std::uint8_t playing;                 // 1 once the device is open and running
    std::atomic<std::uint32_t> cue;       // published: (requests << 8) | section
    std::atomic<std::uint8_t> muted;      // published: 1 silences the next callback on
    std::atomic<std::uint8_t> fading;     // published: 1 starts the closing fade
    std::atomic<std::uint8_t> faded;      // from the callback: the fade and one silent buffer are done
    std::atomic<std::int64_t> rendered;   // from the callback: sample frames rendered
    std::uint32_t cueSeen;                // the callback's own: the last request acted on
};

inline constexpr std::int32_t SDLSND_FADE_FRAMES = 32;  // the closing fade, as long as the picture's

SDLSND* SDLSNDNew();                       // the current sound record, the device opened and playing
void SDLSNDFree(SDLSND** sound);           // close the device, release, clear the caller's pointer
bool SDLSNDStart(SDLSND* sound);           // open the device of a record without one; true when playing
void SDLSNDCue(SDLSND* sound, std::int32_t section);  // that section from the next beat on
void SDLSNDToggleMute(SDLSND* sound);      // sound off and on again
void SDLSNDFadeOut(SDLSND* sound);         // fade out over the closing fade's 32 frames
void SDLSNDWaitFaded(SDLSND* sound);       // wait until the fade has been played: at most 3 s, 250 ms once the device stops
void SDLSNDFill(SDLSND* sound, std::uint8_t* stream, int bytes);  // the callback's work: act, then render
const char* SDLSNDProblem();               // why there is no sound, or null when it plays or was kept closed
// For programs that render the sound themselves, frame by frame, with
// SDLSNDFill (the capture tool): the next SDLSNDNew opens no device.
void SDLSNDKeepClosed(bool closed);
void SDLSNDError();                        // "SDLSND error\n", switched off at build time
