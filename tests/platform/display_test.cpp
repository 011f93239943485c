// The display against what SDL really presents: every presentation path is
// read back from the screen surface and, with the dummy driver saving frames,
// from the pictures SDL writes out.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/sdldpy.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELM_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VELM_ASAN 1
#endif
#ifdef VELM_ASAN
#include <sanitizer/lsan_interface.h>
#endif

// SDL keeps a few allocations until the process ends; they are not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libSDL2\nleak:libSDL-1.2\n"; }

namespace {

// An image over a vector the test owns, filled with a pattern unique per pixel.
struct Picture {
    std::vector<std::uint32_t> words;
    IMG img{};
    Picture(std::int32_t w, std::int32_t h, std::uint32_t seed) : words(static_cast<std::size_t>(w) * h) {
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                words[static_cast<std::size_t>(y) * w + x] = (seed + static_cast<std::uint32_t>(x) * 0x010203u +
                                                             static_cast<std::uint32_t>(y) * 0x030507u) & 0x00FFFFFFu;
        img = {w, h, words.data()};
    }
    std::uint32_t at(std::int32_t x, std::int32_t y) const { return words[static_cast<std::size_t>(y) * img.width + x]; }
};

// The screen surface's word at (x, y), colour bits only.
std::uint32_t ScreenAt(int x, int y) {
    SDL_Surface* s = SDL_GetVideoSurface();
    SDL_LockSurface(s);
    const auto* row = static_cast<const unsigned char*>(s->pixels) + static_cast<std::size_t>(y) * s->pitch;
    std::uint32_t word;
    std::memcpy(&word, row + static_cast<std::size_t>(x) * 4, 4);
    SDL_UnlockSurface(s);
    return word & 0x00FFFFFFu;
}

// Count of screen pixels in the top-left w x h that differ from the picture's
// pixels at the same place.
int ScreenMismatches(const Picture& p, int w, int h) {
    int bad = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bad += ScreenAt(x, y) != (p.at(x, y) & 0x00FFFFFFu);
    return bad;
}

class Display : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0) << SDL_GetError(); }
    void TearDown() override {
        SDLDPY* d = SDLDPYCurrent();
        if (d != nullptr) SDLDPYFree(&d);
        SDL_Quit();
    }
};

}  // namespace

TEST_F(Display, OneDisplayPerProcessWithItsGenericOperations) {
    EXPECT_EQ(SDLDPYCurrent(), nullptr);
    EXPECT_NE(SDLDPYProblem(), nullptr);  // nothing opened yet
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(SDLDPYNew(), d);
    EXPECT_EQ(SDLDPYCurrent(), d);

    SDLDPY stranger{256, 256, 32};
    EXPECT_TRUE(SDLDPYEqual(d, d));
    EXPECT_FALSE(SDLDPYEqual(d, nullptr));
    EXPECT_FALSE(SDLDPYEqual(&stranger, &stranger));
    EXPECT_EQ(SDLDPYCopy(d), d);
    EXPECT_EQ(SDLDPYCopy(&stranger), nullptr);
    EXPECT_STREQ(SDLDPYToASCII(d), "");
    EXPECT_EQ(SDLDPYToASCII(&stranger), nullptr);
    EXPECT_EQ(SDLDPYFromASCII(""), nullptr);
    EXPECT_EQ(SDLDPYFromASCII(nullptr), nullptr);

    SDLDPY* other = &stranger;
    SDLDPYFree(&other);  // not the display: refused
    EXPECT_EQ(other, &stranger);
    SDLDPYFree(nullptr);
    SDLDPYFree(&d);
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(SDLDPYCurrent(), nullptr);

    d = SDLDPYNew();  // a fresh display opens again at 256 x 256
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->width, 256);
    EXPECT_EQ(d->height, 256);
}

