// The whole show in fast-forward, and fingerprints of whole frames.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "show_support.h"

using showtest::ScriptKey;

// A full cycle (parts one, two and three: 4001 frames) with every key pressed
// along the way, then a quit in the next part one and the fade. Nothing is
// allocated per frame and nothing leaks: the heap in use is the same after
// the cycle and after the fade as right after start-up.
TEST(WholeShow, FullCycleWithEveryKeyNeitherAllocatesNorLeaks) {
    if (screen) GTEST_SKIP() << "needs a process of its own, as ctest runs it";
    showtest::StartSDL();
    showtest::PushKey('x');  // SDL's event queue is set up by its first use
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    static const ScriptKey keys[] = {
        {10, 'f'},    {400, 'F'},   {500, '1'},   {990, '1'},   {1100, '2'},  {1300, '2'},  {1400, '3'},
        {1500, '6'},  {1600, '6'},  {1700, '3'},  {1800, '9'},  {1801, '9'},  {1802, '9'},  {2000, '0'},
        {2001, '0'},  {2002, '0'},  {2003, '0'},  {2004, '0'},  {2005, '0'},  {2200, '7'},  {2201, '8'},
        {2500, '1'},  {2600, '1'},  {3500, 'f'},  {3600, '6'},  {4010, 'q'},
    };
    showtest::SetScript(keys, sizeof keys / sizeof keys[0]);
    std::size_t atStart = 0, afterCycle = 0, atQuit = 0;
    std::int64_t callsAtStart = 0, callsAfterCycle = 0;
    std::int64_t lastFrame = 0;
    showtest::SetObserver([&](std::int64_t frame) {
        if (frame == 1) {
            atStart = showtest::HeapInUse();
            callsAtStart = showtest::OwnAllocations();
        }
        if (frame == 4001) {
            afterCycle = showtest::HeapInUse();
            callsAfterCycle = showtest::OwnAllocations();
        }
        if (frame == 4010) atQuit = showtest::HeapInUse();
        lastFrame = frame;
    });
    const int result = SDL_main(0, nullptr);
    const std::size_t atEnd = showtest::HeapInUse();
    showtest::SetObserver(nullptr);

    EXPECT_EQ(result, 1);
    EXPECT_EQ(lastFrame, 4010 + 32);
    EXPECT_GT(callsAtStart, 0);  // start-up allocates, and the count sees it
    EXPECT_EQ(callsAfterCycle, callsAtStart) << "allocations during the cycle, freed again or not";
    EXPECT_EQ(afterCycle, atStart);
    EXPECT_EQ(atQuit, atStart);
    EXPECT_EQ(atEnd, atStart);
    // The switches as the keys left them.
    EXPECT_EQ(fpsShown, 0);
    EXPECT_EQ(scrollerOn, 1);
    EXPECT_EQ(starsOn, 1);
    EXPECT_EQ(spritesOn, 3);
    EXPECT_EQ(scroll->speed, 4);
    EXPECT_EQ(stopRequest, 1);
}

// Fingerprints of whole frames, so that any unintended change shows. The art
// assets decide them too: after a picture or the scroll text changes, run
//   SDL_VIDEODRIVER=dummy VELM_PRINT_CHECKSUMS=1 build/tests/demo/test_demo --gtest_filter=Checksums.*
// and paste the printed lines over the table below.
namespace {
struct Checked {
    std::int64_t frame;
    std::uint64_t hash;
    const char* what;
};
const Checked expectedFrames[] = {
    {1, 0x7326e6c3ac48b59full, "part one, first frame"},
    {50, 0x72e041ce5fa78bcfull, "part one, frame 50"},
    {51, 0x04d2c9b5951df15dull, "part two, first frame"},
    {250, 0xc8d80c3f9506850dull, "part two, frame 200"},
    {251, 0x539019346a83a406ull, "part three, first frame"},
    {350, 0x347d7fd95df99dacull, "part three, frame 100"},
};
}  // namespace

TEST(Checksums, FramesOfEachPart) {
    VELM_FRESH_SHOW();
    constexpr std::size_t n = sizeof expectedFrames / sizeof expectedFrames[0];
    std::uint64_t got[n] = {};
    showtest::SetObserver([&](std::int64_t frame) {
        for (std::size_t i = 0; i < n; ++i)
            if (expectedFrames[i].frame == frame) got[i] = showtest::Hash(screen);
    });
    static const ScriptKey keys[] = {{50, ' '}, {250, ' '}, {350, ' '}};
    showtest::SetScript(keys, 3);
    DEMOPartOne();
    stopRequest = stopNone;
    DEMOPartTwo();
    stopRequest = stopNone;
    DEMOPartThree();
    showtest::SetObserver(nullptr);

    bool same = true;
    for (std::size_t i = 0; i < n; ++i) same = same && got[i] == expectedFrames[i].hash;
    if (!same || std::getenv("VELM_PRINT_CHECKSUMS")) {
        std::printf("const Checked expectedFrames[] = {\n");
        for (std::size_t i = 0; i < n; ++i)
            std::printf("    {%" PRId64 ", 0x%016" PRIx64 "ull, \"%s\"},\n", expectedFrames[i].frame, got[i],
                        expectedFrames[i].what);
        std::printf("};\n");
    }
    for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(got[i], expectedFrames[i].hash) << expectedFrames[i].what;
}
