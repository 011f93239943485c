// Files exchanged with the netpbm tools and ImageMagick: what IMGSave writes
// they accept, and what they write in all six types (plain and raw, with and
// without comment lines) IMGLoad and IMGFromPPM decode to the pixels the
// writing tool itself reads back. Bitmaps decode reversed by design: the
// tools' black (a set bit) is this module's white.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "img/img.h"

namespace {

bool HaveTools(const std::vector<std::string>& tools, std::string& missing) {
    for (const std::string& tool : tools) {
        if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0) {
            missing = tool;
            return false;
        }
    }
    return true;
}

// Standard output of a shell command; ok is false when it fails.
std::string Shell(const std::string& command, bool& ok) {
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ok = false;
        return out;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = pclose(pipe);
    ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return out;
}

std::string ReadFile(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Adds a comment line after the magic number and another one between width
// and height, as a hand-annotated file would have them.
std::string WithComments(const std::string& file) {
    const std::size_t afterMagic = file.find('\n') + 1;
    std::size_t widthEnd = afterMagic;
    while (widthEnd < file.size() && file[widthEnd] >= '0' && file[widthEnd] <= '9') ++widthEnd;
    return file.substr(0, afterMagic) + "# first comment\n" + file.substr(afterMagic, widthEnd - afterMagic) +
           "\n# second comment, between width and height\n" + file.substr(widthEnd + 1);
}

// A picture that mixes dark and light and starts with bytes a careless
// header reader would take for whitespace or a comment.
IMG* TestPicture(int width, int height) {
    IMG* image = IMGNew();
    IMGResize(image, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = static_cast<std::uint32_t>((x * 37 + y * 91) & 0xFF);
            const std::uint32_t word = (x + y) % 3 == 0 ? 0xFFFFFF - v * 0x010101 : v * 0x010000 + (255 - v) * 0x100 + (v ^ 0x5A);
            IMGPutPixel(image, x, y, word);
        }
    }
    IMGPutPixel(image, 0, 0, 0x0A0D20);
    IMGPutPixel(image, 1, 0, 0x230A00);
    return image;
}

// Pixel words a tool reports: RGB byte triples, reversed for bitmaps.
std::vector<std::uint32_t> Expected(const std::string& rgb, bool bitmap) {
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const std::uint32_t word = static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[i])) << 16 |
                                   static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[i + 1])) << 8 |
                                   static_cast<unsigned char>(rgb[i + 2]);
        words.push_back(bitmap ? (word == 0 ? 0xFFFFFFu : 0u) : word);
    }
    return words;
}

// The first width columns of every row of an image.
std::vector<std::uint32_t> Columns(const IMG* image, int width) {
    std::vector<std::uint32_t> words;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < width; ++x) words.push_back(IMGGetPixel(image, x, y));
    }
    return words;
}

struct Format {
    const char* name;
    std::string command;  // writes "$OUT" from "$IN"
    bool bitmap;
    bool plain;
};

class Interop : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velm_interop_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        bool ok;
        Shell("rm -rf '" + dir_ + "'", ok);
    }

    // Writes every format from a saved test picture of each size, optionally
    // adds comment lines, and checks both decoders against the reference
    // pixels that readBack (a command whose output ends in the raw RGB bytes
    // of "$F") gives.
    void CheckFormats(const std::vector<Format>& formats, const std::string& readBack, bool comments) {
        for (const auto& [width, height] : {std::pair{16, 5}, std::pair{13, 4}}) {
            IMG* picture = TestPicture(width, height);
            const std::string source = dir_ + "/source.ppm";
            ASSERT_TRUE(IMGSave(picture, source.c_str()));
            IMGFree(&picture);
            for (const Format& format : formats) {
                const std::string file = dir_ + "/" + format.name;
                bool ok;
                Shell("IN='" + source + "' OUT='" + file + "'; " + format.command, ok);
                ASSERT_TRUE(ok) << format.command;
                if (comments) WriteFile(file, WithComments(ReadFile(file)));
                const std::string output = Shell("F='" + file + "'; " + readBack, ok);
                ASSERT_TRUE(ok) << readBack << " on " << format.name;
                const std::size_t size = static_cast<std::size_t>(3 * width * height);
                ASSERT_GE(output.size(), size) << format.name;
                const std::string rgb = output.substr(output.size() - size);
                const std::vector<std::uint32_t> expected = Expected(rgb, format.bitmap);
                const std::string where = std::string(format.name) + " " + std::to_string(width) + " x " +
                                          std::to_string(height) + (comments ? " with comments" : "");

                IMG* loaded = IMGLoad(file.c_str());
                ASSERT_NE(loaded, nullptr) << where;
                EXPECT_EQ(loaded->width, width) << where;
                EXPECT_EQ(loaded->height, height) << where;
                EXPECT_EQ(Columns(loaded, width), expected) << "IMGLoad of " << where;
                IMGFree(&loaded);

                // A plain bitmap gives IMGFromPPM one digit per column of the
                // width raised to bytes; only byte-wide rows line up.
                if (format.bitmap && format.plain && width % 8 != 0) continue;
                const std::string bytes = ReadFile(file);
                IMG* decoded = IMGFromPPM(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
                ASSERT_NE(decoded, nullptr) << where;
                EXPECT_EQ(decoded->width, format.bitmap ? (width + 7) / 8 * 8 : width) << where;
                EXPECT_EQ(decoded->height, height) << where;
                EXPECT_EQ(Columns(decoded, width), expected) << "IMGFromPPM of " << where;
                IMGFree(&decoded);
            }
        }
    }

    std::string dir_;
};

