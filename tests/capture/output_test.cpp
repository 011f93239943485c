// Enlargement, the PNG and PPM writers and the output directory check.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sdldpy.h"
#include "tools/capture/capture.h"

namespace {

// A frame whose every byte differs from its neighbours.
std::vector<unsigned char> Pattern(std::int32_t width, std::int32_t height) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width * height * 3));
    for (std::size_t i = 0; i < rgb.size(); i++) {
        rgb[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    return rgb;
}

std::string TempDir() {
    char name[] = "/tmp/velm-capture-XXXXXX";
    return mkdtemp(name) != nullptr ? name : "";
}

std::string ReadAll(std::FILE* file) {
    std::string data;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        data.append(buffer, n);
    }
    return data;
}

TEST(CaptureOutput, ScaleRepeatsEachPixelInASquare) {
    std::vector<unsigned char> rgb = Pattern(3, 2);
    CAPTUREFRAME source = {3, 2, rgb.data()};
    CAPTUREFRAME target = {};
    ASSERT_TRUE(CAPTUREScale(&source, 4, &target));
    ASSERT_EQ(target.width, 12);
    ASSERT_EQ(target.height, 8);
    bool same = true;
    for (std::int32_t y = 0; y < 8; y++) {
        for (std::int32_t x = 0; x < 12; x++) {
            for (std::int32_t c = 0; c < 3; c++) {
                same &= target.rgb[(y * 12 + x) * 3 + c] == rgb[((y / 4) * 3 + x / 4) * 3 + c];
            }
        }
    }
    EXPECT_TRUE(same);

    // A smaller enlargement reuses the buffer; scale 1 is a plain copy.
    ASSERT_TRUE(CAPTUREScale(&source, 1, &target));
    EXPECT_EQ(target.width, 3);
    EXPECT_EQ(std::vector<unsigned char>(target.rgb, target.rgb + rgb.size()), rgb);

    EXPECT_FALSE(CAPTUREScale(&source, 0, &target));
    EXPECT_FALSE(CAPTUREScale(&source, captureMaxScale + 1, &target));
    EXPECT_FALSE(CAPTUREScale(nullptr, 2, &target));
    CAPTUREFRAME empty = {0, 5, rgb.data()};
    EXPECT_FALSE(CAPTUREScale(&empty, 2, &target));
    CAPTUREFrameFree(&target);
    EXPECT_EQ(target.rgb, nullptr);
    EXPECT_EQ(target.width, 0);
}

TEST(CaptureOutput, PNGReadsBackWithAnotherDecoder) {
    if (std::system("command -v pngtopnm > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "pngtopnm (netpbm) is not installed";
    }
    std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    std::vector<unsigned char> rgb = Pattern(5, 3);
    CAPTUREFRAME frame = {5, 3, rgb.data()};
    std::string png = dir + "/f.png";
    ASSERT_TRUE(IMGSavePNGBytes(frame.rgb, frame.width, frame.height, png.c_str()));
    std::FILE* decoded = popen(("pngtopnm " + png).c_str(), "r");
    ASSERT_NE(decoded, nullptr);
    std::string data = ReadAll(decoded);
    EXPECT_EQ(pclose(decoded), 0);
    EXPECT_EQ(data, "P6\n5 3\n255\n" + std::string(rgb.begin(), rgb.end()));

    // Where no file can be made, the writer says so and leaves nothing behind.
    std::string missing = dir + "/no/such/f.png";
    EXPECT_FALSE(IMGSavePNGBytes(frame.rgb, frame.width, frame.height, missing.c_str()));
    EXPECT_FALSE(IMGSavePNGBytes(nullptr, 5, 3, png.c_str()));
    EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}

TEST(CaptureOutput, PPMImagesFollowEachOther) {
    std::vector<unsigned char> rgb = Pattern(2, 2);
    CAPTUREFRAME frame = {2, 2, rgb.data()};
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(CAPTUREWritePPM(stream, &frame));
    ASSERT_TRUE(CAPTUREWritePPM(stream, &frame));
    std::rewind(stream);
    std::string one = "P6\n2 2\n255\n" + std::string(rgb.begin(), rgb.end());
    EXPECT_EQ(ReadAll(stream), one + one);
    std::fclose(stream);

    // A stream that takes no data is a failure, not a silent loss.
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full != nullptr) {
        std::setvbuf(full, nullptr, _IONBF, 0);
        EXPECT_FALSE(CAPTUREWritePPM(full, &frame));
        std::fclose(full);
    }
}

TEST(CaptureOutput, OutputDirectoryIsMadeOrRefused) {
    std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    char error[512] = "";
    std::string fresh = dir + "/frames";
    EXPECT_TRUE(CAPTUREPrepareDir(fresh.c_str(), error, sizeof error)) << error;
    struct stat status {};
    EXPECT_EQ(stat(fresh.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_TRUE(CAPTUREPrepareDir(fresh.c_str(), error, sizeof error)) << error;   // existing is fine

    std::string file = dir + "/plain";
    std::FILE* made = std::fopen(file.c_str(), "w");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    error[0] = '\0';
    EXPECT_FALSE(CAPTUREPrepareDir(file.c_str(), error, sizeof error));
    EXPECT_NE(std::string(error).find("not a directory"), std::string::npos) << error;
    std::string under = file + "/sub";
    error[0] = '\0';
    EXPECT_FALSE(CAPTUREPrepareDir(under.c_str(), error, sizeof error));
    EXPECT_NE(std::string(error).find(under), std::string::npos) << error;
    std::string deep = dir + "/a/b";   // only one level is made
    EXPECT_FALSE(CAPTUREPrepareDir(deep.c_str(), error, sizeof error));
    EXPECT_FALSE(CAPTUREPrepareDir("", error, sizeof error));

    if (geteuid() != 0) {   // root writes anywhere
        std::string locked = dir + "/locked";
        mkdir(locked.c_str(), 0555);
        EXPECT_FALSE(CAPTUREPrepareDir(locked.c_str(), error, sizeof error));
    }
    EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}

}  // namespace
