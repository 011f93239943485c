// The show's spine: the demo-wide objects, start-up, the endless loop over the
// table of parts, the frame ending they share, the readout and the fade.
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"VELM4009", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t fadeSteps = 32;  // 32 steps of 8 take any channel to 0
constexpr std::int32_t fadeLevel = 8;

// One part of the show: its frame and how many frames it runs.
struct Part {
    void (*frame)();
    std::int32_t frames;
};
constexpr Part parts[] = {
    {DEMOPartOneFrame, 1001},
    {DEMOPartTwoFrame, 2000},
    {DEMOPartThreeFrame, 1000},
};

// The music section playing: the show opens with section 0, part one's.
std::int32_t musicSection = 0;

// Runs a part: each frame is drawn and ended, until the frames are used up
// or a key has set stopRequest. Every part starts here, and its own music
// section with it, from the next beat.
void runPart(const Part& part) {
    const auto section = static_cast<std::int32_t>(&part - parts);
    if (section != musicSection && sound) {
        SDLSNDCue(sound, section);
        musicSection = section;
    }
    for (std::int32_t left = part.frames; left > 0; --left) {
        part.frame();
        DEMOFrameEnd();
        if (stopRequest != stopNone) return;
    }
}
}  // namespace

// ---- Settings and switches --------------------------------------------------
DEMOSTOP stopRequest = stopNone;
std::uint8_t scrollerOn = 1;
std::uint8_t spritesOn = 1;
std::uint8_t starsOn = 1;
std::uint8_t fpsShown = 0;

// ---- Objects made by DEMOInit -----------------------------------------------
SDLDPY* display = nullptr;
SDLKBD* keyboard = nullptr;
SDLSND* sound = nullptr;
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
    for (std::size_t i = 0;; i = (i + 1) % std::size(parts)) {
        runPart(parts[i]);
        if (stopRequest & stopQuit) break;
        stopRequest = stopNone;
    }
    DEMOFadeOut();
    return 1;
}

void DEMOPartOne() { runPart(parts[0]); }
void DEMOPartTwo() { runPart(parts[1]); }
void DEMOPartThree() { runPart(parts[2]); }

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
    DEMOPlasmaInit();

    targetRate = 50;

    // Last, so that the music starts with the first frame. No sound device
    // is no error: the show runs silently.
    sound = SDLSNDNew();
    if (const char* problem = SDLSNDProblem()) std::fprintf(stderr, "velm4023: no sound: %s\n", problem);
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

// The measured rate's low byte as two hex digits in the screen's top-left
// corner. The font is shared with the scroller, so pen and target are set here.
void DEMOReadout() {
    if (!font) return;
    font->target = screen;
    font->x = 0;
    font->y = 0;
    FONTPutHex8(font, static_cast<std::uint32_t>(measuredRate) & 0xFF);
}

// Darkens the last frame to black in 32 presented steps, without pacing and
// without reading keys. The music fades over 32 frames' time, which the
// picture does not wait for; the end waits for the music.
void DEMOFadeOut() {
    if (sound) SDLSNDFadeOut(sound);
    for (std::int32_t i = 0; i < fadeSteps; ++i) {
        IMGDarken(screen, fadeLevel);
        SDLDPYShow(display, screen);
    }
    if (sound) SDLSNDWaitFaded(sound);
}
