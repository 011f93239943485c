// The compiled-in glyph sheet: its file form and the layout the font and the
// scroller rely on.
//
// Rules checked, with cells 15 x 26, code c at column c mod 16, row c div 16,
// cell rows counted from 0 at the cell's top:
//   - empty: codes 0..15 (the scroller draws a line feed as code 10), 32,
//     127..143 and every whole cell from 202 on; no ink at all below sheet
//     pixel row 317, the spare rows under the last cell row included;
//   - codes 16..31: all 15 pixels of cell row 0 lit and nothing else;
//   - codes 33..126 and 144..201: some ink, and no two glyphs alike within
//     each range;
//   - codes 32..126: ink only in cell rows 4..24;
//   - on the baseline (cell row 19): capitals and digits span rows 5..19,
//     a c e m n o r s u v w x z rows 9..19, b d f h k l rows 4..19,
//     g p q y rows 9..24, and j ends at row 24.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "demo/demo.h"
#include "img/img.h"
#include "netpbm_header.h"

namespace {

constexpr int cellW = 15;
constexpr int cellH = 26;
constexpr int sheetW = 240;
constexpr int sheetH = 480;
constexpr int wholeCells = 16 * (sheetH / cellH);  // 288
constexpr int lastInkRow = 317;

class GlyphSheet : public testing::Test {
protected:
    void SetUp() override {
        sheet = IMGFromPPM(asset_glyphs, asset_glyphs_size);
        ASSERT_NE(sheet, nullptr);
        ASSERT_EQ(sheet->width, sheetW);
        ASSERT_EQ(sheet->height, sheetH);
    }
    void TearDown() override { IMGFree(&sheet); }

    bool ink(int code, int column, int row) const {
        return IMGGetPixel(sheet, (code % 16) * cellW + column, (code / 16) * cellH + row) != 0;
    }

    // Ink pixel count, and the first and last cell rows holding ink (-1 if none).
    struct Extent {
        int count = 0;
        int top = -1;
        int bottom = -1;
    };
    Extent extent(int code) const {
        Extent e;
        for (int row = 0; row < cellH; ++row) {
            for (int column = 0; column < cellW; ++column) {
                if (ink(code, column, row)) {
                    ++e.count;
                    e.top = e.top < 0 ? row : e.top;
                    e.bottom = row;
                }
            }
        }
        return e;
    }

    std::string cellBits(int code) const {
        std::string bits;
        for (int row = 0; row < cellH; ++row) {
            for (int column = 0; column < cellW; ++column) {
                bits += ink(code, column, row) ? '#' : '.';
            }
        }
        return bits;
    }

    void expectDistinct(int first, int last) const {
        std::vector<std::string> seen;
        for (int code = first; code <= last; ++code) {
            seen.push_back(cellBits(code));
            for (int other = first; other < code; ++other) {
                EXPECT_NE(seen.back(), seen[static_cast<std::size_t>(other - first)])
                    << "codes " << other << " and " << code << " look the same";
            }
        }
    }

    IMG* sheet = nullptr;
};

}  // namespace

// Raw P4 with exactly two comment lines, 240 x 480, 30 bytes per row.
TEST(GlyphSheetFile, HeaderHasTheKeptForm) {
    const NetpbmHeader h = readNetpbmHeader(asset_glyphs, asset_glyphs_size);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.magic, "P4");
    EXPECT_EQ(h.comments, 2);
    EXPECT_EQ(h.width, sheetW);
    EXPECT_EQ(h.height, sheetH);
    EXPECT_EQ(h.dataSize, std::size_t{30} * sheetH);
}

// A set bit decodes to a white pixel, a clear bit to 0: the font draws the
// sheet's non-zero pixels, so the bit sense decides what is ink.
TEST_F(GlyphSheet, SetBitsDecodeToWhite) {
    const NetpbmHeader h = readNetpbmHeader(asset_glyphs, asset_glyphs_size);
    ASSERT_TRUE(h.ok);
    int mismatches = 0;
    for (int y = 0; y < sheetH; ++y) {
        for (int x = 0; x < sheetW; ++x) {
            const unsigned byte = asset_glyphs[h.dataOffset + static_cast<std::size_t>(y * 30 + x / 8)];
            const bool bit = (byte & (0x80u >> (x % 8))) != 0;
            mismatches += IMGGetPixel(sheet, x, y) != (bit ? 0xFFFFFFu : 0u) ? 1 : 0;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(GlyphSheet, ControlCodesAndUnusedCellsAreEmpty) {
    for (int code = 0; code < wholeCells; ++code) {
        if (code <= 15 || code == 32 || (code >= 127 && code <= 143) || code >= 202) {
            EXPECT_EQ(extent(code).count, 0) << "code " << code;
        }
    }
    int below = 0;
    for (int y = lastInkRow + 1; y < sheetH; ++y) {
        for (int x = 0; x < sheetW; ++x) {
            below += IMGGetPixel(sheet, x, y) != 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(below, 0) << "ink below sheet row " << lastInkRow;
}

TEST_F(GlyphSheet, CodesSixteenToThirtyOneAreOneTopLine) {
    for (int code = 16; code <= 31; ++code) {
        const Extent e = extent(code);
        EXPECT_EQ(e.count, cellW) << "code " << code;
        EXPECT_EQ(e.top, 0) << "code " << code;
        EXPECT_EQ(e.bottom, 0) << "code " << code;
    }
}

TEST_F(GlyphSheet, PrintableGlyphsStayBetweenAscenderAndDescender) {
    for (int code = 33; code <= 126; ++code) {
        const Extent e = extent(code);
        EXPECT_GT(e.count, 0) << "'" << static_cast<char>(code) << "' has no ink";
        EXPECT_GE(e.top, 4) << "'" << static_cast<char>(code) << "'";
        EXPECT_LE(e.bottom, 24) << "'" << static_cast<char>(code) << "'";
    }
}

TEST_F(GlyphSheet, LettersAndDigitsSitOnTheBaseline) {
    struct Group {
        const char* members;
        int top;     // -1: not checked
        int bottom;
    };
    const Group groups[] = {
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 5, 19},
        {"acemnorsuvwxz", 9, 19},
        {"bdfhkl", 4, 19},
        {"gpqy", 9, 24},
        {"j", -1, 24},
    };
    for (const Group& g : groups) {
        for (const char* c = g.members; *c != '\0'; ++c) {
            const Extent e = extent(*c);
            if (g.top >= 0) {
                EXPECT_EQ(e.top, g.top) << "'" << *c << "'";
            }
            EXPECT_EQ(e.bottom, g.bottom) << "'" << *c << "'";
        }
    }
}

// Two equal cells would mean a glyph drawn twice and another one missing.
TEST_F(GlyphSheet, EveryGlyphIsItsOwn) {
    expectDistinct(33, 126);
    for (int code = 144; code <= 201; ++code) {
        EXPECT_GT(extent(code).count, 0) << "code " << code;
    }
    expectDistinct(144, 201);
}

// Every character the scroller shows, other than spaces and line feeds,
// comes out visible.
TEST_F(GlyphSheet, ScrollTextCharactersAllHaveInk) {
    for (std::size_t i = 0; i < asset_scrolltext_size; ++i) {
        const int code = asset_scrolltext[i];
        if (code != ' ' && code != '\n') {
            EXPECT_GT(extent(code).count, 0) << "byte " << i << " code " << code;
        }
    }
}
