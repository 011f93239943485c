// The moving parts one at a time: the plasma and its strip, the wobble, the
// hops of banner and scroller, switched-off effects, and the readout.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "frame_check.h"
#include "show_support.h"
#include "text/cursor.h"

using showtest::Frame;
using showtest::PixelOf;

namespace {

// Runs exactly one frame of a part and leaves stopRequest at 0.
void OneFrame(void (*part)()) {
    stopRequest = stopNone;
    showtest::PushKey(' ');
    part();
    stopRequest = stopNone;
}

// Top row at which a colour first appears in column x, or -1.
std::int32_t FirstRowWith(std::uint32_t colour, std::int32_t x) {
    for (std::int32_t y = 0; y < screen->height; ++y)
        if (PixelOf(screen, x, y) == colour) return y;
    return -1;
}

}  // namespace

TEST(Plasma, ScrollerImageRowsAndPhases) {
    VELM_FRESH_SHOW();
    Frame image(256, 26);
    IMG view = image.view();
    DEMOPlasma(&view);
    ASSERT_NE(plasmaStrip, nullptr);
    // Bottom row: shift 0 in all three passes; top row: 36, 39 and 44.
    for (std::int32_t x = 0; x < 256; ++x) {
        const std::uint32_t bottom = PixelOf(plasmaStrip, x, 0) | PixelOf(plasmaStrip, x, 1) | PixelOf(plasmaStrip, x, 2);
        ASSERT_EQ(image.at(x, 25), bottom) << x;
        const std::uint32_t top = PixelOf(plasmaStrip, (x - 36 + 256) % 256, 0) |
                                  PixelOf(plasmaStrip, (x - 39 + 256) % 256, 1) |
                                  PixelOf(plasmaStrip, (x - 44 + 256) % 256, 2);
        ASSERT_EQ(image.at(x, 0), top) << x;
    }
    // Drawing reads the phases; stepping moves them. Wave 0 turns in 256
    // frames, wave 3 in 1024.
    for (std::int32_t k = 0; k < 6; ++k) EXPECT_EQ(plasmaPhases[k], 0);
    for (int i = 0; i < 256; ++i) DEMOPlasmaStep();
    EXPECT_EQ(plasmaPhases[0], 0);
    EXPECT_EQ(plasmaPhases[3], 256);
    for (int i = 0; i < 768; ++i) DEMOPlasmaStep();
    for (std::int32_t k = 0; k < 6; ++k) EXPECT_EQ(plasmaPhases[k], 0) << k;

    // No image, or no strip: reported, nothing drawn.
    IMG* strip = plasmaStrip;
    plasmaStrip = nullptr;
    const auto drawn = image.pixels;
    DEMOSetReportErrors(true);
    testing::internal::CaptureStdout();
    DEMOPlasma(nullptr);
    DEMOPlasma(&view);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "VELM4009 Error.\nVELM4009 Error.\n");
    DEMOSetReportErrors(false);
    EXPECT_EQ(image.pixels, drawn);
    plasmaStrip = strip;
}

