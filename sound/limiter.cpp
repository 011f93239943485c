// Look-ahead true-peak limiter. Each input sample's neighbourhood is
// interpolated at quarter steps (a 12-tap Kaiser-windowed sinc per step) to
// find the peak the waveform reaches between samples; the gain that peak
// allows is held over the look-ahead window, released slowly, and averaged
// over the attack time, so the gain applied to a sample is at most what the
// peaks around it allow and the gain curve has no corners to be heard.
#include "sound/limiter.h"

namespace {

constexpr std::int32_t unity = 1 << 24;     // gain 1.0, Q24
constexpr std::int32_t attackShift = 6;     // the gain ramps down over 64 samples
constexpr std::int32_t attack = 1 << attackShift;
constexpr std::int32_t hold = attack + 2;   // covers a sample's peak and its neighbours'
constexpr std::int32_t mask = limiterRing - 1;
constexpr std::uint32_t releaseFall = 4294318020u;  // per-sample fall towards the allowed gain: 150 ms

// The waveform a quarter, a half and three quarters of a sample after the
// input six samples back, Q15 taps from the oldest input to the newest.
constexpr std::int32_t quarterTaps[3][limiterTaps] = {
    {-94, 358, -956, 2203, -5235, 29370, 9424, -3325, 1465, -602, 196, -36},
    {-86, 379, -1079, 2543, -5848, 20475, 20475, -5848, 2543, -1079, 379, -86},
    {-36, 196, -602, 1465, -3325, 9424, 29370, -5235, 2203, -956, 358, -94},
};
constexpr std::int32_t centre = 6;  // the estimates lie between the inputs six and five samples back

std::int64_t magnitude(std::int64_t x) { return x < 0 ? -x : x; }

// Largest sum of tap magnitudes: no estimate exceeds the largest input it is
// made from by more than this (Q15).
constexpr std::int64_t tapsReach() {
    std::int64_t most = 0;
    for (const auto& taps : quarterTaps) {
        std::int64_t sum = 0;
        for (const std::int32_t t : taps) sum += t < 0 ? -t : t;
        if (sum > most) most = sum;
    }
    return most;
}

// The highest magnitude one channel reaches from its input six samples back
// to just before the one after; when even the largest input nearby could not
// take an estimate over the ceiling, that input's magnitude instead.
std::int64_t channelPeak(const std::int32_t* input, std::int64_t now) {
    std::int64_t x[limiterTaps];
    std::int64_t most = 0;
    for (std::int32_t i = 0; i < limiterTaps; ++i) {
        x[i] = input[(now - limiterTaps + 1 + i) & mask];
        most = magnitude(x[i]) > most ? magnitude(x[i]) : most;
    }
    if (((most * tapsReach()) >> 15) < limiterCeiling) return most;
    std::int64_t peak = magnitude(x[limiterTaps - centre - 1]);
    for (const auto& taps : quarterTaps) {
        std::int64_t sum = 0;
        for (std::int32_t i = 0; i < limiterTaps; ++i) sum += taps[i] * x[i];
        const std::int64_t m = magnitude(sum >> 15);
        if (m > peak) peak = m;
    }
    return peak;
}

// The smallest need in the hold window: the newest when it is the smallest,
// else the one held, looked for afresh only when that one leaves the window.
std::int32_t heldNeed(PeakLimiter& l) {
    const std::int32_t need = l.need[l.now & mask];
    const bool expired = l.holdAt <= l.now - hold;
    if (need <= l.holdMin || expired) {
        l.holdMin = need;
        l.holdAt = l.now;
    }
    if (!expired) return l.holdMin;
    for (std::int64_t k = l.now - hold + 1; k < l.now; ++k) {
        if (l.need[k & mask] < l.holdMin) {
            l.holdMin = l.need[k & mask];
            l.holdAt = k;
        }
    }
    return l.holdMin;
}

}  // namespace

void peakLimiterReset(PeakLimiter& l) {
    l = PeakLimiter{};
    for (std::int32_t i = 0; i < limiterRing; ++i) l.need[i] = l.held[i] = unity;
    l.heldSum = std::int64_t{attack} * unity;
    l.holdMin = l.released = unity;
}

void peakLimiterNext(PeakLimiter& l, std::int32_t& left, std::int32_t& right) {
    const std::int64_t now = ++l.now;
    const std::int32_t i = static_cast<std::int32_t>(now & mask);
    l.input[0][i] = left;
    l.input[1][i] = right;

    const std::int64_t a = channelPeak(l.input[0], now), b = channelPeak(l.input[1], now);
    const std::int64_t peak = a > b ? a : b;
    const std::int32_t need = peak <= limiterCeiling ? unity : static_cast<std::int32_t>((std::int64_t{limiterCeiling} << 24) / peak);
    l.need[i] = need;
    const std::int32_t allowed = heldNeed(l);

    // Down at once, back up slowly; then smoothed over the attack time.
    if (allowed <= l.released) l.released = allowed;
    else l.released = allowed - static_cast<std::int32_t>((std::int64_t{allowed - l.released} * releaseFall) >> 32);
    l.heldSum += l.released - l.held[(now - attack) & mask];
    l.held[i] = l.released;
    const std::int64_t gain = l.heldSum >> attackShift;

    const std::int32_t out = static_cast<std::int32_t>((now - limiterDelay) & mask);
    left = static_cast<std::int32_t>((l.input[0][out] * gain) >> 24);
    right = static_cast<std::int32_t>((l.input[1][out] * gain) >> 24);
}
