// Rectangle copies (transparent, opaque, additive), the half-strength blend
// and the spaced copy. Every operation clips once in 64-bit arithmetic, so no
// int32 argument can overflow, and then walks both arrays row by row with
// running pointers and no per-pixel bounds test.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "img/img.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGBLIT ", "20261208", "Tordeval", "C++     ", "CODE    "};

// A source rectangle and where it lands, wide enough for any clipping sum.
struct Placement {
    std::int64_t sx, sy, dx, dy, w, h;
};

// Both records and both arrays present; reports otherwise.
bool bothUsable(const IMG* source, const IMG* destination) {
    if (source == nullptr || destination == nullptr || source->pixels == nullptr ||
        destination->pixels == nullptr) {
        IMGError();
        return false;
    }
    return true;
}

// Clips a rectangle copy against both images. True when something is left to
// draw; the placement then lies wholly inside both images. Clipping moves no
// pixel: what remains lands where it would have landed unclipped.
bool clipCopy(const IMG* source, const IMG* destination, Placement& p) {
    const std::int64_t sw = source->width, sh = source->height;
    const std::int64_t dw = destination->width, dh = destination->height;
    if (p.dx >= dw || p.dx + p.w < 0 || p.dy >= dh || p.dy + p.h < 0 || p.sx >= sw ||
        p.sx + p.w < 0 || p.sy >= sh || p.sy + p.h < 0) {
        return false;
    }
    // Against the source.
    if (p.sx < 0) { p.w += p.sx; p.dx -= p.sx; p.sx = 0; }
    if (p.sy < 0) { p.h += p.sy; p.dy -= p.sy; p.sy = 0; }
    if (p.sx + p.w > sw) p.w = sw - p.sx;
    if (p.sy + p.h > sh) p.h = sh - p.sy;
    // Against the destination.
    if (p.dx < 0) { p.w += p.dx; p.sx -= p.dx; p.dx = 0; }
    if (p.dy < 0) { p.h += p.dy; p.sy -= p.dy; p.dy = 0; }
    if (p.dx + p.w > dw) p.w = dw - p.dx;
    if (p.dy + p.h > dh) p.h = dh - p.dy;
    return p.w > 0 && p.h > 0;
}

// Offset of pixel (x, y) in an image of the given width; inside the image.
std::size_t at(std::int64_t width, std::int64_t x, std::int64_t y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

// The one row loop of the rectangle copies: rows top to bottom, columns left
// to right, which fixes the result when source and destination overlap.
template <typename Combine>
void copyRows(const IMG* source, IMG* destination, const Placement& p, Combine combine) {
    const std::size_t w = static_cast<std::size_t>(p.w);
    const std::uint32_t* from = source->pixels;
    std::uint32_t* to = destination->pixels;
    std::size_t f = at(source->width, p.sx, p.sy);
    std::size_t t = at(destination->width, p.dx, p.dy);
    const std::size_t fromSkip = static_cast<std::size_t>(source->width) - w;
    const std::size_t toSkip = static_cast<std::size_t>(destination->width) - w;
    for (std::int64_t i = 0; i < p.h; ++i) {
        for (std::size_t j = 0; j < w; ++j) {
            to[t] = combine(from[f], to[t]);
            ++f;
            ++t;
        }
        f += fromSkip;
        t += toSkip;
    }
}

// Checks, clips and runs one rectangle copy with the given combination.
template <typename Combine>
void blitWith(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy, std::int32_t dx,
              std::int32_t dy, std::int32_t w, std::int32_t h, Combine combine) {
    if (!bothUsable(source, destination)) return;
    Placement p{sx, sy, dx, dy, w, h};
    if (clipCopy(source, destination, p)) copyRows(source, destination, p, combine);
}

// Ceiling of a / b for b > 0 (C++ division truncates towards zero, which is
// already the ceiling for a negative a).
std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { return a > 0 ? (a + b - 1) / b : a / b; }

}  // namespace

// ---- Rectangle copies ---------------------------------------------------------

// Transparent copy: source words 0 leave the destination as it was.
void IMGBlit(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy, std::int32_t dx,
             std::int32_t dy, std::int32_t w, std::int32_t h) {
    blitWith(source, destination, sx, sy, dx, dy, w, h,
             [](std::uint32_t s, std::uint32_t d) { return s != 0 ? s : d; });
}

// Opaque copy: every word, zeros included. Between two images the rows
// cannot overlap and are copied whole; within one image the word loop keeps
// the left-to-right order.
void IMGBlitOpaque(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy,
                   std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h) {
    if (!bothUsable(source, destination)) return;
    Placement p{sx, sy, dx, dy, w, h};
    if (!clipCopy(source, destination, p)) return;
    if (source->pixels == destination->pixels) {
        copyRows(source, destination, p, [](std::uint32_t s, std::uint32_t) { return s; });
        return;
    }
    const std::size_t bytes = static_cast<std::size_t>(p.w) * sizeof(std::uint32_t);
    std::size_t f = at(source->width, p.sx, p.sy), t = at(destination->width, p.dx, p.dy);
    for (std::int64_t i = 0; i < p.h; ++i) {
        std::memcpy(destination->pixels + t, source->pixels + f, bytes);
        f += static_cast<std::size_t>(source->width);
        t += static_cast<std::size_t>(destination->width);
    }
}