TEST(Plasma, StripGradientsAndBadArguments) {
    Frame strip(256, 3);
    IMG view = strip.view();
    strip.at(10, 1) = 0x000001;  // gradients are ORed in
    DEMOPlasmaStrip(&view, 0x4000, 255, 0, 0, 16);
    DEMOPlasmaStrip(&view, -0x4000, 255, 64, 1, 8);  // the sign of the frequency does not matter
    DEMOPlasmaStrip(&view, 0x2000, 255, 128, 2, 0);
    for (std::int32_t x = 0; x < 256; ++x) {
        EXPECT_EQ(strip.at(x, 1) & 0xFFFF00, strip.at(x, 0) >> 8) << x;  // green equals red
        EXPECT_GE(strip.at(x, 2), 127u);
        EXPECT_LE(strip.at(x, 2), 0xD9u);
        if (x > 0) {
            EXPECT_LE(strip.at(x, 0), strip.at(x - 1, 0)) << x;  // falls to the right
        }
    }
    EXPECT_EQ(strip.at(10, 1) & 0xFF, 1u);
    EXPECT_EQ(strip.at(128, 0), 0xD90000u);  // table index 127 on the red row

    // A phase one table step back equals 1023 steps on.
    Frame a(256, 1), b(256, 1);
    IMG va = a.view(), vb = b.view();
    DEMOPlasmaStrip(&va, 0x4000, 255, -65536, 0, 0);
    DEMOPlasmaStrip(&vb, 0x4000, 255, 1023 * 65536, 0, 0);
    EXPECT_EQ(a.pixels, b.pixels);

    // Refused: no strip, a row off the strip, a shift outside 0 to 31.
    const auto before = strip.pixels;
    DEMOSetReportErrors(true);
    testing::internal::CaptureStdout();
    DEMOPlasmaStrip(nullptr, 0x4000, 255, 0, 0, 0);
    DEMOPlasmaStrip(&view, 0x4000, 255, 0, 3, 0);
    DEMOPlasmaStrip(&view, 0x4000, 255, 0, -1, 0);
    DEMOPlasmaStrip(&view, 0x4000, 255, 0, 0, 32);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "VELM4009 Error.\nVELM4009 Error.\nVELM4009 Error.\nVELM4009 Error.\n");
    DEMOSetReportErrors(false);
    EXPECT_EQ(strip.pixels, before);

    // Extreme values are handled without overflow.
    DEMOPlasmaStrip(&va, INT32_MIN, INT32_MAX, INT32_MIN, 0, 31);
    DEMOPlasmaStrip(&va, INT32_MAX, INT32_MIN, INT32_MAX, 0, 0);
}

TEST(PartOne, WobbleShiftsEveryPictureRow) {
    VELM_FRESH_SHOW();
    // A picture whose rows hold one green dot at column 0: green is in no
    // bar, and the logos are taken away.
    Frame marks(192, 224);
    for (std::int32_t r = 0; r < 224; ++r) marks.at(0, r) = 0x00FF00;
    IMG marksView = marks.view();
    IMG* saved[3] = {picture, logoTop, logoBottom};
    picture = &marksView;
    logoTop = logoBottom = nullptr;
    for (std::int32_t phase : {0, 300, 2865, 2000}) {
        wobblePhase = phase;
        DEMOPartOneFrame();
        for (std::int32_t r = 0; r < 224; ++r) {
            const std::int32_t x = 32 + wobbleTable[(phase + r) % wobbleLength];
            ASSERT_EQ(PixelOf(screen, x, 16 + r), 0x00FF00u) << "phase " << phase << " row " << r;
        }
        EXPECT_EQ(wobblePhase, phase == 2865 ? 0 : phase + 1);
    }
    picture = saved[0];
    logoTop = saved[1];
    logoBottom = saved[2];
    // Bars advance 7 steps a frame, wrapping.
    rasterPhase = 1020;
    DEMORasterBars();
    EXPECT_EQ(rasterPhase, 3);
}

TEST(PartThree, BannerHops) {
    VELM_FRESH_SHOW();
    // A banner of a colour the plasma never makes (every channel is 127 or more).
    Frame flat(64, 16);
    for (auto& p : flat.pixels) p = 0x000001;
    IMG flatView = flat.view();
    IMG* saved = banner;
    banner = &flatView;
    const struct {
        std::int32_t phase, y;
    } hops[] = {{0, 240}, {256, 177}, {768, 176}, {1020, 238}, {4, 239}, {508, 239}, {512, 240}, {516, 238}};
    for (const auto& h : hops) {
        bannerBouncePhase = h.phase;
        OneFrame(DEMOPartThree);
        EXPECT_EQ(FirstRowWith(0x000001, 0), h.y) << "phase " << h.phase;
        EXPECT_EQ(bannerBouncePhase, (h.phase + 4) % 1024);
    }
    banner = saved;
}

