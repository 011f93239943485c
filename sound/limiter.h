// The synth's mastering limiter, private to the module: keeps the mix's true
// peak (between samples as well as at them) under a fixed ceiling, so the
// music keeps its headroom through lossy encoding. Stereo-linked with a short
// look-ahead, so the gain is already down when a peak arrives; integers only.
#pragma once

#include <cstdint>

inline constexpr std::int32_t limiterCeiling = 27571;  // -1.5 dBFS
inline constexpr std::int32_t limiterDelay = 70;       // samples from input to output (1.6 ms)

inline constexpr std::int32_t limiterTaps = 12;  // input samples behind each in-between estimate
inline constexpr std::int32_t limiterRing = 128; // ring length of every history below, a power of 2

struct PeakLimiter {
    std::int32_t input[2][limiterRing];  // left and right as they came
    std::int32_t need[limiterRing];      // gain each moment's peak allows, Q24
    std::int32_t held[limiterRing];      // that gain held and released, Q24
    std::int64_t heldSum;                // the last attack's worth of held gains
    std::int32_t holdMin;                // the smallest need in the hold window...
    std::int64_t holdAt;                 // ...and the moment it came in
    std::int32_t released;               // the held gain now, Q24
    std::int64_t now;                    // samples seen
};

void peakLimiterReset(PeakLimiter& limiter);
// Takes one stereo sample (any 32-bit values) and gives back the one
// limiterDelay samples older, its true peak at most limiterCeiling.
void peakLimiterNext(PeakLimiter& limiter, std::int32_t& left, std::int32_t& right);
