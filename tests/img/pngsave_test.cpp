// PNG writing: images' words and packed bytes give the same 8-bit RGB picture
// (read back with libpng), and what cannot be written is refused with one
// report, errno set where a file was tried, and no file left behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"
#include "tests/readback.h"

namespace {

using imgtest::Printed;

using testout::ReadPNG;

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
    const IMG one{1, 1, &word};
    const IMG empty{0, 0, &word};
    const IMG noPixels{1, 1, nullptr};
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&word);
    const std::string path = dir_ + "/never.png";
    const char* never = path.c_str();
    const std::string noFolder = dir_ + "/no/such/folder.png";
    const std::vector<std::function<bool()>> refused = {
        [&] { return IMGSavePNG(nullptr, never); },
        [&] { return IMGSavePNG(&empty, never); },
        [&] { return IMGSavePNG(&noPixels, never); },
        [&] { return IMGSavePNG(&one, nullptr); },
        [&] { return IMGSavePNG(&one, noFolder.c_str()) || errno != ENOENT; },
        [&] { return IMGSavePNGBytes(bytes, 0, 1, never); },
        [&] { return IMGSavePNGBytes(nullptr, 1, 1, never); },
        [&] { return IMGSavePNGBytes(bytes, 1, 1, noFolder.c_str()) || errno != ENOENT; },
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(Printed([&] { EXPECT_FALSE(refused[i]()) << "case " << i; }), "IMG error\n") << "case " << i;
    }
    EXPECT_NE(access(never, F_OK), 0);
}
