// The present hook: frames out of the running show, keys into it.
#include <SDL/SDL.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "platform/sdldpy.h"
#include "tools/capture/grab.h"

extern "C" {
void __real_SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
int __real_SDL_Flip(SDL_Surface* screen);
void __wrap_SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
int __wrap_SDL_Flip(SDL_Surface* screen);
}

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTGRAB", "20261208", "Tordeval", "C++     ", "CODE    "};

const CAPTUREOPTIONS* options = nullptr;
std::FILE* ppmStream = nullptr;
std::int32_t framesSeen = 0;
std::int32_t framesWritten = 0;
std::int32_t nextKey = 0;           // index of the first key not yet pressed
std::int32_t keyHeld = 0;           // code pressed at the previous frame, released at this one
bool progressShown = false;
CAPTUREFRAME grabbed = {};          // the screen, 1:1
CAPTUREFRAME scaled = {};           // enlarged copy when --scale is above 1

// Says what went wrong and ends the process with status 1.
[[noreturn]] void Die(const char* what) {
    if (progressShown) {
        std::fputc('\n', stderr);
    }
    std::fprintf(stderr, "velm4023-capture: frame %d: %s\n", framesSeen, what);
    std::exit(1);
}

// Writes the grabbed screen to every output asked for.
void WriteFrame() {
    const CAPTUREFRAME* frame = &grabbed;
    if (options->scale > 1) {
        if (!CAPTUREScale(&grabbed, options->scale, &scaled)) {
            Die("out of memory while enlarging");
        }
        frame = &scaled;
    }
    if (options->pngDir != nullptr) {
        char path[4096];
        int length = std::snprintf(path, sizeof path, "%s/frame-%06d.png", options->pngDir, framesSeen);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
            Die("output path too long");
        }
        if (!SDLDPYWritePNGBytes(path, frame->width, frame->height, frame->rgb)) {
            std::fprintf(stderr, "velm4023-capture: cannot write %s: %s\n", path, std::strerror(errno));
            Die("stopped");
        }
    }
    if (ppmStream != nullptr && !CAPTUREWritePPM(ppmStream, frame)) {
        std::fprintf(stderr, "velm4023-capture: standard output: %s\n", std::strerror(errno));
        Die("stopped");
    }
    framesWritten++;
}

// Pushes one key event of the given type onto SDL's queue.
void PushKey(Uint8 type, std::int32_t code) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(code);
    if (SDL_PushEvent(&event) != 0) {
        Die("SDL would not take a key event");
    }
}

// Releases last frame's key and presses this frame's; the show reads the queue
// right after the present, so the key acts on the next frame.
void FeedKeys() {
    if (keyHeld != 0) {
        PushKey(SDL_KEYUP, keyHeld);
        keyHeld = 0;
    }
    while (nextKey < options->keyCount && options->keys[nextKey].frame < framesSeen) {
        nextKey++;
    }
    if (nextKey < options->keyCount && options->keys[nextKey].frame == framesSeen) {
        keyHeld = options->keys[nextKey].code;
        PushKey(SDL_KEYDOWN, keyHeld);
        nextKey++;
    }
}

// Shows "frame N of LAST" on a terminal, about twice a second of show time.
void Progress(bool force) {
    if (!force && framesSeen % 25 != 0) {
        return;
    }
    std::fprintf(stderr, "\rvelm4023-capture: frame %d of %d, %d written", framesSeen, options->last, framesWritten);
    progressShown = true;
}

// Everything the hook does for one present, before the real present runs.
void OnPresent(SDL_Surface* screen) {
    if (options == nullptr) {
        return;
    }
    framesSeen++;
    if (framesSeen >= options->first && framesSeen <= options->last) {
        if (!CAPTUREFromSurface(screen != nullptr ? screen : SDL_GetVideoSurface(), &grabbed)) {
            Die("cannot read the screen surface");
        }
        WriteFrame();
    }
    FeedKeys();
    if (isatty(STDERR_FILENO) != 0) {
        Progress(framesSeen == options->last);
    }
}

// After the real present: stop once the last frame wanted is out.
void AfterPresent() {
    if (options != nullptr && framesSeen >= options->last) {
        std::exit(GRABFinish());
    }
}
}  // namespace

// Link-time replacements of SDL's two present calls.
void __wrap_SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    OnPresent(screen);
    __real_SDL_UpdateRect(screen, x, y, w, h);
    AfterPresent();
}

int __wrap_SDL_Flip(SDL_Surface* screen) {
    OnPresent(screen);
    int result = __real_SDL_Flip(screen);
    AfterPresent();
    return result;
}

// Arms the hook; until then presents pass through untouched.
void GRABStart(const CAPTUREOPTIONS* wanted, std::FILE* stream) {
    options = wanted;
    ppmStream = stream;
    framesSeen = 0;
    framesWritten = 0;
    nextKey = 0;
    keyHeld = 0;
}

// Flushes the outputs, says so when the show ended before the last frame wanted,
// and returns the exit status.
int GRABFinish() {
    if (progressShown) {
        std::fputc('\n', stderr);
        progressShown = false;
    }
    int status = 0;
    if (ppmStream != nullptr && std::fflush(ppmStream) != 0) {
        std::fprintf(stderr, "velm4023-capture: standard output: %s\n", std::strerror(errno));
        status = 1;
    }
    if (options != nullptr && framesSeen == 0) {
        std::fprintf(stderr, "velm4023-capture: the show ended without presenting a single frame\n");
        status = 1;
    } else if (options != nullptr && framesSeen < options->last) {
        if (framesSeen < options->first) {
            std::fprintf(stderr, "velm4023-capture: the show ended after frame %d; frames %d to %d do not exist, "
                                 "nothing was written\n", framesSeen, options->first, options->last);
        } else {
            std::fprintf(stderr, "velm4023-capture: the show ended after frame %d; frames %d to %d do not exist\n",
                         framesSeen, framesSeen + 1, options->last);
        }
    }
    CAPTUREFrameFree(&grabbed);
    CAPTUREFrameFree(&scaled);
    options = nullptr;
    return status;
}

// Frames presented so far.
std::int32_t GRABFramesSeen() {
    return framesSeen;
}
