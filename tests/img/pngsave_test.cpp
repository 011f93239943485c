// PNG writing: images' words and packed bytes give the same 8-bit RGB picture
// (read back with libpng), and what cannot be written is refused with one
// report, errno set where a file was tried, and no file left behind.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Printed;

// A PNG file decoded to 0x00RRGGBB words; empty when it does not decode.
std::vector<std::uint32_t> ReadPNG(const std::string& path, int* w, int* h) {
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

using SavePNG = imgtest::ScratchDir;

}  // namespace

TEST_F(SavePNG, WordsAndPackedBytesGiveTheSamePicture) {
    const std::vector<std::uint32_t> words = {0x00FF0000u, 0x0000FF00u, 0x000000FFu,
                                              0x00123456u, 0x00000000u, 0x00FFFFFFu};
    IMG* image = imgtest::Make(3, 2, words);
    image->pixels[4] = 0xAB000000u;  // the top byte is not written
    std::vector<unsigned char> bytes;
    for (const std::uint32_t word : words) {
        for (const int shift : {16, 8, 0}) bytes.push_back(static_cast<unsigned char>(word >> shift));
    }
    const std::string fromWords = dir_ + "/words.png";
    const std::string fromBytes = dir_ + "/bytes.png";
    ASSERT_TRUE(IMGSavePNG(image, fromWords.c_str()));
    ASSERT_TRUE(IMGSavePNGBytes(bytes.data(), 3, 2, fromBytes.c_str()));
    int w = 0;
    int h = 0;
    EXPECT_EQ(ReadPNG(fromWords, &w, &h), words);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(ReadPNG(fromBytes, &w, &h), words);
    IMGFree(&image);
}

TEST_F(SavePNG, RefusesWhatItCannotWriteWithOneReportAndNoFile) {
    std::uint32_t word = 0x00123456u;
    IMG one{1, 1, &word};
    IMG empty{0, 0, &word};
    IMG noPixels{1, 1, nullptr};
    const std::string path = dir_ + "/never.png";
    const std::string noFolder = dir_ + "/no/such/folder.png";
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&word);
    struct Case {
        const char* what;
        bool (*save)(IMG*, const unsigned char*, const char*);
        IMG* image;
        const unsigned char* rgb;
        const char* target;
        int error;  // errno after the failure, 0 where no file was tried
    };
    const auto words = [](IMG* image, const unsigned char*, const char* to) { return IMGSavePNG(image, to); };
    const auto packed = [](IMG* image, const unsigned char* rgb, const char* to) {
        return IMGSavePNGBytes(rgb, image->width, image->height, to);
    };
    const std::vector<Case> cases = {
        {"no image", words, nullptr, nullptr, path.c_str(), 0},
        {"an empty image", words, &empty, nullptr, path.c_str(), 0},
        {"an image without pixels", words, &noPixels, nullptr, path.c_str(), 0},
        {"no path", words, &one, nullptr, nullptr, 0},
        {"a missing folder", words, &one, nullptr, noFolder.c_str(), ENOENT},
        {"no width", packed, &empty, bytes, path.c_str(), 0},
        {"no bytes", packed, &one, nullptr, path.c_str(), 0},
        {"bytes into a missing folder", packed, &one, bytes, noFolder.c_str(), ENOENT},
    };
    for (const Case& c : cases) {
        int error = 0;
        EXPECT_EQ(Printed([&] {
                      errno = 0;
                      EXPECT_FALSE(c.save(c.image, c.rgb, c.target)) << c.what;
                      error = errno;
                  }),
                  "IMG error\n")
            << c.what;
        if (c.error != 0) {
            EXPECT_EQ(error, c.error) << c.what;
        }
        EXPECT_NE(access(path.c_str(), F_OK), 0) << c.what;
    }
}
