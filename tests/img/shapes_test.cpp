// Rectangles, circles, line point lists and rotation.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Make;
using imgtest::Printed;
using imgtest::Words;

std::vector<std::pair<std::int32_t, std::int32_t>> Line(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                                        std::int32_t y1) {
    std::int32_t* list = IMGLinePoints(x0, y0, x1, y1);
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
    for (std::int32_t i = 1; list != nullptr && i < list[0]; i += 2) points.emplace_back(list[i], list[i + 1]);
    std::free(list);
    return points;
}

using P = std::vector<std::pair<std::int32_t, std::int32_t>>;

}  // namespace

TEST(Shapes, RectanglesDrawWhollyInsideOrNotAtAll) {
    IMG* image = Make(10, 10);
    IMGFillRect(image, 8, 8, 2, 2, 5);
    for (std::int32_t y = 0; y < 10; ++y) {
        for (std::int32_t x = 0; x < 10; ++x) EXPECT_EQ(IMGGetPixel(image, x, y), x >= 8 && y >= 8 ? 5u : 0u);
    }
    const std::vector<std::uint32_t> before = Words(image);
    const std::string one = "IMG error\n";
    EXPECT_EQ(Printed([&] { IMGFillRect(image, 8, 8, 3, 2, 7); }), one);
    EXPECT_EQ(Printed([&] { IMGFillRect(image, 5, 0, INT32_MAX, 1, 7); }), one);  // x + w overflows int32
    EXPECT_EQ(Printed([&] { IMGDrawRect(image, 0, 5, 1, INT32_MAX, 7); }), one);
    EXPECT_EQ(Printed([&] { IMGDrawRect(image, -1, 0, 2, 2, 7); }), one);
    EXPECT_EQ(Printed([&] { IMGFillRect(image, 0, 0, 0, 2, 7); }), one);
    EXPECT_EQ(Words(image), before);

    IMG* small = Make(3, 3);
    IMGDrawRect(small, 0, 0, 3, 3, 1);
    EXPECT_EQ(Words(small), (std::vector<std::uint32_t>{1, 1, 1, 1, 0, 1, 1, 1, 1}));
    IMGClear(small);
    IMGDrawRect(small, 1, 0, 1, 3, 2);  // one wide: a single column
    EXPECT_EQ(Words(small), (std::vector<std::uint32_t>{0, 2, 0, 0, 2, 0, 0, 2, 0}));
    IMGFree(&image);
    IMGFree(&small);
}

