// Netpbm decoding from memory and files, and raw P6 writing: pixel results,
// header grammar, refused input (one report each) and input that ends early.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Printed;

IMG* FromString(const std::string& s) {
    return IMGFromPPM(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

// A file in a private scratch directory, removed with the fixture.
class PpmFile : public imgtest::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        path_ = dir_ + "/picture.pnm";
    }
    void Write(const std::string& bytes) { imgtest::WriteFile(path_, bytes); }
    // Words of the file decoded by IMGLoad and by IMGFromPPM (empty for null).
    std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>> Both(const std::string& bytes) {
        Write(bytes);
        IMG* loaded = IMGLoad(path_.c_str());
        IMG* decoded = FromString(bytes);
        std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>> words;
        if (loaded != nullptr) words.first = imgtest::Words(loaded);
        if (decoded != nullptr) words.second = imgtest::Words(decoded);
        IMGFree(&loaded);
        IMGFree(&decoded);
        return words;
    }
    std::string path_;
};

// Bytes fed into a pipe by a thread. The writer then closes its end, or holds
// it open until the pipe is destroyed, or (endless) sends zero bytes until the
// reader is gone. Path() opens the reading end as a file.
class Pipe {
public:
    enum Tail { close, holdOpen, endless };
    Pipe(std::string bytes, Tail tail) {
        std::signal(SIGPIPE, SIG_IGN);
        int fds[2];
        if (pipe(fds) != 0) std::abort();
        read_ = fds[0];
        write_ = fds[1];
        writer_ = std::thread([this, bytes = std::move(bytes), tail] {
            if (!WriteAll(bytes.data(), bytes.size())) return;
            if (tail == endless) {
                const std::string zeros(65536, '\0');
                while (WriteAll(zeros.data(), zeros.size())) {
                }
            }
            if (tail != holdOpen) CloseWriter();
        });
    }
    ~Pipe() {
        ::close(read_);
        if (writer_.joinable()) writer_.join();
        CloseWriter();
    }
    std::string Path() const { return "/dev/fd/" + std::to_string(read_); }
    void CloseWriter() {
        if (write_ >= 0) ::close(std::exchange(write_, -1));
    }

private:
    bool WriteAll(const char* p, std::size_t n) {
        while (n > 0) {
            const ssize_t done = ::write(write_, p, n);
            if (done <= 0) return false;
            p += done;
            n -= static_cast<std::size_t>(done);
        }
        return true;
    }
    int read_ = -1;
    int write_ = -1;
    std::thread writer_;
};

using Words = std::vector<std::uint32_t>;
Words WordsOf(const IMG* image) {
    return Words(image->pixels, image->pixels + std::int64_t{image->width} * image->height);
}

}  // namespace

TEST(FromPPM, RawColourWithCommentsAnywhereInTheHeader) {
    const std::string pixels("\xFF\x00\x00\x00\x0A\x0B", 6);
    for (const std::string& header : {std::string("P6\n# made by hand\n2 1\n255\n"),
                                      std::string("P6\n#one\n#two\n# three\n2 1\n255\n"),
                                      std::string("P6 2\n# between width and height\n1 255\n"),
                                      std::string("P6 2 1 255 ")}) {
        IMG* image = FromString(header + pixels);
        ASSERT_NE(image, nullptr) << header;
        EXPECT_EQ(image->width, 2);
        EXPECT_EQ(image->height, 1);
        EXPECT_EQ(WordsOf(image), (Words{0xFF0000, 0x000A0B})) << header;
        IMGFree(&image);
    }
}

