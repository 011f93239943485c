// Decoding cost of the largest picture the show embeds: a 256 x 200 raw
// colour file held in memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "img/img.h"

static void BM_FromPPM_P6_256x200(benchmark::State& state) {
    const std::string header = "P6\n# picture for timing\n256 200\n255\n";
    std::vector<unsigned char> file(header.begin(), header.end());
    for (std::uint32_t i = 0; i < 256u * 200u * 3u; ++i) file.push_back(static_cast<unsigned char>(i * 2654435761u >> 24));
    for (auto _ : state) {
        IMG* image = IMGFromPPM(file.data(), file.size());
        benchmark::DoNotOptimize(image->pixels);
        IMGFree(&image);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_FromPPM_P6_256x200);
