// Shared by the unit tests: files read back whole, PNG files decoded.
#pragma once

#include <png.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testout {

// The file's bytes; empty when it cannot be read.
inline std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

// A PNG file decoded to 0x00RRGGBB words; empty when it does not decode.
inline std::vector<std::uint32_t> ReadPNG(const std::string& path, int* w, int* h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint32_t> words;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return words;
    image.format = PNG_FORMAT_BGRA;
    words.resize(PNG_IMAGE_SIZE(image) / 4);
    if (png_image_finish_read(&image, nullptr, words.data(), 0, nullptr) == 0) return {};
    *w = static_cast<int>(image.width);
    *h = static_cast<int>(image.height);
    for (auto& word : words) word &= 0x00FFFFFFu;
    return words;
}

}  // namespace testout
