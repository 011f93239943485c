// Around the window: the enlargement chosen from the desktop, fullscreen's
// whole-number scale, the user's impossible scaling giving way, library
// chatter held back, the window keys (F11, Alt+Enter, F12) acting without ever
// reaching the show's key code, the double-click's bounds, and screenshots
// holding exactly the frame on screen.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/pointer.h"
#include "platform/quiet.h"
#include "platform/sdldpy.h"
#include "platform/shot.h"
#include "platform/window.h"
#include "platform/sdlkbd.h"
#include "tests/readback.h"

namespace {

void PushDown(SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

using testout::ReadPNG;

// Standard output of one call, read back from a temporary file.
struct StdoutCapture {
    std::FILE* file = std::tmpfile();
    int saved = dup(STDOUT_FILENO);
    StdoutCapture() {
        std::fflush(stdout);
        dup2(fileno(file), STDOUT_FILENO);
    }
    std::string Finish() {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        std::rewind(file);
        std::string text;
        for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
        std::fclose(file);
        return text;
    }
};

class Window : public testing::Test {
protected:
    SDLDPY* display = nullptr;
    SDLKBD* keyboard = nullptr;
    std::string dir;
    std::vector<std::uint32_t> words = std::vector<std::uint32_t>(256 * 256);
    IMG frame{256, 256, nullptr};

    void SetUp() override {
        char pattern[] = "/tmp/velm-shot-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("XDG_PICTURES_DIR", dir.c_str(), 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
        display = SDLDPYNew();
        ASSERT_NE(display, nullptr);
        keyboard = SDLKBDNew();
        ASSERT_NE(keyboard, nullptr);
        for (std::uint32_t i = 0; i < words.size(); ++i) words[i] = (i * 0x9E3779B1u) & 0x00FFFFFFu;
        frame.pixels = words.data();
        SDLDPYShow(display, &frame);
    }
    void TearDown() override {
        SDLKBDFree(&keyboard);
        SDLDPYFree(&display);
        SDL_Quit();
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    // The PNG files in the pictures folder.
    std::vector<std::string> Shots() {
        std::vector<std::string> names;
        std::FILE* list = popen(("ls '" + dir + "'").c_str(), "r");
        char line[512];
        while (list != nullptr && std::fgets(line, sizeof line, list) != nullptr) {
            std::string name = line;
            name.pop_back();
            names.push_back(name);
        }
        if (list != nullptr) pclose(list);
        return names;
    }
};

}  // namespace

TEST(WindowScale, LargestWholeScaleWithinTwoThirdsOfTheDesktop) {
    EXPECT_EQ(SDLDPYWindowScale(1080), 2);   // 512 of 720 lines
    EXPECT_EQ(SDLDPYWindowScale(2160), 5);   // 1280 of 1440
    EXPECT_EQ(SDLDPYWindowScale(768), 2);    // exactly 512
    EXPECT_EQ(SDLDPYWindowScale(767), 1);
    EXPECT_EQ(SDLDPYWindowScale(480), 1);    // too small to enlarge
    EXPECT_EQ(SDLDPYWindowScale(0), 1);
    EXPECT_EQ(SDLDPYWindowScale(-5), 1);
    EXPECT_GE(SDLDPYWindowScale(INT32_MAX), 1);   // no overflow
}

TEST(WindowScale, FullScreenTakesTheLargestWholeScaleThatFits) {
    struct Case {
        std::int32_t screenWidth, screenHeight, scale;
    };
    for (const Case& c : {Case{1920, 1080, 4}, Case{3840, 2160, 8}, Case{1024, 768, 3}, Case{1280, 1024, 4},
                          Case{2560, 1080, 4}, Case{1080, 1920, 4}, Case{511, 4000, 1}, Case{200, 200, 1},
                          Case{0, 0, 1}, Case{INT32_MAX, INT32_MAX, INT32_MAX / 256}}) {
        EXPECT_EQ(SDLDPYFitScale(256, 256, c.screenWidth, c.screenHeight), c.scale)
            << c.screenWidth << " x " << c.screenHeight;
    }
    EXPECT_EQ(SDLDPYFitScale(0, 256, 1920, 1080), 1);
}

// Without an X server to ask nothing is chosen (SDL's own 1 holds); the
// user's settings always win.
TEST(WindowScale, TheUsersOwnSettingsWinAndNoDesktopChoosesNothing) {
    setenv("DISPLAY", ":65000", 1);   // nobody there
    std::int32_t w = 0;
    std::int32_t h = 0;
    EXPECT_FALSE(SDLDPYDesktopSize(&w, &h));
    unsetenv("DISPLAY");
    EXPECT_FALSE(SDLDPYDesktopSize(&w, &h));

    setenv("SDL12COMPAT_WINDOW_SCALING", "1", 1);
    setenv("SDL12COMPAT_SCALE_METHOD", "linear", 1);
    SDLDPYChooseScaling();
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "1");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SCALE_METHOD"), "linear");

    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    unsetenv("SDL12COMPAT_SCALE_METHOD");
    SDLDPYChooseScaling();
    EXPECT_EQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), nullptr);
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SCALE_METHOD"), "nearest");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);   // SDL is not started to ask
}