const std::vector<Format> netpbmFormats = {
    {"raw.ppm", "ppmtoppm < \"$IN\" > \"$OUT\"", false, false},
    {"plain.ppm", "pnmtoplainpnm \"$IN\" > \"$OUT\"", false, true},
    {"raw.pgm", "ppmtopgm \"$IN\" > \"$OUT\"", false, false},
    {"plain.pgm", "ppmtopgm \"$IN\" | pnmtoplainpnm > \"$OUT\"", false, true},
    {"raw.pbm", "ppmtopgm \"$IN\" | pgmtopbm -threshold > \"$OUT\"", true, false},
    {"plain.pbm", "ppmtopgm \"$IN\" | pgmtopbm -threshold | pnmtoplainpnm > \"$OUT\"", true, true},
};

const std::vector<Format> magickFormats = {
    {"raw.ppm", "convert \"$IN\" ppm:\"$OUT\"", false, false},
    {"plain.ppm", "convert \"$IN\" -compress none ppm:\"$OUT\"", false, true},
    {"raw.pgm", "convert \"$IN\" pgm:\"$OUT\"", false, false},
    {"plain.pgm", "convert \"$IN\" -compress none pgm:\"$OUT\"", false, true},
    {"raw.pbm", "convert \"$IN\" -threshold 50% pbm:\"$OUT\"", true, false},
    {"plain.pbm", "convert \"$IN\" -threshold 50% -compress none pbm:\"$OUT\"", true, true},
};

// ImageMagick writes its own comment lines when the picture carries a comment.
std::vector<Format> WithMagickComment(std::vector<Format> formats) {
    for (Format& f : formats) f.command.replace(f.command.find("\"$IN\"") + 5, 0, " -set comment 'made by a test'");
    return formats;
}

// Raw P6 of maxval 255; its pixel bytes are the last 3 x width x height.
const char* const netpbmReadBack = "ppmtoppm < \"$F\" | pamdepth 255";
const char* const magickReadBack = "convert \"$F\" -depth 8 rgb:-";

}  // namespace

TEST_F(Interop, SavedFilesAreAcceptedByNetpbmAndImageMagick) {
    std::string missing;
    if (!HaveTools({"pamfile", "pnmtopng", "identify", "convert"}, missing)) GTEST_SKIP() << missing << " is not installed";
    IMG* picture = TestPicture(13, 4);
    const std::string path = dir_ + "/saved.ppm";
    ASSERT_TRUE(IMGSave(picture, path.c_str()));
    bool ok;
    EXPECT_NE(Shell("pamfile '" + path + "'", ok).find("PPM raw, 13 by 4  maxval 255"), std::string::npos);
    EXPECT_TRUE(ok);
    Shell("pnmtopng '" + path + "' > '" + dir_ + "/saved.png'", ok);
    EXPECT_TRUE(ok) << "pnmtopng refused the file";
    EXPECT_EQ(Shell("identify -format '%m %w %h %z' '" + path + "'", ok), "PPM 13 4 8");
    const std::vector<std::uint32_t> expected(picture->pixels, picture->pixels + 13 * 4);
    EXPECT_EQ(Expected(Shell("convert '" + path + "' -depth 8 rgb:-", ok), false), expected);
    EXPECT_EQ(Expected(Shell("convert '" + dir_ + "/saved.png' -depth 8 rgb:-", ok), false), expected);
    IMGFree(&picture);
}

TEST_F(Interop, NetpbmFilesDecodeToTheirPixels) {
    std::string missing;
    if (!HaveTools({"ppmtoppm", "ppmtopgm", "pgmtopbm", "pnmtoplainpnm", "pamdepth"}, missing))
        GTEST_SKIP() << missing << " is not installed";
    CheckFormats(netpbmFormats, netpbmReadBack, false);
    CheckFormats(netpbmFormats, netpbmReadBack, true);
}

TEST_F(Interop, ImageMagickFilesDecodeToTheirPixels) {
    std::string missing;
    if (!HaveTools({"convert"}, missing)) GTEST_SKIP() << missing << " is not installed";
    CheckFormats(magickFormats, magickReadBack, false);
    CheckFormats(WithMagickComment(magickFormats), magickReadBack, false);
}
