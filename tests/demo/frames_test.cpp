// The first frames of the three parts, checked pixel by pixel against frames
// built from the show's own numbers: bar tops and colours, logo, sprite,
// strip, emblem and banner positions, and the plasma's shifts.
#include <gtest/gtest.h>

#include <cstring>

#include "frame_check.h"
#include "show_support.h"
#include "text/cursor.h"

using showtest::Frame;
using showtest::PixelOf;

namespace {

// Starts the scroller at the program's name line, so that the first frame's
// strip holds letters (the text opens with blank lines).
void ScrollToName() {
    const char* text = reinterpret_cast<const char*>(asset_scrolltext);
    const char* name = std::strstr(text, "VELM4009");
    ASSERT_NE(name, nullptr);
    CURSORSetPos(scroll->cursor, static_cast<std::int32_t>(name - text));
}

}  // namespace

TEST(PartOne, FirstFrame) {
    VELM_FRESH_SHOW();
    showtest::PushKey(' ');
    DEMOPartOne();
    ASSERT_EQ(showtest::Presents(), 1);

    const std::int32_t tops[16] = {128, 138, 149, 159, 168, 176, 182, 187, 190, 191, 191, 188, 184, 178, 170, 161};
    const std::uint32_t shape[16] = {0x200000, 0x400000, 0x600000, 0x800000, 0xA00000, 0xC00000,
                                     0xE00000, 0xF00000, 0xF00080, 0xE00070, 0xC00060, 0xA00050,
                                     0x800040, 0x600030, 0x400020, 0x200010};
    std::uint32_t rows[256] = {};
    for (std::int32_t i = 0; i < 16; ++i)
        for (std::int32_t j = 16; j >= 1; --j) rows[tops[i] + j] = shape[j - 1] + 8u * static_cast<std::uint32_t>(i);
    EXPECT_EQ(rows[129], 0x200000u);           // bar 0, line 1
    EXPECT_EQ(rows[139], 0x200008u);           // bar 1 covers bar 0 from its line 11
    EXPECT_EQ(rows[161 + 9], 0xF000F8u);       // bar 15, line 9
    // Columns 0 and 255 show nothing but the bars.
    for (std::int32_t y = 0; y < 256; ++y) {
        ASSERT_EQ(PixelOf(screen, 0, y), rows[y]) << "row " << y;
        ASSERT_EQ(PixelOf(screen, 255, y), rows[y]) << "row " << y;
    }

    Frame want(256, 256);
    for (std::int32_t y = 0; y < 256; ++y)
        for (std::int32_t x = 0; x < 256; ++x) want.at(x, y) = rows[y];
    showtest::Paste(logoTop, want, 48, 0);
    showtest::Paste(logoBottom, want, 64, 224);
    showtest::Paste(picture, want, 32, 16);  // the wobble table starts with a pause
    EXPECT_TRUE(showtest::SameFrame(screen, want));
    EXPECT_EQ(wobblePhase, 1);
    EXPECT_EQ(rasterPhase, 7);
}

TEST(PartTwo, FirstFrame) {
    VELM_FRESH_SHOW();
    ScrollToName();
    Frame want(256, 256);
    IMG wantView = want.view();
    STARSDraw(stars, &wantView);  // the frame shows the stars before they move
    showtest::PushKey(' ');
    DEMOPartTwo();
    ASSERT_EQ(showtest::Presents(), 1);

    const std::int32_t at[4] = {64, 170, 180, 88};
    for (std::int32_t i = 0; i < 4; ++i) showtest::Blend(sprites[i], want, at[i], at[i]);

    // The strip's letters carry the plasma's colours; the rest of it is black.
    std::int32_t lit = 0;
    for (std::int32_t y = 0; y < canvas->height; ++y)
        for (std::int32_t x = 0; x < canvas->width; ++x) {
            const std::uint32_t c = PixelOf(canvas, x, y);
            if (c == 0) continue;
            ++lit;
            ASSERT_EQ(c, PixelOf(plasmaImage, x, y)) << x << ", " << y;
        }
    EXPECT_GT(lit, 100);
    showtest::Paste(canvas, want, 0, 230);
    showtest::Paste(emblem, want, 224, 0);
    EXPECT_TRUE(showtest::SameFrame(screen, want));
    EXPECT_EQ(scrollerBouncePhase, 3);
}