// A refused mode gives up the user's scaling once, in one line, and only the
// user's: the show's own choice is never blamed on the user.
TEST(WindowScale, AnImpossibleUserScalingGivesWayOnceInOneLine) {
    unsetenv("DISPLAY");
    setenv("SDL12COMPAT_WINDOW_SCALING", "99999", 1);
    SDLDPYChooseScaling();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(SDLDPYDropUserScaling("Window is too large."));
    EXPECT_FALSE(SDLDPYDropUserScaling("Window is too large."));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "velm4023: SDL12COMPAT_WINDOW_SCALING=99999 cannot be used (Window is too large.); "
              "the window takes its automatic size\n");
    EXPECT_EQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), nullptr);   // no desktop known: SDL's own size

    SDLDPYChooseScaling();   // now unset by the user
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SDLDPYDropUserScaling("Window is too large."));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Between QuietBegin and QuietEnd standard error goes nowhere, unless the
// user asked to see the libraries' messages; afterwards it is the same file.
TEST(Quiet, StandardErrorIsHeldBackUnlessAskedFor) {
    struct Case {
        const char* asked;
        bool heard;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"0", false}, Case{"1", true}, Case{"yes", true}}) {
        if (c.asked != nullptr) {
            setenv("VELM4023_LIBRARY_MESSAGES", c.asked, 1);
        } else {
            unsetenv("VELM4023_LIBRARY_MESSAGES");
        }
        testing::internal::CaptureStderr();
        const int saved = SDLDPYQuietBegin();
        EXPECT_EQ(saved < 0, c.heard);
        EXPECT_TRUE(saved < 0 || saved > 2);
        const char library[] = "a library speaks\n";
        EXPECT_EQ(write(STDERR_FILENO, library, sizeof library - 1), static_cast<ssize_t>(sizeof library - 1));
        SDLDPYQuietEnd(saved);
        std::fprintf(stderr, "the show speaks\n");
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string(c.heard ? "a library speaks\n" : "") + "the show speaks\n")
            << (c.asked != nullptr ? c.asked : "unset");
    }
    unsetenv("VELM4023_LIBRARY_MESSAGES");
}

TEST_F(Window, PicturesFolderFallsBackToHomeThenTheCurrentFolder) {
    char folder[4096];
    SDLDPYPicturesDir(folder, sizeof folder);
    EXPECT_EQ(folder, dir);

    const std::string home = dir + "/home";
    ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_PICTURES_DIR", (dir + "/missing").c_str(), 1);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    SDLDPYPicturesDir(folder, sizeof folder);
    EXPECT_STREQ(folder, cwd);   // no Pictures in the home folder

    ASSERT_EQ(mkdir((home + "/Pictures").c_str(), 0700), 0);
    SDLDPYPicturesDir(folder, sizeof folder);
    EXPECT_EQ(folder, home + "/Pictures");
}

