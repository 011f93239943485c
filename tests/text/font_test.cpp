// The bitmap font on small synthetic sheets: where each code's cell lies, the
// three draw modes, numbers and strings, the magnified glyph, and misuse.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "img/img.h"
#include "tests/printed.h"
#include "text/font.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

IMG* Image(std::int32_t w, std::int32_t h, std::uint32_t fill = 0) {
    IMG* image = IMGNew();
    IMGResize(image, w, h);
    for (std::int32_t i = 0; i < w * h; ++i) image->pixels[i] = fill;
    return image;
}

// Font with 1 x 1 cells on a 16 x 8 sheet: the cell of code c is one pixel
// holding 0x100 + c, so a drawn row reads back as the codes drawn.
FONT* CodeFont(IMG* target) {
    FONT* font = FONTNew();
    font->cellWidth = 1;
    font->cellHeight = 1;
    font->sheet = Image(16, 8);
    for (std::uint32_t c = 0; c < 128; ++c) font->sheet->pixels[c] = 0x100 + c;
    font->target = target;
    return font;
}

// Codes drawn along row 0 of the target, from column 0 (0x100 marks subtracted).
std::string Drawn(const IMG* target) {
    std::string s;
    for (std::int32_t x = 0; x < target->width && target->pixels[x] != 0; ++x)
        s += static_cast<char>(target->pixels[x] - 0x100);
    return s;
}

template <typename F>
std::string Printed(F action) {
    return testout::Printed(action, FONTSetReportErrors);
}

}  // namespace

TEST(Font, CellsLieInReadingOrderAndOffSheetCellsClip) {
    // 2 x 2 cells on a 5 x 5 sheet: two whole cells per row, a half cell at
    // the right edge, a half row of cells at the bottom.
    IMG* target = Image(2, 2);
    FONT* font = FONTNew();
    font->cellWidth = 2;
    font->cellHeight = 2;
    font->sheet = Image(5, 5);
    for (std::uint32_t i = 0; i < 25; ++i) font->sheet->pixels[i] = 1000 + i;
    font->target = target;
    auto draw = [&](std::int32_t code) {
        IMGClear(target);
        font->x = 0;
        font->code = code;
        FONTPutCharOpaque(font);
        EXPECT_EQ(font->x, 2) << code;
        return std::vector<std::uint32_t>(target->pixels, target->pixels + 4);
    };
    EXPECT_EQ(draw(0), (std::vector<std::uint32_t>{1000, 1001, 1005, 1006}));
    EXPECT_EQ(draw(1), (std::vector<std::uint32_t>{1002, 1003, 1007, 1008}));
    EXPECT_EQ(draw(2), (std::vector<std::uint32_t>{1004, 0, 1009, 0}));  // straddles the right edge
    EXPECT_EQ(draw(3), (std::vector<std::uint32_t>{1011, 1012, 1016, 1017}));  // L = 6: column 1, row 1
    EXPECT_EQ(draw(5), (std::vector<std::uint32_t>{1020, 1021, 0, 0}));  // L = 10: half below the sheet
    EXPECT_EQ(draw(10), (std::vector<std::uint32_t>(4, 0)));             // wholly below
    EXPECT_EQ(draw(-1), (std::vector<std::uint32_t>(4, 0)));             // left of the sheet
    EXPECT_EQ(draw(std::numeric_limits<std::int32_t>::min()), (std::vector<std::uint32_t>(4, 0)));
    // Extreme cell sizes and codes stay in range, and the pen stops at the end.
    font->cellWidth = kMax;
    font->cellHeight = kMax;
    font->code = kMax;
    font->x = kMax - 5;
    FONTPutChar(font);
    EXPECT_EQ(font->x, kMax);
    FONTFree(&font);
    IMGFree(&target);
}

TEST(Font, DrawModesTransparentOpaqueAndAdd) {
    IMG* target = Image(4, 1, 0x000080);
    FONT* font = FONTNew();
    font->cellWidth = 2;
    font->cellHeight = 1;
    font->sheet = Image(2, 1);
    font->sheet->pixels[0] = 0x000080;  // one glyph pixel, one clear pixel
    font->target = target;
    FONTPutChar(font);
    FONTPutCharOpaque(font);
    EXPECT_EQ(font->x, 4);
    EXPECT_EQ(std::vector<std::uint32_t>(target->pixels, target->pixels + 4),
              (std::vector<std::uint32_t>{0x80, 0x80, 0x80, 0}));
    font->x = 0;
    font->sheet->pixels[1] = 0xFF000000;
    target->pixels[1] = 0x01000001;
    FONTPutCharAdd(font);
    EXPECT_EQ(target->pixels[0], 0x100u);  // carries into green
    EXPECT_EQ(target->pixels[1], 1u);      // wraps past 32 bits
    FONTFree(&font);
    IMGFree(&target);
}

