// RASTER: raster bars, one colour per image row from an owner-filled table.
#include "text/raster.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "img/numbers.h"

namespace {

[[maybe_unused]] const IDENTSHORT ident = {"RASTER  ", "20261208", "TKR     "};

// Table entry painted on image row r: (phase + r) mod count, floored so that
// a phase written from outside the table still lands inside it.
std::uint32_t rowColour(const RASTER* raster, std::int32_t row) {
    return raster->colours[wrapIndex(std::int64_t{raster->phase} + row, raster->count)];
}

// Weighted mean of two colours per channel, alpha in 0..256 parts of the new one.
std::uint32_t blend(std::uint32_t old, std::uint32_t colour, std::uint32_t alpha) {
    const std::uint32_t keep = 256 - alpha;
    const std::uint32_t red = (((old & 0xFF0000) * keep + (colour & 0xFF0000) * alpha) >> 8) & 0xFF0000;
    const std::uint32_t green = (((old & 0xFF00) * keep + (colour & 0xFF00) * alpha) >> 8) & 0xFF00;
    const std::uint32_t blue = ((old & 0xFF) * keep + (colour & 0xFF) * alpha) >> 8;
    return red | green | blue;
}

// Rightmost column of an image, -1 when it has none.
std::int32_t lastColumn(const IMG* image) { return image->width > 0 ? image->width - 1 : -1; }

// Clip x0..x1 to a row of the image; false when nothing of it remains (or the
// row is off the image).
bool clipRow(const IMG* image, std::int32_t row, std::int32_t* x0, std::int32_t* x1) {
    if (row < 0 || row >= image->height) return false;
    if (*x0 < 0) *x0 = 0;
    if (*x1 > lastColumn(image)) *x1 = lastColumn(image);
    return *x0 <= *x1;
}

// Sum of channel values over indices 0 .. m - 1 of the table repeated end to
// end, from the prefix sums of one pass (prefix[k] = sum of entries 0..k-1).
std::int64_t cyclicSum(const std::int64_t* prefix, std::int64_t count, std::int64_t m) {
    return (m / count) * prefix[count] + prefix[m % count];
}

}  // namespace

// ---- Record -----------------------------------------------------------------

// New raster of 256 black entries, phase 0.
RASTER* RASTERNew() {
    auto* raster = static_cast<RASTER*>(std::calloc(1, sizeof(RASTER)));
    auto* colours = static_cast<std::uint32_t*>(std::calloc(256, sizeof(std::uint32_t)));
    if (raster == nullptr || colours == nullptr) {
        std::free(raster);
        std::free(colours);
        RASTERError();
        return nullptr;
    }
    raster->count = 256;
    raster->colours = colours;
    return raster;
}

// Release the table and the record, clear the caller's pointer.
void RASTERFree(RASTER** raster) {
    if (raster == nullptr || *raster == nullptr) {
        RASTERError();
        return;
    }
    std::free((*raster)->colours);
    std::free(*raster);
    *raster = nullptr;
}

// A fresh black table of n entries, phase 0. A negative n, like a failed
// allocation, leaves the raster with no table and count 0.
void RASTERResize(RASTER* raster, std::int32_t n) {
    if (raster == nullptr) {
        RASTERError();
        return;
    }
    std::free(raster->colours);
    raster->colours = nullptr;
    raster->count = 0;
    raster->phase = 0;
    // One spare entry so that an empty table is still a table.
    if (n >= 0) raster->colours = static_cast<std::uint32_t*>(std::calloc(std::size_t(n) + 1, sizeof(std::uint32_t)));
    if (raster->colours == nullptr) {
        RASTERError();
        return;
    }
    raster->count = n;
}

// Every entry black.
void RASTERClear(RASTER* raster) {
    if (raster == nullptr || raster->colours == nullptr) {
        RASTERError();
        return;
    }
    if (raster->count > 0) std::memset(raster->colours, 0, std::size_t(raster->count) * sizeof(std::uint32_t));
}

// New raster with an equal table and phase 0.
RASTER* RASTERCopy(const RASTER* raster) {
    if (raster == nullptr || raster->colours == nullptr || raster->count < 0) {
        RASTERError();
        return nullptr;
    }
    RASTER* copy = RASTERNew();
    if (copy == nullptr) return nullptr;
    RASTERResize(copy, raster->count);
    if (copy->colours == nullptr) {
        RASTERFree(&copy);
        return nullptr;
    }
    if (raster->count > 0) std::memcpy(copy->colours, raster->colours, std::size_t(raster->count) * sizeof(std::uint32_t));
    return copy;
}

// Same count and same entries; the phase does not count.
bool RASTEREqual(const RASTER* a, const RASTER* b) {
    if (a == nullptr || b == nullptr) {
        RASTERError();
        return false;
    }
    if (a->count != b->count) return false;
    if (a->count <= 0) return true;
    if (a->colours == nullptr || b->colours == nullptr) {
        RASTERError();
        return false;
    }
    return std::memcmp(a->colours, b->colours, std::size_t(a->count) * sizeof(std::uint32_t)) == 0;
}

// ---- Painting ---------------------------------------------------------------

// Every image row, top to bottom, painted across its width with its entry.
void RASTERDraw(const RASTER* raster, IMG* image) {
    if (raster == nullptr || raster->colours == nullptr || image == nullptr || image->pixels == nullptr) {
        RASTERError();
        return;
    }
    if (raster->count <= 0) return;
    for (std::int32_t row = 0; row < image->height; ++row)
        RASTERFillRow(image, rowColour(raster, row), row, 0, lastColumn(image));
}

