// Sends a window the close request a window manager sends when its close
// button is pressed (WM_PROTOCOLS / WM_DELETE_WINDOW), and nothing else.
// Usage: velm_wmclose WINDOW-ID (decimal or 0x hex). Exit status 0 when sent.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
        return 2;
    }
    Display* x = XOpenDisplay(nullptr);
    if (x == nullptr) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(id);
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(x, static_cast<Window>(id), False, NoEventMask, &event);
    XSync(x, False);
    XCloseDisplay(x);
    return sent != 0 ? 0 : 1;
}