TEST(FromPPM, GreyAndPlainSamplesAreUnscaledAndSpill) {
    IMG* image = FromString(std::string("P5\n3 1\n15\n\x80\x00\xFF", 13));
    EXPECT_EQ(WordsOf(image), (Words{0x808080, 0, 0xFFFFFF}));  // maxval ignored
    IMGFree(&image);
    image = FromString("P2\n3 1\n255\n300 7\n0");
    EXPECT_EQ(WordsOf(image), (Words{300u * 0x010101u, 0x070707, 0}));
    IMGFree(&image);
    image = FromString("P3 2 1 255\n1 2 3  256 0 4294967295");
    // 256 red spills into bit 24; a sample beyond 32 bits wraps without fault.
    EXPECT_EQ(WordsOf(image), (Words{0x010203, 0x01000000u + 0xFFFFFFFFu}));
    IMGFree(&image);
}

TEST(FromPPM, BitmapsAreWhiteOnBlackWithWidthRaisedToBytes) {
    // Width 10 becomes 16; the second byte's low six bits are columns 10 to 15.
    IMG* image = FromString(std::string("P4\n10 2\n\xA0\x3F\x00\x01", 12));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->height, 2);
    const Words row0 = {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    EXPECT_EQ(Words(image->pixels, image->pixels + 16), row0);
    EXPECT_EQ(IMGGetPixel(image, 15, 1), 0xFFFFFFu);
    EXPECT_EQ(IMGGetPixel(image, 14, 1), 0u);
    IMGFree(&image);
    // Plain bitmap: one digit per pixel, with or without separators, raised width.
    image = FromString("P1\n# c\n3 2\n01000000\n1 0 0 0 0 0 0 9");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(IMGGetPixel(image, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(IMGGetPixel(image, 0, 1), 0xFFFFFFu);
    EXPECT_EQ(IMGGetPixel(image, 7, 1), 0xFFFFFFu);  // any non-zero digit is lit
    EXPECT_EQ(IMGGetPixel(image, 0, 0), 0u);
    IMGFree(&image);
}

TEST(FromPPM, RefusedHeadersReportOnceAndGiveNull) {
    const std::vector<std::string> refused = {
        "P7\n1 1\n255\n\x01\x01\x01", "PX 1 1 255 abc", "P6\n0 1\n255\n", "P6\n1 0\n255\n",
        "P6 x", "",  "P6\n2 1\n",            // header cut short
        "P", "P6 # comment without end",     // cut inside type and comment
        "P6\n99999999999 1\n255\n",          // overflowing number
        "P6\n1 1\n99999999999\n\x01\x02\x03",
        "P6\n65536 65536\n255\n",            // beyond the pixel limit
        "P4\n8193 8192\n",                   // raised width pushes it past the limit
        "1 2 3 4",                           // four numbers before any type
        "\x01\xFF \x7F",                     // nothing but skipped bytes
    };
    for (const std::string& s : refused) {
        IMG* image = nullptr;
        EXPECT_EQ(Printed([&] { image = FromString(s); }), "IMG error\n") << s;
        EXPECT_EQ(image, nullptr) << s;
        IMGFree(&image);
    }
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGFromPPM(nullptr, 10), nullptr); }), "IMG error\n");
    // The size is honoured even when the bytes beyond it would complete the header.
    const std::string whole = "P6\n1 1\n255\n\x01\x02\x03";
    EXPECT_EQ(IMGFromPPM(reinterpret_cast<const unsigned char*>(whole.data()), 5), nullptr);
}

