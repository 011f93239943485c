// The main routine, the part loop, the frame ending and the key handler:
// part lengths, moving on and quitting, the fade, and the switches.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "show_support.h"

using showtest::Presents;
using showtest::PushKey;
using showtest::ScriptKey;

namespace {

// Which part drew a presented frame, read from the phases only that part moves.
enum Part { None = 0, One = 1, Two = 2, Three = 3 };

struct PhaseSpy {
    std::int32_t wobble = wobblePhase, sprite = spritePhases[0], banner = bannerBouncePhase;
    Part Next() {
        Part p = None;
        if (wobblePhase != wobble) p = One;
        else if (spritePhases[0] != sprite) p = Two;
        else if (bannerBouncePhase != banner) p = Three;
        wobble = wobblePhase;
        sprite = spritePhases[0];
        banner = bannerBouncePhase;
        return p;
    }
};

}  // namespace

TEST(DemoWrap, BringsAnyValueIntoRange) {
    EXPECT_EQ(DEMOWrap(-1024, 1024), 0);
    EXPECT_EQ(DEMOWrap(-1, 1024), 1023);
    EXPECT_EQ(DEMOWrap(1024, 1024), 0);
    EXPECT_EQ(DEMOWrap(1030, 1024), 6);
    EXPECT_EQ(DEMOWrap(5, 1024), 5);
    EXPECT_EQ(DEMOWrap(INT32_MIN, 1024), 0);
    EXPECT_EQ(DEMOWrap(INT32_MAX, 1024), 1023);
    EXPECT_EQ(DEMOWrap(-2867, 2866), 2865);
    // A modulus below 1 is misuse: the neutral 0, and no trap on INT32_MIN / -1.
    EXPECT_EQ(DEMOWrap(INT32_MIN, -1), 0);
    EXPECT_EQ(DEMOWrap(7, 0), 0);
}

TEST(DemoError, PrintsOnlyWhileSwitchedOn) {
    testing::internal::CaptureStdout();
    DEMOError();
    DEMOSetReportErrors(true);
    DEMOError();
    DEMOError();
    DEMOSetReportErrors(false);
    DEMOError();
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "VELM4009 Error.\nVELM4009 Error.\n");
}

TEST(DemoKey, TableOfCommands) {
    if (!scroll) scroll = SCROLLNew();
    ASSERT_NE(scroll, nullptr);
    for (int quit : {int{'q'}, int{'Q'}, 27}) {
        stopRequest = stopNone;
        DEMOKey(static_cast<signed char>(quit));
        EXPECT_EQ(stopRequest, 1) << quit;
    }
    stopRequest = stopNone;
    DEMOKey(' ');
    EXPECT_EQ(stopRequest, 2);
    stopRequest = stopNone;

    // Nothing else touches a switch: upper-case F, 0, 7, 8 and codes above 127.
    for (int idle : {int{'F'}, 0, int{'7'}, int{'8'}, int{'x'}, -48}) DEMOKey(static_cast<signed char>(idle));
    EXPECT_EQ(stopRequest, 0);
    EXPECT_EQ(fpsShown, 0);
    EXPECT_EQ(scrollerOn, 1);
    EXPECT_EQ(starsOn, 1);
    EXPECT_EQ(spritesOn, 1);
    EXPECT_EQ(scroll->speed, 1);

    DEMOKey('f');
    EXPECT_EQ(fpsShown, 1);
    DEMOKey('f');
    EXPECT_EQ(fpsShown, 0);
    DEMOKey('1');
    EXPECT_EQ(scrollerOn, 0);
    DEMOKey('2');
    EXPECT_EQ(starsOn, 0);

    // Keys 3 and 6 flip separate bits; the sprites show while either is set.
    DEMOKey('3');
    DEMOKey('6');
    EXPECT_EQ(spritesOn, 2);
    spritesOn = 1;
    DEMOKey('3');
    DEMOKey('3');
    EXPECT_EQ(spritesOn, 1);
    DEMOKey('3');
    DEMOKey('6');
    DEMOKey('6');
    EXPECT_EQ(spritesOn, 0);
    spritesOn = 1;
    DEMOKey('6');
    EXPECT_EQ(spritesOn, 3);

    // Scroll speed one step per key, held within -32 .. 32.
    for (int i = 0; i < 40; ++i) DEMOKey('9');
    EXPECT_EQ(scroll->speed, -32);
    // From -32, forty presses of 0 reach 8; the clamp holds at 32 after 64.
    for (int i = 0; i < 40; ++i) DEMOKey('0');
    EXPECT_EQ(scroll->speed, 8);
    for (int i = 0; i < 40; ++i) DEMOKey('0');
    EXPECT_EQ(scroll->speed, 32);
    scroll->speed = INT32_MAX;  // set from outside: the keys still move it safely
    DEMOKey('0');
    EXPECT_EQ(scroll->speed, 32);
    scroll->speed = INT32_MIN;
    DEMOKey('9');
    EXPECT_EQ(scroll->speed, -32);
}

TEST(DemoLoop, PartLengthsWithoutKeys) {
    VELM_FRESH_SHOW();
    std::int64_t before = Presents();
    std::uint32_t ticks = FPSVirtualTicks();
    DEMOPartOne();
    EXPECT_EQ(Presents() - before, 1001);
    EXPECT_EQ(wobblePhase, 1001);
    EXPECT_EQ(stopRequest, 0);
    // Paced at 50 frames per second: 20 ms of the virtual clock per frame.
    EXPECT_EQ(FPSVirtualTicks() - ticks, 1001u * 20u);

    before = Presents();
    ticks = FPSVirtualTicks();
    DEMOPartTwo();
    EXPECT_EQ(Presents() - before, 2000);
    EXPECT_EQ(FPSVirtualTicks() - ticks, 2000u * 20u);
    EXPECT_EQ(stopRequest, 0);
    EXPECT_EQ(measuredRate, 50);

    before = Presents();
    DEMOPartThree();
    EXPECT_EQ(Presents() - before, 1000);
    EXPECT_EQ(stopRequest, 0);
}

