// The X server behind SDL's X11 driver, asked directly through Xlib (the
// library SDL itself loads): the desktop's size before SDL starts, without a
// start and stop of SDL's video that the real start could trip over, and a
// quick, clean end when the connection to the server is lost.
#include "platform/desktop.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "img/img.h"
#include "platform/ending.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLX11  ", "20261209", "Tordeval", "C++     ", "CODE    "};

// Xlib calls this when the server's connection breaks; returning would let
// Xlib call exit, whose handlers (SDL_Quit among them) would wait on the dead
// connection for ever. So the show ends here, without exit handlers; what a
// recording going on must keep is written first (platform/ending.h).
int lostDisplay(Display* /*x*/) { ENDSLostDisplay(); }
}  // namespace

// The default screen's size in pixels; false when no X server answers (no
// DISPLAY, or nobody there), with nothing printed. A busy server that turns
// the connection away for now (EAGAIN, a reset) is asked again, up to four
// times over about 0.3 s.
bool SDLDPYDesktopSize(std::int32_t* width, std::int32_t* height) {
    const char* name = std::getenv("DISPLAY");
    if (width == nullptr || height == nullptr || name == nullptr || name[0] == '\0') return false;
    for (useconds_t pause = 20000;; pause *= 2) {
        errno = 0;
        Display* x = XOpenDisplay(nullptr);
        if (x != nullptr) {
            *width = DisplayWidth(x, DefaultScreen(x));
            *height = DisplayHeight(x, DefaultScreen(x));
            XCloseDisplay(x);
            return true;
        }
        if ((errno != EAGAIN && errno != ECONNRESET && errno != EINTR) || pause > 160000) return false;
        usleep(pause);
    }
}

// Makes a lost X connection end the process with one line and status 3. Set
// after SDL has opened its connection, so that no handler SDL installs while
// starting replaces it. SIGPIPE is ignored: a request written to the socket of
// a server that has just gone would otherwise kill the show by that signal
// (status 141) before Xlib sees the broken pipe and calls the handler.
void SDLDPYWatchDisplay() {
    std::signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(lostDisplay);
}
