// The image record: life cycle, pixel access, comparison, copies, and which
// misuses produce exactly one report line.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Printed;

bool AllZero(const IMG* image) {
    for (std::int64_t i = 0; i < std::int64_t{image->width} * image->height; ++i) {
        if (image->pixels[i] != 0) return false;
    }
    return true;
}

}  // namespace

TEST(ImageRecord, NewIsSixteenBySixteenBlackAndFreeClearsPointer) {
    IMG* image = IMGNew();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->height, 16);
    EXPECT_TRUE(AllZero(image));
    IMGFree(&image);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(Printed([&] { IMGFree(&image); }), "IMG error\n");
    EXPECT_EQ(Printed([] { IMGFree(nullptr); }), "IMG error\n");
}

TEST(ImageRecord, ResizeClearsEvenAtTheSameSize) {
    IMG* image = IMGNew();
    image->pixels[5] = 0x123456;
    IMGResize(image, 3, 2);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_TRUE(AllZero(image));
    IMGPutPixel(image, 2, 1, 7);
    IMGResize(image, 3, 2);
    EXPECT_EQ(IMGGetPixel(image, 2, 1), 0u);
    IMGResize(image, 0, 5);  // empty pictures are legal and still have an array
    EXPECT_EQ(image->width, 0);
    EXPECT_NE(image->pixels, nullptr);
    IMGFree(&image);
}

TEST(ImageRecord, ResizeRefusesNegativeAndOversizedCountsUnchanged) {
    IMG* image = IMGNew();
    IMGResize(image, 4, 4);
    IMGPutPixel(image, 1, 1, 9);
    for (const auto& size : {std::pair{-1, 4}, {4, -1}, {INT32_MIN, 1}, {65536, 65536}, {INT32_MAX, 2}}) {
        EXPECT_EQ(Printed([&] { IMGResize(image, size.first, size.second); }), "IMG error\n")
            << size.first << " x " << size.second;
        EXPECT_EQ(image->width, 4);
        EXPECT_EQ(image->height, 4);
        EXPECT_EQ(IMGGetPixel(image, 1, 1), 9u);
    }
    EXPECT_EQ(Printed([] { IMGResize(nullptr, 1, 1); }), "IMG error\n");
    IMGFree(&image);
}

TEST(ImageRecord, PixelAccessInsideAndOutside) {
    IMG* image = IMGNew();
    IMGResize(image, 5, 3);
    IMGPutPixel(image, 4, 2, 0xFF00FF00u);  // top byte kept
    IMGPutPixel(image, 0, 1, 0x000102);
    EXPECT_EQ(IMGGetPixel(image, 4, 2), 0xFF00FF00u);
    EXPECT_EQ(image->pixels[4 + 2 * 5], 0xFF00FF00u);
    EXPECT_EQ(image->pixels[5], 0x000102u);
    // Off-image writes are dropped and off-image reads give 0, all silently.
    const std::string out = Printed([&] {
        for (auto [x, y] : {std::pair{5, 0}, {-1, 0}, {0, 3}, {0, -1}, {INT32_MIN, INT32_MAX}}) {
            IMGPutPixel(image, x, y, 0xFFFFFF);
            EXPECT_EQ(IMGGetPixel(image, x, y), 0u);
        }
    });
    EXPECT_EQ(out, "");
    int set = 0;
    for (int i = 0; i < 15; ++i) set += image->pixels[i] != 0;
    EXPECT_EQ(set, 2);
    IMGFree(&image);
}

TEST(ImageRecord, MisuseReportsOnceAndReturnsNeutral) {
    EXPECT_EQ(Printed([] { IMGPutPixel(nullptr, 0, 0, 1); }), "IMG error\n");
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGGetPixel(nullptr, 0, 0), 0u); }), "IMG error\n");
    EXPECT_EQ(Printed([] { IMGClear(nullptr); }), "IMG error\n");
    EXPECT_EQ(Printed([] { EXPECT_FALSE(IMGEqual(nullptr, nullptr)); }), "IMG error\n");
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGCopy(nullptr), nullptr); }), "IMG error\n");
    EXPECT_EQ(Printed([] { IMGCopyPixels(nullptr, nullptr); }), "IMG error\n");
    // Reporting off: the same misuse prints nothing.
    testing::internal::CaptureStdout();
    IMGPutPixel(nullptr, 0, 0, 1);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ImageRecord, MissingArrayIsReportedWhereNeeded) {
    IMG* image = IMGNew();
    std::uint32_t* saved = image->pixels;
    image->pixels = nullptr;  // the state a failed allocation in IMGResize leaves
    EXPECT_EQ(Printed([&] { IMGPutPixel(image, 0, 0, 1); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGGetPixel(image, 0, 0), 0u); }), "");
    EXPECT_EQ(Printed([&] { IMGClear(image); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGCopy(image), nullptr); }), "IMG error\n");
    image->pixels = saved;
    IMGFree(&image);
}

TEST(ImageRecord, EqualComparesShapeAndWords) {
    IMG* a = IMGNew();
    IMG* b = IMGNew();
    IMGResize(a, 0, 0);
    IMGResize(b, 0, 0);
    EXPECT_TRUE(IMGEqual(a, b));
    IMGResize(a, 2, 8);
    IMGResize(b, 4, 4);
    EXPECT_FALSE(IMGEqual(a, b));  // same words, different shape
    IMGResize(b, 2, 8);
    IMGPutPixel(a, 1, 7, 3);
    EXPECT_FALSE(IMGEqual(a, b));
    IMGPutPixel(b, 1, 7, 3);
    EXPECT_EQ(Printed([&] { EXPECT_TRUE(IMGEqual(a, b)); }), "");
    IMGFree(&a);
    IMGFree(&b);
}

TEST(ImageRecord, CopyAndCopyPixels) {
    IMG* source = IMGNew();
    IMGResize(source, 2, 8);
    for (int i = 0; i < 16; ++i) source->pixels[i] = 0x01000000u * i + i;
    IMG* copy = IMGCopy(source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->pixels, source->pixels);
    EXPECT_TRUE(IMGEqual(source, copy));

    IMG* square = IMGNew();
    IMGResize(square, 4, 4);
    IMGPutPixel(square, 0, 0, 0xABCDEF);
    EXPECT_EQ(Printed([&] { IMGCopyPixels(source, square); }), "IMG error\n");
    EXPECT_EQ(IMGGetPixel(square, 0, 0), 0xABCDEFu);
    EXPECT_EQ(IMGGetPixel(square, 1, 0), 0u);

    IMGClear(copy);
    EXPECT_TRUE(AllZero(copy));
    IMGCopyPixels(source, copy);
    EXPECT_TRUE(IMGEqual(source, copy));
    IMGFree(&source);
    IMGFree(&copy);
    IMGFree(&square);
}
