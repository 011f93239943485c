// Command line of the capture tool.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "capture/capture.h"

namespace {

struct Parsed {
    bool ok;
    std::string error;
};

// The words of the last parse: the options point into them.
std::vector<std::string> words;

// Runs the parser on the words given (argv[0] is added).
Parsed Parse(std::vector<std::string> given, CAPTUREOPTIONS* options) {
    words = std::move(given);
    std::vector<char*> argv;
    std::string name = "velm4023-capture";
    argv.push_back(name.data());
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    char error[512] = "";
    bool ok = CAPTUREParseArgs(static_cast<int>(argv.size()), argv.data(), options, error, sizeof error);
    return {ok, error};
}

CAPTUREOPTIONS options;   // too big for the stack of every test

TEST(CaptureOptions, FullCommandLine) {
    Parsed p = Parse({"--frames", "5:9", "--keys=7:space,3:q", "--keys", "12:27", "--png", "out", "--ppm-stream",
                      "--scale=3"},
                     &options);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(options.first, 5);
    EXPECT_EQ(options.last, 9);
    EXPECT_EQ(options.scale, 3);
    EXPECT_STREQ(options.pngDir, "out");
    EXPECT_TRUE(options.ppmStream);
    ASSERT_EQ(options.keyCount, 3);   // gathered from both --keys and sorted by frame
    EXPECT_EQ(options.keys[0].frame, 3);
    EXPECT_EQ(options.keys[0].code, 'q');
    EXPECT_EQ(options.keys[1].frame, 7);
    EXPECT_EQ(options.keys[1].code, ' ');
    EXPECT_EQ(options.keys[2].frame, 12);
    EXPECT_EQ(options.keys[2].code, 27);
}

TEST(CaptureOptions, DefaultsAndShortForms) {
    Parsed p = Parse({"--frames", "42", "--ppm-stream"}, &options);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(options.first, 42);   // a single number is a one-frame range
    EXPECT_EQ(options.last, 42);
    EXPECT_EQ(options.scale, 1);
    EXPECT_EQ(options.pngDir, nullptr);
    EXPECT_EQ(options.keyCount, 0);

    p = Parse({"--frames", "1:1000000000", "--png", "d"}, &options);
    EXPECT_TRUE(p.ok) << p.error;
    p = Parse({"--frames", "1:2", "--wav", "a.wav", "--video=b.webm"}, &options);   // sound alone is something to write
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_STREQ(options.wavPath, "a.wav");
    EXPECT_STREQ(options.videoPath, "b.webm");
    EXPECT_TRUE(Parse({"--frames", "x", "--help"}, &options).ok);   // --help wins over what is left
    EXPECT_TRUE(options.help);
}

TEST(CaptureOptions, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--png", "d"},                                  // no frames
        {"--frames", "1:3"},                             // nothing to write
        {"--frames", "0:3", "--png", "d"},               // frames count from 1
        {"--frames", "5:3", "--png", "d"},               // reversed
        {"--frames", "1:", "--png", "d"},
        {"--frames", "-1:3", "--png", "d"},
        {"--frames", "1:1000000001", "--png", "d"},      // beyond the frame limit
        {"--frames", "1:99999999999999999999", "--png", "d"},
        {"--frames", "1:3", "--png", ""},
        {"--frames", "1:3", "--png"},                    // value missing
        {"--frames", "1:3", "--png", "d", "--scale", "0"},
        {"--frames", "1:3", "--png", "d", "--scale", "17"},
        {"--frames", "1:3", "--png", "d", "--scale", "2x"},
        {"--frames", "1:3", "--png", "d", "--keys", "5"},
        {"--frames", "1:3", "--png", "d", "--keys", "0:q"},
        {"--frames", "1:3", "--png", "d", "--keys", "5:"},
        {"--frames", "1:3", "--png", "d", "--keys", "5:q,"},
        {"--frames", "1:3", "--png", "d", "--keys", "5:nokey"},
        {"--frames", "1:3", "--png", "d", "--keys", "5:q,5:f"},   // one key per frame
        {"--frames", "1:3", "--png", "d", "--frame", "2"},        // unknown option
        {"--frames", "1:3", "--png", "d", "--frames", "2:4"},     // a second range would hide the first
        {"--frames", "1:3", "--png", "d", "--keys", "1:05"},      // codes run from 10
        {"--frames", "1:3", "--png", "d", "--keys", "1:290"},     // F9 records; not inside the capture
        {"--frames", "1:3", "--png", "d", "extra"},
        {"--frames", "1:3", "--wav", ""},
        {"--frames", "1:3", "--video"},
        {"--frames", "1:3", "--gif", ""},
        {"--frames", "1:3", "--png", "d", "--fit", "1920x1080", "--scale", "2"},   // --fit chooses the scale
        {"--frames", "1:3", "--png", "d", "--fit", "1920"},
        {"--frames", "1:3", "--png", "d", "--fit", "200x1080"},                  // the frame does not fit
        {"--frames", "1:3", "--png", "d", "--fit", "20000x1080"},
        {"--frames", "1:3", "--video", "v.mp4", "--fit", "1921x1080"},          // yuv420p wants even sizes
        {"--frames", "1:3", "--png", "d", "--crf", "20"},                        // no video to set
        {"--frames", "1:3", "--video", "v.mp4", "--crf", "52"},
        {"--frames", "1:3", "--video", "v.mp4", "--crf", "-1"},
    };
    for (const auto& line_words : bad) {
        Parsed p = Parse(line_words, &options);
        std::string line;
        for (const auto& w : line_words) {
            line += w + " ";
        }
        EXPECT_FALSE(p.ok) << line;
        EXPECT_FALSE(p.error.empty()) << line;
    }
    EXPECT_NE(Parse({"--frames", "1:3", "--png", "d", "--keys", "4:q,4:f"}, &options).error.find("frame 4"),
              std::string::npos);
    // An entry too long for its buffer says so, and an empty one says what is wanted.
    const std::string longEntry = "1:" + std::string(70, 'x');
    EXPECT_NE(Parse({"--frames", "1:3", "--png", "d", "--keys", longEntry}, &options).error.find("longer than 63"),
              std::string::npos);
    EXPECT_NE(Parse({"--frames", "1:3", "--png", "d", "--keys", "5:q,"}, &options).error.find("empty entry"),
              std::string::npos);
    EXPECT_NE(Parse({"--frames", "1:3", "--frames", "2", "--png", "d"}, &options).error.find("twice"),
              std::string::npos);
}

