// Rectangle copies, blend and spaced copy: clipping against an independent
// per-pixel model over extreme placements, the combinations, the loop order
// where source and destination are one image, and the reports.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Make;
using imgtest::MakeCounting;
using imgtest::Printed;
using imgtest::Words;

constexpr std::int32_t kMin = INT32_MIN, kMax = INT32_MAX;

// What a rectangle copy must leave: walks the destination and asks, per pixel,
// which source pixel (if any) lands there. Shares nothing with the clipper.
template <typename Combine>
std::vector<std::uint32_t> Model(const IMG* s, const IMG* d, std::int64_t sx, std::int64_t sy, std::int64_t dx,
                                 std::int64_t dy, std::int64_t w, std::int64_t h, std::int64_t fx, std::int64_t fy,
                                 Combine combine) {
    std::vector<std::uint32_t> out(d->pixels, d->pixels + d->width * d->height);
    for (std::int64_t y = 0; y < d->height; ++y) {
        for (std::int64_t x = 0; x < d->width; ++x) {
            if ((x - dx) % fx != 0 || (y - dy) % fy != 0) continue;
            const std::int64_t j = (x - dx) / fx, i = (y - dy) / fy;
            if (j < 0 || j >= w || i < 0 || i >= h) continue;
            const std::int64_t px = sx + j, py = sy + i;
            if (px < 0 || py < 0 || px >= s->width || py >= s->height) continue;
            std::uint32_t& word = out[y * d->width + x];
            word = combine(s->pixels[py * s->width + px], word);
        }
    }
    return out;
}

}  // namespace

TEST(Blit, ClipsLikeThePerPixelModelForExtremePlacements) {
    const std::int32_t values[] = {kMin, kMin + 1, -70, -64, -10, -5, -1, 0, 1, 3, 10, 63, 64, 300, kMax - 1, kMax};
    std::mt19937 rng(7);
    auto pick = [&] { return values[rng() % std::size(values)]; };
    IMG* sprite = MakeCounting(64, 40, 0x10000);
    for (std::int32_t i = 0; i < 64 * 40; i += 7) sprite->pixels[i] = 0;  // transparent holes
    IMG* dest = MakeCounting(80, 50, 0x500000);
    auto keep = [](std::uint32_t s, std::uint32_t d) { return s != 0 ? s : d; };
    auto opaque = [](std::uint32_t s, std::uint32_t) { return s; };
    auto add = [](std::uint32_t s, std::uint32_t d) { return d + s; };
    for (int round = 0; round < 3000; ++round) {
        const std::int32_t sx = pick(), sy = pick(), dx = pick(), dy = pick(), w = pick(), h = pick();
        SCOPED_TRACE(testing::Message() << sx << "," << sy << " -> " << dx << "," << dy << " " << w << "x" << h);
        std::string out = Printed([&] {
            auto want = Model(sprite, dest, sx, sy, dx, dy, w, h, 1, 1, keep);
            IMGBlit(sprite, dest, sx, sy, dx, dy, w, h);
            ASSERT_EQ(Words(dest), want);
            want = Model(sprite, dest, sx, sy, dx, dy, w, h, 1, 1, add);
            IMGBlitAdd(sprite, dest, sx, sy, dx, dy, w, h);
            ASSERT_EQ(Words(dest), want);
            want = Model(sprite, dest, sx, sy, dx, dy, w, h, 1, 1, opaque);
            IMGBlitOpaque(sprite, dest, sx, sy, dx, dy, w, h);
            ASSERT_EQ(Words(dest), want);
            const std::int32_t fx = 1 + static_cast<std::int32_t>(rng() % 4), fy = round % 2 ? 1 : kMax - round;
            want = Model(sprite, dest, sx, sy, dx, dy, w, h, fx, fy, keep);
            IMGBlitSpaced(sprite, dest, sx, sy, dx, dy, w, h, fx, fy);
            ASSERT_EQ(Words(dest), want);
        });
        EXPECT_EQ(out, "");  // clipping never reports
        if (HasFatalFailure()) break;
    }
    IMGFree(&sprite);
    IMGFree(&dest);
}

TEST(Blit, CornerPlacementsAndCombinations) {
    IMG* sprite = MakeCounting(64, 64, 1);
    IMG* dest = Make(320, 200);
    IMGBlit(sprite, dest, 0, 0, -10, -20, 64, 64);
    EXPECT_EQ(IMGGetPixel(dest, 0, 0), IMGGetPixel(sprite, 10, 20));
    EXPECT_EQ(IMGGetPixel(dest, 53, 43), IMGGetPixel(sprite, 63, 63));
    EXPECT_EQ(IMGGetPixel(dest, 54, 0), 0u);
    IMGBlit(sprite, dest, -5, 0, 100, 100, 10, 1);  // only the right five columns, five to the right
    EXPECT_EQ(IMGGetPixel(dest, 104, 100), 0u);
    EXPECT_EQ(IMGGetPixel(dest, 105, 100), IMGGetPixel(sprite, 0, 0));
    EXPECT_EQ(IMGGetPixel(dest, 109, 100), IMGGetPixel(sprite, 4, 0));
    EXPECT_EQ(IMGGetPixel(dest, 110, 100), 0u);

    IMG* one = Make(1, 1);
    IMG* target = Make(1, 1);
    auto run = [&](void (*op)(const IMG*, IMG*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                              std::int32_t, std::int32_t),
                   std::uint32_t s, std::uint32_t d) {
        one->pixels[0] = s;
        target->pixels[0] = d;
        op(one, target, 0, 0, 0, 0, 1, 1);
        return target->pixels[0];
    };
    EXPECT_EQ(run(IMGBlit, 0, 0x123456), 0x123456u);
    EXPECT_EQ(run(IMGBlit, 0x010101, 0x123456), 0x010101u);
    EXPECT_EQ(run(IMGBlitOpaque, 0, 0x123456), 0u);
    EXPECT_EQ(run(IMGBlitAdd, 0x000080, 0x000080), 0x000100u);
    EXPECT_EQ(run(IMGBlitAdd, 0xFF0000, 0xFF0000), 0x01FE0000u);
    EXPECT_EQ(run(IMGBlitAdd, 0xFFFFFFFF, 2), 1u);  // wraps modulo 2^32
    for (IMG* image : {sprite, dest, one, target}) IMGFree(&image);
}