TEST_F(Display, ModeSizeDepthAndCaption) {
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->width, 256);
    EXPECT_EQ(d->height, 256);
    SDL_Surface* s = SDL_GetVideoSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 256);
    EXPECT_EQ(s->h, 256);
    EXPECT_EQ(d->depth, s->format->BitsPerPixel);
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    EXPECT_STREQ(title, "VELM4023");
    EXPECT_STREQ(icon, "VELM4023");
    EXPECT_EQ(SDLDPYProblem(), nullptr);  // the dummy driver was asked for

    SDLDPYSetMode(d, 320, 200);
    EXPECT_EQ(d->width, 320);
    EXPECT_EQ(d->height, 200);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 320);
    EXPECT_EQ(SDL_GetVideoSurface()->h, 200);

    SDLDPY stranger{};
    SDLDPYSetMode(d, -1, 100);
    SDLDPYSetMode(d, 100, -1);
    SDLDPYSetMode(nullptr, 64, 64);
    SDLDPYSetMode(&stranger, 64, 64);
    EXPECT_EQ(d->width, 320);
    EXPECT_EQ(d->height, 200);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 320);
    EXPECT_EQ(stranger.width, 0);
}

// Fullscreen on an invisible driver (the capture tool's) changes nothing:
// the screen stays the frame's, and so do the frames it presents.
TEST_F(Display, FullScreenLeavesAnInvisibleDriversScreenAlone) {
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    const Picture p(256, 256, 0x00204060u);
    SDLDPYToggleFullScreen(d);
    SDLDPYSetFullScreen(d, true);
    EXPECT_FALSE(SDLDPYIsFullScreen());
    ASSERT_EQ(SDL_GetVideoSurface()->w, 256);
    ASSERT_EQ(SDL_GetVideoSurface()->h, 256);
    SDLDPYShow(d, &p.img);
    EXPECT_EQ(ScreenMismatches(p, 256, 256), 0);
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::int32_t scale = -1;
    SDLDPYFramePlace(&x, &y, &scale);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(scale, 1);
}

// The fullscreen picture: each pixel a scale x scale square, rows pitch
// apart; the words beyond the picture's rows and below it are left alone, and
// impossible requests write nothing.
TEST(Enlarge, EveryPixelBecomesAWholeSquare) {
    const Picture p(5, 4, 0x00102030u);
    struct Case {
        std::int32_t width, height, scale;
        std::size_t pitch;
        bool writes;
    };
    for (const Case& c : {Case{5, 4, 1, 5, true}, Case{5, 4, 2, 10, true}, Case{3, 2, 3, 11, true},
                          Case{5, 4, 4, 23, true}, Case{0, 0, 2, 4, true}, Case{5, 4, 0, 20, false},
                          Case{6, 4, 1, 6, false}, Case{5, 5, 1, 5, false}, Case{5, 4, 2, 9, false}}) {
        const std::uint32_t untouched = 0xDEADBEEFu;
        std::vector<std::uint32_t> screen(c.pitch * 24 + 8, untouched);
        SDLDPYEnlarge(&p.img, c.width, c.height, c.scale, screen.data(), c.pitch);
        int bad = 0;
        for (std::size_t i = 0; i < screen.size(); ++i) {
            const std::size_t x = i % c.pitch;
            const std::size_t y = i / c.pitch;
            const bool inside = c.writes && c.scale > 0 && x < static_cast<std::size_t>(c.width * c.scale) &&
                                y < static_cast<std::size_t>(c.height * c.scale);
            const std::uint32_t want = inside ? p.at(static_cast<std::int32_t>(x) / c.scale,
                                                     static_cast<std::int32_t>(y) / c.scale)
                                              : untouched;
            bad += screen[i] != want;
        }
        EXPECT_EQ(bad, 0) << c.width << " x " << c.height << " at " << c.scale << ", pitch " << c.pitch;
    }
    std::uint32_t word = 0;
    SDLDPYEnlarge(nullptr, 1, 1, 1, &word, 1);
    SDLDPYEnlarge(&p.img, 1, 1, 1, nullptr, 1);
    EXPECT_EQ(word, 0u);
}

TEST_F(Display, ShowPresentsExactSmallerAndLargerImages) {
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    Picture full(256, 256, 0x102030);
    full.words[5] |= 0xFF000000u;  // the top byte must not blend the pixel away
    SDLDPYShow(d, &full.img);
    EXPECT_EQ(ScreenMismatches(full, 256, 256), 0);
    EXPECT_EQ(ScreenAt(5, 0), full.at(5, 0) & 0x00FFFFFFu);

    Picture small(100, 50, 0x405060);  // lands top-left, the rest stays
    SDLDPYShow(d, &small.img);
    EXPECT_EQ(ScreenMismatches(small, 100, 50), 0);
    EXPECT_EQ(ScreenAt(100, 0), full.at(100, 0));
    EXPECT_EQ(ScreenAt(0, 50), full.at(0, 50));
    EXPECT_EQ(ScreenAt(255, 255), full.at(255, 255));

    Picture large(300, 280, 0x708090);  // its top-left 256 x 256, rows 300 apart
    SDLDPYShow(d, &large.img);
    EXPECT_EQ(ScreenMismatches(large, 256, 256), 0);
}

