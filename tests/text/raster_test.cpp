// Raster bars: painting with a phase, blending, the row painters' clipping,
// smoothing against a plain reference, copies and the data-less file pair.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "img/img.h"
#include "tests/printed.h"
#include "text/raster.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

IMG* Image(std::int32_t w, std::int32_t h, std::uint32_t fill) {
    IMG* image = IMGNew();
    IMGResize(image, w, h);
    for (std::int32_t i = 0; i < w * h; ++i) image->pixels[i] = fill;
    return image;
}

RASTER* Table(const std::vector<std::uint32_t>& colours) {
    RASTER* raster = RASTERNew();
    RASTERResize(raster, static_cast<std::int32_t>(colours.size()));
    for (std::size_t i = 0; i < colours.size(); ++i) raster->colours[i] = colours[i];
    return raster;
}

// Colour of each row, checking that the whole row carries it.
std::vector<std::uint32_t> Rows(const IMG* image) {
    std::vector<std::uint32_t> rows;
    for (std::int32_t y = 0; y < image->height; ++y) {
        for (std::int32_t x = 1; x < image->width; ++x) EXPECT_EQ(IMGGetPixel(image, x, y), IMGGetPixel(image, 0, y));
        rows.push_back(IMGGetPixel(image, 0, y));
    }
    return rows;
}

// The box filter written out term by term.
std::vector<std::uint32_t> SmoothReference(const std::vector<std::uint32_t>& t, std::int32_t r) {
    const auto n = static_cast<std::int32_t>(t.size());
    std::vector<std::uint32_t> out(t.size());
    for (std::int32_t i = 0; i < n; ++i) {
        for (int shift = 0; shift <= 16; shift += 8) {
            auto ch = [&](std::int32_t k) { return (t[k] >> shift) & 0xFF; };
            std::uint32_t sum = 2 * ch(i);
            for (std::int32_t k = 1; k <= r; ++k) sum += ch((i + k) % n) + ch((i > k ? i - k : k - i) % n);
            out[i] |= (sum / (2 * r + 2)) << shift;
        }
    }
    return out;
}

using testout::Printed;  // the raster's reporter always prints

}  // namespace

TEST(Raster, DrawRepeatsTheTableFromThePhase) {
    RASTER* raster = RASTERNew();
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(raster->count, 256);
    IMG* small = Image(4, 3, 0xAB123456);
    RASTERDraw(raster, small);
    EXPECT_EQ(Rows(small), std::vector<std::uint32_t>(3, 0));
    RASTERFree(&raster);
    EXPECT_EQ(raster, nullptr);

    const std::uint32_t r = 0xFF0000, g = 0xFF00, b = 0xFF;
    raster = Table({r, g, b});
    IMG* image = Image(2, 5, 0);
    RASTERDraw(raster, image);
    EXPECT_EQ(Rows(image), (std::vector<std::uint32_t>{r, g, b, r, g}));
    RASTERStep(raster);
    RASTERDraw(raster, image);
    EXPECT_EQ(Rows(image), (std::vector<std::uint32_t>{g, b, r, g, b}));
    RASTERStep(raster);
    RASTERStep(raster);
    EXPECT_EQ(raster->phase, 0);
    raster->phase = -1;  // written from outside the table: still a table entry
    RASTERDraw(raster, image);
    EXPECT_EQ(Rows(image), (std::vector<std::uint32_t>{b, r, g, b, r}));
    // A table without entries paints nothing and reports nothing.
    RASTERResize(raster, 0);
    EXPECT_EQ(Printed([&] {
                  RASTERDraw(raster, image);
                  RASTERDrawBlend(raster, image, 128);
                  RASTERSmooth(raster, 3);
              }),
              "");
    EXPECT_EQ(Rows(image), (std::vector<std::uint32_t>{b, r, g, b, r}));
    RASTERFree(&raster);
    IMGFree(&small);
    IMGFree(&image);
}

TEST(Raster, BlendIsAWeightedMeanPerChannel) {
    RASTER* raster = Table({0x0000FF});
    IMG* image = Image(3, 1, 0xFF0000);
    RASTERDrawBlend(raster, image, 128);
    EXPECT_EQ(Rows(image), std::vector<std::uint32_t>{0x7F007F});
    image->pixels[0] = image->pixels[1] = image->pixels[2] = 0xAB123456;
    RASTERDrawBlend(raster, image, 0);
    EXPECT_EQ(Rows(image), std::vector<std::uint32_t>{0x123456});  // top byte dropped
    raster->colours[0] = 0xFF808080;
    RASTERDrawBlend(raster, image, 256);
    EXPECT_EQ(Rows(image), std::vector<std::uint32_t>{0x808080});
    // Alpha outside 0..256 is held to the nearer end.
    RASTERBlendRow(image, 0xFFFFFF, 0, 0, 0, kMax);
    RASTERBlendRow(image, 0x000000, 0, 1, 1, kMin);
    EXPECT_EQ(image->pixels[0], 0xFFFFFFu);
    EXPECT_EQ(image->pixels[1], 0x808080u);
    RASTERFree(&raster);
    IMGFree(&image);
}

