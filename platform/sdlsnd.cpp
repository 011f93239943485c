// SDLSND: the synth played through SDL 1.2's audio callback at 44100 Hz,
// signed 16-bit stereo. The show's thread writes atomics; the callback reads
// them at the start of each buffer and is the synth's only user.
#include "platform/sdlsnd.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/quiet.h"

namespace {

[[maybe_unused]] const struct {
    const char *name, *date, *author, *language, *kind;
} ident = {"SDLSND  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr bool reportErrors = false;  // the build-time switch of SDLSNDError
constexpr int bufferFrames = 1024;    // about 23 ms a callback

SDLSND* current = nullptr;
bool keepClosed = false;  // SDLSNDNew leaves the device alone
char problemText[256] = "no sound has been opened";

void audioCallback(void* user, Uint8* stream, int bytes) {
    SDLSNDFill(static_cast<SDLSND*>(user), stream, bytes);
}

}  // namespace

// ---- Record -----------------------------------------------------------------

// The current sound record, made on first use: starts SDL's audio, opens the
// device and starts the song. When that fails, the record stays silent and
// SDLSNDProblem says why. Null only when memory is exhausted.
SDLSND* SDLSNDNew() {
    if (current != nullptr) return current;
    void* memory = std::calloc(1, sizeof(SDLSND));
    if (memory == nullptr) return nullptr;
    auto* sound = new (memory) SDLSND{};
    sound->synth = SYNTHNew();
    current = sound;
    if (sound->synth == nullptr) {
        std::snprintf(problemText, sizeof problemText, "out of memory for the synthesiser");
        return sound;
    }
    if (!keepClosed) SDLSNDStart(sound);
    return sound;
}

// Opens the device for a record without one (kept closed, or refused before)
// and starts playing; true when it plays. A section cued meanwhile starts
// with the first buffer when nothing was rendered before (sample 0 is a beat).
bool SDLSNDStart(SDLSND* sound) {
    if (sound == nullptr || sound->synth == nullptr) {
        SDLSNDError();
        return false;
    }
    if (sound->playing) return true;
    keepClosed = false;
    // The sound libraries' own complaints about a missing device are held
    // back until the device is open or refused; SDLSNDProblem says why.
    const int quiet = SDLDPYQuietBegin();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        SDLDPYQuietEnd(quiet);
        std::snprintf(problemText, sizeof problemText, "%s", SDL_GetError());
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = SYNTH_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = bufferFrames;
    wanted.callback = audioCallback;
    wanted.userdata = sound;
    const int opened = SDL_OpenAudio(&wanted, nullptr);  // null: SDL converts to the device's format
    SDLDPYQuietEnd(quiet);
    if (opened < 0) {
        std::snprintf(problemText, sizeof problemText, "%s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    sound->playing = 1;
    SDL_PauseAudio(0);
    return true;
}

// Stops and closes the device, then releases the synth and the record.
void SDLSNDFree(SDLSND** sound) {
    if (sound == nullptr || *sound == nullptr) {
        SDLSNDError();
        return;
    }
    if ((*sound)->playing) {
        SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    SYNTHFree(&(*sound)->synth);
    if (*sound == current) current = nullptr;
    (*sound)->~SDLSND();
    std::free(*sound);
    *sound = nullptr;
    std::snprintf(problemText, sizeof problemText, "no sound has been opened");
}

// ---- What the show publishes ------------------------------------------------

void SDLSNDCue(SDLSND* sound, std::int32_t section) {
    if (sound == nullptr || section < 0 || section >= SYNTH_SECTIONS) {
        SDLSNDError();
        return;
    }
    const std::uint32_t requests = (sound->cue.load(std::memory_order_relaxed) >> 8) + 1;
    sound->cue.store((requests << 8) | static_cast<std::uint32_t>(section), std::memory_order_release);
}

void SDLSNDToggleMute(SDLSND* sound) {
    if (sound == nullptr) {
        SDLSNDError();
        return;
    }
    sound->muted.store(sound->muted.load(std::memory_order_relaxed) ^ 1, std::memory_order_release);
}

void SDLSNDFadeOut(SDLSND* sound) {
    if (sound == nullptr) {
        SDLSNDError();
        return;
    }
    sound->fading.store(1, std::memory_order_release);
}

// Waits in 10 ms sleeps while the device plays the fade and one silent buffer
// after it: at most about 3 s (a device slowed by a busy machine), and only
// while the device goes on pulling. A device that has rendered nothing for
// 250 ms (five of the page's 2048-frame buffers, ten of the desktop's) has
// stopped, as a page's suspended audio context does, and waiting longer would
// only hold the exit. Time is read from SDL's clock, since a page's sleeps
// last at least an animation frame.
void SDLSNDWaitFaded(SDLSND* sound) {
    if (sound == nullptr) {
        SDLSNDError();
        return;
    }
    constexpr Uint32 longest = 3000;
    constexpr Uint32 stalled = 250;
    const Uint32 start = SDL_GetTicks();
    Uint32 advanced = start;
    std::int64_t seen = sound->rendered.load(std::memory_order_acquire);
    while (sound->playing && !sound->faded.load(std::memory_order_acquire)) {
        const Uint32 now = SDL_GetTicks();
        const std::int64_t rendered = sound->rendered.load(std::memory_order_acquire);
        if (rendered != seen) {
            seen = rendered;
            advanced = now;
        }
        if (now - start >= longest || now - advanced >= stalled) return;
        SDL_Delay(10);
    }
}

// ---- The callback's work ----------------------------------------------------

// Acts on what the show published since the last buffer, then renders the
// buffer: a new cue starts its section on the synth's next beat, the mute
// gives exact silence from this buffer on, the fade begins here.
void SDLSNDFill(SDLSND* sound, std::uint8_t* stream, int bytes) {
    if (sound == nullptr || sound->synth == nullptr || stream == nullptr || bytes < 0) {
        SDLSNDError();
        return;
    }
    SYNTH* synth = sound->synth;
    const std::uint32_t cue = sound->cue.load(std::memory_order_acquire);
    if ((cue >> 8) != sound->cueSeen) {
        sound->cueSeen = cue >> 8;
        SYNTHCue(synth, static_cast<std::int32_t>(cue & 0xFF));
    }
    const bool silentAlready = SYNTHFaded(synth);
    SYNTHMute(synth, sound->muted.load(std::memory_order_acquire) != 0);
    if (sound->fading.load(std::memory_order_acquire)) SYNTHFadeOut(synth, SDLSND_FADE_FRAMES * SYNTH_FRAME);
    const std::int32_t frames = bytes / 4;
    SYNTHRender(synth, reinterpret_cast<std::int16_t*>(stream), frames);
    for (int i = frames * 4; i < bytes; ++i) stream[i] = 0;
    sound->rendered.store(synth->position, std::memory_order_release);
    if (silentAlready) sound->faded.store(1, std::memory_order_release);  // one whole buffer of silence played
}

const char* SDLSNDProblem() {
    if (current != nullptr && (current->playing || (keepClosed && current->synth != nullptr))) return nullptr;
    return problemText;
}

void SDLSNDKeepClosed(bool closed) {
    keepClosed = closed;
}

void SDLSNDError() {
    if (reportErrors) std::printf("SDLSND error\n");
}