TEST_F(Window, F12WritesTheExactFrameOnScreenAndPrintsItsPath) {
    StdoutCapture out;
    PushDown(SDLK_F12);
    SDLKBDGetKey(keyboard);
    const std::string printed = out.Finish();
    EXPECT_EQ(keyboard->buffer[0], 0);   // never a key code for the show

    const std::vector<std::string> shots = Shots();
    ASSERT_EQ(shots.size(), 1u);
    const std::string& name = shots[0];
    // velm4023-YYYYMMDD-HHMMSS-NNN.png, NNN the frame number: one frame shown.
    ASSERT_EQ(name.size(), std::string("velm4023-20261208-120000-001.png").size()) << name;
    EXPECT_EQ(name.substr(0, 9), "velm4023-");
    EXPECT_EQ(name.substr(name.size() - 8), "-001.png");
    EXPECT_EQ(printed, dir + "/" + name + "\n");

    int w = 0;
    int h = 0;
    const std::vector<std::uint32_t> decoded = ReadPNG(dir + "/" + name, &w, &h);
    ASSERT_EQ(w, 256);
    ASSERT_EQ(h, 256);
    EXPECT_EQ(decoded, words);
}

TEST_F(Window, AFailedScreenshotIsReportedAndLeavesNoFile) {
    // A folder no one can create files in, root included.
    setenv("XDG_PICTURES_DIR", "/proc/self", 1);
    testing::internal::CaptureStderr();
    StdoutCapture out;
    EXPECT_FALSE(SDLDPYScreenshot(display));
    EXPECT_EQ(out.Finish(), "");
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(error.rfind("velm4023: screenshot not written: /proc/self/velm4023-", 0), 0u) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1);

    SDLDPYShow(display, &frame);   // the show goes on
    EXPECT_EQ(SDLDPYFramesShown(), 2);
}

TEST_F(Window, WindowKeysAndModifiersNeverBecomeKeyCodes) {
    keyboard->buffer[0] = '9';
    for (SDLKey sym : {SDLK_F11, SDLK_F11, SDLK_LSHIFT, SDLK_RSHIFT, SDLK_LALT}) {
        PushDown(sym);
        SDLKBDGetKey(keyboard);
        EXPECT_EQ(keyboard->buffer[0], '9') << "key " << sym;
    }
    PushDown(SDLK_RETURN, KMOD_LALT);   // Alt+Enter toggles, Enter alone is a key
    SDLKBDGetKey(keyboard);
    EXPECT_EQ(keyboard->buffer[0], '9');
    PushDown(SDLK_RETURN);
    SDLKBDGetKey(keyboard);
    EXPECT_EQ(keyboard->buffer[0], 13);
    EXPECT_TRUE(Shots().empty());
}

// The double-click: two presses within 400 ms (inclusive) and 4 pixels each
// way, counted across the tick counter's wrap; the press that completes one
// never starts the next.
TEST(Pointer, ADoubleClickIsTwoPressesCloseInTimeAndPlace) {
    EXPECT_FALSE(SDLDPYPointerDoubleClick(10, 10, 1000));
    EXPECT_TRUE(SDLDPYPointerDoubleClick(14, 6, 1400));
    EXPECT_FALSE(SDLDPYPointerDoubleClick(14, 6, 1500));   // a third press starts afresh
    EXPECT_FALSE(SDLDPYPointerDoubleClick(14, 6, 1901));   // 401 ms after the one before
    EXPECT_FALSE(SDLDPYPointerDoubleClick(19, 6, 2000));   // 5 pixels away
    EXPECT_FALSE(SDLDPYPointerDoubleClick(19, 11, 2100));
    EXPECT_TRUE(SDLDPYPointerDoubleClick(19, 11, 2200));
    EXPECT_FALSE(SDLDPYPointerDoubleClick(0, 0, 0xFFFFFF00u));
    EXPECT_TRUE(SDLDPYPointerDoubleClick(0, 0, 0x40u));    // 320 ms later, the counter wrapped
}
