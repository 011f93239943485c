// The capture tool's care with files: every output it cannot make is refused
// before the first frame, existing files are kept unless --overwrite, and a
// run that fails half-way (full disk) leaves nothing behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/readback.h"

namespace {

using testout::ReadWhole;

struct Outcome {
    int status;
    std::string err;
};

// Runs `cd DIR && tool arguments > out` with a time limit, so that a refusal
// that came only after rendering (an endless range) shows as a failure; env
// is given to env(1).
Outcome Tool(const std::string& dir, const std::string& arguments, const std::string& env = "",
             const std::string& out = "/dev/null") {
    const std::string err = dir + "/.err";
    const std::string command = "cd '" + dir + "' && timeout 60 env " + env + " '" + CAPTURE_BINARY + "' " +
                                arguments + " < /dev/null > " + out + " 2> '" + err + "'";
    const int raw = std::system(command.c_str());
    Outcome outcome = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWhole(err)};
    std::remove(err.c_str());
    return outcome;
}

bool HaveFFmpeg() { return std::system("command -v ffmpeg > /dev/null 2>&1") == 0; }

// Fails when a tool is missing under CI, else skips.
#define NEED(have, what)                                                                    \
    if (!(have)) {                                                                          \
        const char* ci = std::getenv("CI");                                                 \
        if (ci != nullptr && std::string(ci) == "true") FAIL() << what << " is missing";   \
        GTEST_SKIP() << what << " is missing";                                              \
    }

class CaptureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/velm-capture-files-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        for (const char* old : {"old.mp4", "old.wav", "old.gif", "frames/frame-000003.png"}) {
            if (std::string(old).find('/') != std::string::npos) mkdir((dir + "/frames").c_str(), 0777);
            std::ofstream(dir + "/" + old) << "kept";
        }
    }
    void TearDown() override { EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }
    std::string dir;
};

}  // namespace

// Every refusal: status 2 at once, the message names what was refused, and
// the files already there keep their contents.
TEST_F(CaptureFiles, RefusedBeforeTheFirstFrame) {
    struct Case {
        const char* arguments;
        const char* said;
        const char* prefix;
    };
    const Case cases[] = {
        {"--video old.mp4", "old.mp4: the file exists; give --overwrite", ""},
        {"--wav old.wav", "old.wav: the file exists", ""},
        {"--png frames", "frame-000003.png exists", ""},
        {"--video missing/clip.mp4", "the folder missing does not exist", ""},
        {"--wav missing/sound.wav", "the folder missing does not exist", ""},
        {"--video clip.avi", "clip.avi: unknown extension", ""},
        {"--wav sound.mp3", "sound.mp3: unknown extension", ""},
        {"--video old.mp4/clip.mp4", "does not exist", ""},
        {"--video clip.mp4", "needs ffmpeg", "PATH=/nonexistent"},
        {"--ppm-stream --keys @missing.keys", "missing.keys", ""},
        {"--ppm-stream --keys @frames", "--keys @frames", ""},
    };
    for (const Case& c : cases) {
        const Outcome run = Tool(dir, std::string("--frames 1:1000000000 ") + c.arguments, c.prefix);
        EXPECT_EQ(run.status, 2) << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.arguments << ": " << run.err;
    }
    for (const char* old : {"old.mp4", "old.wav", "old.gif", "frames/frame-000003.png"}) {
        EXPECT_EQ(ReadWhole(dir + "/" + old), "kept") << old;
    }
    EXPECT_EQ(Tool(dir, "--frames 1:2 --wav old.wav --overwrite").status, 0);
    EXPECT_EQ(ReadWhole(dir + "/old.wav").substr(0, 4), "RIFF");
    EXPECT_EQ(Tool(dir, "--frames 1:3 --png frames --overwrite").status, 0);
    EXPECT_EQ(ReadWhole(dir + "/frames/frame-000003.png").substr(1, 3), "PNG");
}

// --keys @FILE reads entries separated by commas or lines, with comments, and
// mixes with entries given inline: the frames are those of the inline keys.
TEST_F(CaptureFiles, KeysFileEqualsTheSameKeysInline) {
    std::ofstream(dir + "/show.keys") << "# a performance\n2:space, 4:f  # readout\n\n6:1\r\n";
    const Outcome fromFile = Tool(dir, "--frames 1:9 --keys @show.keys --keys 8:2 --ppm-stream", "", "a.ppm");
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    ASSERT_EQ(Tool(dir, "--frames 1:9 --keys 2:space,4:f,6:1,8:2 --ppm-stream", "", "b.ppm").status, 0);
    ASSERT_EQ(Tool(dir, "--frames 1:9 --ppm-stream", "", "c.ppm").status, 0);
    EXPECT_GT(ReadWhole(dir + "/a.ppm").size(), 9u * 256 * 256 * 3);
    EXPECT_EQ(ReadWhole(dir + "/a.ppm"), ReadWhole(dir + "/b.ppm"));
    EXPECT_NE(ReadWhole(dir + "/a.ppm"), ReadWhole(dir + "/c.ppm"));
}

