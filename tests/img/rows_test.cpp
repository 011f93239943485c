// Row and column transfers with wrap-around, the row copy, AND masks and
// darkening.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Make;
using imgtest::Printed;
using imgtest::Words;

using W = std::vector<std::uint32_t>;

}  // namespace

TEST(WrapRow, WrapsAnyStartAndCutsLongRows) {
    IMG* four = Make(4, 1, {1, 2, 3, 4});
    IMG* six = Make(6, 2);
    for (std::int32_t x : {4, -2, 10, INT32_MIN, INT32_MAX - 3}) {  // all equal 4 modulo 6
        IMGClear(six);
        IMGWrapRow(four, six, 0, 1, x);
        EXPECT_EQ(Words(six), (W{0, 0, 0, 0, 0, 0, 3, 4, 0, 0, 1, 2})) << x;
    }
    IMG* ten = Make(10, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    IMGClear(six);
    IMGWrapRow(ten, six, 0, 0, 3);
    EXPECT_EQ(Words(six), (W{4, 5, 6, 1, 2, 3, 0, 0, 0, 0, 0, 0}));
    // Zero words are skipped; the OR form merges.
    IMG* holes = Make(2, 1, {0, 0x0000FF});
    IMG* row = Make(2, 1, {7, 0x00FF00});
    IMGWrapRow(holes, row, 0, 0, 0);
    EXPECT_EQ(Words(row), (W{7, 0x0000FF}));
    row->pixels[1] = 0x00FF00;
    IMGWrapRowOr(holes, row, 0, 0, 0);
    EXPECT_EQ(Words(row), (W{7, 0x00FFFF}));
    // Within one row the words are placed in order, reading what was already written.
    IMG* self = Make(6, 1, {1, 2, 3, 4, 5, 6});
    IMGWrapRow(self, self, 0, 0, 2);
    EXPECT_EQ(Words(self), (W{1, 2, 1, 2, 1, 2}));
    for (IMG* image : {four, six, ten, holes, row, self}) IMGFree(&image);
}

TEST(WrapColumn, WrapsAtTheBottom) {
    IMG* column = Make(1, 3, {1, 2, 3});
    IMG* d = Make(2, 4);
    IMGWrapColumn(column, d, 0, 1, 3);
    EXPECT_EQ(Words(d), (W{0, 2, 0, 3, 0, 0, 0, 1}));
    IMGWrapColumn(column, d, 0, 0, INT32_MIN);  // INT32_MIN is 0 modulo 4
    EXPECT_EQ(Words(d), (W{1, 2, 2, 3, 3, 0, 0, 1}));
    IMGFree(&column);
    IMGFree(&d);
}

TEST(CopyRow, CopiesTheShorterWidthZerosIncluded) {
    IMG* s = Make(3, 2, {1, 0, 3, 4, 5, 6});
    IMG* d = Make(5, 1, {9, 9, 9, 9, 9});
    IMGCopyRow(s, d, 1, 0);
    EXPECT_EQ(Words(d), (W{4, 5, 6, 9, 9}));
    IMGCopyRow(s, d, 0, 0);
    EXPECT_EQ(Words(d), (W{1, 0, 3, 9, 9}));
    IMGFree(&s);
    IMGFree(&d);
}

TEST(Rows, MisuseReportsOnceAndChangesNothing) {
    IMG* s = Make(2, 2, {1, 2, 3, 4});
    IMG* d = Make(2, 2);
    IMG* flat = Make(0, 3);  // zero wide
    IMG* low = Make(3, 0);   // zero high
    IMG bare{2, 2, nullptr};
    const std::string one = "IMG error\n";
    EXPECT_EQ(Printed([&] { IMGWrapRow(s, d, 2, 0, 0); }), one);  // source row = height
    EXPECT_EQ(Printed([&] { IMGWrapRow(s, d, 0, -1, 0); }), one);
    EXPECT_EQ(Printed([&] { IMGWrapRow(nullptr, d, 0, 0, 0); }), one);
    EXPECT_EQ(Printed([&] { IMGWrapRow(s, flat, 0, 0, INT32_MIN); }), one);
    EXPECT_EQ(Printed([&] { IMGWrapRowOr(s, flat, 0, 0, 5); }), one);
    EXPECT_EQ(Printed([&] { IMGWrapRowOr(&bare, d, 0, 0, 0); }), one);
    EXPECT_EQ(Printed([&] { IMGWrapColumn(s, low, 0, 0, INT32_MIN); }), one);
    EXPECT_EQ(Printed([&] { IMGWrapColumn(s, d, 0, 2, 0); }), one);
    EXPECT_EQ(Printed([&] { IMGCopyRow(s, &bare, 0, 0); }), one);
    EXPECT_EQ(Printed([&] { IMGCopyRow(s, d, 0, 2); }), one);
    EXPECT_EQ(Words(d), (W{0, 0, 0, 0}));
    for (IMG* image : {s, d, flat, low}) IMGFree(&image);
}

TEST(And, KeepsMaskedBitsAndNeedsEqualCounts) {
    IMG* mask = Make(4, 1, {0xFFFFFF, 0, 0x00FF00, 0xFFFFFF});
    IMG* d = Make(2, 2, {0x123456, 0x123456, 0x123456, 0xFF000001});
    IMGAnd(mask, d);  // equal counts, different shapes: fine
    EXPECT_EQ(Words(d), (W{0x123456, 0, 0x003400, 0x000001}));
    IMG* other = Make(3, 1, {1, 1, 1});
    EXPECT_EQ(Printed([&] { IMGAnd(mask, other); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { IMGAnd(nullptr, other); }), "IMG error\n");
    EXPECT_EQ(Words(other), (W{1, 1, 1}));
    for (IMG* image : {mask, d, other}) IMGFree(&image);
}

TEST(Darken, LowersEachChannelByTheLowByte) {
    IMG* image = Make(3, 1, {0x0A0503, 0xFFFFFFFF, 0x808080});
    IMGDarken(image, 8);
    EXPECT_EQ(Words(image), (W{0x020000, 0xF7F7F7, 0x787878}));
    IMGDarken(image, 0x108);  // only the low byte counts
    EXPECT_EQ(Words(image), (W{0, 0xEFEFEF, 0x707070}));
    for (int i = 0; i < 30; ++i) IMGDarken(image, 8);  // 32 fade steps in all
    EXPECT_EQ(Words(image), (W{0, 0, 0}));
    EXPECT_EQ(Printed([] { IMGDarken(nullptr, 8); }), "IMG error\n");
    IMGFree(&image);
}

TEST(Darken, EveryChannelValueAgainstEveryLevel) {
    IMG* image = Make(256, 1);
    auto lower = [](std::uint32_t c, std::uint32_t k) { return c > k ? c - k : 0; };
    for (std::uint32_t k = 0; k < 256; ++k) {
        for (std::uint32_t c = 0; c < 256; ++c) image->pixels[c] = (c ^ 0xA5) << 24 | c << 16 | (255 - c) << 8 | (c ^ 0x5A);
        IMGDarken(image, static_cast<std::int32_t>(k | 0x7700));
        for (std::uint32_t c = 0; c < 256; ++c) {
            const std::uint32_t want = lower(c, k) << 16 | lower(255 - c, k) << 8 | lower(c ^ 0x5A, k);
            ASSERT_EQ(image->pixels[c], want) << "channel " << c << " level " << k;
        }
    }
    IMGFree(&image);
}
