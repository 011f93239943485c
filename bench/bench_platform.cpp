// The three presentation paths of a 256 x 256 frame under SDL's dummy video
// driver: the lent-surface blit the show uses, the copy into the locked
// screen, and the reverse pixel-for-pixel copy.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/sdldpy.h"

namespace {

// Opens the display once for every benchmark of this file.
SDLDPY* BenchDisplay() {
    static SDLDPY* display = [] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) return static_cast<SDLDPY*>(nullptr);
        std::atexit(SDL_Quit);
        return SDLDPYNew();
    }();
    return display;
}

void Present(benchmark::State& state, void (*show)(SDLDPY*, const IMG*)) {
    SDLDPY* display = BenchDisplay();
    if (display == nullptr || display->width != 256) {
        state.SkipWithError("no display");
        return;
    }
    std::vector<std::uint32_t> words(256 * 256);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFFu;
    IMG image{256, 256, words.data()};
    for (auto _ : state) {
        show(display, &image);
        benchmark::ClobberMemory();
    }
}

void BM_PresentShow(benchmark::State& state) { Present(state, SDLDPYShow); }
void BM_PresentShowDirect(benchmark::State& state) { Present(state, SDLDPYShowDirect); }
void BM_PresentShowCopy(benchmark::State& state) { Present(state, SDLDPYShowCopy); }

}  // namespace

BENCHMARK(BM_PresentShow);
BENCHMARK(BM_PresentShowDirect);
BENCHMARK(BM_PresentShowCopy);
