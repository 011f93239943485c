// Single-row and single-column transfers with wrap-around, the row copy, the
// word-by-word AND mask and the darkening step of the closing fade.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "img/img.h"
#include "img/numbers.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGROWS ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Which extent a row or column number is checked against.
enum class Line { Row, Column };

// Both records with arrays, source line a and destination line b inside their
// images (rows against the heights, columns against the widths). Reports
// otherwise.
bool lineArgsUsable(const IMG* source, const IMG* destination, Line line, std::int32_t a, std::int32_t b) {
    if (source == nullptr || destination == nullptr || source->pixels == nullptr ||
        destination->pixels == nullptr) {
        IMGError();
        return false;
    }
    const std::int32_t sa = line == Line::Row ? source->height : source->width;
    const std::int32_t db = line == Line::Row ? destination->height : destination->width;
    if (a < 0 || a >= sa || b < 0 || b >= db) {
        IMGError();
        return false;
    }
    return true;
}

// Word count of an image; records with a negative size count as empty.
std::int64_t wordCount(const IMG* image) {
    if (image->width < 0 || image->height < 0) return 0;
    return std::int64_t{image->width} * image->height;
}

// The shared placement of the row transfers: source pixel j of row sr goes to
// column (x + j) mod width of row dr, j = 0, 1, ... in order, first up to the
// right edge, then on from column 0. A longer source row is cut at the
// destination's width so it never overwrites its own start.
template <typename Combine>
void wrapRow(const IMG* source, IMG* destination, std::int32_t sr, std::int32_t dr, std::int32_t x,
             Combine combine) {
    if (!lineArgsUsable(source, destination, Line::Row, sr, dr)) return;
    const std::int32_t dw = destination->width;
    if (dw < 1) {
        IMGError();
        return;
    }
    const std::int32_t start = wrapIndex(x, dw);
    const std::int32_t n = source->width < dw ? source->width : dw;
    if (n <= 0) return;
    const std::uint32_t* from = source->pixels + static_cast<std::size_t>(sr) * static_cast<std::size_t>(source->width);
    std::uint32_t* to = destination->pixels + static_cast<std::size_t>(dr) * static_cast<std::size_t>(dw);
    const std::int32_t before = dw - start < n ? dw - start : n;  // pixels up to the right edge
    for (std::int32_t j = 0; j < before; ++j) to[start + j] = combine(from[j], to[start + j]);
    for (std::int32_t j = before; j < n; ++j) to[j - before] = combine(from[j], to[j - before]);
}

// max(c - k, 0) for each channel of a word, without branches: red and blue
// sit in 16-bit lanes of one word and green in another, each lane with a
// guard bit set above it, so the subtraction never borrows across lanes and
// the guard survives exactly when c >= k. kk is k in both lanes.
std::uint32_t darkenWord(std::uint32_t word, std::uint32_t k, std::uint32_t kk) {
    const std::uint32_t rb = ((word & 0xFF00FFu) | 0x1000100u) - kk;
    const std::uint32_t g = (((word >> 8) & 0xFFu) | 0x100u) - k;
    const std::uint32_t keepRb = ((rb >> 8) & 0x10001u) * 0xFFu;
    const std::uint32_t keepG = ((g >> 8) & 1u) * 0xFFu;
    return (rb & keepRb) | ((g & keepG) << 8);
}

}  // namespace

// ---- Row and column transfers ------------------------------------------------

// Transparent row copy starting at column x, wrapping at the right edge.
void IMGWrapRow(const IMG* source, IMG* destination, std::int32_t sourceRow, std::int32_t destinationRow,
                std::int32_t x) {
    wrapRow(source, destination, sourceRow, destinationRow, x,
            [](std::uint32_t s, std::uint32_t d) { return s != 0 ? s : d; });
}

// The same placement, each destination word ORed with the source word.
void IMGWrapRowOr(const IMG* source, IMG* destination, std::int32_t sourceRow, std::int32_t destinationRow,
                  std::int32_t x) {
    wrapRow(source, destination, sourceRow, destinationRow, x,
            [](std::uint32_t s, std::uint32_t d) { return d | s; });
}

// Transparent column copy starting at row y, wrapping at the bottom edge:
// the top part first, then the wrapped part from row 0 down.
void IMGWrapColumn(const IMG* source, IMG* destination, std::int32_t sourceColumn,
                   std::int32_t destinationColumn, std::int32_t y) {
    if (!lineArgsUsable(source, destination, Line::Column, sourceColumn, destinationColumn)) {
        return;
    }
    const std::int32_t dh = destination->height;
    if (dh < 1) {
        IMGError();
        return;
    }
    const std::int32_t start = wrapIndex(y, dh);
    const std::int32_t n = source->height < dh ? source->height : dh;
    const std::size_t fromStride = static_cast<std::size_t>(source->width);
    const std::size_t toStride = static_cast<std::size_t>(destination->width);
    const std::uint32_t* from = source->pixels + sourceColumn;
    std::uint32_t* to = destination->pixels + destinationColumn;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint32_t word = from[static_cast<std::size_t>(i) * fromStride];
        const std::int32_t row = dh - start > i ? start + i : i - (dh - start);
        if (word != 0) to[static_cast<std::size_t>(row) * toStride] = word;
    }
}

// Opaque copy of the first min(widths) words of a source row over the start
// of a destination row.
void IMGCopyRow(const IMG* source, IMG* destination, std::int32_t sourceRow, std::int32_t destinationRow) {
    if (!lineArgsUsable(source, destination, Line::Row, sourceRow, destinationRow)) {
        return;
    }
    const std::int32_t n = source->width < destination->width ? source->width : destination->width;
    if (n <= 0) return;
    // memmove: with one image and one row the two ranges are the same words.
    std::memmove(destination->pixels + static_cast<std::size_t>(destinationRow) * static_cast<std::size_t>(destination->width),
                 source->pixels + static_cast<std::size_t>(sourceRow) * static_cast<std::size_t>(source->width),
                 static_cast<std::size_t>(n) * sizeof(std::uint32_t));
}

// ---- Masks and darkening -----------------------------------------------------

// Destination word AND mask word for every pixel. The two images must hold
// the same number of words; otherwise reported and nothing changes.
void IMGAnd(const IMG* mask, IMG* destination) {
    if (mask == nullptr || destination == nullptr) {
        IMGError();
        return;
    }
    const std::int64_t count = wordCount(mask);
    if (count != wordCount(destination) || mask->pixels == nullptr || destination->pixels == nullptr) {
        IMGError();
        return;
    }
    const std::uint32_t* m = mask->pixels;
    std::uint32_t* d = destination->pixels;
    for (std::int64_t k = 0; k < count; ++k) d[k] &= m[k];
}

// Every channel lowered by the level's low byte, not below 0; the top byte
// becomes 0. Pixels are independent, so one pass over the array gives what a
// walk with IMGGetPixel/IMGPutPixel from the last pixel backwards gives.
void IMGDarken(IMG* image, std::int32_t level) {
    if (image == nullptr || image->pixels == nullptr) {
        IMGError();
        return;
    }
    const std::uint32_t k = static_cast<std::uint32_t>(level) & 0xFFu;
    const std::uint32_t kk = k | k << 16;
    const std::int64_t count = wordCount(image);
    std::uint32_t* p = image->pixels;
    for (std::int64_t i = count - 1; i >= 0; --i) p[i] = darkenWord(p[i], k, kk);
}
