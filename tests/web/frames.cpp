// Runs the whole show on the virtual clock with keys pressed at fixed frames
// and prints fingerprints of chosen frames, one line each, in the form of the
// table in tests/demo/show_test.cpp. Built twice, for the desktop and for the
// browser (run on Node); the two outputs must be identical. Every checked
// frame is also read back from the screen surface after presentation, so a
// frame that reaches the screen in other colours or order fails the run.
#include <SDL.h>

#include <bit>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "demo/demo.h"

extern "C" {
void __real_SDL_UpdateRect(SDL_Surface* surface, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
int __real_SDL_Flip(SDL_Surface* surface);
}

namespace {

struct Step {
    std::int64_t frame;  // presented frame, counted from 1
    int key;             // pressed after that frame is presented, or 0
    const char* what;    // the frame is fingerprinted when this is set
};

// The first six lines are the frames tests/demo checks; the rest follow keys.
const Step script[] = {
    {1, 0, "part one, first frame"},
    {50, ' ', "part one, frame 50"},
    {51, 0, "part two, first frame"},
    {250, ' ', "part two, frame 200"},
    {251, 0, "part three, first frame"},
    {350, ' ', "part three, frame 100"},
    {351, 0, "part one again"},
    {360, 'f', nullptr},
    {361, 0, "part one, readout on"},
    {380, ' ', nullptr},
    {381, 0, "part two, readout on"},
    {390, '1', nullptr},
    {391, 0, "part two, scroller off"},
    {400, '2', nullptr},
    {401, 0, "part two, stars off"},
    {410, '3', nullptr},
    {411, 0, "part two, sprites half off"},
    {420, '6', nullptr},
    {421, 0, "part two, sprites off"},
    {430, '1', nullptr},
    {431, '9', nullptr},
    {432, '9', nullptr},
    {433, '9', nullptr},
    {440, 0, "part two, scroller back, slower"},
    {441, '0', nullptr},
    {450, 0, "part two, faster"},
    {451, ' ', nullptr},
    {452, 0, "part three, readout on"},
    {460, 'q', nullptr},
    {461, 0, "first step of the fade"},
    {492, 0, "last step of the fade"},
};

std::int64_t presents = 0;
int failures = 0;

// FNV-1a over size and pixels, as tests/demo computes it.
std::uint64_t Hash(const std::uint32_t* pixels, std::int32_t width, std::int32_t height) {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint32_t w) {
        for (int k = 0; k < 4; ++k) {
            h ^= (w >> (8 * k)) & 0xFF;
            h *= 1099511628211ull;
        }
    };
    mix(static_cast<std::uint32_t>(width));
    mix(static_cast<std::uint32_t>(height));
    const std::int64_t n = std::int64_t{width} * height;
    for (std::int64_t i = 0; i < n; ++i) mix(pixels[i]);
    return h;
}

// Whether the screen surface shows exactly the composed frame, read back
// through the surface's own channel masks.
bool Presented(SDL_Surface* surface) {
    if (surface == nullptr || surface->pixels == nullptr || surface->format->BytesPerPixel != 4) return false;
    const SDL_PixelFormat* f = surface->format;
    const int rs = std::countr_zero(f->Rmask), gs = std::countr_zero(f->Gmask), bs = std::countr_zero(f->Bmask);
    for (std::int32_t y = 0; y < screen->height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const unsigned char*>(surface->pixels) +
                                                                 static_cast<std::size_t>(y) * surface->pitch);
        for (std::int32_t x = 0; x < screen->width; ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t rgb = ((p & f->Rmask) >> rs) << 16 | ((p & f->Gmask) >> gs) << 8 | ((p & f->Bmask) >> bs);
            if (rgb != screen->pixels[static_cast<std::size_t>(y) * screen->width + x]) return false;
        }
    }
    return true;
}

// After each presentation: fingerprint the frame when asked, then press the key.
void AfterPresent(SDL_Surface* surface) {
    ++presents;
    for (const Step& step : script) {
        if (step.frame != presents) continue;
        if (step.what != nullptr) {
            std::printf("    {%" PRId64 ", 0x%016" PRIx64 "ull, \"%s\"},\n", presents,
                        Hash(screen->pixels, screen->width, screen->height), step.what);
            if (!Presented(surface)) {
                std::printf("frame %" PRId64 " reached the screen changed\n", presents);
                ++failures;
            }
        }
        if (step.key != 0) {
            SDL_Event e{};
            e.type = SDL_KEYDOWN;
            e.key.type = SDL_KEYDOWN;
            e.key.state = SDL_PRESSED;
            e.key.keysym.sym = static_cast<SDLKey>(step.key);
            SDL_PushEvent(&e);
        }
    }
}

}  // namespace

// LeakSanitizer's own hook: SDL keeps some allocations to the end, as in tests/demo.
extern "C" const char* __lsan_default_suppressions() { return "leak:libSDL2\nleak:libSDL-1.2\n"; }

// The display presents through one of these; both are counted.
extern "C" void __wrap_SDL_UpdateRect(SDL_Surface* surface, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    __real_SDL_UpdateRect(surface, x, y, w, h);
    AfterPresent(surface);
}

extern "C" int __wrap_SDL_Flip(SDL_Surface* surface) {
    const int result = __real_SDL_Flip(surface);
    AfterPresent(surface);
    return result;
}

int main(int argc, char** argv) {
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 2;
    }
    std::atexit(SDL_Quit);  // as the process entry does (in a browser build it never runs)
    SDLSNDKeepClosed(true);  // the pictures are compared here, not the sound
    const int status = SDL_main(argc, argv);
    std::printf("status %d after %" PRId64 " frames\n", status, presents);
    return failures == 0 && status == 1 ? 0 : 1;
}
