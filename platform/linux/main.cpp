// The process entry on Linux: initialises SDL, arranges its shutdown at exit and runs
// the program's main routine SDL_main, whose result becomes the exit status.
#include <SDL.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "img/img.h"
#include "platform/window.h"

extern "C" int SDL_main(int argc, char* argv[]);

namespace {
[[maybe_unused]] const IDENT ident = {"SDLMAIN ", "20261209", "Tordeval", "C++     ", "CODE    "};
constexpr int initFailed = 2;

// Opens each of standard input, output and error that the caller closed on
// /dev/null. Otherwise the next descriptor opened, SDL's X connection say,
// would take its number, and a line printed would go into the connection.
void openClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is fd itself: 0 to fd - 1 are open by now.
        if (open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) < 0) return;
    }
}
}  // namespace

int main(int argc, char** argv) {
    openClosedStandardStreams();
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
