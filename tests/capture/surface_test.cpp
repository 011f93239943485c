// Reading SDL surfaces of every depth as 0x00RRGGBB words.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "capture/capture.h"

namespace {

struct Colour {
    Uint8 r, g, b;
};

const Colour colours[4] = {{0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF}, {0xFF, 0xFF, 0xFF}};

// A 4 x 3 surface of the given layout whose pixel (x, y) is colours[(x + y) % 4].
SDL_Surface* Painted(int depth, Uint32 r, Uint32 g, Uint32 b) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 3, depth, r, g, b, 0);
    if (surface == nullptr) {
        return nullptr;
    }
    if (depth == 8) {
        SDL_Color palette[4];
        for (int i = 0; i < 4; i++) {
            palette[i] = {colours[i].r, colours[i].g, colours[i].b, 0};
        }
        SDL_SetColors(surface, palette, 0, 4);
    }
    for (int y = 0; y < 3; y++) {
        for (int x = 0; x < 4; x++) {
            const Colour& c = colours[(x + y) % 4];
            SDL_Rect dot = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(surface, &dot, SDL_MapRGB(surface->format, c.r, c.g, c.b));
        }
    }
    return surface;
}

TEST(CaptureSurface, EveryDepthReadsAsRGB) {
    struct Layout {
        int depth;
        Uint32 r, g, b;
    };
    const Layout layouts[] = {
        {32, 0x00FF0000, 0x0000FF00, 0x000000FF},   // the dummy driver's screen
        {32, 0x000000FF, 0x0000FF00, 0x00FF0000},   // blue and red swapped
        {24, 0xFF0000, 0x00FF00, 0x0000FF},
        {16, 0xF800, 0x07E0, 0x001F},               // 5-6-5
        {15, 0x7C00, 0x03E0, 0x001F},
        {8, 0, 0, 0},                               // palette
    };
    for (const Layout& layout : layouts) {
        SDL_Surface* surface = Painted(layout.depth, layout.r, layout.g, layout.b);
        ASSERT_NE(surface, nullptr) << SDL_GetError();
        IMG frame = {};
        ASSERT_TRUE(CAPTUREFromSurface(surface, &frame)) << layout.depth;
        ASSERT_EQ(frame.width, 4);
        ASSERT_EQ(frame.height, 3);
        for (int i = 0; i < 12; i++) {
            const Colour& c = colours[(i % 4 + i / 4) % 4];
            const std::uint32_t word = static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
            EXPECT_EQ(frame.pixels[i], word) << "depth " << layout.depth << " pixel " << i;
        }
        std::free(frame.pixels);
        SDL_FreeSurface(surface);
    }
    IMG frame = {};
    EXPECT_FALSE(CAPTUREFromSurface(nullptr, &frame));
    EXPECT_EQ(frame.pixels, nullptr);
}

}  // namespace
