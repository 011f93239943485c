// Reference drawing for frame tests: plain per-pixel loops, written apart from
// the image module, so that a test frame is built from the show's own numbers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "img/img.h"

namespace showtest {

// A 256 x 256 (or any size) picture owned by the test.
struct Frame {
    std::int32_t width, height;
    std::vector<std::uint32_t> pixels;
    Frame(std::int32_t w, std::int32_t h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0) {}
    std::uint32_t& at(std::int32_t x, std::int32_t y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    IMG view() { return IMG{width, height, pixels.data()}; }
};

inline std::uint32_t PixelOf(const IMG* image, std::int32_t x, std::int32_t y) {
    return image->pixels[static_cast<std::size_t>(y) * image->width + x];
}

// Transparent copy of a whole image with its top-left at (x, y), clipped.
inline void Paste(const IMG* image, Frame& f, std::int32_t x, std::int32_t y) {
    for (std::int32_t j = 0; j < image->height; ++j)
        for (std::int32_t i = 0; i < image->width; ++i) {
            const std::uint32_t s = PixelOf(image, i, j);
            if (s != 0 && x + i >= 0 && x + i < f.width && y + j >= 0 && y + j < f.height) f.at(x + i, y + j) = s;
        }
}

// Half-and-half blend of a whole image, black pixels left out, clipped.
inline void Blend(const IMG* image, Frame& f, std::int32_t x, std::int32_t y) {
    for (std::int32_t j = 0; j < image->height; ++j)
        for (std::int32_t i = 0; i < image->width; ++i) {
            const std::uint32_t s = PixelOf(image, i, j);
            if (s == 0 || x + i < 0 || x + i >= f.width || y + j < 0 || y + j >= f.height) continue;
            std::uint32_t& d = f.at(x + i, y + j);
            d = ((s >> 1) & 0x7F7F7F) + ((d >> 1) & 0x7F7F7F);
        }
}

// Every pixel of the image equals the frame's; the first difference is named.
inline testing::AssertionResult SameFrame(const IMG* image, const Frame& f) {
    if (image->width != f.width || image->height != f.height) return testing::AssertionFailure() << "size differs";
    for (std::int32_t y = 0; y < f.height; ++y)
        for (std::int32_t x = 0; x < f.width; ++x) {
            const std::uint32_t got = PixelOf(image, x, y);
            const std::uint32_t want = f.pixels[static_cast<std::size_t>(y) * f.width + x];
            if (got != want)
                return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << got
                                                   << ", expected 0x" << want;
        }
    return testing::AssertionSuccess();
}

}  // namespace showtest
