// Part one: sixteen raster bars swinging on a sine behind two logos and the
// logotype picture, whose rows are shifted sideways by the wobble table.
#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"PARTONE ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Bar shapes: a line count followed by the colours of the lines, top first.
// The show uses the 16-line bar; the shorter ones are kept with it.
constexpr std::uint32_t bar2[] = {2, 0xA00000, 0xA00050};
constexpr std::uint32_t bar4[] = {4, 0x600000, 0xE00000, 0xC00060, 0x400020};
constexpr std::uint32_t bar6[] = {6, 0x400000, 0xA00000, 0xE00000, 0xE00070, 0x800040, 0x400020};
constexpr std::uint32_t bar8[] = {8,        0x400000, 0x800000, 0xC00000, 0xF00000,
                                  0xE00070, 0xA00050, 0x600030, 0x200010};
constexpr std::uint32_t bar10[] = {10,       0x200000, 0x600000, 0xA00000, 0xC00000, 0xF00000,
                                   0xF00080, 0xC00060, 0x800040, 0x600030, 0x200010};
constexpr std::uint32_t bar12[] = {12,       0x200000, 0x600000, 0x800000, 0xA00000, 0xE00000, 0xF00000,
                                   0xF00080, 0xC00060, 0xA00050, 0x800040, 0x400020, 0x200010};
constexpr std::uint32_t bar14[] = {14,       0x200000, 0x400000, 0x600000, 0xA00000, 0xC00000, 0xE00000, 0xF00000,
                                   0xF00080, 0xE00070, 0xC00060, 0x800040, 0x600030, 0x400020, 0x200010};
constexpr std::uint32_t bar16[] = {16,       0x200000, 0x400000, 0x600000, 0x800000, 0xA00000, 0xC00000,
                                   0xE00000, 0xF00000, 0xF00080, 0xE00070, 0xC00060, 0xA00050,
                                   0x800040, 0x600030, 0x400020, 0x200010};
constexpr const std::uint32_t* barShapes[8] = {bar2, bar4, bar6, bar8, bar10, bar12, bar14, bar16};
constexpr std::int32_t barShape = 7;

constexpr std::int32_t barCount = 16;
constexpr std::int32_t barSpacing = 28;  // sine steps between neighbouring bars
constexpr std::int32_t barSwing = 64;    // pixels above and below the middle row
constexpr std::int32_t barSpeed = 7;     // sine steps per frame
constexpr std::int32_t barTint = 8;      // added to every colour word per bar index
}  // namespace

std::int32_t rasterPhase = 0;
std::int32_t wobblePhase = 0;

// Writes the sixteen bars into the raster's colour table; a later bar covers
// an earlier one where they overlap.
void DEMORasterBars() {
    if (!raster) return;
    RASTERClear(raster);
    const std::uint32_t* shape = barShapes[barShape];
    const std::int32_t lines = static_cast<std::int32_t>(shape[0]);
    const std::int32_t phase = DEMOWrap(rasterPhase, sineLength);
    for (std::int32_t i = 0; i < barCount; ++i) {
        const std::int32_t a = DEMOWrap(phase + barSpacing * i, sineLength);
        const std::int32_t top = ((sineTable[static_cast<std::size_t>(a)] * barSwing) >> 15) + demoHeight / 2;
        for (std::int32_t j = lines; j >= 1; --j) {
            const std::int64_t row = std::int64_t{top} + j;
            if (!raster->colours || row < 0 || row >= raster->count) continue;
            raster->colours[row] = shape[j] + static_cast<std::uint32_t>(barTint * i);
        }
    }
    rasterPhase = DEMOWrap(phase + barSpeed, sineLength);
}

// One frame: bars (which also clear the frame), logos, then the wobbling picture.
void DEMOPartOneFrame() {
    DEMORasterBars();
    RASTERDraw(raster, screen);
    if (!screen) return;
    if (logoTop) DEMOBlitWhole(logoTop, (screen->width - logoTop->width) / 2, 0);
    if (logoBottom) DEMOBlitWhole(logoBottom, (screen->width - logoBottom->width) / 2, screen->height - logoBottom->height);
    const std::int32_t phase = DEMOWrap(wobblePhase, wobbleLength);
    if (picture) {
        const std::int32_t top = (screen->height - picture->height) / 2;
        const std::int32_t left = (screen->width - picture->width) / 2;
        std::int32_t entry = phase;  // wobbleTable index of the current row
        for (std::int32_t r = 0; r < picture->height; ++r) {
            IMGWrapRow(picture, screen, r, top + r, left + wobbleTable[entry]);
            if (++entry == wobbleLength) entry = 0;
        }
    }
    wobblePhase = phase + 1 == wobbleLength ? 0 : phase + 1;
}
