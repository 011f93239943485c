// The time the show's own code takes per frame in a browser: for each part,
// one frame composed (DEMOPartOneFrame, ...) and presented (SDLDPYShow), each
// timed with performance.now() (emscripten_get_now). Prints one line per
// part: microseconds of compose, present and both, the median and the best of
// batches. Run by bench/web/bench.js in headless Chromium (make bench-web),
// next to the desktop figures of make bench (BM_PartOneFrame, ...,
// BM_PresentShow).
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

// The median and the fastest of the batches: a batch the busy machine
// interrupted counts little in the one and not at all in the other.
struct Figure {
    double median, best;
};
template <typename Step>
Figure Measure(Step step) {
    std::array<double, batches> t{};
    for (double& v : t) v = Batch(step);
    std::sort(t.begin(), t.end());
    return {t[batches / 2], t[0]};
}

void Part(const char* name, void (*frame)()) {
    for (int i = 0; i < 50; ++i) frame();  // warm up
    const Figure compose = Measure(frame);
    const Figure present = Measure([] { SDLDPYShow(display, screen); });
    const Figure both = Measure([frame] {
        frame();
        SDLDPYShow(display, screen);
    });
    std::printf("%-10s compose %5.0f us (best %5.0f)  present %5.0f us (best %5.0f)  both %5.0f us (best %5.0f)\n",
                name, compose.median, compose.best, present.median, present.best, both.median, both.best);
}

}  // namespace

int main() {
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) return 2;
    DEMOInit();
    Part("part one", DEMOPartOneFrame);
    Part("part two", DEMOPartTwoFrame);
    Part("part three", DEMOPartThreeFrame);
    std::printf("done\n");
    return 0;
}
