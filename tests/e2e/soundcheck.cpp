// Checks what SDL's disk audio driver wrote while the real program played:
// soundcheck FILE SECONDS. The first SECONDS of sound (after the silence SDL
// writes before the first callback) must be non-silent, have no run of zeros
// longer than 20 ms, and equal the synth's own offline render byte for byte.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sound/synth.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: soundcheck FILE SECONDS\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::printf("FAIL: no audio file %s\n", argv[1]);
        return 1;
    }
    std::vector<std::int16_t> played;
    std::int16_t pair[2];
    while (std::fread(pair, sizeof pair, 1, file) == 1) played.insert(played.end(), pair, pair + 2);
    std::fclose(file);

    const std::size_t frames = static_cast<std::size_t>(std::atoi(argv[2])) * SYNTH_RATE;
    std::size_t start = 0;
    while (start < played.size() && played[start] == 0) ++start;
    start &= ~std::size_t{1};
    if (played.size() - start < 2 * frames) {
        std::printf("FAIL: %zu sample frames of sound written, %zu wanted\n", (played.size() - start) / 2, frames);
        return 1;
    }
    std::int32_t peak = 0;
    std::size_t run = 0, longest = 0;
    for (std::size_t i = start; i < start + 2 * frames; i += 2) {
        const std::int32_t l = played[i], r = played[i + 1];
        peak = std::max({peak, std::abs(l), std::abs(r)});
        run = l == 0 && r == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    // The render starts with a few samples of silence of its own (the limiter's
    // look-ahead), which the skip above took out of what was played.
    SYNTH* synth = SYNTHNew();
    std::vector<std::int16_t> offline(2 * frames + 2 * SYNTH_FRAME);
    SYNTHRender(synth, offline.data(), static_cast<std::int32_t>(offline.size() / 2));
    SYNTHFree(&synth);
    std::size_t lead = 0;
    while (lead < 2 * SYNTH_FRAME && offline[lead] == 0) ++lead;
    lead &= ~std::size_t{1};
    std::size_t differ = 0;
    while (differ < 2 * frames && played[start + differ] == offline[lead + differ]) ++differ;

    int failures = 0;
    if (peak < 1000) std::printf("FAIL: silent (peak %d)\n", peak), ++failures;
    if (longest > SYNTH_RATE / 50) std::printf("FAIL: a gap of %zu zero sample frames\n", longest), ++failures;
    if (differ < 2 * frames) std::printf("FAIL: differs from the offline render at sample frame %zu\n", differ / 2), ++failures;
    if (failures == 0) {
        std::printf("ok: %zu s of sound, peak %d, longest zero run %zu frames, equal to the offline render\n",
                    frames / SYNTH_RATE, peak, longest);
    }
    return failures == 0 ? 0 : 1;
}
