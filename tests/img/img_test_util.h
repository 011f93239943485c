// Helpers shared by the image tests: building images, reading their words
// back, and capturing the report lines an action prints.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "img/img.h"

namespace imgtest {

// Runs an action with reporting on and returns what it printed.
template <typename F>
std::string Printed(F action) {
    IMGSetReportErrors(true);
    testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    IMGSetReportErrors(false);
    return out;
}

// A black w x h image whose first pixels, in reading order, are the given words.
inline IMG* Make(std::int32_t w, std::int32_t h, const std::vector<std::uint32_t>& words = {}) {
    IMG* image = IMGNew();
    IMGResize(image, w, h);
    const std::size_t room = static_cast<std::size_t>(std::int64_t{image->width} * image->height);
    std::copy_n(words.begin(), std::min(words.size(), room), image->pixels);
    return image;
}

// A w x h image counting up from first in reading order.
inline IMG* MakeCounting(std::int32_t w, std::int32_t h, std::uint32_t first) {
    IMG* image = Make(w, h);
    for (std::int64_t i = 0; i < std::int64_t{image->width} * image->height; ++i) {
        image->pixels[i] = first + static_cast<std::uint32_t>(i);
    }
    return image;
}

// Every pixel word of an image in reading order.
inline std::vector<std::uint32_t> Words(const IMG* image) {
    return {image->pixels, image->pixels + std::int64_t{image->width} * image->height};
}

}  // namespace imgtest
