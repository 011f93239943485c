// The text form: exact layout, reading back, markers, and text that ends early.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Printed;

std::string TextOf(const IMG* image) {
    char* text = IMGToText(image);
    std::string s = text != nullptr ? text : "<null>";
    std::free(text);
    return s;
}

}  // namespace

TEST(ToText, LayoutSixPixelsToALine) {
    IMG* image = IMGNew();
    IMGResize(image, 2, 1);
    image->pixels[0] = 0xFF0000;
    image->pixels[1] = 0xAB000A0B;  // top byte is not part of the text
    EXPECT_EQ(TextOf(image), "IMG{\nP3\n2 1\n255\n255   0   0   0  10  11\n}\n");

    IMGResize(image, 7, 1);
    for (int i = 0; i < 7; ++i) image->pixels[i] = static_cast<std::uint32_t>(i);
    const std::string header = "IMG{\nP3\n7 1\n255\n";
    const std::string text = TextOf(image);
    EXPECT_EQ(text.size(), header.size() + 12 * 7 + 2);
    EXPECT_EQ(text.substr(header.size()),
              "  0   0   0   0   0   1   0   0   2   0   0   3   0   0   4   0   0   5\n"
              "  0   0   6\n}\n");

    IMGResize(image, 6, 2);  // the line break and the final newline fall together
    const std::string twelve = TextOf(image);
    EXPECT_EQ(twelve.size(), std::string("IMG{\nP3\n6 2\n255\n").size() + 12 * 12 + 2);
    EXPECT_EQ(twelve.substr(twelve.size() - 6), "  0\n}\n");

    IMGResize(image, 0, 0);
    EXPECT_EQ(TextOf(image), "IMG{}");
    IMGResize(image, 5, 0);
    EXPECT_EQ(TextOf(image), "IMG{}");
    IMGFree(&image);
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGToText(nullptr), nullptr); }), "IMG error\n");
}

TEST(FromText, ReadsBackWhatToTextWrote) {
    IMG* image = IMGNew();
    IMGResize(image, 13, 5);
    for (int i = 0; i < 65; ++i) image->pixels[i] = (static_cast<std::uint32_t>(i) * 0x9E3779B1u) & 0xFFFFFF;
    char* text = IMGToText(image);
    IMG* back = IMGFromText(text);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(IMGEqual(image, back));
    std::free(text);
    IMGFree(&back);
    IMGFree(&image);
}

TEST(FromText, MarkersAreFoundInOrderAmidOtherText) {
    IMG* image = IMGFromText("junk { P3\n IMG and then { and P3\n2 1 255\n1,2,3;4 5 6 } ignored 9 9 9");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->pixels[0], 0x010203u);
    EXPECT_EQ(image->pixels[1], 0x040506u);
    IMGFree(&image);
    for (const char* refused : {"IMG{}", "{P3\n1 1 255 1 2 3", "IMG P3\n1 1 255 1 2 3", "IMG{P3 1 1 255", ""}) {
        EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGFromText(refused), nullptr); }), "IMG error\n") << refused;
    }
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGFromText(nullptr), nullptr); }), "IMG error\n");
}

TEST(FromText, StopsAtTheEndOfTheTextAndRefusesHugeSizes) {
    // Samples missing before the NUL leave pixels 0; a half pixel is not stored.
    IMG* image = nullptr;
    EXPECT_EQ(Printed([&] { image = IMGFromText("IMG{\nP3\n3 1\n255\n1 2 3 4 5"); }), "");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixels[0], 0x010203u);
    EXPECT_EQ(image->pixels[1], 0u);
    EXPECT_EQ(image->pixels[2], 0u);
    IMGFree(&image);
    // The text may end inside the header: the separators are not stepped over the NUL.
    image = IMGFromText("IMG{P3\n2");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 0);
    IMGFree(&image);
    // Samples above 255 spill into the next channel, as in the plain decoder.
    image = IMGFromText("IMG{P3\n1 1 255\n256 0 1");
    EXPECT_EQ(image->pixels[0], 0x01000001u);
    IMGFree(&image);
    for (const char* refused : {"IMG{P3\n99999999999 1 255\n", "IMG{P3\n65536 65536 255\n", "IMG{P3\n1 4294967297 255\n"}) {
        EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGFromText(refused), nullptr); }), "IMG error\n") << refused;
    }
}

TEST(FindText, IndexJustPastTheFirstOccurrence) {
    EXPECT_EQ(IMGFindText("xyabc", "abc"), 5u);
    EXPECT_EQ(IMGFindText("aabc", "abc"), 4u);  // a false start just before the marker
    EXPECT_EQ(IMGFindText("abcabc", "abc"), 3u);
    EXPECT_EQ(IMGFindText("xyab", "abc"), 0u);
    EXPECT_EQ(IMGFindText("", "a"), 0u);
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGFindText("abc", ""), 0u); }), "");
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGFindText(nullptr, "a"), 0u); }), "IMG error\n");
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGFindText("a", nullptr), 0u); }), "IMG error\n");
}
