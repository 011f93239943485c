// Helpers shared by the image tests: building images, reading their words
// back, capturing the report lines an action prints, and files in a private
// scratch directory.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "img/img.h"
#include "tests/printed.h"

namespace imgtest {

// Runs an action with reporting on and returns what it printed.
template <typename F>
std::string Printed(F action) {
    return testout::Printed(action, IMGSetReportErrors);
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

// The whole file's bytes; empty when it cannot be opened.
inline std::string ReadFile(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

// The bytes as the whole file at path.
inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A fixture with a private directory under /tmp (dir_), removed with
// everything in it when the test ends.
class ScratchDir : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velm_img_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    std::string dir_;
};

}  // namespace imgtest