TEST(Font, HexDigitsAndStrings) {
    IMG* target = Image(16, 1);
    FONT* font = CodeFont(target);
    FONTPutHex8(font, 0x3C);
    EXPECT_EQ(Drawn(target), "3C");
    EXPECT_EQ(font->x, 2);
    EXPECT_EQ(font->code, 'C');
    FONTPutHex8(font, 0x1FF);
    FONTPutHex16(font, 0x9A0B);
    EXPECT_EQ(Drawn(target), "3CFF9A0B");
    IMGClear(target);
    font->x = 0;
    FONTPutHex32(font, 0x12AB00FF);
    EXPECT_EQ(Drawn(target), "12AB00FF");
    IMGClear(target);
    font->x = 0;
    FONTPutString(font, "ab\ncd");
    EXPECT_EQ(Drawn(target), "ab");
    EXPECT_EQ(font->x, 2);
    // A byte above 127 is a negative code: off the sheet, but it takes its cell.
    FONTPutString(font, "\xE9z");
    EXPECT_EQ(font->code, 'z');
    EXPECT_EQ(target->pixels[2], 0u);
    EXPECT_EQ(target->pixels[3], 0x100u + 'z');
    FONTFree(&font);
    IMGFree(&target);
}

TEST(Font, MagnifiedGlyphDrawsAPixelGlyphPerSetPixel) {
    IMG* target = Image(12, 6);
    // Big font: one 3 x 2 cell with pixels (0,0), (2,0) and (1,1) set.
    FONT* big = FONTNew();
    big->cellWidth = 3;
    big->cellHeight = 2;
    big->sheet = Image(3, 2);
    big->sheet->pixels[0] = big->sheet->pixels[2] = big->sheet->pixels[4] = 7;
    big->target = target;
    big->x = 1;
    // Pixel font: a solid 2 x 3 glyph of colour 9.
    FONT* dot = FONTNew();
    dot->cellWidth = 2;
    dot->cellHeight = 3;
    dot->sheet = Image(2, 3, 9);
    FONTPutCharMagnified(big, dot);
    EXPECT_EQ(big->x, 1 + 3 * 2);
    EXPECT_EQ(dot->target, target);
    EXPECT_EQ(dot->x, 1 + 1 * 2 + 2);  // one cell right of the last glyph pixel, (1,1)
    EXPECT_EQ(dot->y, 3);
    std::string rows;
    for (std::int32_t y = 0; y < 6; ++y) {
        for (std::int32_t x = 0; x < 8; ++x) rows += target->pixels[y * 12 + x] == 9 ? '#' : '.';
        rows += '/';
    }
    EXPECT_EQ(rows, ".##..##./.##..##./.##..##./...##.../...##.../...##.../");
    // A glyph off the sheet draws nothing and still advances.
    IMGClear(target);
    big->code = 5;
    FONTPutCharMagnified(big, dot);
    EXPECT_EQ(big->x, 13);
    EXPECT_EQ(std::vector<std::uint32_t>(target->pixels, target->pixels + 72), std::vector<std::uint32_t>(72, 0));
    // A negative code on a sheet whose width is no multiple of the cell: the
    // cell lies left of the sheet's first row and draws nothing.
    IMGResize(big->sheet, 4, 2);
    for (std::int32_t i = 0; i < 8; ++i) big->sheet->pixels[i] = 7;
    big->code = -1;  // L = -3: column -3 of row 0
    big->x = 0;
    FONTPutCharMagnified(big, dot);
    EXPECT_EQ(big->x, 6);
    EXPECT_EQ(std::vector<std::uint32_t>(target->pixels, target->pixels + 72), std::vector<std::uint32_t>(72, 0));
    FONTFree(&dot);
    FONTFree(&big);
    IMGFree(&target);
}

TEST(Font, MisuseIsReportedAndLeavesThePen) {
    FONT* font = FONTNew();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->cellWidth, 6);
    EXPECT_EQ(font->cellHeight, 6);
    // No sheet: refused, pen stays.
    EXPECT_EQ(Printed([&] { FONTPutChar(font); }), "FONT Error.\n");
    EXPECT_EQ(font->x, 0);
    // No target: the rectangle copy refuses, the pen advances anyway.
    font->sheet = Image(6, 6, 1);
    FONTPutCharOpaque(font);
    EXPECT_EQ(font->x, 6);
    EXPECT_EQ(Printed([&] {
                  FONTPutString(font, nullptr);
                  FONTPutHex32(nullptr, 1);
                  FONTPutCharMagnified(font, font);  // the font has no target
              }),
              "FONT Error.\nFONT Error.\nFONT Error.\n");
    FONTFree(&font);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(Printed([&] { FONTFree(&font); }), "FONT Error.\n");
}
