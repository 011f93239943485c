// The capture tool's sound: the WAV writer, --wav against the synth's own
// render with the same keys, and --video through ffmpeg.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "sound/synth.h"
#include "capture/capture.h"
#include "tests/readback.h"

namespace {

using testout::ReadWhole;

std::string TempPath(const char* name) {
    return "/tmp/velm-capture-sound-" + std::to_string(getpid()) + "-" + name;
}

// Runs `prefix 'tool' arguments`; returns the exit status, standard error into err.
int Capture(const std::string& arguments, std::string* err, const std::string& prefix = "") {
    const std::string errPath = TempPath("err");
    const std::string command = prefix + " '" + CAPTURE_BINARY + "' " + arguments + " < /dev/null > /dev/null 2> " + errPath;
    const int raw = std::system(command.c_str());
    *err = ReadWhole(errPath);
    std::remove(errPath.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::uint32_t Read32(const std::string& s, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

}  // namespace

// A WAV announced for more frames than were written gets its true sizes;
// samples are little-endian, left first.
TEST(CaptureWav, HeaderCarriesTheFramesWritten) {
    const std::string path = TempPath("header.wav");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(CAPTUREWavStart(file, 1000));
    const std::int16_t samples[6] = {1, -1, 0x1234, -32768, 32767, 0};
    ASSERT_TRUE(CAPTUREWavWrite(file, samples, 3));
    ASSERT_TRUE(CAPTUREWavFinish(file, 3));
    const std::string wav = ReadWhole(path);
    std::remove(path.c_str());
    ASSERT_EQ(wav.size(), 44u + 12u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Read32(wav, 4), 36u + 12u);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Read32(wav, 24), 44100u);
    EXPECT_EQ(Read32(wav, 28), 44100u * 4);
    EXPECT_EQ(Read32(wav, 40), 12u);
    EXPECT_EQ(wav.substr(44), std::string("\x01\x00\xff\xff\x34\x12\x00\x80\xff\x7f\x00\x00", 12));
}

// The WAV of frames 3 to 160 is the synth's own render of those frames, with
// m at frames 20 and 40 silencing frames 21 to 40 and Space at frame 60
// starting part two's section on the beat after frame 61 begins.
TEST(CaptureWav, SoundOfTheFramesWithTheirKeys) {
    const std::string path = TempPath("keys.wav");
    std::string err;
    ASSERT_EQ(Capture("--frames 3:160 --keys 20:m,40:m,60:space --wav '" + path + "'", &err), 0) << err;
    const std::string wav = ReadWhole(path);
    std::remove(path.c_str());

    SYNTH* synth = SYNTHNew();
    std::string expected;
    std::int16_t frame[2 * SYNTH_FRAME];
    for (std::int32_t k = 1; k <= 160; ++k) {
        if (k == 61) SYNTHCue(synth, 1);
        SYNTHMute(synth, k >= 21 && k <= 40);
        SYNTHRender(synth, frame, SYNTH_FRAME);
        if (k < 3) continue;
        for (const std::int16_t s : frame) {
            expected += static_cast<char>(s & 0xFF);
            expected += static_cast<char>((s >> 8) & 0xFF);
        }
    }
    SYNTHFree(&synth);
    ASSERT_EQ(wav.size(), 44 + expected.size());
    EXPECT_EQ(Read32(wav, 40), expected.size());
    EXPECT_TRUE(wav.compare(44, std::string::npos, expected) == 0) << "the sound differs from the synth's render";
}

TEST(CaptureVideo, WithoutFFmpegSaysSo) {
    std::string err;
    EXPECT_EQ(Capture("--frames 1:2 --video /tmp/never.mp4", &err, "env PATH=/nonexistent"), 2);
    EXPECT_NE(err.find("--video needs ffmpeg"), std::string::npos) << err;
}

// MP4 and WebM by the file's name.
TEST(CaptureVideo, WritesMp4AndWebM) {
    if (!CAPTUREHaveFFmpeg()) {
        if (std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true") FAIL() << "ffmpeg is not installed";
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string mp4 = TempPath("clip.mp4"), webm = TempPath("clip.webm");
    std::string err;
    ASSERT_EQ(Capture("--frames 1002:1026 --video '" + mp4 + "'", &err), 0) << err;
    ASSERT_EQ(Capture("--frames 1002:1011 --video '" + webm + "'", &err), 0) << err;
    const std::string a = ReadWhole(mp4), b = ReadWhole(webm);
    std::remove(mp4.c_str());
    std::remove(webm.c_str());
    ASSERT_GT(a.size(), 1000u);
    EXPECT_EQ(a.substr(4, 4), "ftyp");
    ASSERT_GT(b.size(), 1000u);
    EXPECT_EQ(b.substr(0, 4), "\x1a\x45\xdf\xa3");
}

// --video and --gif in one run: two encoders at once, each of which must see
// the end of its own frames (neither may hold the other's pipe open), and
// both files whole, as ffprobe reads them.
TEST(CaptureVideo, VideoAndGifInOneRun) {
    const bool ci = std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true";
    if (!CAPTUREHaveFFmpeg() || std::system("command -v ffprobe > /dev/null 2>&1") != 0) {
        if (ci) FAIL() << "ffmpeg or ffprobe is not installed";
        GTEST_SKIP() << "ffmpeg or ffprobe is not installed";
    }
    const std::string mp4 = TempPath("both.mp4"), gif = TempPath("both.gif");
    std::string err;
    // timeout: a run whose encoders wait for each other ends as a failure.
    ASSERT_EQ(Capture("--frames 1:20 --video '" + mp4 + "' --gif '" + gif + "'", &err, "timeout 120"), 0) << err;
    for (const std::string& path : {mp4, gif}) {
        const std::string out = TempPath("probe");
        const std::string probe = "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                  "stream=nb_read_frames -of csv=p=0 '" + path + "' > " + out;
        EXPECT_EQ(std::system(probe.c_str()), 0) << path;
        EXPECT_EQ(std::atoi(ReadWhole(out).c_str()), 20) << path;
        std::remove(out.c_str());
        std::remove(path.c_str());
    }
}
