// The text effects and the starfield at the demo's sizes: one glyph cell, the
// scroller's 256 x 26 strip, 256 raster rows and 2048 stars per frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "img/img.h"
#include "platform/stars.h"
#include "text/font.h"
#include "text/raster.h"
#include "text/scroll.h"

namespace {

IMG* Sized(std::int32_t w, std::int32_t h) {
    IMG* image = IMGNew();
    IMGResize(image, w, h);
    return image;
}

// A 15 x 26 font on a 240 x 480 sheet with a pattern of set pixels in every cell.
FONT* DemoFont() {
    FONT* font = FONTNew();
    font->cellWidth = 15;
    font->cellHeight = 26;
    font->sheet = Sized(240, 480);
    for (std::int32_t i = 0; i < 240 * 480; ++i) font->sheet->pixels[i] = (i * 7) % 5 == 0 ? 0xFFFFFF : 0;
    return font;
}

}  // namespace

static void BM_FontPutCharOpaque(benchmark::State& state) {
    FONT* font = DemoFont();
    IMG* target = Sized(256, 256);
    font->target = target;
    for (auto _ : state) {
        font->x = 100;
        font->y = 100;
        font->code = 'W';
        FONTPutCharOpaque(font);
        benchmark::DoNotOptimize(target->pixels);
        benchmark::ClobberMemory();
    }
    FONTFree(&font);
    IMGFree(&target);
}
BENCHMARK(BM_FontPutCharOpaque);

static void BM_ScrollDraw(benchmark::State& state) {
    FONT* font = DemoFont();
    IMG* strip = Sized(256, 26);
    SCROLL* scroll = SCROLLNew();
    SCROLLSet(scroll, "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG. ", font, strip);
    scroll->offset = 7;  // first cell clipped at the strip's left edge
    for (auto _ : state) {
        SCROLLDraw(scroll);
        benchmark::DoNotOptimize(strip->pixels);
        benchmark::ClobberMemory();
    }
    SCROLLFree(&scroll);
    FONTFree(&font);
    IMGFree(&strip);
}
BENCHMARK(BM_ScrollDraw);

static void BM_RasterDraw(benchmark::State& state) {
    RASTER* raster = RASTERNew();
    for (std::int32_t i = 0; i < raster->count; ++i) raster->colours[i] = static_cast<std::uint32_t>(i) * 0x010203;
    IMG* screen = Sized(256, 256);
    for (auto _ : state) {
        RASTERDraw(raster, screen);
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
    RASTERFree(&raster);
    IMGFree(&screen);
}
BENCHMARK(BM_RasterDraw);

static void BM_StarsMoveAndDraw(benchmark::State& state) {
    STARS* stars = STARSNew();
    stars->centreX = stars->centreY = 128;
    stars->sizeX = stars->sizeY = stars->sizeZ = 256;
    stars->focal = 128;
    STARSSetCount(stars, 2048);
    IMG* screen = Sized(256, 256);
    // Spread the stars over the box first, as in a running show.
    for (int i = 0; i < 200; ++i) STARSMove(stars);
    for (auto _ : state) {
        STARSDraw(stars, screen);
        STARSMove(stars);
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
    STARSFree(&stars);
    IMGFree(&screen);
}
BENCHMARK(BM_StarsMoveAndDraw);
