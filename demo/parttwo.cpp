// Part two: a starfield, four letter sprites blended on double-sine paths,
// the plasma-coloured scroller hopping along the bottom, and the emblem.
#include "demo/demo.h"
#include "img/numbers.h"

namespace {
[[maybe_unused]] const IDENT ident = {"PARTTWO ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t bounceHeight = 32;  // the scroller hops 0 to 31 pixels
constexpr std::int32_t bounceSpeed = 3;    // sine steps per frame

// Displacement of sprite i along one wave: (sine * amplitude) >> 15, floored.
std::int64_t waveOffset(std::int32_t wave, std::int32_t i) {
    const DEMOWAVE& w = spriteWaves[wave];
    const std::int64_t index = std::int64_t{spritePhases[wave]} + std::int64_t{w.spacing} * i;
    return (sineEntry(index) * w.amplitude) >> 15;
}

// Plasma, text, colouring and hop of the scroller strip, then its blit.
void drawScroller() {
    DEMOPlasma(plasmaImage);
    DEMOPlasmaStep();
    SCROLLDraw(scroll);
    SCROLLAdvance(scroll);
    IMGAnd(plasmaImage, canvas);
    const std::int32_t phase = DEMOWrap(scrollerBouncePhase, sineLength);
    const std::int32_t bounce = (sineTable[static_cast<std::size_t>(phase % 512)] * bounceHeight) >> 15;
    const std::int32_t cellHeight = font ? font->cellHeight : 0;
    const std::int32_t y = clampInt32(std::int64_t{demoHeight} - cellHeight - bounce);
    scrollerBouncePhase = phase + bounceSpeed >= sineLength ? phase + bounceSpeed - sineLength : phase + bounceSpeed;
    DEMOBlitWhole(canvas, 0, y);
}
}  // namespace

// Waves A and B move the sprites sideways, C and D up and down; each sprite
// reads them 160 steps after the one before. Amplitudes are set by start-up.
DEMOWAVE spriteWaves[4] = {{-5, 160, 64}, {-10, 160, 64}, {-4, 160, 64}, {-9, 160, 64}};
std::int32_t spritePhases[4] = {0, 0, 0, 0};
std::int32_t scrollerBouncePhase = 0;

// Blends the four sprites half-transparently at their wave positions, unless
// they are switched off or one of them is missing.
void DEMOSprites() {
    if (spritesOn == 0) return;
    for (const IMG* s : sprites)
        if (!s) return;
    for (std::int32_t i = 0; i < 4; ++i) {
        const IMG* s = sprites[i];
        const std::int64_t x = waveOffset(0, i) + waveOffset(1, i) + (std::int64_t{demoWidth} - s->width) / 2;
        const std::int64_t y = waveOffset(2, i) + waveOffset(3, i) + (std::int64_t{demoHeight} - s->height) / 2;
        IMGBlend(s, screen, clampInt32(x), clampInt32(y));
    }
}

// Moves the four sprite waves on by their speeds.
void DEMOSpritesStep() {
    for (std::int32_t w = 0; w < 4; ++w)
        spritePhases[w] =
            DEMOWrap(DEMOWrap(spritePhases[w], sineLength) + DEMOWrap(spriteWaves[w].speed, sineLength), sineLength);
}

// One frame. Switched-off effects are neither drawn nor moved, except the
// sprites, whose waves move on while they are hidden.
void DEMOPartTwoFrame() {
    IMGClear(screen);
    if (starsOn == 1) {
        STARSDraw(stars, screen);
        STARSMove(stars);
    }
    DEMOSprites();
    DEMOSpritesStep();
    if (scrollerOn == 1) drawScroller();
    if (screen && emblem) DEMOBlitWhole(emblem, screen->width - emblem->width, 0);
}