TEST_F(Display, ShowFollowsTheImageBetweenFrames) {
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    Picture a(256, 256, 0x111111);
    SDLDPYShow(d, &a.img);
    for (auto& w : a.words) w ^= 0x00ABCDEFu;  // same buffer, new frame
    SDLDPYShow(d, &a.img);
    EXPECT_EQ(ScreenMismatches(a, 256, 256), 0);

    Picture b(256, 256, 0x222222);  // another buffer of the same size
    SDLDPYShow(d, &b.img);
    EXPECT_EQ(ScreenMismatches(b, 256, 256), 0);

    b.img.width = 128;  // same buffer read with another row length
    SDLDPYShow(d, &b.img);
    Picture narrow(128, 256, 0);
    narrow.words.assign(b.words.begin(), b.words.begin() + 128 * 256);
    EXPECT_EQ(ScreenMismatches(narrow, 128, 256), 0);

    SDLDPYSetMode(d, 128, 64);  // a new screen surface after a mode change
    SDLDPYShow(d, &a.img);
    EXPECT_EQ(ScreenMismatches(a, 128, 64), 0);
}

TEST_F(Display, RejectedPresentationsLeaveTheScreenAlone) {
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    Picture base(256, 256, 0x333333);
    SDLDPYShow(d, &base.img);

    Picture other(256, 256, 0x444444);
    SDLDPY stranger{256, 256, 32};
    IMG noPixels{256, 256, nullptr};
    Picture wrongSize(255, 256, 0x555555);
    SDLDPYShow(d, nullptr);
    SDLDPYShow(d, &noPixels);
    SDLDPYShow(&stranger, &other.img);
    SDLDPYShow(nullptr, &other.img);
    for (auto show : {SDLDPYShowDirect, SDLDPYShowCopy}) {
        show(d, nullptr);
        show(d, &noPixels);
        show(d, &wrongSize.img);  // the direct paths need the exact size
        show(&stranger, &other.img);
    }
    EXPECT_EQ(ScreenMismatches(base, 256, 256), 0);

    IMG empty{0, 0, other.words.data()};  // nothing to draw, nothing breaks
    SDLDPYShow(d, &empty);
    EXPECT_EQ(ScreenMismatches(base, 256, 256), 0);
}

TEST_F(Display, DirectAndCopyPathsPresentExactSizeImages) {
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    Picture a(256, 256, 0x0A0B0C);
    SDLDPYShowDirect(d, &a.img);
    EXPECT_EQ(ScreenMismatches(a, 256, 256), 0);
    Picture b(256, 256, 0x0D0E0F);
    SDLDPYShowCopy(d, &b.img);
    EXPECT_EQ(ScreenMismatches(b, 256, 256), 0);

    SDLDPYSetMode(d, 320, 200);  // any exact size, not only 256 x 256
    Picture c(320, 200, 0x606060);
    SDLDPYShowDirect(d, &c.img);
    EXPECT_EQ(ScreenMismatches(c, 320, 200), 0);
    Picture e(320, 200, 0x707070);
    SDLDPYShowCopy(d, &e.img);
    EXPECT_EQ(ScreenMismatches(e, 320, 200), 0);
}

