// The starfield: its fixed random sequence, respawning at the box's faces,
// the perspective projection and grey levels, and safety for extreme fields.
// Each test runs in its own process, so the generator starts fresh in each.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "img/img.h"
#include "platform/stars.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kOne = 65536;

// The generator written out separately: state after n draws from 1.
std::int32_t NthDraw(std::int64_t n) {
    std::uint32_t state = 1;
    for (std::int64_t i = 0; i < n; ++i) state = state * 214013u + 2531011u;
    return static_cast<std::int32_t>((state >> 16) & 0x7FFF);
}

// The demo's starfield with one star placed by hand.
STARS* OneStar(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t vx = 0, std::int32_t vy = 0,
               std::int32_t vz = 0) {
    STARS* stars = STARSNew();
    STARSSetCount(stars, 1);
    stars->stars[0] = STAR{x, y, z, vx, vy, vz};
    return stars;
}

IMG* Screen() {
    IMG* image = IMGNew();
    IMGResize(image, 256, 256);
    return image;
}

}  // namespace

TEST(Stars, GeneratorStartsAtOne) {
    EXPECT_EQ(STARSRandom(), 41);
    EXPECT_EQ(STARSRandom(), 18467);
    EXPECT_EQ(STARSRandom(), 6334);
}

TEST(Stars, NewAndSetCountDrawNineTimesPerStar) {
    STARS* stars = STARSNew();
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(stars->count, 10);
    EXPECT_EQ(stars->focal, 128);
    const STAR& first = stars->stars[0];
    EXPECT_EQ(first.vx, 196649);
    EXPECT_EQ(first.vy, 92036);
    EXPECT_EQ(first.vz, 142550);
    STARSSetCount(stars, 2048);
    EXPECT_EQ(stars->count, 2048);
    for (std::int32_t i = 0; i < stars->count; ++i) {
        const STAR& s = stars->stars[i];
        ASSERT_TRUE(s.x == 0 && s.y == 0 && s.z == 0) << i;
        const std::int32_t speed = s.vx < 0 ? -s.vx : s.vx;
        ASSERT_TRUE(speed <= 0x3FFFF && (speed & 0x8000) == 0) << i;
    }
    EXPECT_EQ(STARSRandom(), NthDraw(90 + 18432 + 1));
    STARSFree(&stars);
    EXPECT_EQ(stars, nullptr);
}

TEST(Stars, MoveKeepsTheClosedBoxAndRespawnsAtTheOrigin) {
    const std::int32_t half = 128 * kOne;
    STARS* stars = OneStar(half - 3, -half + 5, 0, 3, -5, 7);
    STARSMove(stars);  // lands exactly on two faces: still inside
    EXPECT_EQ(stars->stars[0].x, half);
    EXPECT_EQ(stars->stars[0].y, -half);
    EXPECT_EQ(stars->stars[0].z, 7);
    const std::int32_t r1 = NthDraw(90 + 9 + 1), r2 = NthDraw(90 + 9 + 2), r3 = NthDraw(90 + 9 + 3);
    stars->stars[0].vz = half;  // z would leave by 7 units of 1/65536
    STARSMove(stars);
    const STAR& s = stars->stars[0];
    EXPECT_TRUE(s.x == 0 && s.y == 0 && s.z == 0);
    const std::int32_t speed = (r1 | (r2 << 16)) & 0x3FFFF;
    EXPECT_EQ(s.vx, (r3 & 1) != 0 ? -speed : speed);
    // An odd box size: half of 257 is 128.5 exactly.
    stars->sizeX = 257;
    stars->stars[0] = STAR{half, 0, 0, kOne / 2, 0, 0};
    STARSMove(stars);
    EXPECT_EQ(stars->stars[0].x, half + kOne / 2);
    STARSFree(&stars);
}

