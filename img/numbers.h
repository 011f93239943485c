// Number helpers every module shares: the 32-bit range, checks and clamps
// into it, and the wrap of an index into 0 .. n - 1.
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>

// The 32-bit range as 64-bit values, for checking wider intermediate results.
inline constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();

// True when v is a 32-bit value.
constexpr bool fitsInt32(std::int64_t v) { return v >= int32Min && v <= int32Max; }

// v held at the nearer end of the 32-bit range.
constexpr std::int32_t clampInt32(std::int64_t v) {
    return static_cast<std::int32_t>(v < int32Min ? int32Min : v > int32Max ? int32Max : v);
}

// value brought into 0 .. n - 1 (n >= 1), negatives counted back from n: the
// result of repeated addition or subtraction of n, in one step. A value
// already in range returns at once, since stepping phases are nearly always
// in range and a division costs more than the rest of the caller's work. Works
// in the value's own width, so 32-bit callers pay for no 64-bit division.
template <std::signed_integral T>
constexpr std::int32_t wrapIndex(T value, std::int32_t n) {
    if (value >= 0 && value < n) return static_cast<std::int32_t>(value);
    const T r = static_cast<T>(value % n);
    return static_cast<std::int32_t>(r < 0 ? r + n : r);
}
