// The program's top level: the demo-wide state, start-up, the endless loop
// over the three parts, the frame ending they share, the index wrap and the
// demo's error reporter.
#include <cstdio>
#include <cstdlib>

#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"DEMOMAIN", "20261208", "Tordeval", "C++     ", "CODE    "};

std::uint8_t reportErrors = 0;  // DEMOError prints while this is not 0; the program never sets it
}  // namespace

// ---- Settings and switches --------------------------------------------------
std::int32_t demoWidth = 256;
std::int32_t demoHeight = 256;
std::uint8_t scrollerOn = 1;
std::uint8_t spritesOn = 1;
std::uint8_t starsOn = 1;
std::uint8_t stopRequest = 0;
std::uint8_t fpsShown = 0;

// ---- Objects made by DEMOInit -----------------------------------------------
SDLDPY* display = nullptr;
SDLKBD* keyboard = nullptr;
IMG* screen = nullptr;
IMG* sprites[4] = {nullptr, nullptr, nullptr, nullptr};
IMG* logoBottom = nullptr;
IMG* logoTop = nullptr;
IMG* banner = nullptr;
IMG* emblem = nullptr;
IMG* picture = nullptr;
FONT* font = nullptr;
IMG* canvas = nullptr;
SCROLL* scroll = nullptr;
RASTER* raster = nullptr;
STARS* stars = nullptr;
IMG* plasmaImage = nullptr;

// Runs start-up, then parts one, two and three in turn until a quit key; the
// last frame then fades out. The arguments are ignored.
extern "C" int SDL_main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    DEMOInit();
    for (;;) {
        DEMOPartOne();
        if (stopRequest & 1) break;
        stopRequest = 0;
        DEMOPartTwo();
        if (stopRequest & 1) break;
        stopRequest = 0;
        DEMOPartThree();
        if (stopRequest & 1) break;
        stopRequest = 0;
    }
    DEMOFadeOut();
    return 1;
}

// Makes every object of the show, in this order. A window nobody can see ends
// the program with a message rather than running the show unseen for ever.
void DEMOInit() {
    display = SDLDPYNew();
    keyboard = SDLKBDNew();
    SDLDPYSetMode(display, demoWidth, demoHeight);
    if (const char* problem = SDLDPYProblem()) {
        std::fprintf(stderr, "velm4023: %s\n", problem);
        std::exit(2);
    }
    screen = IMGNew();
    if (display) IMGResize(screen, display->width, display->height);

    DEMOLoadSprites();
    if (sprites[0]) {
        // The sprites swing half out of the screen on every side.
        const std::int32_t ax = (demoWidth - sprites[0]->width) / 2;
        const std::int32_t ay = (demoHeight - sprites[0]->height) / 2;
        spriteWaves[0].amplitude = ax;
        spriteWaves[1].amplitude = ax;
        spriteWaves[2].amplitude = ay;
        spriteWaves[3].amplitude = ay;
    }
    DEMOLoadPictures();

    canvas = IMGNew();
    if (screen && font) IMGResize(canvas, screen->width, font->cellHeight);
    scroll = SCROLLNew();
    SCROLLSet(scroll, reinterpret_cast<const char*>(asset_scrolltext), font, canvas);

    raster = RASTERNew();
    RASTERResize(raster, demoHeight);

    stars = STARSNew();
    if (stars && screen) {
        stars->sizeX = screen->width;
        stars->sizeY = screen->height;
        stars->sizeZ = 256;
        stars->centreX = screen->width / 2;
        stars->centreY = screen->height / 2;
        stars->focal = 128;
    }
    STARSSetCount(stars, 2048);

    plasmaImage = IMGNew();
    if (canvas) IMGResize(plasmaImage, canvas->width, canvas->height);

    targetRate = 50;
}

// Ends every frame: pace, draw the readout if wanted, present, then act on
// the one key of this frame and forget it so that a held key acts once.
void DEMOFrameEnd() {
    FPSTick();
    FPSDelay();
    if (fpsShown & 1) DEMOReadout();
    SDLDPYShow(display, screen);
    if (!keyboard || !keyboard->buffer) return;
    SDLKBDGetKey(keyboard);
    DEMOKey(static_cast<signed char>(keyboard->buffer[0]));
    keyboard->buffer[0] = 0;
}

// value brought into 0 .. n - 1; a remainder of 0 stays 0. n must be positive.
std::int32_t DEMOWrap(std::int32_t value, std::int32_t n) {
    if (n <= 0) {
        DEMOError();
        return 0;
    }
    if (value >= 0) return value < n ? value : value % n;
    const std::int32_t r = value % n;
    return r == 0 ? 0 : r + n;
}

// The demo's one reporter line, printed only while reporting is on.
void DEMOError() {
    if (reportErrors) std::printf("VELM4009 Error.\n");
}

void DEMOSetReportErrors(bool on) {
    reportErrors = on ? 1 : 0;
}
