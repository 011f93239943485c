// The compiled-in colour pictures: their file form, their sizes, and black
// exactly where the show looks through them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "demo/demo.h"
#include "img/img.h"
#include "netpbm_header.h"

namespace {

// What a picture's black pixels must look like.
enum class Black {
    Background,  // drawn transparently: black corners, and something on them
    None,        // drawn opaque: no pixel may be black
    Corners,     // black corners (the logotype's board sits inside them)
};

struct Picture {
    const char* name;
    const unsigned char* data;
    std::size_t size;
    long width;
    long height;
    Black black;
};

std::vector<Picture> pictures() {
    return {
        {"sprite-v", asset_sprite_v, asset_sprite_v_size, 64, 64, Black::Background},
        {"sprite-e", asset_sprite_e, asset_sprite_e_size, 64, 64, Black::Background},
        {"sprite-l", asset_sprite_l, asset_sprite_l_size, 64, 64, Black::Background},
        {"sprite-m", asset_sprite_m, asset_sprite_m_size, 64, 64, Black::Background},
        {"logo-bottom", asset_logo_bottom, asset_logo_bottom_size, 128, 32, Black::None},
        {"logo-top", asset_logo_top, asset_logo_top_size, 160, 32, Black::None},
        {"banner", asset_banner, asset_banner_size, 64, 16, Black::Background},
        {"emblem", asset_emblem, asset_emblem_size, 32, 32, Black::Background},
        {"logotype", asset_logotype, asset_logotype_size, 256, 200, Black::Corners},
    };
}

}  // namespace

// Raw P6, 1 to 4 comment lines, the listed size, maxval 255, and exactly the
// pixel bytes after the header (nothing missing, nothing trailing).
TEST(AssetPictures, HeadersHaveTheKeptForm) {
    for (const Picture& p : pictures()) {
        SCOPED_TRACE(p.name);
        const NetpbmHeader h = readNetpbmHeader(p.data, p.size);
        ASSERT_TRUE(h.ok);
        EXPECT_EQ(h.magic, "P6");
        EXPECT_GE(h.comments, 1);
        EXPECT_LE(h.comments, 4);
        EXPECT_EQ(h.width, p.width);
        EXPECT_EQ(h.height, p.height);
        EXPECT_EQ(h.maxval, 255);
        EXPECT_EQ(h.dataSize, netpbmExpectedData(h));
        EXPECT_EQ(p.data[p.size], 0) << "embedded arrays end in one extra 0";
    }
}

// The show's decoder accepts every picture at its size, with the top byte of
// every word clear.
TEST(AssetPictures, DecodeToTheirSizes) {
    for (const Picture& p : pictures()) {
        SCOPED_TRACE(p.name);
        IMG* image = IMGFromPPM(p.data, p.size);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, p.width);
        EXPECT_EQ(image->height, p.height);
        std::uint32_t high = 0;
        for (std::int64_t i = 0; i < std::int64_t{image->width} * image->height; ++i) {
            high |= image->pixels[i] & 0xFF000000u;
        }
        EXPECT_EQ(high, 0u);
        IMGFree(&image);
    }
}

