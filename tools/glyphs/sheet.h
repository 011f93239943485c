// SHEET: the glyph sheet under construction: 240 x 480 one-bit pixels in 15 x 26
// cells, 16 cells per row, and the drawing operations the glyph tables use.
// Every operation is clipped to the cell it draws in, so a glyph can never
// leak into its neighbours; a stroke that would leave its cell is an error.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

inline constexpr int cellWidth = 15;
inline constexpr int cellHeight = 26;
inline constexpr int cellsPerRow = 16;
inline constexpr int sheetWidth = cellWidth * cellsPerRow;  // 240
inline constexpr int sheetHeight = 480;  // 18 full cell rows and 12 spare pixel rows
inline constexpr int cellCount = cellsPerRow * (sheetHeight / cellHeight);  // 288 whole cells

struct SHEET {
    std::vector<std::uint8_t> bits = std::vector<std::uint8_t>(sheetWidth * sheetHeight, 0);
    std::string error;  // first drawing error, empty while all is well
};

// Pixel access in cell coordinates (column 0..14, row 0..25). Writes outside
// the cell record an error; reads outside give 0.
void SHEETSetInk(SHEET& sheet, int code, int column, int row, bool on = true);
bool SHEETInkAt(const SHEET& sheet, int code, int column, int row);

// Strokes: "x,y x,y x,y; x,y ..." — polylines separated by ';', each drawn with
// a square pen of the given size whose top-left corner follows the line.
// A single point stamps one pen dot.
void SHEETDrawStrokes(SHEET& sheet, int code, const char* strokes, int pen = 2, int dx = 0, int dy = 0);

// Filled shapes sampled at pixel centres, in cell coordinates.
struct SHEETPOINT {
    double x;
    double y;
};
void SHEETFillPolygon(SHEET& sheet, int code, const std::vector<SHEETPOINT>& points);
void SHEETFillEllipse(SHEET& sheet, int code, double cx, double cy, double rx, double ry);
void SHEETRingEllipse(SHEET& sheet, int code, double cx, double cy, double rx, double ry, double width);
void SHEETFillRect(SHEET& sheet, int code, int column, int row, int width, int height);
// Every pixel whose centre (x, y) satisfies the test.
void SHEETFillWhere(SHEET& sheet, int code, const std::function<bool(double, double)>& inside);
// A bitmap drawing: rows of '#' (ink) and '.' (clear), top-left at (column, row).
void SHEETDrawBitmap(SHEET& sheet, int code, int column, int row, std::initializer_list<const char*> rows);

// The glyph tables.
void SHEETDrawAscii(SHEET& sheet);    // codes 16..31 (top lines) and 32..126
void SHEETDrawSymbols(SHEET& sheet);  // codes 144..201

// The finished sheet as a binary portable bitmap with two comment lines.
std::string SHEETToPBM(const SHEET& sheet);