TEST(PartTwo, ScrollerHopsAndSwitchedOffEffectsStandStill) {
    VELM_FRESH_SHOW();
    const char* text = reinterpret_cast<const char*>(asset_scrolltext);
    CURSORSetPos(scroll->cursor, static_cast<std::int32_t>(std::strstr(text, "PRESS KEYS") - text));
    starsOn = 0;
    spritesOn = 0;
    const struct {
        std::int32_t phase, y;
    } hops[] = {{0, 230}, {128, 208}, {255, 199}, {256, 199}, {1023, 230}};
    for (const auto& h : hops) {
        scrollerBouncePhase = h.phase;
        OneFrame(DEMOPartTwo);
        std::int32_t firstLit = -1;
        for (std::int32_t y = 0; y < 26 && firstLit < 0; ++y)
            for (std::int32_t x = 0; x < 224; ++x)
                if (PixelOf(canvas, x, y) != 0) firstLit = y;
        ASSERT_GE(firstLit, 0);
        std::int32_t top = -1;
        for (std::int32_t y = 32; y < 256 && top < 0; ++y)
            for (std::int32_t x = 0; x < 224; ++x)
                if (PixelOf(screen, x, y) != 0) top = y;
        EXPECT_EQ(top, h.y + firstLit) << "phase " << h.phase;
        EXPECT_EQ(scrollerBouncePhase, (h.phase + 3) % 1024);
    }

    // Scroller off: text, plasma and hop stand still and nothing is drawn.
    scrollerOn = 0;
    const std::int32_t pos = scroll->cursor->pos, offset = scroll->offset, hop = scrollerBouncePhase;
    const std::int32_t plasma0 = plasmaPhases[0];
    OneFrame(DEMOPartTwo);
    EXPECT_EQ(scroll->cursor->pos, pos);
    EXPECT_EQ(scroll->offset, offset);
    EXPECT_EQ(scrollerBouncePhase, hop);
    EXPECT_EQ(plasmaPhases[0], plasma0);
    for (std::int32_t y = 32; y < 256; ++y)
        for (std::int32_t x = 0; x < 256; ++x) ASSERT_EQ(PixelOf(screen, x, y), 0u);
    scrollerOn = 1;
    OneFrame(DEMOPartTwo);
    EXPECT_EQ(scroll->offset, offset + 1);  // continues from where it stopped

    // Stars off: not drawn and frozen; on again, they move on.
    const STAR first = stars->stars[0];
    starsOn = 0;
    OneFrame(DEMOPartTwo);
    EXPECT_EQ(std::memcmp(&first, &stars->stars[0], sizeof first), 0);
    starsOn = 1;
    OneFrame(DEMOPartTwo);
    EXPECT_NE(std::memcmp(&first, &stars->stars[0], sizeof first), 0);

    // Speed -1 runs the text to the right.
    scroll->speed = -1;
    const std::int32_t offsetBefore = scroll->offset;
    OneFrame(DEMOPartTwo);
    EXPECT_EQ(scroll->offset, offsetBefore == 0 ? 14 : offsetBefore - 1);
}

TEST(Readout, ShowsTheMeasuredRateTopLeft) {
    VELM_FRESH_SHOW();
    // Part two with every switch off is black but for the emblem; f pressed
    // in frame 1 shows the readout from frame 2 on.
    starsOn = spritesOn = scrollerOn = 0;
    static const showtest::ScriptKey keys[] = {{1, 'f'}, {80, ' '}};
    showtest::SetScript(keys, 2);
    DEMOPartTwo();
    ASSERT_EQ(showtest::Presents(), 80);
    ASSERT_EQ(measuredRate, 50);
    EXPECT_EQ(fpsShown, 1);

    // "32": glyph cells of codes 51 and 50, drawn transparently at (0, 0).
    auto expectDigits = [](std::int32_t first, std::int32_t second) {
        for (std::int32_t d = 0; d < 2; ++d) {
            const std::int32_t code = d == 0 ? first : second;
            const std::int32_t sx = (code % 16) * 15, sy = (code / 16) * 26;
            for (std::int32_t y = 0; y < 26; ++y)
                for (std::int32_t x = 0; x < 15; ++x)
                    ASSERT_EQ(PixelOf(screen, d * 15 + x, y), PixelOf(font->sheet, sx + x, sy + y))
                        << "digit " << d << " at " << x << ", " << y;
        }
    };
    expectDigits('3', '2');

    // Only the low byte counts, and the pen and target are set afresh.
    IMGClear(screen);
    measuredRate = 300;
    font->x = 99;
    font->y = 99;
    font->target = canvas;
    DEMOReadout();
    expectDigits('2', 'C');
}