// The dummy driver writes each presented window as a picture; these are what
// a viewer would have seen.
class SavedFrames : public Display {
protected:
    std::string dir;
    std::string home;
    void SetUp() override {
        char buf[] = "/tmp/velm-frames-XXXXXX";
        ASSERT_NE(mkdtemp(buf), nullptr);
        dir = buf;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        home = cwd;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        setenv("SDL_VIDEO_DUMMY_SAVE_FRAMES", "1", 1);
        Display::SetUp();
    }
    void TearDown() override {
        Display::TearDown();
        if (DIR* dp = opendir(dir.c_str())) {
            while (dirent* e = readdir(dp))
                if (e->d_name[0] != '.') unlink((dir + "/" + e->d_name).c_str());
            closedir(dp);
        }
        (void)chdir(home.c_str());
        rmdir(dir.c_str());
    }
    // The last frame SDL wrote, as a surface (caller frees), or null.
    SDL_Surface* LastFrame() {
        std::string last;
        if (DIR* dp = opendir(".")) {
            while (dirent* e = readdir(dp)) {
                std::string name = e->d_name;
                if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0 && name > last) last = name;
            }
            closedir(dp);
        }
        return last.empty() ? nullptr : SDL_LoadBMP(last.c_str());
    }
    // Pixels of the saved frame that differ from the picture.
    int FrameMismatches(const Picture& p) {
        SDL_Surface* f = LastFrame();
        if (f == nullptr) return -1;
        int bad = 0;
        SDL_LockSurface(f);
        for (int y = 0; y < p.img.height; ++y)
            for (int x = 0; x < p.img.width; ++x) {
                const auto* px = static_cast<const unsigned char*>(f->pixels) + y * f->pitch + x * f->format->BytesPerPixel;
                Uint32 raw = 0;
                std::memcpy(&raw, px, f->format->BytesPerPixel);
                Uint8 r, g, b;
                SDL_GetRGB(raw, f->format, &r, &g, &b);
                bad += ((std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b) != p.at(x, y);
            }
        SDL_UnlockSurface(f);
        SDL_FreeSurface(f);
        return bad;
    }
};

TEST_F(SavedFrames, EveryPathReachesTheWindow) {
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);
    Picture a(256, 256, 0x123456), b(256, 256, 0x654321), c(256, 256, 0x0F1E2D);
    SDLDPYShow(d, &a.img);
    EXPECT_EQ(FrameMismatches(a), 0);
    for (auto& w : a.words) w ^= 0x00808080u;  // the kept lending surface sees new frames
    SDLDPYShow(d, &a.img);
    EXPECT_EQ(FrameMismatches(a), 0);
    SDLDPYShowDirect(d, &b.img);
    EXPECT_EQ(FrameMismatches(b), 0);
    SDLDPYShowCopy(d, &c.img);
    EXPECT_EQ(FrameMismatches(c), 0);
}

// Without a display, and with one named where no X server answers (the show
// tries SDL's video again a few times first, then gives up), the problem is
// a line naming the invisible driver.
TEST(DisplayProblem, InvisibleDriverNobodyAskedForIsAProblem) {
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
#ifdef VELM_ASAN
    __lsan_disable();  // the invisible driver's graphics libraries leak and are unloaded unnamed
#endif
    for (const char* named : {static_cast<const char*>(nullptr), ":65000"}) {
        if (named != nullptr) {
            setenv("DISPLAY", named, 1);
        } else {
            unsetenv("DISPLAY");
        }
        ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
        SDLDPY* d = SDLDPYNew();
        ASSERT_NE(d, nullptr);
        const char* problem = SDLDPYProblem();
        ASSERT_NE(problem, nullptr);
        EXPECT_EQ(std::strchr(problem, '\n'), nullptr);
        // Where SDL did set a mode, on whatever invisible driver it fell back
        // to, the line names that driver rather than a failed mode.
        char driver[64] = "";
        if (SDL_GetVideoSurface() != nullptr && SDL_VideoDriverName(driver, sizeof driver) != nullptr) {
            EXPECT_NE(std::strstr(problem, driver), nullptr) << problem;
        }
        SDLDPYFree(&d);
        SDL_Quit();
    }
    unsetenv("DISPLAY");
}

TEST(DisplayProblem, ModeFailureIsNamedAndHarmless) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
    SDLDPY* d = SDLDPYNew();
    ASSERT_NE(d, nullptr);  // the record exists, its mode does not
    EXPECT_EQ(d->width, 0);
    EXPECT_EQ(d->height, 0);
    const char* problem = SDLDPYProblem();
    ASSERT_NE(problem, nullptr);
    EXPECT_EQ(std::strncmp(problem, "video mode could not be set: ", 29), 0) << problem;
    EXPECT_GT(std::strlen(problem), 29u);
    Picture p(256, 256, 1);
    SDLDPYShow(d, &p.img);
    SDLDPYShowDirect(d, &p.img);
    SDLDPYShowCopy(d, &p.img);
    SDLDPYFree(&d);
    SDL_Quit();
}
