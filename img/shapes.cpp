// Drawing primitives (filled rectangle, rectangle outline, circle outline),
// the point list of a straight line, and rotation by the sine table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "img/img.h"
#include "img/numbers.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGSHAPE", "20261208", "Tordeval", "C++     ", "CODE    "};

// The rectangle lies wholly inside an image that has an array; the shapes
// draw all or nothing. Reports otherwise. Sums are taken in 64 bits.
bool rectInside(const IMG* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (image == nullptr || image->pixels == nullptr || x < 0 || y < 0 || x >= image->width ||
        y >= image->height || w <= 0 || h <= 0 || std::int64_t{x} + w > image->width ||
        std::int64_t{y} + h > image->height) {
        IMGError();
        return false;
    }
    return true;
}

// Stores a word at (x, y) when that lies on the image; coordinates may be
// anywhere in 64 bits.
void plot(IMG* image, std::int64_t x, std::int64_t y, std::uint32_t word) {
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
    image->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) + static_cast<std::size_t>(x)] =
        word;
}

}  // namespace

// ---- Shapes -------------------------------------------------------------------

// Filled w x h rectangle at (x, y), rows from the bottom up.
void IMGFillRect(IMG* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint32_t colour) {
    if (!rectInside(image, x, y, w, h)) return;
    const std::size_t stride = static_cast<std::size_t>(image->width);
    for (std::int32_t row = y; row < y + h; ++row) {
        std::uint32_t* line = image->pixels + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(x);
        for (std::int32_t j = 0; j < w; ++j) line[j] = colour;
    }
}

// Rectangle outline: top and bottom rows, then left and right columns.
void IMGDrawRect(IMG* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint32_t colour) {
    if (!rectInside(image, x, y, w, h)) return;
    const std::size_t stride = static_cast<std::size_t>(image->width);
    std::uint32_t* top = image->pixels + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x);
    std::uint32_t* bottom = top + static_cast<std::size_t>(h - 1) * stride;
    const std::size_t right = static_cast<std::size_t>(w - 1);
    for (std::size_t j = 0; j <= right; ++j) {
        top[j] = colour;
        bottom[j] = colour;
    }
    for (std::int32_t i = 0; i < h; ++i) {
        top[static_cast<std::size_t>(i) * stride] = colour;
        top[static_cast<std::size_t>(i) * stride + right] = colour;
    }
}

// Circle outline: 256 points per quarter from the sine table, mirrored into
// the other three quarters about column cx - 1/2 and row cy. Points off the
// image are dropped; the centre must lie on it.
void IMGDrawCircle(IMG* image, std::int32_t cx, std::int32_t cy, std::int32_t r, std::uint32_t colour) {
    if (image == nullptr || image->pixels == nullptr || cx < 0 || cy < 0 || cx >= image->width ||
        cy >= image->height || r <= 0) {
        IMGError();
        return;
    }
    for (std::int64_t k = 0; k < 256; ++k) {
        const std::int64_t dy = (sineEntry(k) * r) >> 15;
        const std::int64_t dx = (sineEntry(k + 256) * r) >> 15;
        plot(image, cx + dx - 1, cy + dy, colour);
        plot(image, cx - dx, cy + dy, colour);
        plot(image, cx + dx - 1, cy - dy, colour);
        plot(image, cx - dx, cy - dy, colour);
    }
}

// ---- Lines --------------------------------------------------------------------

// Points from (x0, y0) to (x1, y1), one step on the major axis at a time and a
// minor step whenever the error term drops to 0 or below. Result: element 0
// is the coordinate count, then x, y pairs. A line without a minor extent
// takes no minor steps (the error term of a one-step line starts at 0 and
// would otherwise step sideways). More than IMG_MAX_PIXELS points are
// refused with a report.
std::int32_t* IMGLinePoints(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
    const std::int32_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const std::int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const bool xMajor = ax > ay;
    const std::int64_t n = xMajor ? ax : ay, m = xMajor ? ay : ax;
    if (n + 1 > IMG_MAX_PIXELS) {
        IMGError();
        return nullptr;
    }
    auto* points = static_cast<std::int32_t*>(std::calloc(static_cast<std::size_t>(2 * n + 3), sizeof(std::int32_t)));
    if (points == nullptr) {
        IMGError();
        return nullptr;
    }
    points[0] = static_cast<std::int32_t>(2 * n + 2);
    // The walk stays between the two end points, so x and y fit 32 bits.
    std::int64_t x = x0, y = y0, e = n >> 1;
    for (std::int64_t i = 0; i <= n; ++i) {
        points[1 + 2 * i] = static_cast<std::int32_t>(x);
        points[2 + 2 * i] = static_cast<std::int32_t>(y);
        if (i == n) break;
        if (xMajor) x += sx; else y += sy;
        e -= m;
        if (e <= 0 && m > 0) {
            e += n;
            if (xMajor) y += sy; else x += sx;
        }
    }
    return points;
}

// ---- Rotation -----------------------------------------------------------------

// Rotated copy, 1024 steps per turn, into an image about 1.414 times the
// source in each direction. Each destination pixel samples the source at its
// turned position about the two centres; positions off the source give 0.
// Refused with a report when the result would exceed IMG_MAX_PIXELS (or a
// 32-bit side) or the source has a negative size.
IMG* IMGRotate(const IMG* source, std::int32_t angle) {
    if (source == nullptr || source->width < 0 || source->height < 0) {
        IMGError();
        return nullptr;
    }
    const std::int64_t w = (std::int64_t{source->width} * 92667) >> 16;
    const std::int64_t h = (std::int64_t{source->height} * 92667) >> 16;
    if (w * h > IMG_MAX_PIXELS || w > int32Max || h > int32Max) {
        IMGError();
        return nullptr;
    }
    IMG* result = IMGNew();
    if (result == nullptr) return nullptr;
    IMGResize(result, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h));
    if (result->pixels == nullptr || result->width != w || result->height != h) {
        IMGFree(&result);
        IMGError();
        return nullptr;
    }

    const std::int64_t a = angle & sineMask;  // two's complement: the remainder mod 1024, never negative
    const std::int64_t s = sineEntry(1024 - a);
    const std::int64_t c = sineEntry(1024 - ((a + 256) & sineMask));
    const std::int64_t scx = source->width / 2, scy = source->height / 2;
    const std::int64_t dcx = w / 2, dcy = h / 2;
    const std::uint32_t* from = source->pixels;
    for (std::int64_t y = 0; y < h; ++y) {
        std::uint32_t* row = result->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (std::int64_t x = 0; x < w; ++x) {
            const std::int64_t u = (((x - dcx) * c) >> 15) - (((y - dcy) * s) >> 15);
            const std::int64_t v = (((x - dcx) * s) >> 15) + (((y - dcy) * c) >> 15);
            const std::int64_t px = scx + u, py = scy + v;
            std::uint32_t word = 0;
            if (from != nullptr && px >= 0 && py >= 0 && px < source->width && py < source->height) {
                word = from[static_cast<std::size_t>(py) * static_cast<std::size_t>(source->width) +
                            static_cast<std::size_t>(px)];
            }
            row[x] = word;
        }
    }
    return result;
}