TEST(PartTwo, SecondFrameMovesTheSpritesAndHiddenOnesMoveOn) {
    VELM_FRESH_SHOW();
    starsOn = 0;
    scrollerOn = 0;
    // Only sprite 0 is seen: the others are swapped for black ones.
    IMG* saved[3] = {sprites[1], sprites[2], sprites[3]};
    Frame blank(128, 128);
    IMG blankView = blank.view();
    for (std::int32_t i = 1; i < 4; ++i) sprites[i] = &blankView;
    static const showtest::ScriptKey space[] = {{2, ' '}};
    showtest::SetScript(space, 1);
    DEMOPartTwo();
    ASSERT_EQ(showtest::Presents(), 2);

    Frame want(256, 256);
    showtest::Blend(sprites[0], want, 58, 58);
    showtest::Paste(emblem, want, 224, 0);
    EXPECT_TRUE(showtest::SameFrame(screen, want));

    // Hidden sprites are not drawn but their waves keep moving; the emblem
    // stays with every switch off.
    spritesOn = 0;
    stopRequest = stopNone;
    showtest::PushKey(' ');
    DEMOPartTwo();
    Frame emblemOnly(256, 256);
    showtest::Paste(emblem, emblemOnly, 224, 0);
    EXPECT_TRUE(showtest::SameFrame(screen, emblemOnly));
    EXPECT_EQ(spritePhases[0], 1024 - 15);
    EXPECT_EQ(spritePhases[1], 1024 - 30);
    EXPECT_EQ(spritePhases[2], 1024 - 12);
    EXPECT_EQ(spritePhases[3], 1024 - 27);
    for (std::int32_t i = 1; i < 4; ++i) sprites[i] = saved[i - 1];
}

TEST(PartThree, FirstFrame) {
    VELM_FRESH_SHOW();
    showtest::PushKey(' ');
    DEMOPartThree();
    ASSERT_NE(plasmaStrip, nullptr);
    EXPECT_EQ(PixelOf(plasmaStrip, 0, 0), 0xFE0000u);
    EXPECT_EQ(PixelOf(plasmaStrip, 255, 0), 0x7F0000u);
    EXPECT_EQ(PixelOf(plasmaStrip, 0, 1), 0x00FE00u);
    EXPECT_EQ(PixelOf(plasmaStrip, 0, 2), 0x0000D9u);
    EXPECT_EQ(PixelOf(plasmaStrip, 255, 2), 0x00007Fu);

    // Row y uses sine index 255 - y in both waves of every pass.
    auto shift = [](std::int32_t y, std::int32_t ampA, std::int32_t ampB) {
        const std::int32_t s = sineTable[static_cast<std::size_t>(255 - y)];
        return (s * ampA + s * ampB) >> 16;
    };
    EXPECT_EQ(shift(255, 200, 280), 0);
    EXPECT_EQ(shift(0, 200, 280), 239);
    Frame want(256, 256);
    for (std::int32_t y = 0; y < 256; ++y) {
        const std::int32_t xr = shift(y, 200, 280), xg = shift(y, 220, 300), xb = shift(y, 250, 330);
        for (std::int32_t x = 0; x < 256; ++x)
            want.at(x, y) = PixelOf(plasmaStrip, (x - xr + 512) % 256, 0) |
                            PixelOf(plasmaStrip, (x - xg + 512) % 256, 1) |
                            PixelOf(plasmaStrip, (x - xb + 512) % 256, 2);
    }
    showtest::Paste(banner, want, 0, 240);
    EXPECT_TRUE(showtest::SameFrame(screen, want));
    EXPECT_EQ(bannerBouncePhase, 4);
    for (std::int32_t k = 0; k < 6; ++k) EXPECT_EQ(plasmaPhases[k], DEMOWrap(plasmaWaves[k].speed, 1024));
}