// A disk that fills half-way: status 1, one line, and neither the output nor a
// temporary file is left, for a WAV and for a video.
TEST_F(CaptureFiles, FullDiskLeavesNoFile) {
    NEED(HaveFFmpeg(), "ffmpeg");
    const bool tmpfs = std::system(("unshare -m sh -c 'mount -t tmpfs -o size=1m tmpfs \"" + dir +
                                    "/frames\"' 2> /dev/null").c_str()) == 0;
    NEED(tmpfs, "a private 1 MiB tmpfs (unshare -m, mount)");
    for (const char* output : {"--wav full/sound.wav", "--scale 4 --video full/clip.mp4"}) {
        mkdir((dir + "/full").c_str(), 0777);
        const std::string script = "mount -t tmpfs -o size=1m tmpfs full && TMPDIR=full " +
                                   std::string("timeout 120 '") + CAPTURE_BINARY + "' --frames 1:400 " + output +
                                   " 2> .err; echo $? > .status; ls -A full > .left";
        ASSERT_EQ(std::system(("cd '" + dir + "' && unshare -m sh -c '" + script + "'").c_str()), 0);
        EXPECT_EQ(ReadWhole(dir + "/.status"), "1\n") << output << ": " << ReadWhole(dir + "/.err");
        EXPECT_EQ(ReadWhole(dir + "/.left"), "") << output;
        EXPECT_NE(ReadWhole(dir + "/.err").find("velm4023-capture: "), std::string::npos) << output;
    }
}

// Sharing: --gif is a GIF89a of the frame's size with one image per frame at 2
// hundredths of a second; --fit 1920x1080 is the 4x frame at 448, 28 on black;
// the progress lines (frames, joining) show on a terminal (script) and never
// in a pipe.
TEST_F(CaptureFiles, GifFitAndProgress) {
    NEED(HaveFFmpeg(), "ffmpeg");
    ASSERT_EQ(Tool(dir, "--frames 1002:1021 --gif clip.gif").status, 0);
    const std::string gif = ReadWhole(dir + "/clip.gif");
    ASSERT_GT(gif.size(), 13u);
    EXPECT_EQ(gif.substr(0, 6), "GIF89a");
    EXPECT_EQ(static_cast<unsigned char>(gif[6]) | static_cast<unsigned char>(gif[7]) << 8, 256);
    EXPECT_EQ(static_cast<unsigned char>(gif[8]) | static_cast<unsigned char>(gif[9]) << 8, 256);
    ASSERT_EQ(std::system(("cd '" + dir + "' && ffprobe -v error -count_frames -show_entries "
                           "stream=nb_read_frames,r_frame_rate -of csv=p=0 clip.gif > probe").c_str()), 0);
    EXPECT_EQ(ReadWhole(dir + "/probe"), "50/1,20\n");

    ASSERT_EQ(Tool(dir, "--frames 1500 --fit 1920x1080 --ppm-stream", "", "fit.ppm").status, 0);
    ASSERT_EQ(Tool(dir, "--frames 1500 --scale 4 --ppm-stream", "", "four.ppm").status, 0);
    const std::string fit = ReadWhole(dir + "/fit.ppm"), four = ReadWhole(dir + "/four.ppm");
    const std::string fitHead = "P6\n1920 1080\n255\n", fourHead = "P6\n1024 1024\n255\n";
    ASSERT_EQ(fit.size(), fitHead.size() + 1920u * 1080 * 3);
    ASSERT_EQ(four.size(), fourHead.size() + 1024u * 1024 * 3);
    bool centred = true, black = true;
    for (std::size_t y = 0; y < 1080; y++) {
        const std::string row = fit.substr(fitHead.size() + y * 1920 * 3, 1920 * 3);
        const bool inside = y >= 28 && y < 28 + 1024;
        if (inside) centred &= row.compare(448 * 3, 1024 * 3, four, fourHead.size() + (y - 28) * 1024 * 3, 1024 * 3) == 0;
        for (std::size_t x = 0; x < 1920; x++) {
            if (!inside || x < 448 || x >= 448 + 1024) black &= row.compare(x * 3, 3, std::string(3, '\0')) == 0;
        }
    }
    EXPECT_TRUE(centred) << "the 4x frame is not at 448, 28";
    EXPECT_TRUE(black) << "the border is not black";

    const std::string capture =
        std::string("'") + CAPTURE_BINARY + "' --frames 1:400 --wav p.wav --video p.mp4 --overwrite";
    ASSERT_EQ(std::system(("cd '" + dir + "' && script -qec \"" + capture + "\" /dev/null > tty.txt").c_str()), 0);
    // A sanitizer build's leak checker would list the suppressions it used.
    ASSERT_EQ(std::system(("cd '" + dir + "' && LSAN_OPTIONS=print_suppressions=0 " + capture + " 2> pipe.txt").c_str()),
              0);
    EXPECT_NE(ReadWhole(dir + "/tty.txt").find("\rvelm4023-capture: frame 400 of 400 (100%)"), std::string::npos)
        << ReadWhole(dir + "/tty.txt");
    EXPECT_NE(ReadWhole(dir + "/tty.txt").find("joining 400 frames"), std::string::npos);
    EXPECT_EQ(ReadWhole(dir + "/pipe.txt"), "");
}