// Every image row blended with its entry, alpha parts in 256 of the entry.
void RASTERDrawBlend(const RASTER* raster, IMG* image, std::int32_t alpha) {
    if (raster == nullptr || raster->colours == nullptr || image == nullptr || image->pixels == nullptr) {
        RASTERError();
        return;
    }
    if (raster->count <= 0) return;
    for (std::int32_t row = 0; row < image->height; ++row)
        RASTERBlendRow(image, rowColour(raster, row), row, 0, lastColumn(image), alpha);
}

// Pixels x0..x1 of a row set to the colour; clipped to the image, so a row off
// the image or a span beside it changes nothing.
void RASTERFillRow(IMG* image, std::uint32_t colour, std::int32_t row, std::int32_t x0, std::int32_t x1) {
    if (image == nullptr || image->pixels == nullptr) {
        IMGError();
        return;
    }
    if (!clipRow(image, row, &x0, &x1)) return;
    std::uint32_t* p = image->pixels + std::int64_t{row} * image->width + x0;
    std::int32_t n = x1 - x0 + 1;
    for (; n >= 4; n -= 4, p += 4) p[0] = p[1] = p[2] = p[3] = colour;  // four words per store
    for (; n > 0; --n) *p++ = colour;
}

// Pixels x0..x1 of a row blended with the colour, clipped like RASTERFillRow.
// Alpha is held to 0 (picture kept) .. 256 (colour only); results have top byte 0.
void RASTERBlendRow(IMG* image, std::uint32_t colour, std::int32_t row, std::int32_t x0, std::int32_t x1,
                    std::int32_t alpha) {
    if (image == nullptr || image->pixels == nullptr) {
        IMGError();
        return;
    }
    if (!clipRow(image, row, &x0, &x1)) return;
    const std::uint32_t a = alpha < 0 ? 0 : alpha > 256 ? 256 : static_cast<std::uint32_t>(alpha);
    std::uint32_t* p = image->pixels + std::int64_t{row} * image->width + x0;
    for (std::int32_t n = x1 - x0 + 1; n > 0; --n, ++p) *p = blend(*p, colour, a);
}

// ---- Table effects ----------------------------------------------------------

// Phase one further, back to 0 at the table's end: the bars move up a row.
void RASTERStep(RASTER* raster) {
    if (raster == nullptr || raster->colours == nullptr) {
        RASTERError();
        return;
    }
    const std::int64_t next = std::int64_t{raster->phase} + 1;
    raster->phase = next >= raster->count ? 0 : static_cast<std::int32_t>(next);
}

// Box filter per channel: entry i becomes (2 * own + the radius entries after
// it, wrapping at the end + the radius entries before it, mirrored at entry 0
// as index |i - k|) / (2 * radius + 2). The sums come from prefix sums over
// the table repeated end to end, so the work does not grow with the radius.
void RASTERSmooth(RASTER* raster, std::int32_t radius) {
    if (raster == nullptr || raster->colours == nullptr || radius < 1) {
        RASTERError();
        return;
    }
    const std::int64_t count = raster->count;
    if (count <= 0) return;
    auto* scratch = static_cast<std::uint32_t*>(std::calloc(std::size_t(count), sizeof(std::uint32_t)));
    auto* prefix = static_cast<std::int64_t*>(std::calloc(std::size_t(count) + 1, sizeof(std::int64_t)));
    if (scratch == nullptr || prefix == nullptr) {
        std::free(scratch);
        std::free(prefix);
        RASTERError();
        return;
    }
    const std::int64_t r = radius;
    for (int shift = 0; shift <= 16; shift += 8) {
        for (std::int64_t k = 0; k < count; ++k) prefix[k + 1] = prefix[k] + ((raster->colours[k] >> shift) & 0xFF);
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t own = (raster->colours[i] >> shift) & 0xFF;
            // Entries i+1 .. i+r, wrapping past the end.
            const std::int64_t after = cyclicSum(prefix, count, i + r + 1) - prefix[i + 1];
            // Indices |i-k| for k = 1..r: i-1 down to 0, then 1 up to r-i.
            const std::int64_t before = r <= i ? prefix[i] - prefix[i - r]
                                               : prefix[i] + cyclicSum(prefix, count, r - i + 1) - prefix[1];
            const std::int64_t mean = (2 * own + after + before) / (2 * r + 2);
            scratch[i] |= static_cast<std::uint32_t>(mean) << shift;
        }
    }
    std::memcpy(raster->colours, scratch, std::size_t(count) * sizeof(std::uint32_t));
    std::free(prefix);
    std::free(scratch);
}

// ---- Files ------------------------------------------------------------------

// Empty raster when the named file opens for reading; no table format
// exists, so nothing is read from it.
RASTER* RASTERLoad(const char* name) {
    if (name == nullptr) {
        RASTERError();
        return nullptr;
    }
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        RASTERError();
        return nullptr;
    }
    RASTER* raster = RASTERNew();
    if (raster != nullptr) RASTERResize(raster, 0);
    std::fclose(file);
    return raster;
}

// Creates or empties the named file; no table format exists, so nothing is
// written. Needs a raster with entries.
bool RASTERSave(const RASTER* raster, const char* name) {
    if (raster == nullptr || raster->colours == nullptr || name == nullptr || raster->count == 0) {
        RASTERError();
        return false;
    }
    std::FILE* file = std::fopen(name, "w");
    if (file == nullptr) {
        RASTERError();
        return false;
    }
    std::fclose(file);
    return true;
}

// ---- Reporting --------------------------------------------------------------

// "RASTER error\n", always.
void RASTERError() { std::printf("RASTER error\n"); }
