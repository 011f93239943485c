// Files exchanged with the netpbm tools and ImageMagick: what IMGSave writes
// they accept, and what they write in all six types (plain and raw, 8-bit and
// 16-bit, without comments, with comment lines, and with comments everywhere
// netpbm allows them, ended by newlines or carriage returns) IMGLoad and IMGFromPPM decode to the pixels the writing
// tool itself reads back; IMGLoad also through a pipe and a FIFO. 16-bit
// samples are expected scaled to 0-255, rounded to nearest. Bitmaps decode
// reversed by design: the tools' black (a set bit) is this module's white.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::ReadFile;
using imgtest::WriteFile;

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

// Adds a comment line after the magic number and another one between width
// and height, as a hand-annotated file would have them.
std::string WithComments(const std::string& file) {
    const std::size_t afterMagic = file.find('\n') + 1;
    std::size_t widthEnd = afterMagic;
    while (widthEnd < file.size() && file[widthEnd] >= '0' && file[widthEnd] <= '9') ++widthEnd;
    return file.substr(0, afterMagic) + "# first comment\n" + file.substr(afterMagic, widthEnd - afterMagic) +
           "\n# second comment, between width and height\n" + file.substr(widthEnd + 1);
}

// Rewrites a tool's file with a comment wherever netpbm allows one: after the
// magic number, right after every header number, on a line of its own, and in
// plain pixel data after the last sample of every line. The comments hold
// digits, so that a reader that misses one misreads the picture. They end
// with eol: a newline, or a carriage return, which the tools take as the end
// of a comment just the same (after maxval it is then the byte before the
// pixels, and a raw picture that starts with a newline byte shows a reader
// that runs on to the newline).
std::string WithEveryComment(const std::string& file, bool plain, char eol) {
    const bool bitmap = file[1] == '1' || file[1] == '4';
    std::vector<std::string> numbers;
    std::size_t i = 2;
    while (numbers.size() < (bitmap ? 2u : 3u)) {
        if (file[i] == '#') {
            i = file.find('\n', i) + 1;
        } else if (file[i] >= '0' && file[i] <= '9') {
            const std::size_t start = i;
            while (file[i] >= '0' && file[i] <= '9') ++i;
            numbers.push_back(file.substr(start, i - start));
        } else {
            ++i;
        }
    }
    std::string out = file.substr(0, 2) + "#magic 1 2" + eol;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        out += numbers[k] + "#after number " + std::to_string(k) + " 3 4" + eol;
        if (k == 0) out += std::string("# a line of its own 5 6") + eol;
    }
    for (char c : file.substr(i + 1)) out += plain && c == '\n' ? std::string("#end of row 7 8") + eol : std::string(1, c);
    return out;
}

// A plain 16-bit colour picture whose samples are seldom multiples of 257, so
// that scaling them down shows.
std::string WideSource(int width, int height) {
    std::string text = "P3\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) text += std::to_string((x * 4099 + y * 7919 + c * 12345 + 77) % 65536) + " ";
            text += "\n";
        }
    }
    return text;
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

