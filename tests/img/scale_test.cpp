// Run tables and the nearest-neighbour scaler.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Printed;

// The run table walked one count at a time, for comparison.
std::vector<std::int32_t> WalkedRuns(std::int32_t a, std::int32_t b) {
    const std::int32_t m = std::min(std::abs(a), std::abs(b)), n = std::max(std::abs(a), std::abs(b));
    std::vector<std::int32_t> runs(m + 1);
    std::int32_t e = n, k = 0;
    for (std::int32_t i = 0; i <= n; ++i) {
        ++runs.at(k);
        e -= m;
        if (e <= 0) ++k, e += n;
    }
    return runs;
}

std::vector<std::int32_t> Runs(std::int32_t a, std::int32_t b, std::size_t count) {
    std::int32_t* table = IMGRunTable(a, b);
    if (table == nullptr) return {};
    std::vector<std::int32_t> out(table, table + count);
    std::free(table);
    return out;
}

// Scales a source of the given words and size into a destination of w x h.
std::vector<std::uint32_t> Scaled(std::int32_t sw, std::int32_t sh, std::vector<std::uint32_t> words,
                                  std::int32_t w, std::int32_t h) {
    IMG* s = IMGNew();
    IMG* d = IMGNew();
    IMGResize(s, sw, sh);
    std::copy(words.begin(), words.end(), s->pixels);
    IMGResize(d, w, h);
    IMGScale(s, d);
    std::vector<std::uint32_t> out(d->pixels, d->pixels + w * h);
    IMGFree(&s);
    IMGFree(&d);
    return out;
}

using W = std::vector<std::uint32_t>;

}  // namespace

TEST(RunTable, MatchesTheCountByCountWalkAndItsExamples) {
    for (std::int32_t a = 0; a <= 40; ++a) {
        for (std::int32_t b = 0; b <= 40; ++b) {
            const std::size_t count = static_cast<std::size_t>(std::min(a, b)) + 1;
            ASSERT_EQ(Runs(a, b, count), WalkedRuns(a, b)) << a << "," << b;
        }
    }
    EXPECT_EQ(Runs(5, 2, 3), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(Runs(-2, 5, 3), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(Runs(3, -7, 4), (std::vector<std::int32_t>{3, 2, 2, 1}));
    EXPECT_EQ(Runs(4, 4, 5), (std::vector<std::int32_t>{1, 1, 1, 1, 1}));
    EXPECT_EQ(Runs(0, 6, 1), (std::vector<std::int32_t>{7}));
}

TEST(RunTable, ExtremeSizesAreFastOrRefused) {
    EXPECT_EQ(Runs(INT32_MAX, 1, 2), (std::vector<std::int32_t>{INT32_MAX, 1}));
    EXPECT_EQ(Runs(INT32_MIN, 2, 3), (std::vector<std::int32_t>{1 << 30, 1 << 30, 1}));
    EXPECT_EQ(Runs(0, INT32_MAX - 1, 1), (std::vector<std::int32_t>{INT32_MAX}));
    // A counter that would not fit 32 bits: one report, null.
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGRunTable(INT32_MIN, 1), nullptr); }), "IMG error\n");
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGRunTable(INT32_MAX, 0), nullptr); }), "IMG error\n");
}

TEST(Scale, EachAxisGrowsOrShrinksByItsRuleAndCase) {
    const std::uint32_t A = 0xA, B = 0xB, C = 0xC, D = 0xD, E = 0xE;
    EXPECT_EQ(Scaled(2, 1, {A, B}, 5, 1), (W{A, A, A, B, B}));
    EXPECT_EQ(Scaled(5, 1, {A, B, C, D, E}, 2, 1), (W{C, E}));   // last pixel of each run
    EXPECT_EQ(Scaled(1, 5, {A, B, C, D, E}, 1, 2), (W{A, D}));   // columns kept: first row of each run
    EXPECT_EQ(Scaled(2, 5, {A, A, B, B, C, C, D, D, E, E}, 1, 2), (W{C, E}));  // both shrink: last row
    EXPECT_EQ(Scaled(2, 2, {A, B, C, D}, 3, 3), (W{A, A, B, A, A, B, C, C, D}));
    EXPECT_EQ(Scaled(3, 1, {A, B, C}, 2, 2), (W{B, C, B, C}));
    const W same{1, 0, 3, 0xFF000004, 5, 6};
    EXPECT_EQ(Scaled(3, 2, same, 3, 2), same);
}

TEST(Scale, MisuseReportsOnceAndEmptyDestinationsTakeNothing) {
    IMG* s = IMGNew();
    IMG* d = IMGNew();
    IMG* empty = IMGNew();
    IMGResize(empty, 0, 4);
    EXPECT_EQ(Printed([&] { IMGScale(s, empty); }), "");
    EXPECT_EQ(Printed([&] { IMGScale(empty, d); }), "IMG error\n");  // nothing to sample
    EXPECT_EQ(Printed([&] { IMGScale(nullptr, d); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { IMGScale(s, nullptr); }), "IMG error\n");
    IMG negative{-3, 2, d->pixels};
    EXPECT_EQ(Printed([&] { IMGScale(s, &negative); }), "IMG error\n");
    IMGFree(&s);
    IMGFree(&d);
    IMGFree(&empty);
}