TEST(Raster, RowPaintersClipToTheImage) {
    IMG* image = Image(4, 2, 1);
    RASTERFillRow(image, 7, 0, -5, 1);
    RASTERFillRow(image, 8, 1, 2, kMax);
    RASTERFillRow(image, 9, -1, 0, 3);
    RASTERFillRow(image, 9, 2, 0, 3);
    RASTERFillRow(image, 9, 0, 3, 2);
    RASTERFillRow(image, 9, 0, 4, kMax);
    RASTERFillRow(image, 9, 1, kMin, -1);
    RASTERBlendRow(image, 9, kMin, kMin, kMax, 256);
    EXPECT_EQ(std::vector<std::uint32_t>(image->pixels, image->pixels + 8),
              (std::vector<std::uint32_t>{7, 7, 1, 1, 1, 1, 8, 8}));
    RASTERFillRow(nullptr, 1, 0, 0, 0);
    RASTERBlendRow(nullptr, 1, 0, 0, 0, 0);
    IMGFree(&image);
}

TEST(Raster, SmoothMirrorsAtTheStartAndWrapsAtTheEnd) {
    RASTER* raster = Table({0, 0, 0, 0x0000FF});
    RASTERSmooth(raster, 1);
    EXPECT_EQ(std::vector<std::uint32_t>(raster->colours, raster->colours + 4),
              (std::vector<std::uint32_t>{0, 0, 0x3F, 0x7F}));
    RASTERFree(&raster);
    // Radii below, at and far above the table's length, channels kept apart.
    const std::vector<std::uint32_t> table = {0xFF0010, 0x00FF20, 0x0000FF, 0x804000, 0x123456, 0xFFFFFF, 0x010203};
    for (std::int32_t r : {1, 2, 3, 6, 7, 8, 20, 7003}) {
        raster = Table(table);
        RASTERSmooth(raster, r);
        EXPECT_EQ(std::vector<std::uint32_t>(raster->colours, raster->colours + 7), SmoothReference(table, r)) << r;
        RASTERFree(&raster);
    }
    // The largest radius returns at once and keeps an even table even.
    raster = Table({0x405060, 0x405060, 0x405060});
    RASTERSmooth(raster, kMax);
    EXPECT_EQ(std::vector<std::uint32_t>(raster->colours, raster->colours + 3),
              std::vector<std::uint32_t>(3, 0x405060));
    EXPECT_EQ(Printed([] {
                  RASTER* r = RASTERNew();
                  r->colours[0] = 5;
                  RASTERSmooth(r, 0);
                  RASTERSmooth(r, -4);
                  if (r->colours[0] == 5) std::printf("kept\n");
                  RASTERFree(&r);
              }),
              "RASTER error\nRASTER error\nkept\n");
    RASTERFree(&raster);
}

TEST(Raster, CopyEqualAndMisuse) {
    RASTER* raster = Table({1, 2, 3, 4, 5, 6});
    raster->phase = 5;
    RASTER* copy = nullptr;
    EXPECT_EQ(Printed([&] {
                  copy = RASTERCopy(raster);
                  if (RASTEREqual(raster, copy)) std::printf("equal\n");
              }),
              "equal\n");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->phase, 0);
    copy->colours[5] = 7;
    EXPECT_FALSE(RASTEREqual(raster, copy));
    RASTERResize(copy, 5);
    EXPECT_FALSE(RASTEREqual(raster, copy));
    RASTERFree(&copy);
    // Every misuse prints the raster's line: it has no switch.
    EXPECT_EQ(Printed([&] {
                  RASTERResize(raster, -1);  // no table, count 0
                  RASTERDraw(raster, nullptr);
                  RASTERStep(raster);
                  RASTERClear(raster);
                  if (RASTERCopy(raster) == nullptr && !RASTEREqual(raster, nullptr)) std::printf("neutral\n");
                  RASTERFree(nullptr);
              }),
              "RASTER error\nRASTER error\nRASTER error\nRASTER error\n"
                  "RASTER error\nRASTER error\nneutral\nRASTER error\n");
    EXPECT_EQ(raster->count, 0);
    RASTERFree(&raster);
}

TEST(Raster, LoadAndSaveMoveNoData) {
    const std::string path = testing::TempDir() + "raster_test_table";
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fputs("old contents", file);
    std::fclose(file);
    RASTER* empty = nullptr;
    EXPECT_EQ(Printed([&] {
                  empty = RASTERNew();
                  RASTERResize(empty, 0);
                  if (!RASTERSave(empty, path.c_str())) std::printf("refused\n");
              }),
              "RASTER error\nrefused\n");
    RASTER* loaded = RASTERLoad(path.c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->count, 0);
    EXPECT_TRUE(RASTEREqual(loaded, empty));
    file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(std::fgetc(file), EOF);  // left alone by the refused save
    std::fclose(file);
    RASTER* raster = RASTERNew();
    EXPECT_TRUE(RASTERSave(raster, path.c_str()));
    file = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(std::fgetc(file), EOF);  // emptied
    std::fclose(file);
    std::remove(path.c_str());
    EXPECT_EQ(Printed([&] {
                  if (RASTERLoad(path.c_str()) == nullptr && RASTERLoad(nullptr) == nullptr) std::printf("none\n");
              }),
              "RASTER error\nRASTER error\nnone\n");
    RASTERFree(&raster);
    RASTERFree(&loaded);
    RASTERFree(&empty);
}
