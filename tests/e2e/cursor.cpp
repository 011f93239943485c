// Says whether the X server shows a mouse pointer: reads the cursor image the
// server currently draws (XFixesGetCursorImage) and counts its pixels that are
// not fully transparent. Prints "visible N" (N such pixels) or "hidden".
// Usage: velm_cursor. Exit status 0 when the image was read.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
    Display* x = XOpenDisplay(nullptr);
    if (x == nullptr) {
        std::fprintf(stderr, "velm_cursor: cannot open the display\n");
        return 1;
    }
    int event = 0;
    int error = 0;
    if (!XFixesQueryExtension(x, &event, &error)) {
        std::fprintf(stderr, "velm_cursor: the X server has no XFIXES extension\n");
        XCloseDisplay(x);
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(x);
    if (image == nullptr) {
        std::fprintf(stderr, "velm_cursor: no cursor image\n");
        XCloseDisplay(x);
        return 1;
    }
    // Each pixel is an unsigned long holding ARGB in its low 32 bits.
    long opaque = 0;
    const long pixels = static_cast<long>(image->width) * image->height;
    for (long i = 0; i < pixels; ++i) {
        if (((image->pixels[i] >> 24) & 0xFFu) != 0) ++opaque;
    }
    if (opaque > 0) {
        std::printf("visible %ld\n", opaque);
    } else {
        std::printf("hidden\n");
    }
    XFree(image);
    XCloseDisplay(x);
    return 0;
}
