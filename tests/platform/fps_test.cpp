// Frame measurement and pacing against the virtual clock: SDL_Delay moves the
// clock on instead of sleeping, so every run is exact and instant. The state
// has no reset; each test runs in a fresh process.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/fps.h"

namespace {

// One paced frame: drawing takes drawMs, then the pacing calls. Returns the
// milliseconds FPSDelay slept.
std::uint32_t Frame(std::uint32_t drawMs) {
    FPSVirtualAdvance(drawMs);
    FPSTick();
    const std::uint32_t before = FPSVirtualTicks();
    FPSDelay();
    return FPSVirtualTicks() - before;
}

// Moves the clock to the given millisecond count (forward only, wrapping).
void ClockTo(std::uint32_t ms) { FPSVirtualAdvance(ms - FPSVirtualTicks()); }

}  // namespace

TEST(FrameRate, ClockIsMillisecondsTimesAThousandWrapping) {
    EXPECT_EQ(FPSGetTime(), 0);
    ClockTo(1234);
    EXPECT_EQ(FPSGetTime(), 1234000);
    ClockTo(2147484);  // 2147484000 no longer fits a signed 32-bit value
    EXPECT_EQ(FPSGetTime(), -2147483296);
    ClockTo(4294968);  // past 2^32 microseconds
    EXPECT_EQ(FPSGetTime(), 704);
}

TEST(FrameRate, SettlesAtTheTargetWhateverTheDrawingTime) {
    targetRate = 50;
    for (int i = 0; i < 200; ++i) Frame(5);
    std::uint32_t start = FPSVirtualTicks();
    for (int i = 0; i < 500; ++i) Frame(5);
    EXPECT_EQ(FPSVirtualTicks() - start, 500u * 20u);  // 20 ms a frame: drawing 5, sleeping 15
    EXPECT_EQ(measuredRate, 50);

    // Drawing times that vary from frame to frame still average out.
    start = FPSVirtualTicks();
    std::uint32_t seed = 1;
    for (int i = 0; i < 1000; ++i) {
        seed = seed * 1103515245u + 12345u;
        Frame(2 + (seed >> 16) % 15);  // 2 to 16 ms
    }
    const std::uint32_t total = FPSVirtualTicks() - start;
    EXPECT_NEAR(total / 1000.0, 20.0, 0.1);
    EXPECT_NEAR(measuredRate, 50, 1);
}

TEST(FrameRate, WindowClosesAtOneSecondAndDropsTheExcess) {
    targetRate = 50;
    FPSTick();  // at 0: the first window starts
    for (int i = 0; i < 10; ++i) {
        FPSVirtualAdvance(20);
        FPSTick();
    }
    FPSVirtualAdvance(1300);  // 1.5 s in all: the window closes with its 11 frames
    EXPECT_EQ(FPSTick(), 11);
    for (int i = 0; i < 49; ++i) {
        FPSVirtualAdvance(20);
        EXPECT_EQ(FPSTick(), 11) << "frame " << i;  // 0.5 s carried over would close it here
    }
    FPSVirtualAdvance(20);
    EXPECT_EQ(FPSTick(), 50);  // a full second of new frames, counted from 0
}

TEST(FrameRate, TargetOfZeroOrBelowBehavesAsOne) {
    for (std::int32_t bad : {0, -1, INT32_MIN}) {
        targetRate = bad;
        FPSTick();
        EXPECT_EQ(targetRate, 1);
    }
    // A period of one second: a frame of exactly a second leaves the sleep alone,
    // a frame of 400 ms adds the 600 ms it fell short.
    FPSVirtualAdvance(1000);
    EXPECT_EQ(Frame(0), 0u);
    EXPECT_EQ(Frame(400), 600u);
    EXPECT_EQ(Frame(400), 600u);  // 400 drawing + 600 sleeping: on target, unchanged
}

TEST(FrameRate, SleepIsIntegral) {
    targetRate = 50;
    EXPECT_EQ(Frame(5), 15u);   // 5 ms frame: sleep grows by the 15 ms shortfall
    EXPECT_EQ(Frame(5), 15u);   // 5 + 15 = 20 ms: on target, unchanged
    EXPECT_EQ(Frame(10), 10u);  // 15 + 10 = 25 ms: 5 ms over, sleep shrinks by 5
    EXPECT_EQ(Frame(10), 10u);
    EXPECT_EQ(Frame(60), 0u);   // overrun beyond the sleep: no sleep at all
    EXPECT_EQ(Frame(5), 15u);   // and it grows again from 0
    EXPECT_EQ(Frame(19), 1u);   // 15 + 19 = 34 ms: 14 over, 1 ms of sleep left
    EXPECT_EQ(Frame(1), 19u);   // 1 + 1 = 2 ms: 18 short, sleep grows to 19
}

TEST(FrameRate, PacingIsUndisturbedByEveryClockWrap) {
    targetRate = 50;
    // Where the microsecond clock turns negative, where it wraps, and where
    // SDL's own millisecond count wraps.
    for (std::uint32_t edge : {2147483u, 4294967u, 0xFFFFFFFFu}) {
        ClockTo(edge - 3000);
        for (int i = 0; i < 100; ++i) Frame(5);  // settle after the jump
        for (int i = 0; i < 200; ++i) {
            const std::uint32_t before = FPSVirtualTicks();
            Frame(5);
            ASSERT_EQ(FPSVirtualTicks() - before, 20u) << "edge " << edge << " frame " << i;
        }
        EXPECT_EQ(measuredRate, 50);
    }
}
