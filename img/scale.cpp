// Nearest-neighbour scaling by run tables: on an axis that grows, run k is
// how many destination pixels source pixel k fills; on an axis that shrinks,
// how many source pixels destination pixel k stands for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "img/img.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGSCALE", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int64_t counterMax = std::numeric_limits<std::int32_t>::max();

// Whether every counter of the table for sizes m <= n fits 32 bits: the
// largest is n + 1 when m is 0, otherwise the first run, ceil(n / m).
bool runsFit(std::int64_t m, std::int64_t n) {
    return m == 0 ? n + 1 <= counterMax : (n + m - 1) / m <= counterMax;
}

// The m + 1 counters for m <= n pixels: the error-term walk that adds one to
// the current counter n + 1 times, subtracting m each time and moving on to
// the next counter (adding n back) once the term drops to 0 or below. Each
// run is taken in one step: from a term e > 0 a run lasts ceil(e / m) counts.
// Null when the table cannot be allocated.
std::int32_t* buildRuns(std::int64_t m, std::int64_t n) {
    auto* runs = static_cast<std::int32_t*>(std::calloc(static_cast<std::size_t>(m) + 1, sizeof(std::int32_t)));
    if (runs == nullptr) return nullptr;
    if (m == 0) {
        runs[0] = static_cast<std::int32_t>(n + 1);
        return runs;
    }
    std::int64_t e = n;
    std::int64_t left = n + 1;
    for (std::int64_t k = 0; k <= m && left > 0; ++k) {
        std::int64_t count = (e + m - 1) / m;
        if (count > left) count = left;
        runs[k] = static_cast<std::int32_t>(count);
        left -= count;
        e += n - count * m;
    }
    return runs;
}

// Run table for two sizes of which the larger, n, lies on the "large" side.
std::int32_t* runsFor(std::int64_t a, std::int64_t b) { return a < b ? buildRuns(a, b) : buildRuns(b, a); }

// One destination row from one source row. Growing columns repeat source
// pixel x over runs[x] destination pixels; shrinking ones give destination
// pixel X the last source pixel of run X.
void scaleRow(const std::uint32_t* from, std::int32_t fromWidth, std::uint32_t* to, std::int32_t toWidth,
              const std::int32_t* runs) {
    if (toWidth >= fromWidth) {
        std::size_t t = 0;
        for (std::int32_t x = 0; x < fromWidth; ++x) {
            const std::uint32_t word = from[x];
            for (std::int32_t r = 0; r < runs[x]; ++r) to[t++] = word;
        }
    } else {
        std::size_t last = 0;
        for (std::int32_t x = 0; x < toWidth; ++x) {
            last += static_cast<std::size_t>(runs[x]);
            to[x] = from[last - 1];
        }
    }
}

}  // namespace

// Run lengths of the larger of |a|, |b| over the smaller, plus a closing 1
// (or, when the smaller is 0, the single counter n + 1). Null, reported,
// when a counter would not fit or the table cannot be allocated.
std::int32_t* IMGRunTable(std::int32_t a, std::int32_t b) {
    std::int64_t m = a < 0 ? -std::int64_t{a} : a;
    std::int64_t n = b < 0 ? -std::int64_t{b} : b;
    if (m > n) {
        const std::int64_t larger = m;
        m = n;
        n = larger;
    }
    std::int32_t* runs = runsFit(m, n) ? buildRuns(m, n) : nullptr;
    if (runs == nullptr) IMGError();
    return runs;
}

// Fills the destination, at its current size, with the source scaled by
// nearest neighbour. Each destination row is built once; the further rows of
// a growing run are whole-row copies of it. A shrinking row axis takes the
// first source row of each run where the columns grow and the last where
// they shrink.
void IMGScale(const IMG* source, IMG* destination) {
    if (source == nullptr || destination == nullptr) {
        IMGError();
        return;
    }
    const std::int32_t sw = source->width, sh = source->height;
    const std::int32_t dw = destination->width, dh = destination->height;
    if (dw < 0 || dh < 0 || sw <= 0 || sh <= 0 || source->pixels == nullptr || destination->pixels == nullptr) {
        IMGError();
        return;
    }
    if (dw == 0 || dh == 0) return;

    std::int32_t* columns = runsFor(dw, sw);
    std::int32_t* rows = runsFor(dh, sh);
    if (columns == nullptr || rows == nullptr) {
        std::free(columns);
        std::free(rows);
        IMGError();
        return;
    }

    const std::size_t fromStride = static_cast<std::size_t>(sw);
    const std::size_t toStride = static_cast<std::size_t>(dw);
    std::uint32_t* to = destination->pixels;
    if (dh >= sh) {
        std::size_t y = 0;  // destination row
        for (std::int32_t sy = 0; sy < sh; ++sy) {
            std::uint32_t* first = to + y * toStride;
            scaleRow(source->pixels + static_cast<std::size_t>(sy) * fromStride, sw, first, dw, columns);
            for (std::int32_t r = 1; r < rows[sy]; ++r) {
                std::memcpy(to + (y + static_cast<std::size_t>(r)) * toStride, first, toStride * sizeof(std::uint32_t));
            }
            y += static_cast<std::size_t>(rows[sy]);
        }
    } else {
        const bool takeFirst = dw >= sw;
        std::size_t start = 0;  // first source row of the current run
        for (std::int32_t y = 0; y < dh; ++y) {
            const std::size_t run = static_cast<std::size_t>(rows[y]);
            const std::size_t sy = takeFirst ? start : start + run - 1;
            scaleRow(source->pixels + sy * fromStride, sw, to + static_cast<std::size_t>(y) * toStride, dw, columns);
            start += run;
        }
    }
    std::free(columns);
    std::free(rows);
}
