// RASTER: raster bars. Each image row is painted across its whole width with
// one colour from a table of row colours that the owner fills as it likes.
#pragma once

#include <cstdint>

#include "img/img.h"

struct RASTER {
    std::int32_t count;      // number of table entries
    std::int32_t phase;      // table index painted on image row 0
    std::uint32_t* colours;  // count row colours 0x00RRGGBB, owned
};

RASTER* RASTERNew();                                   // 256 black entries, phase 0; null on failure
void RASTERFree(RASTER** raster);                      // release and clear the caller's pointer
void RASTERResize(RASTER* raster, std::int32_t n);     // n black entries, phase 0
void RASTERClear(RASTER* raster);                      // every entry black
RASTER* RASTERCopy(const RASTER* raster);              // equal table, phase 0
bool RASTEREqual(const RASTER* a, const RASTER* b);    // same count and entries
void RASTERDraw(const RASTER* raster, IMG* image);     // paint every row with its entry
void RASTERDrawBlend(const RASTER* raster, IMG* image, std::int32_t alpha);  // blend every row with its entry
void RASTERStep(RASTER* raster);                       // phase + 1, wrapping: bars move up a row
void RASTERSmooth(RASTER* raster, std::int32_t radius);  // box filter, mirrored at entry 0
RASTER* RASTERLoad(const char* name);                  // empty raster if the file opens; reads nothing
bool RASTERSave(const RASTER* raster, const char* name);  // creates or empties the file; writes nothing
void RASTERFillRow(IMG* image, std::uint32_t colour, std::int32_t row, std::int32_t x0,
                   std::int32_t x1);                   // paint pixels x0..x1 of a row, clipped
void RASTERBlendRow(IMG* image, std::uint32_t colour, std::int32_t row, std::int32_t x0,
                    std::int32_t x1, std::int32_t alpha);  // blend pixels x0..x1 of a row, clipped
void RASTERError();                                    // always prints "RASTER error\n"