// Whole-word add modulo 2^32: channel carries run into the next channel up.
void IMGBlitAdd(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy,
                std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h) {
    blitWith(source, destination, sx, sy, dx, dy, w, h,
             [](std::uint32_t s, std::uint32_t d) { return d + s; });
}

// ---- Blend --------------------------------------------------------------------

// Whole source at (x, y), each non-zero source word averaged with the
// destination word channel by channel (both halved, then added). Walks from
// the last pixel backwards, so that blending an image into itself further
// down or right reads every source word before it is overwritten.
void IMGBlend(const IMG* source, IMG* destination, std::int32_t x, std::int32_t y) {
    if (!bothUsable(source, destination)) return;
    Placement p{0, 0, x, y, source->width, source->height};
    if (!clipCopy(source, destination, p)) return;
    const std::int64_t px = p.dx, py = p.dy, ox = p.sx, oy = p.sy, w = p.w, h = p.h;

    const std::size_t cols = static_cast<std::size_t>(w);
    const std::size_t sourceWidth = static_cast<std::size_t>(source->width);
    const std::size_t destinationWidth = static_cast<std::size_t>(destination->width);
    const std::uint32_t* from = source->pixels;
    std::uint32_t* to = destination->pixels;
    // Index just past the last pixel of the current row in each image.
    std::size_t f = at(source->width, ox + w, oy + h - 1);
    std::size_t t = at(destination->width, px + w, py + h - 1);
    for (std::int64_t i = 0; i < h; ++i) {
        for (std::size_t j = 1; j <= cols; ++j) {
            const std::uint32_t s = from[f - j];
            const std::uint32_t d = to[t - j];
            to[t - j] = s != 0 ? ((s >> 1) & 0x7F7F7Fu) + ((d >> 1) & 0x7F7F7Fu) : d;
        }
        f -= sourceWidth;  // unsigned: may wrap after the top row, never used then
        t -= destinationWidth;
    }
}

// ---- Spaced copy --------------------------------------------------------------

// Transparent copy that puts source pixel (sx + j, sy + i) at
// (dx + j * fx, dy + i * fy). Steps below 1 are refused with a report. It
// clips on its own: against the destination it keeps grid points, which a
// rectangle clip like clipCopy's would cut wrongly whenever a step exceeds 1.
void IMGBlitSpaced(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy,
                   std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h, std::int32_t fx,
                   std::int32_t fy) {
    if (!bothUsable(source, destination)) return;
    if (fx < 1 || fy < 1) {
        IMGError();
        return;
    }
    Placement p{sx, sy, dx, dy, w, h};
    const std::int64_t stepX = fx, stepY = fy;
    // Against the source: a skipped source column or row moves its grid point.
    if (p.sx < 0) { p.w += p.sx; p.dx -= p.sx * stepX; p.sx = 0; }
    if (p.sy < 0) { p.h += p.sy; p.dy -= p.sy * stepY; p.sy = 0; }
    if (p.sx + p.w > source->width) p.w = source->width - p.sx;
    if (p.sy + p.h > source->height) p.h = source->height - p.sy;
    // Against the destination: keep exactly the grid points inside it.
    if (p.dx < 0) {
        const std::int64_t k = ceilDiv(-p.dx, stepX);
        p.sx += k; p.w -= k; p.dx += k * stepX;
    }
    if (p.dy < 0) {
        const std::int64_t k = ceilDiv(-p.dy, stepY);
        p.sy += k; p.h -= k; p.dy += k * stepY;
    }
    const std::int64_t fitW = ceilDiv(destination->width - p.dx, stepX);
    const std::int64_t fitH = ceilDiv(destination->height - p.dy, stepY);
    if (fitW < p.w) p.w = fitW;
    if (fitH < p.h) p.h = fitH;
    if (p.w <= 0 || p.h <= 0) return;

    const std::size_t cols = static_cast<std::size_t>(p.w);
    const std::size_t colStep = static_cast<std::size_t>(fx);
    const std::size_t fromRow = static_cast<std::size_t>(source->width);
    const std::size_t toRow = static_cast<std::size_t>(stepY) * static_cast<std::size_t>(destination->width);
    const std::uint32_t* from = source->pixels;
    std::uint32_t* to = destination->pixels;
    std::size_t f = at(source->width, p.sx, p.sy);
    std::size_t t = at(destination->width, p.dx, p.dy);
    for (std::int64_t i = 0; i < p.h; ++i) {
        for (std::size_t j = 0; j < cols; ++j) {
            const std::uint32_t s = from[f + j];
            if (s != 0) to[t + j * colStep] = s;
        }
        f += fromRow;
        t += toRow;
    }
}
