// The soundtrack: one second of audio, to read against the second it lasts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "sound/synth.h"

namespace {

// One second of each section, the echo and any crossfade included.
void BM_SynthRenderOneSecond(benchmark::State& state) {
    SYNTH* synth = SYNTHNew();
    SYNTHCue(synth, static_cast<std::int32_t>(state.range(0)));
    std::vector<std::int16_t> out(2 * SYNTH_RATE);
    SYNTHRender(synth, out.data(), SYNTH_RATE);  // past the cue
    for (auto _ : state) {
        SYNTHRender(synth, out.data(), SYNTH_RATE);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    SYNTHFree(&synth);
}
BENCHMARK(BM_SynthRenderOneSecond)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