TEST(Blit, OneImageIsWalkedInTheFixedOrder) {
    // Rectangle copies go left to right: copying a row one step right smears its first word.
    IMG* row = MakeCounting(4, 1, 1);
    IMGBlitOpaque(row, row, 0, 0, 1, 0, 3, 1);
    EXPECT_EQ(Words(row), (std::vector<std::uint32_t>{1, 1, 1, 1}));
    // The blend goes right to left, so each source word is read before it is overwritten.
    row->pixels[0] = 0x80, row->pixels[1] = 0x40, row->pixels[2] = 0x20, row->pixels[3] = 0x10;
    IMGBlend(row, row, 1, 0);
    EXPECT_EQ(Words(row), (std::vector<std::uint32_t>{0x80, 0x60, 0x30, 0x18}));
    IMGFree(&row);
}

TEST(Blend, HalvesBothAndSkipsZeroAndClips) {
    IMG* s = Make(2, 2);
    s->pixels[0] = 0xFFFFFF, s->pixels[1] = 0xFFFFFF, s->pixels[2] = 0, s->pixels[3] = 0xFF010101;
    IMG* d = Make(3, 3);
    d->pixels[0] = 0, d->pixels[1] = 0xFFFFFF, d->pixels[3] = 0x77, d->pixels[4] = 0x010101;
    IMGBlend(s, d, 0, 0);
    EXPECT_EQ(d->pixels[0], 0x7F7F7Fu);
    EXPECT_EQ(d->pixels[1], 0xFEFEFEu);
    EXPECT_EQ(d->pixels[3], 0x77u);        // source 0 leaves it
    EXPECT_EQ(d->pixels[4], 0u);           // 1 with 1 gives 0; the top byte is dropped
    IMGBlend(s, d, -1, 2);                 // only source (1, 0) lands, at (0, 2)
    EXPECT_EQ(d->pixels[6], 0x7F7F7Fu);
    EXPECT_EQ(d->pixels[7], 0u);
    const std::vector<std::uint32_t> before = Words(d);
    EXPECT_EQ(Printed([&] {
                  for (std::int32_t p : {kMin, kMax, -2, 3}) {
                      IMGBlend(s, d, p, 0);
                      IMGBlend(s, d, 0, p);
                  }
              }),
              "");
    EXPECT_EQ(Words(d), before);
    IMGFree(&s);
    IMGFree(&d);
}

TEST(BlitSpaced, PutsSourcePixelsOnTheGrid) {
    IMG* s = MakeCounting(3, 1, 1);
    IMG* d = Make(6, 1);
    IMGBlitSpaced(s, d, 0, 0, 1, 0, 3, 1, 2, 2);
    EXPECT_EQ(Words(d), (std::vector<std::uint32_t>{0, 1, 0, 2, 0, 3}));
    IMGClear(d);
    IMGBlitSpaced(s, d, 0, 0, -1, 0, 3, 1, 2, 2);
    EXPECT_EQ(Words(d), (std::vector<std::uint32_t>{0, 2, 0, 3, 0, 0}));
    IMGFree(&s);
    IMGFree(&d);
}

TEST(Blit, MisuseReportsOnceAndChangesNothing) {
    IMG* s = MakeCounting(2, 2, 1);
    IMG* d = Make(2, 2);
    IMG bare{2, 2, nullptr};
    const std::string one = "IMG error\n";
    EXPECT_EQ(Printed([&] { IMGBlit(nullptr, d, 0, 0, 0, 0, 2, 2); }), one);
    EXPECT_EQ(Printed([&] { IMGBlitOpaque(s, nullptr, 0, 0, 0, 0, 2, 2); }), one);
    EXPECT_EQ(Printed([&] { IMGBlitAdd(&bare, d, 0, 0, 0, 0, 2, 2); }), one);
    EXPECT_EQ(Printed([&] { IMGBlend(s, &bare, 0, 0); }), one);
    EXPECT_EQ(Printed([&] { IMGBlitSpaced(s, d, 0, 0, 0, 0, 2, 2, 0, 1); }), one);
    EXPECT_EQ(Printed([&] { IMGBlitSpaced(s, d, 0, 0, 0, 0, 2, 2, 1, kMin); }), one);
    EXPECT_EQ(Words(d), (std::vector<std::uint32_t>{0, 0, 0, 0}));
    IMGFree(&s);
    IMGFree(&d);
}