TEST(Shapes, CircleIsSymmetricAndSurvivesHugeRadii) {
    IMG* image = Make(9, 9);
    IMGDrawCircle(image, 4, 4, 1, 3);
    std::vector<std::uint32_t> two(81, 0);
    two[4 * 9 + 3] = two[4 * 9 + 4] = 3;
    EXPECT_EQ(Words(image), two);

    IMG* big = Make(64, 64);
    IMGDrawCircle(big, 32, 30, 20, 1);
    for (std::int32_t y = 0; y < 64; ++y) {
        for (std::int32_t x = 0; x < 64; ++x) {
            if (IMGGetPixel(big, x, y) == 0) continue;
            EXPECT_EQ(IMGGetPixel(big, 63 - x, y), 1u) << x << "," << y;  // about column 31.5
            EXPECT_EQ(IMGGetPixel(big, x, 60 - y), 1u) << x << "," << y;  // about row 30
        }
    }
    EXPECT_EQ(IMGGetPixel(big, 50, 30), 1u);  // widest points: dx = (32766 * 20) >> 15 = 19
    EXPECT_EQ(IMGGetPixel(big, 13, 30), 1u);

    EXPECT_EQ(Printed([&] { IMGDrawCircle(big, 5, 5, INT32_MAX, 1); }), "");  // all off the image
    EXPECT_EQ(Printed([&] { IMGDrawCircle(image, 9, 4, 2, 1); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { IMGDrawCircle(image, 4, 4, 0, 1); }), "IMG error\n");
    EXPECT_EQ(Words(image), two);
    IMGFree(&image);
    IMGFree(&big);
}

TEST(Lines, ExamplesAndEndPoints) {
    EXPECT_EQ(Line(0, 0, 5, 2), (P{{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(Line(0, 0, 2, 5), (P{{0, 0}, {1, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
    EXPECT_EQ(Line(5, 2, 0, 0), (P{{5, 2}, {4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}));
    EXPECT_EQ(Line(3, 3, 3, 3), (P{{3, 3}}));
    // One-step lines along an axis end on their end point and do not step sideways.
    EXPECT_EQ(Line(0, 0, 1, 0), (P{{0, 0}, {1, 0}}));
    EXPECT_EQ(Line(0, 0, 0, 1), (P{{0, 0}, {0, 1}}));
    EXPECT_EQ(Line(4, 4, 3, 4), (P{{4, 4}, {3, 4}}));
    std::int32_t* list = IMGLinePoints(3, 3, 3, 3);
    EXPECT_EQ(list[0], 2);
    std::free(list);
}

TEST(Lines, EveryLineStepsOnceOnItsMajorAxisAndEndsOnTheEndPoint) {
    std::mt19937 rng(11);
    for (int round = 0; round < 2000; ++round) {
        const std::int32_t base = round % 2 ? INT32_MAX - 40 : INT32_MIN;  // near the ends of int32
        const std::int32_t x0 = base + static_cast<std::int32_t>(rng() % 41), y0 = base + static_cast<std::int32_t>(rng() % 41);
        const std::int32_t x1 = base + static_cast<std::int32_t>(rng() % 41), y1 = base + static_cast<std::int32_t>(rng() % 41);
        const P points = Line(x0, y0, x1, y1);
        const std::int64_t major = std::max(std::llabs(std::int64_t{x1} - x0), std::llabs(std::int64_t{y1} - y0));
        ASSERT_EQ(static_cast<std::int64_t>(points.size()), major + 1);
        EXPECT_EQ(points.front(), std::make_pair(x0, y0));
        EXPECT_EQ(points.back(), std::make_pair(x1, y1)) << x0 << "," << y0 << " " << x1 << "," << y1;
        for (std::size_t i = 1; i < points.size(); ++i) {
            EXPECT_LE(std::llabs(std::int64_t{points[i].first} - points[i - 1].first), 1);
            EXPECT_LE(std::llabs(std::int64_t{points[i].second} - points[i - 1].second), 1);
        }
    }
    // Too many points: one report, null. Long lines at the ends of int32 still work.
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGLinePoints(INT32_MIN, 0, INT32_MAX, 0), nullptr); }), "IMG error\n");
    const std::int32_t tooLong = static_cast<std::int32_t>(IMG_MAX_PIXELS);
    EXPECT_EQ(Printed([=] { EXPECT_EQ(IMGLinePoints(0, 0, tooLong, 3), nullptr); }), "IMG error\n");
    std::int32_t* list = IMGLinePoints(0, INT32_MIN, 1000, INT32_MIN + 1000000);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list[0], 2000002);
    EXPECT_EQ(list[2000001], 1000);
    EXPECT_EQ(list[2000002], INT32_MIN + 1000000);
    std::free(list);
}

TEST(Rotate, SizesAnglesAndCentre) {
    IMG* wide = Make(100, 50);
    IMG* turned = IMGRotate(wide, 0);
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->width, 141);
    EXPECT_EQ(turned->height, 70);
    IMGFree(&turned);

    IMG* square = Make(8, 8);
    for (std::int32_t i = 0; i < 64; ++i) square->pixels[i] = 0x100 + static_cast<std::uint32_t>(i);
    for (std::int32_t angle : {0, 100, 256, 512, 768, -3}) {
        IMG* a = IMGRotate(square, angle);
        IMG* b = IMGRotate(square, angle + 1024);
        IMG* c = IMGRotate(square, angle - 2048);
        ASSERT_TRUE(a && b && c);
        EXPECT_EQ(a->width, 11);
        EXPECT_EQ(a->height, 11);
        EXPECT_TRUE(IMGEqual(a, b));
        EXPECT_TRUE(IMGEqual(a, c));
        EXPECT_EQ(IMGGetPixel(a, 5, 5), IMGGetPixel(square, 4, 4)) << angle;  // centre stays put
        for (IMG* image : {a, b, c}) IMGFree(&image);
    }
    // A marker at the top centre: above the centre (6, 6) at 512, then left,
    // below and right as the angle turns it anticlockwise.
    IMG* marked = Make(9, 9);
    IMGPutPixel(marked, 4, 0, 1);
    const std::pair<std::int32_t, P> marks[] = {
        {512, {{6, 2}, {7, 2}}}, {768, {{2, 6}, {2, 7}}}, {0, {{5, 10}, {6, 10}}}, {256, {{10, 5}, {10, 6}}}};
    for (const auto& [angle, where] : marks) {
        IMG* r = IMGRotate(marked, angle);
        P found;
        for (std::int32_t i = 0; i < r->width * r->height; ++i) {
            if (r->pixels[i] != 0) found.emplace_back(i % r->width, i / r->width);
        }
        EXPECT_EQ(found, where) << angle;
        IMGFree(&r);
    }
    IMGFree(&marked);

    IMG* a = IMGRotate(square, INT32_MIN);  // INT32_MIN is 0 modulo 1024
    IMG* b = IMGRotate(square, 0);
    EXPECT_TRUE(IMGEqual(a, b));
    IMGFree(&a);
    IMGFree(&b);

    // Results beyond IMG_MAX_PIXELS or a 32-bit side are refused; the source is not read.
    std::uint32_t word = 0;
    IMG huge{8192, 8192, &word};
    IMG longest{INT32_MAX, 0, &word};
    EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGRotate(&huge, 0), nullptr); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGRotate(&longest, 0), nullptr); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGRotate(nullptr, 0), nullptr); }), "IMG error\n");
    IMGFree(&wide);
    IMGFree(&square);
}
