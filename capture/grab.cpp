// The present hook: frames out of the running show, keys into it.
#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "platform/sdldpy.h"
#include "platform/sdlsnd.h"
#include "capture/grab.h"

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
bool showProgress = false;          // standard error is a terminal
IMG grabbed = {};                   // the screen, 1:1
IMG scaled = {};                    // enlarged by --scale or --fit
IMG canvas = {};                    // --fit: the black canvas the frame is centred on

// Sound: the show's sound record, kept closed, filled one frame at a time.
std::int16_t frameSound[2 * SYNTH_FRAME];
std::FILE* wavFile = nullptr;       // --wav, written beside its target
char wavTemp[4200] = "";
std::int64_t soundFrames = 0;       // sample frames written to each sound file

// Says what went wrong, removes everything half made and ends the process
// with status 1.
[[noreturn]] void die(const char* what) {
    CAPTUREProgressEnd();
    std::fprintf(stderr, "velm4023-capture: frame %d: %s\n", framesSeen, what);
    if (wavFile != nullptr) std::fclose(wavFile);
    wavFile = nullptr;
    CAPTURERemoveTemporaries();
    std::exit(1);
}

// The sound of the frame just presented, into the sound files when the frame
// is one of those written. Every frame is rendered, so the music keeps time.
void writeSound(bool wanted) {
    SDLSND* sound = SDLSNDNew();
    SDLSNDFill(sound, reinterpret_cast<std::uint8_t*>(frameSound), static_cast<int>(sizeof frameSound));
    if (!wanted) return;
    char line[4400];
    if (wavFile != nullptr && !CAPTUREWavWrite(wavFile, frameSound, SYNTH_FRAME)) {
        std::snprintf(line, sizeof line, "cannot write %s: %s", options->wavPath, std::strerror(errno));
        die(line);
    }
    if (options->videoPath != nullptr && !CAPTUREVideoSound(frameSound, SYNTH_FRAME)) {
        std::snprintf(line, sizeof line, "cannot write the sound of %s: %s", options->videoPath, std::strerror(errno));
        die(line);
    }
    soundFrames += SYNTH_FRAME;
}

// Writes the grabbed screen to every output asked for.
void writeFrame() {
    const IMG* frame = CAPTURECompose(&grabbed, options, &scaled, &canvas);
    if (frame == nullptr) {
        die(options->fitWidth > 0 ? "the frame does not fit --fit, or memory is short" : "out of memory while enlarging");
    }
    char line[4400];
    if (options->pngDir != nullptr) {
        char path[4096];
        int length = std::snprintf(path, sizeof path, "%s/frame-%06d.png", options->pngDir, framesSeen);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
            die("output path too long");
        }
        if (!IMGSavePNG(frame, path)) {
            std::snprintf(line, sizeof line, "cannot write %s: %s", path, std::strerror(errno));
            die(line);
        }
    }
    if (ppmStream != nullptr && !CAPTUREWritePPM(ppmStream, frame)) {
        std::snprintf(line, sizeof line, "standard output: %s", std::strerror(errno));
        die(line);
    }
    if (options->videoPath != nullptr && !CAPTUREVideoFrame(options, frame)) {
        CAPTUREVideoWhy(line, sizeof line);
        die(line);
    }
    if (options->gifPath != nullptr && !CAPTUREGifFrame(options, frame)) {
        std::snprintf(line, sizeof line, "ffmpeg stopped taking the GIF's frames: %s", std::strerror(errno));
        die(line);
    }
    framesWritten++;
}

// Pushes one key event of the given type onto SDL's queue.
void pushKey(Uint8 type, std::int32_t code) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(code);
    if (SDL_PushEvent(&event) != 0) {
        die("SDL would not take a key event");
    }
}

// Releases last frame's key and presses this frame's; the show reads the queue
// right after the present, so the key acts on the next frame.
void feedKeys() {
    if (keyHeld != 0) {
        pushKey(SDL_KEYUP, keyHeld);
        keyHeld = 0;
    }
    while (nextKey < options->keyCount && options->keys[nextKey].frame < framesSeen) {
        nextKey++;
    }
    if (nextKey < options->keyCount && options->keys[nextKey].frame == framesSeen) {
        keyHeld = options->keys[nextKey].code;
        pushKey(SDL_KEYDOWN, keyHeld);
        nextKey++;
    }
}

