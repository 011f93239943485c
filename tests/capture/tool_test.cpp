// The capture tool as a separate process: exit status, messages, files, the
// image stream and keys fed into the running show.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/readback.h"

namespace {

struct RUN {
    int status;           // exit status, -1 when it did not exit normally
    std::string out;      // standard output
    std::string err;      // standard error
};

struct Image {
    std::int32_t width;
    std::int32_t height;
    std::string rgb;
};

std::string TempDir() {
    char name[] = "/tmp/velm-capture-XXXXXX";
    return mkdtemp(name) != nullptr ? name : "";
}

using testout::ReadWhole;

// Runs the tool with the arguments (a shell word list), stdin from /dev/null.
RUN Capture(const std::string& arguments) {
    static int serial = 0;
    std::string base = "/tmp/velm-capture-run-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    std::string command = std::string("'") + CAPTURE_BINARY + "' " + arguments + " < /dev/null > " + base +
                          ".out 2> " + base + ".err";
    int raw = std::system(command.c_str());
    RUN run = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWhole(base + ".out"), ReadWhole(base + ".err")};
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return run;
}

// Reads the decimal number at data[at], moving at past it and the one byte
// that ends it, which must be the given one.
bool Number(const std::string& data, std::size_t* at, char end, std::int32_t* value) {
    std::int64_t sum = 0;
    std::size_t start = *at;
    while (*at < data.size() && data[*at] >= '0' && data[*at] <= '9' && sum < 100000) {
        sum = sum * 10 + (data[(*at)++] - '0');
    }
    if (*at == start || *at >= data.size() || data[*at] != end) {
        return false;
    }
    (*at)++;
    *value = static_cast<std::int32_t>(sum);
    return true;
}

// Splits a stream of binary PPM images as the tool writes them
// ("P6\nW H\n255\n" and the pixels); stops at the first malformed one.
std::vector<Image> SplitPPM(const std::string& data, bool* clean) {
    std::vector<Image> images;
    std::size_t at = 0;
    *clean = true;
    while (at < data.size()) {
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int32_t maxval = 0;
        bool header = data.compare(at, 3, "P6\n") == 0;
        at += 3;
        if (!header || !Number(data, &at, ' ', &width) || !Number(data, &at, '\n', &height) ||
            !Number(data, &at, '\n', &maxval) || width <= 0 || height <= 0 || maxval != 255) {
            *clean = false;
            break;
        }
        std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
        if (data.size() - at < bytes) {
            *clean = false;
            break;
        }
        images.push_back({width, height, data.substr(at, bytes)});
        at += bytes;
    }
    return images;
}

// The frames of one run, as images.
std::vector<Image> Frames(const std::string& arguments, RUN* run = nullptr) {
    RUN local = Capture(arguments + " --ppm-stream");
    bool clean = false;
    std::vector<Image> images = SplitPPM(local.out, &clean);
    EXPECT_EQ(local.status, 0) << local.err;
    EXPECT_TRUE(clean) << "the stream holds something that is not a P6 image";
    if (run != nullptr) {
        *run = local;
    }
    return images;
}

// True when a and b differ only inside the rectangle [0, w) x [0, h).
bool DiffersOnlyTopLeft(const Image& a, const Image& b, std::int32_t w, std::int32_t h) {
    for (std::int32_t y = 0; y < a.height; y++) {
        for (std::int32_t x = 0; x < a.width; x++) {
            std::size_t i = (static_cast<std::size_t>(y) * a.width + x) * 3;
            if ((x >= w || y >= h) && a.rgb.compare(i, 3, b.rgb, i, 3) != 0) {
                return false;
            }
        }
    }
    return true;
}

TEST(CaptureTool, HelpAndArgumentErrors) {
    RUN help = Capture("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--frames FIRST:LAST"), std::string::npos);
    EXPECT_NE(help.out.find("ffmpeg"), std::string::npos);

    const char* bad[] = {"", "--frames 1:2", "--frames 2:1 --ppm-stream", "--frames 1:2 --ppm-stream --scale 99",
                         "--frames 1:2 --ppm-stream --keys 1:what", "--frames 1:2 --ppm-stream --wrong"};
    for (const char* arguments : bad) {
        RUN run = Capture(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.err.rfind("velm4023-capture: ", 0), 0u) << arguments << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << arguments;
    }
}

