// STARS: points flying out of the origin in 16.16 fixed-point 3D space,
// projected in perspective as grey pixels.
#include "platform/stars.h"

#include <cstdint>
#include <cstdlib>

#include "img/img.h"
#include "img/numbers.h"

namespace {

[[maybe_unused]] const IDENTSHORT ident = {"STARS   ", "20261208", "TKR     "};

// The 15-bit generator's state: starts at 1 and is never reseeded, so the
// star pattern is the same on every run.
std::uint32_t randomState = 1;

// Half a box size in 16.16 (exact for odd sizes), held below the 32-bit
// range so that every position inside the box fits a star's field.
std::int64_t halfExtent(std::int32_t size) {
    const std::int64_t half = (std::int64_t{size} * 65536) >> 1;
    return half > int32Max ? int32Max : half;
}

// One velocity component: 15 bits from one draw, two more from the next
// (bit 15 always clear), negated when a third draw is odd.
std::int32_t randomSpeed() {
    const std::uint32_t r1 = static_cast<std::uint32_t>(STARSRandom());
    const std::uint32_t r2 = static_cast<std::uint32_t>(STARSRandom());
    const auto speed = static_cast<std::int32_t>((r1 | (r2 << 16)) & 0x3FFFF);
    return (STARSRandom() & 1) != 0 ? -speed : speed;
}

// Projected screen coordinate: (v * focal / depth) as an integer, floored,
// plus the centre; false when it falls outside the 32-bit range (off every image).
bool project(std::int32_t v, std::int32_t focal, std::int64_t depth, std::int32_t centre, std::int32_t* out) {
    const std::int64_t s = ((std::int64_t{v} * focal / depth) >> 16) + centre;
    if (!fitsInt32(s)) return false;
    *out = static_cast<std::int32_t>(s);
    return true;
}

}  // namespace

// ---- Random source ----------------------------------------------------------

// Next draw of the 15-bit linear congruential generator, 0..32767.
std::int32_t STARSRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<std::int32_t>((randomState >> 16) & 0x7FFF);
}

// ---- Record -----------------------------------------------------------------

// New starfield: centre and focal 128, box 256 cubed, 10 stars.
STARS* STARSNew() {
    auto* stars = static_cast<STARS*>(std::calloc(1, sizeof(STARS)));
    if (stars == nullptr) return nullptr;
    stars->sizeX = 256;
    stars->sizeY = 256;
    stars->sizeZ = 256;
    stars->centreX = 128;
    stars->centreY = 128;
    stars->focal = 128;
    STARSSetCount(stars, 10);
    return stars;
}

// Release the stars and the record, clear the caller's pointer.
void STARSFree(STARS** stars) {
    if (stars == nullptr || *stars == nullptr) return;
    std::free((*stars)->stars);
    std::free(*stars);
    *stars = nullptr;
}

// ---- Restarting -------------------------------------------------------------

// A new array of n stars, every one restarted. A negative n, or an array that
// cannot be had, leaves a starfield without stars.
void STARSSetCount(STARS* stars, std::int32_t n) {
    if (stars == nullptr) return;
    std::free(stars->stars);
    stars->stars = nullptr;
    stars->count = 0;
    if (n > 0) {
        stars->stars = static_cast<STAR*>(std::calloc(std::size_t(n), sizeof(STAR)));
        if (stars->stars != nullptr) stars->count = n;
    }
    STARSResetAll(stars);
}

// Restart every star in index order.
void STARSResetAll(STARS* stars) {
    if (stars == nullptr) return;
    for (std::int32_t i = 0; i < stars->count; ++i) STARSRespawn(stars, i);
}

// Star i back to the origin with a new velocity: nine draws, x then y then z.
void STARSRespawn(STARS* stars, std::int32_t i) {
    if (stars == nullptr || stars->stars == nullptr || i < 0 || i >= stars->count) return;
    STAR& s = stars->stars[i];
    s.x = s.y = s.z = 0;
    s.vx = randomSpeed();
    s.vy = randomSpeed();
    s.vz = randomSpeed();
}

// ---- Animation --------------------------------------------------------------

// Every star one step on; a star whose next position leaves the closed box on
// any axis restarts at the origin instead of moving.
void STARSMove(STARS* stars) {
    if (stars == nullptr || stars->stars == nullptr) return;
    const std::int64_t hx = halfExtent(stars->sizeX);
    const std::int64_t hy = halfExtent(stars->sizeY);
    const std::int64_t hz = halfExtent(stars->sizeZ);
    for (std::int32_t i = 0; i < stars->count; ++i) {
        STAR& s = stars->stars[i];
        const std::int64_t nx = std::int64_t{s.x} + s.vx;
        const std::int64_t ny = std::int64_t{s.y} + s.vy;
        const std::int64_t nz = std::int64_t{s.z} + s.vz;
        if (nx < -hx || nx > hx || ny < -hy || ny > hy || nz < -hz || nz > hz) {
            STARSRespawn(stars, i);
            continue;
        }
        s.x = static_cast<std::int32_t>(nx);
        s.y = static_cast<std::int32_t>(ny);
        s.z = static_cast<std::int32_t>(nz);
    }
}

// Every star in index order as one grey pixel: depth d = whole part of z plus
// focal, screen position x * focal / d around the centre, grey 255 - (d mod 256).
// Stars at depth 0 are skipped; later stars cover earlier ones.
void STARSDraw(const STARS* stars, IMG* image) {
    if (stars == nullptr || stars->stars == nullptr || image == nullptr || image->pixels == nullptr) return;
    for (std::int32_t i = 0; i < stars->count; ++i) {
        const STAR& s = stars->stars[i];
        const std::int64_t depth = (s.z >> 16) + std::int64_t{stars->focal};
        if (depth == 0) continue;
        std::int32_t sx = 0;
        std::int32_t sy = 0;
        if (!project(s.x, stars->focal, depth, stars->centreX, &sx)) continue;
        if (!project(s.y, stars->focal, depth, stars->centreY, &sy)) continue;
        const auto grey = static_cast<std::uint32_t>(255 - (depth & 255));
        IMGPutPixel(image, sx, sy, grey * 0x010101u);
    }
}

// The whole sprite blitted transparently at every star's unprojected position,
// offset by 8 so that a 16 x 16 sprite is centred on it.
void STARSDrawSprites(const STARS* stars, IMG* destination, const IMG* sprite) {
    if (stars == nullptr || stars->stars == nullptr || destination == nullptr || sprite == nullptr) return;
    for (std::int32_t i = 0; i < stars->count; ++i) {
        const STAR& s = stars->stars[i];
        IMGBlit(sprite, destination, 0, 0, (s.x >> 16) - 8, (s.y >> 16) - 8, sprite->width, sprite->height);
    }
}