// Everything the hook does for one present, before the real present runs.
void onPresent(SDL_Surface* screen) {
    if (options == nullptr) {
        return;
    }
    framesSeen++;
    const bool wanted = framesSeen >= options->first && framesSeen <= options->last;
    if (wanted) {
        if (!CAPTUREFromSurface(screen != nullptr ? screen : SDL_GetVideoSurface(), &grabbed)) {
            die("cannot read the screen surface");
        }
        writeFrame();
    }
    if (options->wavPath != nullptr || options->videoPath != nullptr) writeSound(wanted);
    feedKeys();
    if (showProgress) CAPTUREProgress(framesSeen, options->first, options->last, framesSeen == options->last);
}

// After the real present: stop once the last frame wanted is out.
void afterPresent() {
    if (options != nullptr && framesSeen >= options->last) {
        std::exit(GRABFinish());
    }
}
}  // namespace

// Link-time replacements of SDL's two present calls.
void __wrap_SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    onPresent(screen);
    __real_SDL_UpdateRect(screen, x, y, w, h);
    afterPresent();
}

int __wrap_SDL_Flip(SDL_Surface* screen) {
    onPresent(screen);
    int result = __real_SDL_Flip(screen);
    afterPresent();
    return result;
}

// Arms the hook and opens the sound files; until then presents pass through
// untouched. False after a message when an output cannot be made.
bool GRABStart(const CAPTUREOPTIONS* wanted, std::FILE* stream) {
    options = wanted;
    ppmStream = stream;
    framesSeen = 0;
    framesWritten = 0;
    nextKey = 0;
    keyHeld = 0;
    soundFrames = 0;
    showProgress = CAPTUREIsTerminal(stderr);
    const std::int64_t frames = (std::int64_t{options->last} - options->first + 1) * SYNTH_FRAME;
    if (options->wavPath != nullptr) {
        wavFile = CAPTURETempBeside(options->wavPath, wavTemp, sizeof wavTemp);
        if (wavFile == nullptr || !CAPTUREWavStart(wavFile, frames)) {
            std::fprintf(stderr, "velm4023-capture: cannot write beside %s: %s\n", options->wavPath,
                         std::strerror(errno));
            CAPTURERemoveTemporaries();
            return false;
        }
    }
    char error[4400];
    if (options->videoPath != nullptr && !CAPTUREVideoOpen(frames, error, sizeof error)) {
        std::fprintf(stderr, "velm4023-capture: %s\n", error);
        CAPTURERemoveTemporaries();
        return false;
    }
    return true;
}

// Flushes the outputs, says so when the show ended before the last frame wanted,
// and returns the exit status.
int GRABFinish() {
    CAPTUREProgressEnd();
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
    if (wavFile != nullptr) {
        const bool written = CAPTUREWavFinish(wavFile, soundFrames);
        wavFile = nullptr;
        if (!written || !CAPTURECommit(wavTemp, options->wavPath, options->overwrite)) {
            std::fprintf(stderr, "velm4023-capture: cannot write %s: %s\n", options->wavPath, std::strerror(errno));
            status = 1;
        }
    }
    if (options != nullptr && options->videoPath != nullptr) {
        if (showProgress && framesWritten > 0 && status == 0) {  // progress, like the frame counter
            std::fprintf(stderr, "velm4023-capture: joining %d frames and their sound into %s\n", framesWritten,
                         options->videoPath);
        }
        char error[4400];
        if (!CAPTUREVideoClose(options, soundFrames, error, sizeof error)) {
            std::fprintf(stderr, "velm4023-capture: %s\n", error);
            status = 1;
        }
    }
    if (options != nullptr && options->gifPath != nullptr) {
        char error[4400];
        if (!CAPTUREGifClose(options, error, sizeof error)) {
            std::fprintf(stderr, "velm4023-capture: %s\n", error);
            status = 1;
        }
    }
    CAPTURERemoveTemporaries();
    std::free(grabbed.pixels);
    std::free(scaled.pixels);
    std::free(canvas.pixels);
    grabbed = scaled = canvas = IMG{};
    options = nullptr;
    return status;
}

// Frames presented so far.
std::int32_t GRABFramesSeen() {
    return framesSeen;
}