TEST(FromPPM, ShortPixelDataLeavesTheRestBlackSilently) {
    struct Case {
        std::string data;
        Words expected;
    };
    const std::vector<Case> cases = {
        {std::string("P6\n2 2\n255\n\x01\x02\x03\x04\x05", 16), {0x010203, 0, 0, 0}},
        {"P6\n2 1\n255", {0, 0}},
        {std::string("P5\n3 1\n255\n\x11", 12), {0x111111, 0, 0}},
        {"P3\n2 1\n255\n1 2 3 4 5", {0x010203, 0}},
        {"P2\n3 1\n255\n7", {0x070707, 0, 0}},
        {"P1\n8 1\n1", {0xFFFFFF, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        IMG* image = nullptr;
        EXPECT_EQ(Printed([&] { image = FromString(c.data); }), "") << c.data;
        ASSERT_NE(image, nullptr) << c.data;
        EXPECT_EQ(WordsOf(image), c.expected) << c.data;
        IMGFree(&image);
    }
    // A P4 row cut mid-way: the bits that arrived are decoded.
    IMG* image = FromString(std::string("P4 16 2\n\xFF", 9));
    EXPECT_EQ(IMGGetPixel(image, 7, 0), 0xFFFFFFu);
    EXPECT_EQ(IMGGetPixel(image, 8, 0), 0u);
    IMGFree(&image);
}

TEST_F(PpmFile, LoadDecodesEveryTypeLikeFromPPM) {
    const std::vector<std::string> files = {
        std::string("P6\n# c\n2 1\n255\n\xFF\x00\x00\x00\x0A\x0B", 22), std::string("P5 2 2 255\n\x80\x01\x02\x03", 15),
        "P3\n2 1\n255\n1 2 3\n300 0 0\n", "P2\n2 2\n255\n1 2\n3 4\n", "P1\n8 2\n01000000\n1 0 0 0 0 0 0 1\n",
        std::string("P4\n16 2\n\xA0\x3F\x00\x01", 12)};
    for (const std::string& bytes : files) {
        Write(bytes);
        IMG* loaded = IMGLoad(path_.c_str());
        IMG* decoded = FromString(bytes);
        ASSERT_NE(loaded, nullptr) << bytes;
        ASSERT_NE(decoded, nullptr) << bytes;
        EXPECT_TRUE(IMGEqual(loaded, decoded)) << bytes;
        IMGFree(&loaded);
        IMGFree(&decoded);
    }
}

TEST_F(PpmFile, CommentsStandWhereNetpbmAllowsThem) {
    struct Case {
        std::string bytes;
        Words expected;
    };
    const Words ab = {0x414141, 0x424242};
    const std::vector<Case> cases = {
        {"P5\n2#c\n1 255\nAB", ab},           // right after the width
        {"P5\n2 1#c\n255\nAB", ab},           // right after the height
        {"P5 2 1 255#c\nAB", ab},              // after maxval: pixels start past the newline
        {"P5 2 1 255\n#c\nAB", {0x232323, 0x636363}},  // raw pixels are bytes, never comments
        {"P6#c\n#d 7\n1#e\n1#f 9\n255#g\nABC", {0x414243}},
        {"P2\n2 1\n255\n# note 7\n1 2\n", {0x010101, 0x020202}},
        {"P3 1 2 255\n1#x 8\n2 3 # 9 9 9\n4 5#\n6", {0x010203, 0x040506}},
        {"P1\n8 1\n1#1111\n0 1 #0\n01010", {0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0}},
        {"P2 2 1 255\n7 # no newline 9", {0x070707, 0}},  // an unended comment ends the data
        // A carriage return ends a comment too; after maxval it is the one
        // separating byte, and a newline after it is already a pixel.
        {std::string("P5\n1 1\n255#c\r\n\x07\x09", 15), {0x0A0A0A}},
        {"P5 #a\r2#b\r1#c\r255#d\rAB", ab},
        {"P2\n#a\r2 1 #b\r255 #x\r 7 #y\r9\r", {0x070707, 0x090909}},
    };
    for (const Case& c : cases) {
        const auto [loaded, decoded] = Both(c.bytes);
        EXPECT_EQ(loaded, c.expected) << "IMGLoad of " << c.bytes;
        EXPECT_EQ(decoded, c.expected) << "IMGFromPPM of " << c.bytes;
    }
}

TEST_F(PpmFile, SamplesAboveMaxval255AreTwoBytesScaledToNearest) {
    struct Case {
        std::string bytes;
        Words expected;
    };
    const std::vector<Case> cases = {
        {std::string("P5 2 1 65535\n\x12\x34\xFF\xFF", 17), {0x121212, 0xFFFFFF}},
        {std::string("P6 1 1 1000\n\x01\xF4\x00\x02\x03\xE8", 18), {0x8001FF}},  // 500, 2, 1000
        {std::string("P5 1 1 256\n\x01\x00", 13), {0xFFFFFF}},
        {"P2 3 1 510\n1 0 509\n", {0x010101, 0, 0xFFFFFF}},  // a half rounds up
        // Samples beyond maxval, even beyond 32 bits, clamp instead of spilling.
        {"P3 1 2 65535\n70000 99999999999 1\n65535 32768 32767\n", {0xFFFF00, 0xFF807F}},
        {std::string("P5 2 1 65535\n\x12\x34\x56", 16), {0x121212, 0}},  // half a sample is not decoded
    };
    for (const Case& c : cases) {
        const auto [loaded, decoded] = Both(c.bytes);
        EXPECT_EQ(loaded, c.expected) << "IMGLoad of " << c.bytes;
        EXPECT_EQ(decoded, c.expected) << "IMGFromPPM of " << c.bytes;
    }
}

// A picture big enough to arrive through a pipe in several reads.
std::string LargeP6(int width, int height) {
    std::string bytes = "P6\n# large\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int i = 0; i < width * height * 3; ++i) bytes.push_back(static_cast<char>(i * 7 + i / 251));
    return bytes;
}

TEST_F(PpmFile, StreamsThroughPipesAndFifosDecodeLikeFiles) {
    const std::vector<std::string> files = {
        LargeP6(160, 120), std::string("P5 2 1 65535\n\x12\x34\xFF\xFF", 17),
        "P3\n# c\n2 1\n255\n1 2 3\n4 5 6\n", "P2 2 1 255#c\n7 8", "P1\n3 2\n010\n1 1 1\n",
        std::string("P4\n10 2\n\xA0\x3F\x00\x01", 12)};
    const std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& bytes : files) {
        Write(bytes);
        IMG* file = IMGLoad(path_.c_str());
        ASSERT_NE(file, nullptr) << bytes;
        {
            Pipe pipe(bytes, Pipe::close);
            IMG* piped = nullptr;
            EXPECT_EQ(Printed([&] { piped = IMGLoad(pipe.Path().c_str()); }), "") << bytes;
            ASSERT_NE(piped, nullptr) << bytes;
            EXPECT_TRUE(IMGEqual(file, piped)) << bytes;
            IMGFree(&piped);
        }
        std::thread writer([&] {
            std::FILE* f = std::fopen(fifo.c_str(), "wb");
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        });
        IMG* fromFifo = IMGLoad(fifo.c_str());
        writer.join();
        ASSERT_NE(fromFifo, nullptr) << bytes;
        EXPECT_TRUE(IMGEqual(file, fromFifo)) << bytes;
        IMGFree(&fromFifo);
        IMGFree(&file);
    }
    std::remove(fifo.c_str());
}

TEST(LoadStream, ReturnsOnceThePictureIsReadWithoutWaitingForTheEnd) {
    const std::vector<std::pair<std::string, Words>> cases = {{"P5 2 1 255\nAB", {0x414141, 0x424242}},
                                                              {"P2 2 1 255\n7 8\n", {0x070707, 0x080808}}};
    for (const auto& [bytes, expected] : cases) {
        Pipe pipe(bytes, Pipe::holdOpen);
        auto load = std::async(std::launch::async, [path = pipe.Path()] { return IMGLoad(path.c_str()); });
        if (load.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "IMGLoad waited for the end of a stream after a whole picture: " << bytes;
            pipe.CloseWriter();
        }
        IMG* image = load.get();
        ASSERT_NE(image, nullptr) << bytes;
        EXPECT_EQ(WordsOf(image), expected) << bytes;
        IMGFree(&image);
    }
}

TEST(LoadStream, EndlessStreamsAreRefusedPromptly) {
    // Zeros alone (no header ever), and zeros as endless plain pixel data:
    // refused with one report. Raw data is read only as far as the picture.
    for (const std::string& head : {std::string(), std::string("P2 1000 1000 255\n"), std::string("P3 3 1 255\n1")}) {
        Pipe pipe(head, Pipe::endless);
        IMG* image = nullptr;
        EXPECT_EQ(Printed([&] { image = IMGLoad(pipe.Path().c_str()); }), "IMG error\n") << head;
        EXPECT_EQ(image, nullptr) << head;
    }
    Pipe pipe("P5 1000 1000 255\n", Pipe::endless);
    IMG* image = IMGLoad(pipe.Path().c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 1000);
    IMGFree(&image);
}

TEST(LoadStream, ProcFilesReadAsStreams) {
    // A /proc file reports size 0 yet has bytes: here a child's command line,
    // whose first argument is a whole P5 file.
    const char* argv[] = {"P5\n2 1\n255\nAB", "60", nullptr};
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execv("/bin/sleep", const_cast<char* const*>(argv));
        _exit(127);
    }
    const std::string path = "/proc/" + std::to_string(child) + "/cmdline";
    IMG* image = nullptr;
    for (int tries = 0; tries < 500 && image == nullptr; ++tries) {  // until the exec has happened
        image = IMGLoad(path.c_str());
        if (image != nullptr && image->width != 2) IMGFree(&image);  // still this program's command line
        if (image == nullptr) usleep(20000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(WordsOf(image), (Words{0x414141, 0x424242}));
    IMGFree(&image);
}

TEST_F(PpmFile, LoadKeepsTheTrueBitmapWidth) {
    Write(std::string("P4\n10 2\n\xA0\x3F\x00\x01", 12));
    IMG* image = IMGLoad(path_.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 10);
    EXPECT_EQ(WordsOf(image), (Words{0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0,  //
                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    IMGFree(&image);
    Write("P1\n3 2\n010\n1 1 1\n");
    image = IMGLoad(path_.c_str());
    EXPECT_EQ(WordsOf(image), (Words{0, 0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}));
    IMGFree(&image);
}

TEST_F(PpmFile, LoadRefusesBadFilesAndToleratesShortOnes) {
    for (const std::string& bytes : {std::string("P9\n1 1\n255\n"), std::string("P6\n0 4\n255\n"),
                                     std::string("P6\n4"), std::string(""), std::string("P6 # open"),
                                     std::string("P5\n1 1\n4294967296\n"), std::string("P6\n99999999999 1\n255\n"),
                                     std::string("P6\n65536 65536\n255\n")}) {  // overflow, beyond the pixel limit
        Write(bytes);
        IMG* image = nullptr;
        EXPECT_EQ(Printed([&] { image = IMGLoad(path_.c_str()); }), "IMG error\n") << bytes;
        EXPECT_EQ(image, nullptr);
    }
    EXPECT_EQ(Printed([] { EXPECT_EQ(IMGLoad(nullptr), nullptr); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGLoad((dir_ + "/absent.ppm").c_str()), nullptr); }), "IMG error\n");
    // A directory, and a device that never ends, read as empty: no hang.
    EXPECT_EQ(Printed([&] { EXPECT_EQ(IMGLoad(dir_.c_str()), nullptr); }), "IMG error\n");
    if (access("/dev/zero", R_OK) == 0) {
        EXPECT_EQ(Printed([] { EXPECT_EQ(IMGLoad("/dev/zero"), nullptr); }), "IMG error\n");
    }

    Write(std::string("P6\n2 2\n255\n\x01\x02\x03\x04", 15));
    IMG* image = nullptr;
    EXPECT_EQ(Printed([&] { image = IMGLoad(path_.c_str()); }), "");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(WordsOf(image), (Words{0x010203, 0, 0, 0}));
    IMGFree(&image);
    Write("P3 2 1 255 9 8");
    image = IMGLoad(path_.c_str());
    EXPECT_EQ(WordsOf(image), (Words{0, 0}));
    IMGFree(&image);
}
