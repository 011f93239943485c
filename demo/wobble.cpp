// The wobble table of part one: sideways offsets for the picture's rows, made
// of pauses and whole periods of sine waves. It is computed at compile time,
// so no floating point runs.
#include <array>

#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WOBBLE  ", "20261208", "Tordeval", "C++     ", "DATA    "};

using Table = std::array<std::int32_t, wobbleLength>;

// The exact rule an entry must stay near: A sin(2 pi k / P), for k in the
// first half period.
consteval long double rule(std::int32_t k, std::int32_t period, std::int32_t amplitude) {
    return amplitude * sineAt(2.0L * sinePi * k / period);
}

consteval std::int32_t roundHalfUp(long double v) {
    return static_cast<std::int32_t>(v + 0.5L);  // v is never negative here
}

// The hand-tuned shapes the show was made with: the rising quarter of the
// P = 126 wave (mirrored about its crest), and the half periods of the
// P = 22 and P = 30 waves. Every other wave is the rounded sine.
constexpr std::int32_t quarter126[32] = {0,  1,  2,  2,  3,  4,  5,  5,  6,  7,  8,  8,  9,  10, 10, 11,
                                         11, 12, 12, 13, 13, 14, 14, 14, 15, 15, 15, 16, 16, 16, 16, 16};
constexpr std::int32_t half22[11] = {0, 1, 2, 3, 3, 4, 4, 3, 3, 2, 1};
constexpr std::int32_t half30[15] = {0, 2, 3, 4, 6, 7, 7, 8, 8, 7, 7, 6, 4, 3, 2};

// Entry k (0 <= k < P / 2) of the positive half of a wave.
consteval std::int32_t halfEntry(std::int32_t k, std::int32_t period, std::int32_t amplitude) {
    if (period == 126 && amplitude == 16) return quarter126[k < 32 ? k : 63 - k];
    if (period == 22 && amplitude == 4) return half22[k];
    if (period == 30 && amplitude == 8) return half30[k];
    return roundHalfUp(rule(k, period, amplitude));
}

struct Segment {
    std::int32_t length;
    std::int32_t period;     // 0 for a pause
    std::int32_t amplitude;
};

// Pauses and whole periods, in order; the lengths add up to wobbleLength.
constexpr Segment segments[] = {
    {320, 0, 0},    {252, 126, 16}, {254, 254, 32}, {382, 382, 32}, {254, 254, 32},
    {252, 126, 16}, {320, 0, 0},    {176, 22, 4},   {480, 30, 8},   {176, 22, 4},
};

// Each wave starts at 0 and goes positive first; the second half of every
// period is the first half negated.
consteval Table makeTable() {
    Table t{};
    std::int32_t at = 0;
    for (const Segment& s : segments) {
        for (std::int32_t i = 0; i < s.length; ++i) {
            std::int32_t v = 0;
            if (s.period > 0) {
                const std::int32_t half = s.period / 2;
                const std::int32_t k = i % s.period;
                v = k < half ? halfEntry(k, s.period, s.amplitude) : -halfEntry(k - half, s.period, s.amplitude);
            }
            t[static_cast<std::size_t>(at + i)] = v;
        }
        at += s.length;
    }
    return t;
}

constexpr Table table = makeTable();

// Every wave entry lies within 0.71 of the sine rule.
consteval bool nearRule() {
    std::int32_t at = 0;
    for (const Segment& s : segments) {
        for (std::int32_t i = 0; i < s.length; ++i) {
            const std::int32_t k = s.period > 0 ? i % s.period : 0;
            long double want = 0;
            if (s.period > 0) {
                const std::int32_t half = s.period / 2;
                want = k < half ? rule(k, s.period, s.amplitude) : -rule(k - half, s.period, s.amplitude);
            }
            const long double d = table[static_cast<std::size_t>(at + i)] - want;
            if (d > 0.71L || d < -0.71L) return false;
        }
        at += s.length;
    }
    return at == wobbleLength;
}
static_assert(nearRule());
static_assert(table[320] == 0 && table[321] == 1 && table[347] == 16 && table[356] == 16 && table[357] == 15);
static_assert(table[320 + 63] == 0 && table[320 + 64] == -1 && table[320 + 126] == 0);
static_assert(table[2034 + 4] == 3 && table[2034 + 11] == 0 && table[2034 + 15] == -3);
static_assert(table[2210 + 3] == 4 && table[2210 + 6] == 7 && table[2210 + 18] == -4);
static_assert(table[572 + 63] == 32 && table[2865] == -1);

}  // namespace

constinit const std::array<std::int32_t, wobbleLength> wobbleTable = table;
