// The yardstick every other figure is read against: one plain copy of a
// 256 x 256 frame of 32-bit pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

static void BM_FrameMemcpy(benchmark::State& state) {
    std::vector<std::uint32_t> from(256 * 256, 0x123456), to(256 * 256);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameMemcpy);
