// The browser's process entry: initialises SDL as the desktop entry does, runs
// the program's main routine and then tells the page that the show has ended.
// The show's loop blocks; the page is built with Asyncify, so every SDL_Delay
// of the pacing hands the browser its turn and the loop resumes after it.
// Nothing is registered to run at exit: the page is the process, and
// Emscripten's SDL_Quit only logs that it was called.
#include <SDL.h>
#include <emscripten.h>

#include <cstdio>

#include "img/img.h"
#include "platform/sdlsnd.h"

extern "C" int SDL_main(int argc, char* argv[]);

extern "C" int __real_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained);

namespace {
[[maybe_unused]] const IDENT ident = {"WEBMAIN ", "20261209", "Tordeval", "C++     ", "CODE    "};
constexpr int initFailed = 2;
// Sample frames per buffer of sound in a page: each buffer becomes a new
// audio buffer and source node made on the main thread, about 43 a second at
// the desktop's 1024. At 2048 (46 ms) there are half as many; larger buffers
// would save a little more but make one long task of each, which a slow
// phone's frame has no room for. pre.js keeps three queued, so the music runs
// at most about a fifth of a second ahead of the picture, as before.
constexpr Uint16 pageBufferFrames = 2048;
}  // namespace

// The sound device as the page opens it (linked with --wrap=SDL_OpenAudio):
// as asked, in larger buffers.
extern "C" int __wrap_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
    if (desired == nullptr) return __real_SDL_OpenAudio(desired, obtained);
    SDL_AudioSpec wanted = *desired;
    if (wanted.samples < pageBufferFrames) wanted.samples = pageBufferFrames;
    return __real_SDL_OpenAudio(&wanted, obtained);
}

// Hands the exit status to the page's Module.onShowEnded, when it has one.
EM_JS(void, WEBShowEnded, (int status), {
    if (Module['onShowEnded']) Module['onShowEnded'](status);
});

// Emscripten's SDL_Init listens for the page's unload to post SDL_QUIT, which
// the show ignores (its close button does nothing either). An unload listener
// is deprecated and keeps the page out of the browser's back/forward cache,
// so that going back to it would start the show anew; while SDL starts, the
// window adds none.
EM_JS(void, WEBRefuseUnload, (int refuse), {
    if (!refuse) {
        delete window.addEventListener;
        return;
    }
    window.addEventListener = function(type) {
        if (type !== 'unload') EventTarget.prototype.addEventListener.apply(this, arguments);
    };
});

// Opens the sound device, from the page's handler of the first click or key,
// which is what lets a page make sound. The music starts with the part on
// screen. Returns 1 when the sound plays.
extern "C" EMSCRIPTEN_KEEPALIVE int WEBStartSound() {
    return SDLSNDStart(SDLSNDNew()) ? 1 : 0;
}

// Sample frames the sound has rendered so far, for the page's tests.
extern "C" EMSCRIPTEN_KEEPALIVE double WEBSoundRendered() {
    return static_cast<double>(SDLSNDNew()->rendered.load());
}

// 1 while the music is switched off, for the page's tests.
extern "C" EMSCRIPTEN_KEEPALIVE int WEBSoundMuted() {
    const SDLSND* sound = SDLSNDNew();
    return sound != nullptr && sound->muted.load() != 0 ? 1 : 0;
}

int main(int argc, char** argv) {
    WEBRefuseUnload(1);
    const int init = SDL_Init(SDL_INIT_NOPARACHUTE);
    WEBRefuseUnload(0);
    if (init < 0) {
        std::fprintf(stderr, "%s: %s\n", "WinMain() error", SDL_GetError());
        return initFailed;
    }
    // A page may not start sound before the viewer has clicked or pressed a
    // key (the browser refuses and warns): the page calls WEBStartSound on the
    // first one, and the show is silent until then.
    SDLSNDKeepClosed(true);
    const int status = SDL_main(argc, argv);
    WEBShowEnded(status);
    return status;
}
