// The image operations at the sizes the show uses them, to read against the
// 256 x 256 frame copy.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "img/img.h"

namespace {

// A w x h image of non-zero words with a transparent (0) border column
// every eighth pixel, like a sprite.
IMG* Picture(std::int32_t w, std::int32_t h) {
    IMG* image = IMGNew();
    IMGResize(image, w, h);
    for (std::int64_t i = 0; i < std::int64_t{w} * h; ++i) {
        image->pixels[i] = i % 8 == 0 ? 0 : 0x00103050u + static_cast<std::uint32_t>(i & 0x3F3F3F);
    }
    return image;
}

// Runs op(source, destination) once per iteration on fresh images of the given sizes.
template <typename Op>
void Run(benchmark::State& state, std::int32_t sw, std::int32_t sh, std::int32_t dw, std::int32_t dh, Op op) {
    IMG* source = Picture(sw, sh);
    IMG* destination = Picture(dw, dh);
    for (auto _ : state) {
        op(source, destination);
        benchmark::DoNotOptimize(destination->pixels);
        benchmark::ClobberMemory();
    }
    IMGFree(&source);
    IMGFree(&destination);
}

void BM_IMGBlit128(benchmark::State& state) {
    Run(state, 128, 128, 256, 256, [](IMG* s, IMG* d) { IMGBlit(s, d, 0, 0, 64, 64, 128, 128); });
}

void BM_IMGBlitOpaque128(benchmark::State& state) {
    Run(state, 128, 128, 256, 256, [](IMG* s, IMG* d) { IMGBlitOpaque(s, d, 0, 0, 64, 64, 128, 128); });
}

void BM_IMGBlend128(benchmark::State& state) {
    Run(state, 128, 128, 256, 256, [](IMG* s, IMG* d) { IMGBlend(s, d, 64, 64); });
}

void BM_IMGScale64To128(benchmark::State& state) {
    Run(state, 64, 64, 128, 128, [](IMG* s, IMG* d) { IMGScale(s, d); });
}

void BM_IMGScale256x200To192x224(benchmark::State& state) {
    Run(state, 256, 200, 192, 224, [](IMG* s, IMG* d) { IMGScale(s, d); });
}

// Part one's wobble: 224 rows of a 192-wide picture into the 256-wide frame.
void BM_IMGWrapRow224Rows(benchmark::State& state) {
    Run(state, 192, 224, 256, 256, [](IMG* s, IMG* d) {
        for (std::int32_t y = 0; y < 224; ++y) IMGWrapRow(s, d, y, y + 16, 32 + (y & 7));
    });
}

void BM_IMGAnd256x26(benchmark::State& state) {
    Run(state, 256, 26, 256, 26, [](IMG* s, IMG* d) { IMGAnd(s, d); });
}

void BM_IMGDarken256(benchmark::State& state) {
    Run(state, 1, 1, 256, 256, [](IMG*, IMG* d) { IMGDarken(d, 8); });
}

}  // namespace

BENCHMARK(BM_IMGBlit128);
BENCHMARK(BM_IMGBlitOpaque128);
BENCHMARK(BM_IMGBlend128);
BENCHMARK(BM_IMGScale64To128);
BENCHMARK(BM_IMGScale256x200To192x224);
BENCHMARK(BM_IMGWrapRow224Rows);
BENCHMARK(BM_IMGAnd256x26);
BENCHMARK(BM_IMGDarken256);
