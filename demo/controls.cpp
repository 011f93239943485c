// The key handler: one key code per frame becomes a command of the show.
#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"DEMOKEYS", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t maxScrollSpeed = 32;  // pixels per frame either way
}  // namespace

// Acts on one key code; unknown codes, 0 included, do nothing. Only the
// lower-case f toggles the readout. Keys 3 and 6 flip separate bits of
// spritesOn, so the sprites show while either bit is set.
void DEMOKey(signed char key) {
    switch (key) {
    case 'q':
    case 'Q':
    case 27:  // Escape
        stopRequest = stopQuit;
        break;
    case ' ':
        stopRequest = stopNextPart;
        break;
    case '1':
        scrollerOn = static_cast<std::uint8_t>(scrollerOn ^ 1);
        break;
    case '2':
        starsOn = static_cast<std::uint8_t>(starsOn ^ 1);
        break;
    case '3':
        spritesOn = static_cast<std::uint8_t>(spritesOn ^ 1);
        break;
    case '6':
        spritesOn = static_cast<std::uint8_t>(spritesOn ^ 2);
        break;
    case '9':
        if (scroll) scroll->speed = scroll->speed <= -maxScrollSpeed ? -maxScrollSpeed : scroll->speed - 1;
        break;
    case '0':
        if (scroll) scroll->speed = scroll->speed >= maxScrollSpeed ? maxScrollSpeed : scroll->speed + 1;
        break;
    case 'f':
        fpsShown = static_cast<std::uint8_t>(fpsShown ^ 1);
        break;
    case 'm':
        if (sound) SDLSNDToggleMute(sound);
        break;
    default:
        break;
    }
}