// Transparently drawn pictures show black around their art; opaque logos have
// no black pixel at all, since black would punch holes wherever they are
// copied transparently; the logotype's corners are black.
TEST(AssetPictures, BlackWhereTheShowSeesThrough) {
    for (const Picture& p : pictures()) {
        SCOPED_TRACE(p.name);
        IMG* image = IMGFromPPM(p.data, p.size);
        ASSERT_NE(image, nullptr);
        const std::int32_t w = image->width;
        const std::int32_t h = image->height;
        std::int64_t blackCount = 0;
        for (std::int64_t i = 0; i < std::int64_t{w} * h; ++i) {
            blackCount += image->pixels[i] == 0 ? 1 : 0;
        }
        const bool cornersBlack = IMGGetPixel(image, 0, 0) == 0 && IMGGetPixel(image, w - 1, 0) == 0 &&
                                  IMGGetPixel(image, 0, h - 1) == 0 &&
                                  IMGGetPixel(image, w - 1, h - 1) == 0;
        switch (p.black) {
            case Black::Background:
            case Black::Corners:
                EXPECT_TRUE(cornersBlack);
                EXPECT_LT(blackCount, std::int64_t{w} * h) << "nothing drawn on the black";
                if (p.black == Black::Background) {  // letters: a fair share of art and of black
                    EXPECT_GT(blackCount, std::int64_t{w} * h / 5);
                    EXPECT_LT(blackCount, std::int64_t{w} * h * 4 / 5);
                }
                break;
            case Black::None:
                EXPECT_EQ(blackCount, 0);
                break;
        }
        IMGFree(&image);
    }
}

TEST(AssetPictures, BannerGreyAndEmblemFireColours) {
    IMG* banner = IMGFromPPM(asset_banner, asset_banner_size);
    IMG* emblem = IMGFromPPM(asset_emblem, asset_emblem_size);
    ASSERT_NE(banner, nullptr);
    ASSERT_NE(emblem, nullptr);
    for (std::int32_t i = 0; i < banner->width * banner->height; ++i) {
        const std::uint32_t p = banner->pixels[i];
        EXPECT_TRUE((p >> 16) == ((p >> 8) & 0xFF) && (p >> 16) == (p & 0xFF)) << std::hex << p;
    }
    // Red, orange and yellow: red leads, green follows, hardly any blue.
    for (std::int32_t i = 0; i < emblem->width * emblem->height; ++i) {
        const std::uint32_t p = emblem->pixels[i];
        const std::uint32_t r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_TRUE(r >= g && g >= b) << std::hex << p;
    }
    IMGFree(&banner);
    IMGFree(&emblem);
}

TEST(AssetPictures, LogotypeBlackOnlyAroundTheBoard) {
    IMG* image = IMGFromPPM(asset_logotype, asset_logotype_size);
    ASSERT_NE(image, nullptr);
    const std::int32_t w = image->width;
    const std::int32_t h = image->height;
    // Rows the show draws over the logos stay clear so the logos show through.
    for (std::int32_t y : {0, 14, 186, 199}) {
        for (std::int32_t x = 0; x < w; ++x) {
            ASSERT_EQ(IMGGetPixel(image, x, y), 0u) << x << "," << y;
        }
    }
    // Every black pixel is reachable from the border through black pixels:
    // none sits inside the board as an accidental see-through hole.
    std::vector<char> seen(static_cast<std::size_t>(w * h), 0);
    std::vector<std::int32_t> stack;
    for (std::int32_t x = 0; x < w; ++x) {
        stack.push_back(x);
        stack.push_back((h - 1) * w + x);
    }
    for (std::int32_t y = 0; y < h; ++y) {
        stack.push_back(y * w);
        stack.push_back(y * w + w - 1);
    }
    int reached = 0;
    while (!stack.empty()) {
        const std::int32_t i = stack.back();
        stack.pop_back();
        if (seen[static_cast<std::size_t>(i)] != 0 || image->pixels[i] != 0) {
            continue;
        }
        seen[static_cast<std::size_t>(i)] = 1;
        ++reached;
        const std::int32_t x = i % w;
        const std::int32_t y = i / w;
        if (x > 0) stack.push_back(i - 1);
        if (x + 1 < w) stack.push_back(i + 1);
        if (y > 0) stack.push_back(i - w);
        if (y + 1 < h) stack.push_back(i + w);
    }
    std::int32_t black = 0;
    for (std::int32_t i = 0; i < w * h; ++i) black += image->pixels[i] == 0 ? 1 : 0;
    EXPECT_EQ(reached, black);
    EXPECT_GT(w * h - reached, w * h / 2);  // the board fills most of the picture
    IMGFree(&image);
}
