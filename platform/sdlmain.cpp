// The process entry: initialises SDL, arranges its shutdown at exit and runs
// the program's main routine SDL_main, whose result becomes the exit status.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "img/img.h"
#include "platform/sdldpy.h"

extern "C" int SDL_main(int argc, char* argv[]);

namespace {
[[maybe_unused]] const IDENT ident = {"SDLMAIN ", "20261208", "Tordeval", "C++     ", "CODE    "};
constexpr int initFailed = 2;
}  // namespace

int main(int argc, char** argv) {
    // SDL would turn SIGINT and SIGTERM into the same quit event as the
    // window's close button, which the show ignores; left at their defaults
    // they end the process, so Ctrl+C and kill work.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    // The window's enlargement is read when SDL opens it, so it is chosen now.
    SDLDPYChooseScaling();
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) {
        std::fprintf(stderr, "%s: %s\n", "WinMain() error", SDL_GetError());
        return initFailed;
    }
    std::atexit(SDL_Quit);
    return SDL_main(argc, argv);
}
