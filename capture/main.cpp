// velm4023-capture: the show itself on a headless platform. It does what SDL's
// start-up shim does for the real program (SDL_Init, SDL_Quit at exit, then
// SDL_main), but with SDL's dummy drivers, the virtual clock linked in and the
// present hook of grab.cpp writing the frames asked for.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "demo/demo.h"
#include "host/environment.h"
#include "img/img.h"
#include "platform/sdlsnd.h"
#include "capture/capture.h"
#include "capture/grab.h"

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTURE ", "20261208", "Tordeval", "C++     ", "CODE    "};

CAPTUREOPTIONS options;   // large; kept out of main's stack frame

}  // namespace

// SDL keeps a few allocations until the process ends; in sanitizer builds the
// leak check is told they are not this program's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libSDL2\nleak:libSDL-1.2\n";
}

int main(int argc, char** argv) {
    char error[4600];
    if (!CAPTUREParseArgs(argc, argv, &options, error, sizeof error)) {
        std::fprintf(stderr, "velm4023-capture: %s\nTry 'velm4023-capture --help'.\n", error);
        return 2;
    }
    if (options.help) {
        std::fputs(CAPTUREUsage(), stdout);
        return 0;
    }
    if (!CAPTURECheckOutputs(&options, error, sizeof error)) {
        std::fprintf(stderr, "velm4023-capture: %s\n", error);
        return 2;
    }
    CAPTUREGuardSignals();
    std::FILE* stream = nullptr;
    if (options.ppmStream) {
        if (CAPTUREIsTerminal(stdout)) {
            std::fprintf(stderr, "velm4023-capture: --ppm-stream writes binary images; send standard output "
                                 "to a pipe or a file\n");
            return 2;
        }
        stream = CAPTURETakeStdout();
        if (stream == nullptr) {
            std::fprintf(stderr, "velm4023-capture: cannot take standard output for the image stream\n");
            return 1;
        }
    }
    // Headless whatever the environment says: no window, no sound device.
    HOSTSetEnv("SDL_VIDEODRIVER", "dummy", true);
    HOSTSetEnv("SDL_AUDIODRIVER", "dummy", true);
    // SDL would turn SIGINT and SIGTERM into a quit event, which the show's
    // keyboard discards; left at their defaults, Ctrl+C and kill end a long run.
    HOSTSetEnv("SDL_NO_SIGNAL_HANDLERS", "1", true);
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) {
        std::fprintf(stderr, "velm4023-capture: SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    std::atexit(SDL_Quit);
    // The sound is rendered frame by frame by the present hook, never by a device.
    SDLSNDKeepClosed(true);
    if (!GRABStart(&options, stream)) return 1;
    char name[] = "velm4023";
    char* arguments[] = {name, nullptr};
    SDL_main(1, arguments);   // returns only when the show quit before the last frame wanted
    return GRABFinish();
}
