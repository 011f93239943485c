// FONT: fixed-cell glyph sheet drawn into an image like a pen.
#include "text/font.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "img/img.h"
#include "img/numbers.h"

namespace {

[[maybe_unused]] const IDENT ident = {"FONT    ", "20261208", "Tordeval", "C++     ", "CODE    "};

bool reportErrors = false;

using CellCopy = void (*)(const IMG*, IMG*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                          std::int32_t, std::int32_t);

// A pen coordinate moved by a distance, held at the ends of the 32-bit range
// rather than wrapping round to the far side of the target.
std::int32_t movePen(std::int32_t pen, std::int64_t distance) { return clampInt32(pen + distance); }

// Top-left corner of the cell of a code on the sheet: cells in reading order
// without gaps, linear offset code * cellWidth split by the sheet's width with
// truncating division. Computed wide; false when the corner lies beyond the
// 32-bit range (and so certainly off the sheet) or the sheet has no width.
bool cellCorner(const FONT* font, std::int32_t code, std::int64_t* sx, std::int64_t* sy) {
    const std::int64_t sheetWidth = font->sheet->width;
    if (sheetWidth == 0) return false;
    const std::int64_t linear = std::int64_t{code} * font->cellWidth;
    const std::int64_t row = linear / sheetWidth;
    if (!fitsInt32(row)) return false;  // row * cellHeight would pass the 32-bit range
    *sx = linear % sheetWidth;
    *sy = row * font->cellHeight;
    return fitsInt32(*sy);
}

// One glyph cell copied to the pen with the given rectangle copy, pen moved
// one cell right. A cell that cannot lie on the sheet is handed to the copy at
// an off-sheet corner, so it draws nothing yet still checks the target.
void putCell(FONT* font, CellCopy copy) {
    if (font == nullptr || font->sheet == nullptr) {
        FONTError();
        return;
    }
    std::int64_t sx = 0;
    std::int64_t sy = 0;
    if (!cellCorner(font, font->code, &sx, &sy)) {
        sx = 0;
        sy = int32Max;
    }
    copy(font->sheet, font->target, static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy),
         font->x, font->y, font->cellWidth, font->cellHeight);
    font->x = movePen(font->x, font->cellWidth);
}

// Character code of a hexadecimal digit: '0'..'9', 'A'..'F'.
std::int32_t hexDigit(std::uint32_t nibble) {
    return static_cast<std::int32_t>(nibble <= 9 ? nibble + 48 : nibble + 55);
}

}  // namespace

// ---- Record -----------------------------------------------------------------

// New font with 6 x 6 cells, no sheet and no target.
FONT* FONTNew() {
    auto* font = static_cast<FONT*>(std::calloc(1, sizeof(FONT)));
    if (font == nullptr) {
        FONTError();
        return nullptr;
    }
    font->cellWidth = 6;
    font->cellHeight = 6;
    return font;
}

// Release the font and its sheet, clear the caller's pointer; the target is borrowed.
void FONTFree(FONT** font) {
    if (font == nullptr || *font == nullptr) {
        FONTError();
        return;
    }
    if ((*font)->sheet != nullptr) IMGFree(&(*font)->sheet);
    std::free(*font);
    *font = nullptr;
}

// ---- Single glyphs ----------------------------------------------------------

// Glyph pixels only: clear cell pixels leave the target as it was.
void FONTPutChar(FONT* font) { putCell(font, IMGBlit); }

// The whole cell, clear pixels written as 0.
void FONTPutCharOpaque(FONT* font) { putCell(font, IMGBlitOpaque); }

// The cell added onto the target word by word, wrapping.
void FONTPutCharAdd(FONT* font) { putCell(font, IMGBlitAdd); }

// ---- Numbers and strings ----------------------------------------------------

// Low byte as two upper-case digits, high nibble first; code is left at the second.
void FONTPutHex8(FONT* font, std::uint32_t value) {
    if (font == nullptr) {
        FONTError();
        return;
    }
    font->code = hexDigit((value >> 4) & 0xF);
    FONTPutChar(font);
    font->code = hexDigit(value & 0xF);
    FONTPutChar(font);
}

// Low 16 bits as four digits.
void FONTPutHex16(FONT* font, std::uint32_t value) {
    if (font == nullptr) {
        FONTError();
        return;
    }
    FONTPutHex8(font, value >> 8);
    FONTPutHex8(font, value);
}

// All 32 bits as eight digits.
void FONTPutHex32(FONT* font, std::uint32_t value) {
    if (font == nullptr) {
        FONTError();
        return;
    }
    FONTPutHex16(font, value >> 16);
    FONTPutHex16(font, value);
}

// The first line of a string: bytes as signed codes up to the first NUL or line feed.
void FONTPutString(FONT* font, const char* text) {
    if (font == nullptr || text == nullptr) {
        FONTError();
        return;
    }
    for (const char* c = text; *c != '\0' && *c != '\n'; ++c) {
        font->code = static_cast<signed char>(*c);
        FONTPutChar(font);
    }
}

// The current glyph enlarged: every set pixel of its cell becomes the pixel
// font's current glyph, on a grid of the pixel font's cell size. Only the part
// of the cell on the sheet is visited; pixels off the sheet count as clear.
void FONTPutCharMagnified(FONT* font, FONT* pixelFont) {
    if (font == nullptr || font->sheet == nullptr || font->sheet->pixels == nullptr ||
        font->target == nullptr || pixelFont == nullptr || pixelFont->sheet == nullptr) {
        FONTError();
        return;
    }
    pixelFont->target = font->target;
    const std::int64_t pw = pixelFont->cellWidth;
    const std::int64_t ph = pixelFont->cellHeight;
    const IMG* sheet = font->sheet;
    std::int64_t sx = 0;
    std::int64_t sy = 0;
    if (cellCorner(font, font->code, &sx, &sy)) {
        // Clip the cell to the sheet once: rows i0..i1-1, columns j0..j1-1.
        const std::int64_t i0 = sy < 0 ? -sy : 0;
        const std::int64_t j0 = sx < 0 ? -sx : 0;
        std::int64_t i1 = font->cellHeight;
        std::int64_t j1 = font->cellWidth;
        if (sy + i1 > sheet->height) i1 = sheet->height - sy;
        if (sx + j1 > sheet->width) j1 = sheet->width - sx;
        for (std::int64_t i = i0; i < i1; ++i) {
            // Indexed from the row's start: a cell left of the sheet must not
            // form a pointer before the pixel array.
            const std::uint32_t* row = sheet->pixels + (sy + i) * sheet->width;
            const std::int64_t penY = font->y + i * ph;
            for (std::int64_t j = j0; j < j1; ++j) {
                if (row[sx + j] == 0) continue;
                const std::int64_t penX = font->x + j * pw;
                // A pen beyond the 32-bit range lies off every image.
                if (!fitsInt32(penX) || !fitsInt32(penY)) continue;
                pixelFont->x = static_cast<std::int32_t>(penX);
                pixelFont->y = static_cast<std::int32_t>(penY);
                FONTPutChar(pixelFont);
            }
        }
    }
    font->x = movePen(font->x, std::int64_t{font->cellWidth} * pw);
}

// ---- Reporting --------------------------------------------------------------

// "FONT Error.\n" while reporting is on.
void FONTError() {
    if (reportErrors) std::printf("FONT Error.\n");
}

// Test hook: the program never turns reporting on.
void FONTSetReportErrors(bool on) { reportErrors = on; }