TEST(DemoLoop, KeysEndPartAfterTheCurrentFrame) {
    VELM_FRESH_SHOW();
    // Only the last key event of a drain counts, and the byte is cleared after use.
    PushKey('f');
    PushKey(' ');
    std::int64_t before = Presents();
    DEMOPartTwo();
    EXPECT_EQ(Presents() - before, 1);
    EXPECT_EQ(stopRequest, 2);
    EXPECT_EQ(fpsShown, 0);  // only the last key of a drain counts
    EXPECT_EQ(keyboard->buffer[0], 0);

    for (int quit : {'q', 'Q'}) {
        stopRequest = stopNone;
        PushKey(quit);
        before = Presents();
        DEMOPartThree();
        EXPECT_EQ(Presents() - before, 1);
        EXPECT_EQ(stopRequest, 1);
    }
}

TEST(DemoLoop, MainRoutineCyclesThePartsAndFadesOnQuit) {
    if (screen) GTEST_SKIP() << "needs a process of its own, as ctest runs it";
    showtest::StartSDL();
    // Space ends parts one, two and three early; after part three comes part
    // one again, where Escape quits. Then 32 fade steps are presented.
    static const ScriptKey keys[] = {{5, ' '}, {15, ' '}, {18, ' '}, {20, 27}};
    showtest::SetScript(keys, 4);
    std::vector<Part> parts;
    parts.reserve(64);
    PhaseSpy spy;
    std::uint32_t fadeTicks = 0;
    showtest::SetObserver([&](std::int64_t frame) {
        parts.push_back(spy.Next());
        if (frame == 20) fadeTicks = FPSVirtualTicks();
    });
    const int result = SDL_main(0, nullptr);
    showtest::SetObserver(nullptr);
    EXPECT_EQ(result, 1);

    // The fade moves nothing.
    const struct {
        Part part;
        int frames;
    } runs[] = {{One, 5}, {Two, 10}, {Three, 3}, {One, 2}, {None, 32}};
    std::vector<Part> want;
    for (const auto& r : runs)
        for (int i = 0; i < r.frames; ++i) want.push_back(r.part);
    EXPECT_EQ(parts, want);
    EXPECT_EQ(FPSVirtualTicks(), fadeTicks);  // the fade does not pace

    // The last presented frame is all black.
    SDL_Surface* shown = SDL_GetVideoSurface();
    ASSERT_NE(shown, nullptr);
    SDL_LockSurface(shown);
    bool black = true;
    for (int y = 0; y < shown->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch;
        for (int x = 0; x < shown->w * shown->format->BytesPerPixel; ++x) black = black && row[x] == 0;
    }
    SDL_UnlockSurface(shown);
    EXPECT_TRUE(black);
}

TEST(DemoFade, ThirtyTwoStepsToBlackWithoutReadingKeys) {
    VELM_FRESH_SHOW();
    for (std::int64_t i = 0; i < std::int64_t{screen->width} * screen->height; ++i) screen->pixels[i] = 0xFFFFFF;
    std::uint32_t step1 = 0, step31 = 0;
    showtest::SetObserver([&](std::int64_t frame) {
        if (frame == 1) step1 = screen->pixels[0];
        if (frame == 31) step31 = screen->pixels[12345];
    });
    PushKey(27);
    const std::uint32_t ticks = FPSVirtualTicks();
    DEMOFadeOut();
    showtest::SetObserver(nullptr);
    EXPECT_EQ(Presents(), 32);
    EXPECT_EQ(step1, 0xF7F7F7u);
    EXPECT_EQ(step31, 0x070707u);
    for (std::int64_t i = 0; i < std::int64_t{screen->width} * screen->height; ++i)
        ASSERT_EQ(screen->pixels[i], 0u) << i;
    EXPECT_EQ(FPSVirtualTicks(), ticks);
    EXPECT_EQ(stopRequest, 0);
    // The Escape is still waiting in the queue.
    SDL_Event e;
    bool escape = false;
    while (SDL_PollEvent(&e))
        if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE) escape = true;
    EXPECT_TRUE(escape);
}

TEST(DemoStartup, ObjectsHaveTheirSizes) {
    VELM_FRESH_SHOW();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->width, 256);
    EXPECT_EQ(screen->height, 256);
    for (const IMG* s : sprites) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->width, 128);
        EXPECT_EQ(s->height, 128);
    }
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 192);
    EXPECT_EQ(picture->height, 224);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->cellWidth, 15);
    EXPECT_EQ(font->cellHeight, 26);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->width, 256);
    EXPECT_EQ(canvas->height, 26);
    ASSERT_NE(plasmaImage, nullptr);
    EXPECT_EQ(plasmaImage->width, 256);
    EXPECT_EQ(plasmaImage->height, 26);
    ASSERT_NE(plasmaStrip, nullptr);
    EXPECT_EQ(plasmaStrip->width, 256);
    EXPECT_EQ(plasmaStrip->height, 3);
}

TEST(DemoStartup, InvisibleWindowEndsTheProgram) {
    // The child re-executes the test program, clear of any thread an earlier
    // test left, unless GTEST_DEATH_TEST_STYLE says otherwise: under an
    // emulator the program cannot re-execute itself, and the child is forked.
    if (std::getenv("GTEST_DEATH_TEST_STYLE") == nullptr) {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            showtest::StartShow();
        },
        testing::ExitedWithCode(2), "velm4023: ");
}
