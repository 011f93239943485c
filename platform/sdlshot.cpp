// Screenshots: the frame on screen, at its own 256 x 256 pixels, as a PNG file
// in the viewer's pictures folder. A failure is said on standard error and the
// show goes on.
#include "platform/shot.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/folders.h"
#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLSHOT ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::size_t pathSize = 4096;
char shotPath[pathSize];   // the last screenshot's path

// A copy of the screen surface in 0x00RRGGBB words, or null.
SDL_Surface* grabScreen() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen == nullptr) return nullptr;
    SDL_Surface* copy = SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, 0x00FF0000u, 0x0000FF00u,
                                             0x000000FFu, 0);
    if (copy != nullptr && SDL_BlitSurface(screen, nullptr, copy, nullptr) != 0) {
        SDL_FreeSurface(copy);
        return nullptr;
    }
    return copy;
}
}  // namespace

// Writes the frame on screen as velm4023-YYYYMMDD-HHMMSS-NNN.png (local time,
// NNN the frame number) and prints its path; a failure prints one line on
// standard error. True when the file was written.
bool SDLDPYScreenshot(SDLDPY* display) {
    if (display == nullptr || display != SDLDPYCurrent()) {
        SDLDPYError();
        return false;
    }
    char folder[pathSize];
    SDLDPYPicturesDir(folder, sizeof folder);
    char stamp[32] = "00000000-000000";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local);
    const int length = std::snprintf(shotPath, sizeof shotPath, "%s/velm4023-%s-%03lld.png", folder, stamp,
                                     static_cast<long long>(SDLDPYFramesShown()));
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof shotPath) {
        std::fprintf(stderr, "velm4023: screenshot not written: the pictures folder's path is too long\n");
        return false;
    }
    SDL_Surface* grabbed = grabScreen();
    bool ok = false;
    int why = 0;
    if (grabbed != nullptr && SDL_LockSurface(grabbed) == 0) {
        // In fullscreen the frame sits somewhere on a larger screen, perhaps
        // enlarged by the show: one sample of each frame pixel gives it back.
        std::int32_t x0 = 0, y0 = 0, scale = 1;
        SDLDPYFramePlace(&x0, &y0, &scale);
        const std::int64_t width = display->width, height = display->height;
        if (grabbed->pitch == grabbed->w * 4 && width > 0 && height > 0 && x0 >= 0 && y0 >= 0 &&
            x0 + width * scale <= grabbed->w && y0 + height * scale <= grabbed->h) {
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
            const auto* screen = static_cast<const std::uint32_t*>(grabbed->pixels);
            for (std::int64_t y = 0; y < height; ++y) {
                const std::uint32_t* row = screen + (y0 + y * scale) * grabbed->w + x0;
                for (std::int64_t x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y * width + x)] = row[x * scale];
            }
            const IMG frame = {display->width, display->height, pixels.data()};
            ok = IMGSavePNG(&frame, shotPath);
            why = errno;
        }
        SDL_UnlockSurface(grabbed);
    }
    if (grabbed != nullptr) SDL_FreeSurface(grabbed);
    if (!ok) {
        std::fprintf(stderr, "velm4023: screenshot not written: %s: %s\n", shotPath,
                     why != 0 ? std::strerror(why) : "the screen could not be read");
        return false;
    }
    std::printf("%s\n", shotPath);
    std::fflush(stdout);
    return true;
}