TEST(CaptureOptions, KeyNames) {
    EXPECT_EQ(CAPTUREKeyCode("space"), 32);
    EXPECT_EQ(CAPTUREKeyCode("escape"), 27);
    EXPECT_EQ(CAPTUREKeyCode("esc"), 27);
    EXPECT_EQ(CAPTUREKeyCode("q"), 'q');
    EXPECT_EQ(CAPTUREKeyCode("Q"), 'Q');      // passed on as is: the show quits on Q too
    EXPECT_EQ(CAPTUREKeyCode("f"), 'f');
    EXPECT_EQ(CAPTUREKeyCode("1"), '1');      // one digit is the digit key, not code 1
    EXPECT_EQ(CAPTUREKeyCode("0"), '0');
    EXPECT_EQ(CAPTUREKeyCode("27"), 27);      // two or more digits are a key code
    EXPECT_EQ(CAPTUREKeyCode("304"), 304);    // left shift
    EXPECT_EQ(CAPTUREKeyCode("comma"), ',');
    EXPECT_EQ(CAPTUREKeyCode(""), 0);
    EXPECT_EQ(CAPTUREKeyCode(nullptr), 0);
    EXPECT_EQ(CAPTUREKeyCode(" "), 0);
    EXPECT_EQ(CAPTUREKeyCode("\x7f"), 0);
    EXPECT_EQ(CAPTUREKeyCode("00"), 0);
    EXPECT_EQ(CAPTUREKeyCode("05"), 0);       // two digits, but below the codes from 10
    EXPECT_EQ(CAPTUREKeyCode("10"), 10);
    EXPECT_EQ(CAPTUREKeyCode("99999"), 0);
    EXPECT_EQ(CAPTUREKeyCode("Space"), 0);
}

}  // namespace