TEST(CaptureTool, UnwritableDirectoryStopsBeforeTheShow) {
    std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    std::string file = dir + "/plain";
    std::FILE* made = std::fopen(file.c_str(), "w");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    RUN run = Capture("--frames 1:2 --png '" + file + "/frames'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    run = Capture("--frames 1:2 --png '" + file + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not a directory"), std::string::npos) << run.err;
    EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}

TEST(CaptureTool, PNGFilesAreEnlargedCopiesOfTheStream) {
    if (std::system("command -v pngtopnm > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "pngtopnm (netpbm) is not installed";
    }
    std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    std::string out = dir + "/frames";   // made by the tool
    RUN run = Capture("--frames 3:4 --scale 2 --png '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<Image> plain = Frames("--frames 3:4");
    ASSERT_EQ(plain.size(), 2u);
    for (int frame = 3; frame <= 4; frame++) {
        char name[64];
        std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
        std::string decoded = dir + "/decoded.ppm";
        ASSERT_EQ(std::system(("pngtopnm '" + out + name + "' > '" + decoded + "'").c_str()), 0) << name;
        bool clean = false;
        std::vector<Image> png = SplitPPM(ReadWhole(decoded), &clean);
        ASSERT_EQ(png.size(), 1u) << name;
        const Image& small = plain[static_cast<std::size_t>(frame - 3)];
        EXPECT_EQ(png[0].width, 2 * small.width);
        EXPECT_EQ(png[0].height, 2 * small.height);
        bool same = true;
        for (std::int32_t y = 0; y < png[0].height && same; y++) {
            for (std::int32_t x = 0; x < png[0].width; x++) {
                std::size_t big = (static_cast<std::size_t>(y) * png[0].width + x) * 3;
                std::size_t one = (static_cast<std::size_t>(y / 2) * small.width + x / 2) * 3;
                same &= png[0].rgb.compare(big, 3, small.rgb, one, 3) == 0;
            }
        }
        EXPECT_TRUE(same) << name << " is not frame " << frame << " enlarged";
    }
    EXPECT_NE(access((out + "/frame-000002.png").c_str(), F_OK), 0);   // only the frames asked for
    EXPECT_NE(access((out + "/frame-000005.png").c_str(), F_OK), 0);
    EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}

TEST(CaptureTool, StreamHoldsExactlyTheFramesAsked) {
    std::vector<Image> images = Frames("--frames 3:7");
    ASSERT_EQ(images.size(), 5u);
    for (const Image& image : images) {
        EXPECT_EQ(image.width, 256);
        EXPECT_EQ(image.height, 256);
    }
    EXPECT_NE(images[0].rgb, images[4].rgb);   // the show moves
    std::vector<Image> again = Frames("--frames 7");
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].rgb, images[4].rgb);     // and runs the same way every time
}

TEST(CaptureTool, SpaceSkipsToTheNextPart) {
    // Part two's animations start only in part two, so its first frame looks the
    // same whether part one ran out (frame 1002) or was skipped at frame 1.
    std::vector<Image> skipped = Frames("--frames 1:2 --keys 1:space");
    std::vector<Image> plain = Frames("--frames 2:2");
    std::vector<Image> partTwo = Frames("--frames 1002:1002");
    ASSERT_EQ(skipped.size(), 2u);
    ASSERT_EQ(plain.size(), 1u);
    ASSERT_EQ(partTwo.size(), 1u);
    EXPECT_EQ(skipped[1].rgb, partTwo[0].rgb);
    EXPECT_NE(skipped[1].rgb, plain[0].rgb);
}

TEST(CaptureTool, FKeyShowsTheReadoutTopLeft) {
    // The key is read after frame 1 is shown; from frame 2 on the readout covers
    // two glyph cells (15 x 26 each) and nothing else, and by frame 120 it shows
    // the measured rate.
    std::vector<Image> shown = Frames("--frames 1:2 --keys 1:f");
    std::vector<Image> plain = Frames("--frames 1:2");
    ASSERT_EQ(shown.size(), 2u);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(shown[0].rgb, plain[0].rgb);
    EXPECT_TRUE(DiffersOnlyTopLeft(shown[1], plain[1], 30, 26));
    shown = Frames("--frames 120 --keys 1:f");
    plain = Frames("--frames 120");
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_NE(shown[0].rgb, plain[0].rgb);
    EXPECT_TRUE(DiffersOnlyTopLeft(shown[0], plain[0], 30, 26));
    // In part two the scroller shares the font: each sets pen and target
    // before drawing, so the readout still lands top left and nowhere else.
    // Key 7 does nothing and stands in for f in the plain run.
    shown = Frames("--frames 4 --keys 1:space,2:f");
    plain = Frames("--frames 4 --keys 1:space,2:7");
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_TRUE(shown[0].rgb != plain[0].rgb) << "no readout in part two";
    EXPECT_TRUE(DiffersOnlyTopLeft(shown[0], plain[0], 30, 26));
}

TEST(CaptureTool, QuitFadesAndEndsTheRunEarly) {
    RUN run;
    std::vector<Image> images = Frames("--frames 1:100 --keys 10:q", &run);
    ASSERT_EQ(images.size(), 42u);   // 10 frames, then 32 fade steps
    EXPECT_EQ(images[41].rgb, std::string(images[41].rgb.size(), '\0'));
    EXPECT_NE(images[40].rgb, images[41].rgb);
    EXPECT_NE(run.err.find("ended after frame 42"), std::string::npos) << run.err;
}

// Starts the tool on an endless range with its stream on a pipe, waits for the
// first image, sends the signal and returns how the process ended (-1: still
// running two seconds later, then killed).
int EndBySignal(int signal) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return -2;
    }
    pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return -2;
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::freopen("/dev/null", "w", stderr);
        std::signal(SIGINT, SIG_DFL);   // a background job may inherit SIGINT ignored
        std::signal(SIGTERM, SIG_DFL);
        execl(CAPTURE_BINARY, CAPTURE_BINARY, "--frames", "1:1000000000", "--ppm-stream", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    char first[64];
    bool running = read(pipeEnds[0], first, sizeof first) > 0;   // the show presents frames
    kill(child, signal);
    int raw = 0;
    pid_t done = 0;
    for (int i = 0; i < 200 && done == 0; i++) {
        done = waitpid(child, &raw, WNOHANG);
        if (done == 0) {
            usleep(10000);
        }
    }
    if (done == 0) {
        kill(child, SIGKILL);
        waitpid(child, &raw, 0);
    }
    close(pipeEnds[0]);
    if (!running) {
        return -2;
    }
    return done == 0 ? -1 : raw;
}

}  // namespace

TEST(CaptureTool, CtrlCAndKillEndALongRun) {
    for (int signal : {SIGINT, SIGTERM}) {
        int raw = EndBySignal(signal);
        ASSERT_NE(raw, -2) << "the tool did not start";
        EXPECT_NE(raw, -1) << "still running 2 s after signal " << signal;
        EXPECT_TRUE(raw >= 0 && WIFSIGNALED(raw) && WTERMSIG(raw) == signal) << signal;
    }
}
