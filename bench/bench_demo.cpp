// Whole-frame composition of each part, without pacing or presentation: the
// drawing one frame of the show costs, read against the frame-copy yardstick.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "demo/demo.h"

namespace {

// The show's objects, made once on SDL's invisible driver unless another is set.
void StartShowOnce() {
    static bool started = false;
    if (started) return;
    started = true;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_NOPARACHUTE);
    DEMOInit();
}

void BM_PartOneFrame(benchmark::State& state) {
    StartShowOnce();
    for (auto _ : state) {
        DEMOPartOneFrame();
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PartOneFrame);

// Stars, sprites and the plasma-coloured scroller all switched on.
void BM_PartTwoFrame(benchmark::State& state) {
    StartShowOnce();
    starsOn = 1;
    spritesOn = 1;
    scrollerOn = 1;
    for (auto _ : state) {
        DEMOPartTwoFrame();
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PartTwoFrame);

void BM_PartThreeFrame(benchmark::State& state) {
    StartShowOnce();
    for (auto _ : state) {
        DEMOPartThreeFrame();
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PartThreeFrame);

}  // namespace
