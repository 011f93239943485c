// The plasma: a three-row colour strip made at start-up, and every frame each
// target row assembled from three shifted copies of it, one per colour
// channel, each shifted by the sum of two sine waves that run down the rows
// and drift.
#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"PLASMA  ", "20261208", "Tordeval", "C++     ", "CODE    "};

// One channel pass over all target rows: the strip row shifted by the sum of
// waves a and b; the first pass replaces the rows, the others OR into them.
void plasmaPass(IMG* target, std::int32_t waveA, std::int32_t waveB, std::int32_t stripRow, bool orIn) {
    const DEMOWAVE& wa = plasmaWaves[waveA];
    const DEMOWAVE& wb = plasmaWaves[waveB];
    std::int32_t a = DEMOWrap(plasmaPhases[waveA], sineLength);
    std::int32_t b = DEMOWrap(plasmaPhases[waveB], sineLength);
    // Bottom row first: the phases are those of the bottom row and step on up the rows.
    for (std::int32_t y = target->height - 1; y >= 0; --y) {
        const std::int32_t x = (sineTable[static_cast<std::size_t>(a)] * wa.amplitude +
                                sineTable[static_cast<std::size_t>(b)] * wb.amplitude) >> 16;
        if (orIn)
            IMGWrapRowOr(plasmaStrip, target, stripRow, y, x);
        else
            IMGWrapRow(plasmaStrip, target, stripRow, y, x);
        a = DEMOWrap(a + wa.spacing, sineLength);
        b = DEMOWrap(b + wb.spacing, sineLength);
    }
}
}  // namespace

IMG* plasmaStrip = nullptr;

// Waves 0 to 2 are the first wave of the red, green and blue pass, waves 3 to
// 5 their second: {speed per frame, step per row, amplitude}.
const DEMOWAVE plasmaWaves[6] = {{4, 1, 200}, {5, 1, 220}, {6, 1, 250}, {-7, 1, 280}, {-8, 1, 300}, {-9, 1, 330}};
std::int32_t plasmaPhases[6] = {0, 0, 0, 0, 0, 0};

// ORs one gradient into a strip row, from the last column to the first:
// column x gets level * (1 + sine) / 2 at table index (phase + (width - 1 - x)
// * step) >> 16, where step = 1024 * |frequency| / width in 16.16.
void DEMOPlasmaStrip(IMG* strip, std::int32_t frequency, std::int32_t level, std::int32_t phase,
                     std::int32_t row, std::int32_t shift) {
    if (!strip || !strip->pixels || strip->width < 1 || row < 0 || row >= strip->height || shift < 0 || shift > 31) {
        DEMOError();
        return;
    }
    const std::int64_t magnitude = frequency < 0 ? -std::int64_t{frequency} : std::int64_t{frequency};
    // The table index is bits 16 to 25 of the position. Unsigned arithmetic
    // modulo 2^32 keeps those bits exactly, for negative phases and any step.
    const auto step = static_cast<std::uint32_t>((1024 * magnitude) / strip->width);
    auto pos = static_cast<std::uint32_t>(phase);
    std::uint32_t* p = strip->pixels + static_cast<std::size_t>(row) * static_cast<std::size_t>(strip->width);
    for (std::int32_t x = strip->width - 1; x >= 0; --x) {
        const std::int64_t v = sineTable[(pos >> 16) % sineLength];
        const std::int64_t c = ((v + 32767) * level) >> 16;
        p[x] |= static_cast<std::uint32_t>(c) << shift;
        pos += step;
    }
}

// Makes the strip at start-up, as wide as the screen, and keeps it for the
// whole run.
void DEMOPlasmaInit() {
    if (!screen) {
        DEMOError();
        return;
    }
    plasmaStrip = IMGNew();
    if (!plasmaStrip) {
        DEMOError();
        return;
    }
    IMGResize(plasmaStrip, screen->width, 3);
    DEMOPlasmaStrip(plasmaStrip, 0x4000, 255, 0, 0, 16);    // red, 254 down to 127
    DEMOPlasmaStrip(plasmaStrip, 0x4000, 255, 64, 1, 8);    // green, the same values
    DEMOPlasmaStrip(plasmaStrip, 0x2000, 255, 128, 2, 0);   // blue, 217 down to 127
}

// Draws the plasma over every row of the target; without a target or a
// strip it reports and draws nothing.
void DEMOPlasma(IMG* target) {
    if (!target || !plasmaStrip) {
        DEMOError();
        return;
    }
    plasmaPass(target, 0, 3, 0, false);
    plasmaPass(target, 1, 4, 1, true);
    plasmaPass(target, 2, 5, 2, true);
}

// Moves the six waves on by one frame.
void DEMOPlasmaStep() {
    for (std::int32_t k = 0; k < 6; ++k)
        plasmaPhases[k] = DEMOWrap(DEMOWrap(plasmaPhases[k], sineLength) + plasmaWaves[k].speed, sineLength);
}
