// Enlargement and placement, the PNG and PPM writers and the output directory check.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdldpy.h"
#include "capture/capture.h"

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

// --scale and --fit: the frame enlarged by a whole number, and with --fit
// centred on black. Each case checks every pixel of the result.
TEST(CaptureOutput, ComposeScalesAndCentres) {
    IMG frame = {};
    IMGResize(&frame, 256, 256);
    ASSERT_NE(frame.pixels, nullptr);
    for (std::int32_t i = 0; i < 256 * 256; i++) frame.pixels[i] = 0x00010101u * static_cast<std::uint32_t>(i % 251) + 1;
    struct Case {
        std::int32_t scale, fitWidth, fitHeight;
        std::int32_t width, height, factor, left, top;   // expected; width 0: refused
    };
    const Case cases[] = {
        {1, 0, 0, 256, 256, 1, 0, 0},
        {3, 0, 0, 768, 768, 3, 0, 0},
        {1, 1920, 1080, 1920, 1080, 4, 448, 28},
        {1, 3840, 2160, 3840, 2160, 8, 896, 56},
        {1, 256, 256, 256, 256, 1, 0, 0},
        {1, 700, 300, 700, 300, 1, 222, 22},
        {1, 255, 1000, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto held = std::make_unique<CAPTUREOPTIONS>();   // too big for the stack
        CAPTUREOPTIONS& options = *held;
        options.scale = c.scale;
        options.fitWidth = c.fitWidth;
        options.fitHeight = c.fitHeight;
        IMG scaled = {}, canvas = {};
        for (int round = 0; round < 2; round++) {   // the second frame reuses the images
            const IMG* out = CAPTURECompose(&frame, &options, &scaled, &canvas);
            if (c.width == 0) {
                EXPECT_EQ(out, nullptr) << c.fitWidth << "x" << c.fitHeight;
                continue;
            }
            ASSERT_NE(out, nullptr) << c.fitWidth << "x" << c.fitHeight;
            ASSERT_EQ(out->width, c.width);
            ASSERT_EQ(out->height, c.height);
            bool same = true;
            for (std::int32_t y = 0; y < c.height; y++) {
                for (std::int32_t x = 0; x < c.width; x++) {
                    const std::int32_t fx = x - c.left, fy = y - c.top;
                    const bool inside = fx >= 0 && fy >= 0 && fx < 256 * c.factor && fy < 256 * c.factor;
                    const std::uint32_t want = inside ? frame.pixels[(fy / c.factor) * 256 + fx / c.factor] : 0;
                    same &= out->pixels[static_cast<std::size_t>(y) * c.width + x] == want;
                }
            }
            EXPECT_TRUE(same) << "scale " << c.scale << ", fit " << c.fitWidth << "x" << c.fitHeight;
        }
        std::free(scaled.pixels);
        std::free(canvas.pixels);
    }
    std::free(frame.pixels);
}

TEST(CaptureOutput, PNGReadsBackWithAnotherDecoder) {
    if (std::system("command -v pngtopnm > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "pngtopnm (netpbm) is not installed";
    }
    std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    std::vector<unsigned char> rgb = Pattern(5, 3);
    struct {
        std::int32_t width, height;
        unsigned char* rgb;
    } frame = {5, 3, rgb.data()};
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
    std::uint32_t words[4];
    for (int i = 0; i < 4; i++) words[i] = static_cast<std::uint32_t>(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
    IMG frame = {2, 2, words};
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
