// The time the show's own code takes per frame in a browser: for each part,
// one frame composed (DEMOPartOneFrame, ...) and presented (SDLDPYShow), each
// timed with performance.now() (emscripten_get_now). Prints one line per
// part: microseconds of compose, present and both, the median of batches. Run by
// tests/web/bench.js in headless Chromium (make bench-web), next to the
// desktop figures of make bench (BM_PartOneFrame, ..., BM_PresentShow).
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "demo/demo.h"

namespace {

constexpr int batches = 21;
constexpr int batchFrames = 25;  // performance.now() is coarse in a page (0.1 ms): time frames in batches

// Microseconds per call of one batch of calls of `step`.
template <typename Step>
double Batch(Step step) {
    const double t0 = emscripten_get_now();
    for (int i = 0; i < batchFrames; ++i) step();
    return (emscripten_get_now() - t0) * 1000 / batchFrames;
}

// The median over the batches, so that a batch the machine interrupted counts little.
template <typename Step>
double Median(Step step) {
    std::array<double, batches> t{};
    for (double& v : t) v = Batch(step);
    std::nth_element(t.begin(), t.begin() + batches / 2, t.end());
    return t[batches / 2];
}

void Measure(const char* name, void (*frame)()) {
    for (int i = 0; i < 50; ++i) frame();  // warm up
    const double compose = Median(frame);
    const double present = Median([] { SDLDPYShow(display, screen); });
    const double both = Median([frame] {
        frame();
        SDLDPYShow(display, screen);
    });
    std::printf("%-10s compose %6.0f us  present %5.0f us  compose + present %6.0f us\n", name, compose, present, both);
}

}  // namespace

int main() {
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) return 2;
    DEMOInit();
    Measure("part one", DEMOPartOneFrame);
    Measure("part two", DEMOPartTwoFrame);
    Measure("part three", DEMOPartThreeFrame);
    std::printf("done\n");
    return 0;
}