// Pixel words a tool reports: RGB triples of one-byte samples, or of two-byte
// samples (most significant first) scaled to 0-255 rounded to nearest;
// reversed for bitmaps.
std::vector<std::uint32_t> Expected(const std::string& rgb, bool bitmap, int sampleBytes = 1) {
    std::vector<std::uint32_t> words;
    const auto sample = [&](std::size_t at) -> std::uint32_t {
        const std::uint32_t high = static_cast<unsigned char>(rgb[at]);
        if (sampleBytes == 1) return high;
        return ((high * 256 + static_cast<unsigned char>(rgb[at + 1])) * 255 + 32767) / 65535;
    };
    const std::size_t step = 3 * static_cast<std::size_t>(sampleBytes);
    for (std::size_t i = 0; i + step <= rgb.size(); i += step) {
        const std::uint32_t word = sample(i) << 16 | sample(i + sampleBytes) << 8 | sample(i + 2 * sampleBytes);
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

enum class Comments { none, lines, everywhere, everywhereEndedByReturns };

struct Format {
    const char* name;
    std::string command;  // writes "$OUT" from "$IN"
    bool bitmap;
    bool plain;
};

class Interop : public imgtest::ScratchDir {
protected:
    // Writes every format from a test picture of each size (saved by IMGSave,
    // or 16-bit plain text when wide), adds comments, and checks both decoders
    // against the reference pixels that readBack (a command whose output ends
    // in the RGB samples of "$F", sampleBytes wide) gives. IMGLoad also reads
    // the file through a pipe and through a FIFO.
    void CheckFormats(const std::vector<Format>& formats, const std::string& readBack, Comments comments,
                      bool wide = false, int sampleBytes = 1) {
        const std::string fifo = dir_ + "/fifo";
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        for (const auto& [width, height] : {std::pair{16, 5}, std::pair{13, 4}}) {
            const std::string source = dir_ + "/source.ppm";
            if (wide) {
                WriteFile(source, WideSource(width, height));
            } else {
                IMG* picture = TestPicture(width, height);
                ASSERT_TRUE(IMGSave(picture, source.c_str()));
                IMGFree(&picture);
            }
            for (const Format& format : formats) {
                const std::string file = dir_ + "/" + format.name;
                bool ok;
                Shell("IN='" + source + "' OUT='" + file + "'; " + format.command, ok);
                ASSERT_TRUE(ok) << format.command;
                if (comments == Comments::lines) WriteFile(file, WithComments(ReadFile(file)));
                if (comments == Comments::everywhere || comments == Comments::everywhereEndedByReturns) {
                    const char eol = comments == Comments::everywhere ? '\n' : '\r';
                    WriteFile(file, WithEveryComment(ReadFile(file), format.plain, eol));
                }
                const std::string output = Shell("F='" + file + "'; " + readBack, ok);
                ASSERT_TRUE(ok) << readBack << " on " << format.name;
                const std::size_t size = static_cast<std::size_t>(3 * width * height * sampleBytes);
                ASSERT_GE(output.size(), size) << format.name;
                const std::vector<std::uint32_t> expected =
                    Expected(output.substr(output.size() - size), format.bitmap, sampleBytes);
                const std::string where = std::string(format.name) + " " + std::to_string(width) + " x " +
                                          std::to_string(height) + (wide ? " 16-bit" : "") +
                                          (comments == Comments::lines        ? " with comment lines"
                                           : comments == Comments::everywhere ? " with comments everywhere"
                                           : comments == Comments::everywhereEndedByReturns
                                               ? " with comments everywhere ended by carriage returns"
                                               : "");

                IMG* loaded = IMGLoad(file.c_str());
                ASSERT_NE(loaded, nullptr) << where;
                EXPECT_EQ(loaded->width, width) << where;
                EXPECT_EQ(loaded->height, height) << where;
                EXPECT_EQ(Columns(loaded, width), expected) << "IMGLoad of " << where;
                for (const bool throughFifo : {false, true}) {
                    // cat feeds the file into a pipe read as /dev/fd/N, or into the FIFO.
                    const std::string feed = "cat '" + file + "'" + (throughFifo ? " > '" + fifo + "'" : "");
                    std::FILE* pipe = popen(feed.c_str(), "r");
                    ASSERT_NE(pipe, nullptr);
                    const std::string path = throughFifo ? fifo : "/dev/fd/" + std::to_string(fileno(pipe));
                    IMG* streamed = IMGLoad(path.c_str());
                    pclose(pipe);
                    EXPECT_TRUE(streamed != nullptr && IMGEqual(streamed, loaded))
                        << "IMGLoad through " << (throughFifo ? "a FIFO" : "a pipe") << " of " << where;
                    IMGFree(&streamed);
                }
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
        std::remove(fifo.c_str());
    }

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

// 16-bit files of the four types that carry a maxval, from a 16-bit source,
// also at maxval 1000.
const std::vector<Format> netpbmWideFormats = {
    {"raw.ppm", "ppmtoppm < \"$IN\" > \"$OUT\"", false, false},
    {"plain.ppm", "pnmtoplainpnm \"$IN\" > \"$OUT\"", false, true},
    {"raw.pgm", "ppmtopgm \"$IN\" > \"$OUT\"", false, false},
    {"plain.pgm", "ppmtopgm \"$IN\" | pnmtoplainpnm > \"$OUT\"", false, true},
    {"raw1000.ppm", "pamdepth 1000 \"$IN\" | ppmtoppm > \"$OUT\"", false, false},
    {"plain1000.pgm", "ppmtopgm \"$IN\" | pamdepth 1000 | pnmtoplainpnm > \"$OUT\"", false, true},
};

const std::vector<Format> magickWideFormats = {
    {"raw.ppm", "convert \"$IN\" -depth 16 ppm:\"$OUT\"", false, false},
    {"plain.ppm", "convert \"$IN\" -depth 16 -compress none ppm:\"$OUT\"", false, true},
    {"raw.pgm", "convert \"$IN\" -depth 16 pgm:\"$OUT\"", false, false},
    {"plain.pgm", "convert \"$IN\" -depth 16 -compress none pgm:\"$OUT\"", false, true},
};

// ImageMagick writes its own comment lines when the picture carries a comment.
std::vector<Format> WithMagickComment(std::vector<Format> formats) {
    for (Format& f : formats) f.command.replace(f.command.find("\"$IN\"") + 5, 0, " -set comment 'made by a test'");
    return formats;
}

// Raw P6 of maxval 255; its pixel bytes are the last 3 x width x height.
const char* const netpbmReadBack = "ppmtoppm < \"$F\" | pamdepth 255";
const char* const magickReadBack = "convert \"$F\" -depth 8 rgb:-";
// ImageMagick's 16-bit samples, most significant byte first.
const char* const magickWideReadBack = "convert \"$F\" -depth 16 -endian MSB rgb:-";

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
    for (Comments comments :
         {Comments::none, Comments::lines, Comments::everywhere, Comments::everywhereEndedByReturns}) {
        CheckFormats(netpbmFormats, netpbmReadBack, comments);
        CheckFormats(netpbmWideFormats, netpbmReadBack, comments, true);
    }
}

TEST_F(Interop, ImageMagickFilesDecodeToTheirPixels) {
    std::string missing;
    if (!HaveTools({"convert"}, missing)) GTEST_SKIP() << missing << " is not installed";
    CheckFormats(magickFormats, magickReadBack, Comments::none);
    CheckFormats(WithMagickComment(magickFormats), magickReadBack, Comments::none);
    CheckFormats(magickFormats, magickReadBack, Comments::everywhere);
    CheckFormats(magickFormats, magickReadBack, Comments::everywhereEndedByReturns);
    CheckFormats(magickWideFormats, magickWideReadBack, Comments::none, true, 2);
    CheckFormats(magickWideFormats, magickWideReadBack, Comments::everywhere, true, 2);
    CheckFormats(magickWideFormats, magickWideReadBack, Comments::everywhereEndedByReturns, true, 2);
}
