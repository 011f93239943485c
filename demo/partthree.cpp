// Part three: the plasma over the whole screen, with the name banner hopping
// along the bottom edge.
#include "demo/demo.h"
#include "img/numbers.h"

namespace {
[[maybe_unused]] const IDENT ident = {"PARTTHRE", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t bounceSpeed = 4;  // sine steps per frame: two hops per 256 frames
}  // namespace

std::int32_t bannerBouncePhase = 0;

// One frame: the plasma replaces every pixel, then the banner goes on top at
// its hop height, never below the bottom edge.
void DEMOPartThreeFrame() {
    DEMOPlasma(screen);
    DEMOPlasmaStep();
    const std::int32_t phase = DEMOWrap(bannerBouncePhase, sineLength);
    std::int64_t lift = (std::int64_t{sineTable[static_cast<std::size_t>(phase)]} * (demoHeight / 4)) >> 15;
    if (lift > 0) lift = -lift;
    bannerBouncePhase = phase + bounceSpeed >= sineLength ? phase + bounceSpeed - sineLength : phase + bounceSpeed;
    if (!banner || !screen) return;
    const std::int64_t y = std::int64_t{demoHeight} - banner->height + lift;
    if (!fitsInt32(y)) return;
    IMGBlit(banner, screen, 0, 0, 0, static_cast<std::int32_t>(y), banner->width, banner->height);
}