TEST(Stars, ProjectionAndGreyLevels) {
    IMG* screen = Screen();
    STARS* stars = OneStar(0, 0, 0);
    STARSDraw(stars, screen);
    EXPECT_EQ(IMGGetPixel(screen, 128, 128), 0x7F7F7Fu);
    // Half way out at the viewer's depth: twice as far from the centre.
    stars->stars[0] = STAR{32 * kOne, -16 * kOne, -64 * kOne, 0, 0, 0};
    STARSDraw(stars, screen);
    EXPECT_EQ(IMGGetPixel(screen, 128 + 64, 128 - 32), 0xBFBFBFu);
    // The far face: d = 256, only the low byte counts.
    stars->stars[0] = STAR{64 * kOne, 0, 128 * kOne, 0, 0, 0};
    STARSDraw(stars, screen);
    EXPECT_EQ(IMGGetPixel(screen, 160, 128), 0xFFFFFFu);
    // Truncating division, then a floored shift: -1/65536 lands one left.
    stars->stars[0] = STAR{-1, 0, 0, 0, 0, 0};
    IMGClear(screen);
    STARSDraw(stars, screen);
    EXPECT_EQ(IMGGetPixel(screen, 127, 128), 0x7F7F7Fu);
    // Depth 0 and positions off the image draw nothing.
    IMGClear(screen);
    stars->stars[0] = STAR{0, 0, -128 * kOne, 0, 0, 0};
    STARSDraw(stars, screen);
    stars->stars[0] = STAR{127 * kOne, 0, -100 * kOne, 0, 0, 0};
    STARSDraw(stars, screen);
    IMG* blank = Screen();
    EXPECT_TRUE(IMGEqual(screen, blank));
    // Later stars cover earlier ones.
    STARSSetCount(stars, 2);
    stars->stars[0] = STAR{0, 0, 10 * kOne, 0, 0, 0};
    STARSDraw(stars, screen);
    EXPECT_EQ(IMGGetPixel(screen, 128, 128), 0x7F7F7Fu);
    STARSFree(&stars);
    IMGFree(&screen);
    IMGFree(&blank);
}

TEST(Stars, ExtremeFieldsAndMisuseAreSafe) {
    IMG* screen = Screen();
    STARS* stars = OneStar(kMax, kMin, kMax, kMax, kMin, kMax);
    stars->focal = kMax;
    stars->centreX = kMax;
    stars->centreY = kMin;
    stars->sizeX = stars->sizeY = stars->sizeZ = kMax;
    STARSDraw(stars, screen);
    STARSMove(stars);
    EXPECT_EQ(stars->stars[0].x, 0);  // x + vx passes even the widest box
    stars->sizeX = -4;
    stars->stars[0] = STAR{0, 0, 0, 0, 0, 0};
    STARSMove(stars);  // a negative box holds nothing: the star restarts
    EXPECT_NE(stars->stars[0].vx | stars->stars[0].vy | stars->stars[0].vz, 0);
    STARSSetCount(stars, -1);
    EXPECT_EQ(stars->count, 0);
    EXPECT_EQ(stars->stars, nullptr);
    STARSMove(stars);
    STARSDraw(stars, screen);
    STARSRespawn(stars, 0);
    STARSSetCount(stars, 0);
    STARSDraw(stars, nullptr);
    STARSMove(nullptr);
    STARSDraw(nullptr, screen);
    STARSDrawSprites(nullptr, screen, screen);
    STARSFree(nullptr);
    IMG* blank = Screen();
    EXPECT_TRUE(IMGEqual(screen, blank));  // every star fell off the image
    STARSFree(&stars);
    IMGFree(&screen);
    IMGFree(&blank);
}

TEST(Stars, SpritesSitUnprojectedOnTheStars) {
    IMG* sprite = IMGNew();  // 16 x 16
    sprite->pixels[0] = 5;
    sprite->pixels[255] = 6;
    IMG* screen = Screen();
    STARS* stars = OneStar(20 * kOne, 30 * kOne, 99 * kOne);
    STARSDrawSprites(stars, screen, sprite);
    EXPECT_EQ(IMGGetPixel(screen, 12, 22), 5u);
    EXPECT_EQ(IMGGetPixel(screen, 27, 37), 6u);
    STARSFree(&stars);
    IMGFree(&screen);
    IMGFree(&sprite);
}
