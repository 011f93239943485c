// The extra glyphs on codes 144..201: box drawing, blocks and shades, arrows,
// card suits, music notes and other symbols, and small raised digits.
//
// Box-drawing lines run through the cell's middle (columns 6-7, rows 12-13)
// and reach its edges, so neighbouring cells join into frames. The raised
// digits on 192..201 use only cell rows 0..5: the sheet keeps no ink below
// its pixel row 317, which is row 5 of that cell row.
#include <cmath>
#include <numbers>

#include "img/img.h"
#include "tools/glyphs/sheet.h"

namespace {
[[maybe_unused]] const IDENT ident = {"GLYPHSYM", "20261208", "Tordeval", "C++     ", "CODE    "};

// Codes in the order drawn below.
enum : int {
    boxHorizontal = 144,
    boxVertical,
    boxDownRight,
    boxDownLeft,
    boxUpRight,
    boxUpLeft,
    boxVerticalRight,
    boxVerticalLeft,
    boxDownHorizontal,
    boxUpHorizontal,
    boxCross,
    blockFull,  // 155
    blockUpper,
    blockLower,
    blockLeft,
    blockRight,
    shadeLight,  // 160
    shadeMedium,
    shadeDark,
    arrowLeft,  // 163
    arrowRight,
    arrowUp,
    arrowDown,
    triangleUp,  // 167
    triangleRight,
    triangleDown,
    triangleLeft,
    heart,  // 171
    diamond,
    club,
    spade,
    smiley,  // 175
    star,
    note,
    notePair,
    checkMark,  // 179
    crossMark,
    bullet,  // 181
    circle,
    disc,
    square,
    block,
    degree,  // 186
    pi,
    plusMinus,
    division,
    times,
    root,  // 191
    raisedDigits,  // 192..201
};

struct Stroked {
    int code;
    const char* strokes;
};

const Stroked strokedSymbols[] = {
    {boxHorizontal, "0,12 13,12"},
    {boxVertical, "6,0 6,24"},
    {boxDownRight, "13,12 6,12 6,24"},
    {boxDownLeft, "0,12 6,12 6,24"},
    {boxUpRight, "6,0 6,12 13,12"},
    {boxUpLeft, "6,0 6,12 0,12"},
    {boxVerticalRight, "6,0 6,24; 6,12 13,12"},
    {boxVerticalLeft, "6,0 6,24; 0,12 6,12"},
    {boxDownHorizontal, "0,12 13,12; 6,12 6,24"},
    {boxUpHorizontal, "0,12 13,12; 6,0 6,12"},
    {boxCross, "0,12 13,12; 6,0 6,24"},
    {arrowLeft, "1,11 12,11; 5,7 1,11 5,15"},
    {arrowRight, "1,11 12,11; 8,7 12,11 8,15"},
    {arrowUp, "6,5 6,18; 2,9 6,5 10,9"},
    {arrowDown, "6,5 6,18; 2,14 6,18 10,14"},
    {checkMark, "1,12 5,16 12,6"},
    {crossMark, "2,7 10,16; 10,7 2,16"},
    {square, "1,6 12,6 12,17 1,17 1,6"},
    {pi, "1,9 12,9; 4,9 4,18; 9,9 9,16 10,18 12,18"},
    {plusMinus, "6,6 6,14; 2,10 10,10; 2,17 10,17"},
    {division, "2,11 10,11; 6,6; 6,16"},
    {times, "2,7 10,15; 10,7 2,15"},
    {root, "0,12 2,12 6,18 11,4 13,4"},
};

// Raised digits 0..9, four columns by six rows.
void drawRaisedDigits(SHEET& sheet) {
    static const char* const digits[10][6] = {
        {".##.", "#..#", "#..#", "#..#", "#..#", ".##."},
        {".#..", "##..", ".#..", ".#..", ".#..", "###."},
        {".##.", "#..#", "...#", "..#.", ".#..", "####"},
        {"###.", "...#", ".##.", "...#", "...#", "###."},
        {"#..#", "#..#", "####", "...#", "...#", "...#"},
        {"####", "#...", "###.", "...#", "...#", "###."},
        {".##.", "#...", "###.", "#..#", "#..#", ".##."},
        {"####", "...#", "..#.", ".#..", ".#..", ".#.."},
        {".##.", "#..#", ".##.", "#..#", "#..#", ".##."},
        {".##.", "#..#", "#..#", ".###", "...#", ".##."},
    };
    for (int d = 0; d < 10; ++d) {
        const char* const* r = digits[d];
        SHEETDrawBitmap(sheet, raisedDigits + d, 1, 0, {r[0], r[1], r[2], r[3], r[4], r[5]});
    }
}

// Heart curve (x^2 + y^2 - 1)^3 - x^2 y^3 <= 0, point up when flipped.
bool inHeart(double x, double y) {
    const double a = x * x + y * y - 1.0;
    return a * a * a - x * x * y * y * y <= 0.0;
}

void drawSuits(SHEET& sheet) {
    SHEETFillWhere(sheet, heart, [](double x, double y) { return inHeart((x - 7.5) / 6.0, (11.0 - y) / 6.0); });
    SHEETFillPolygon(sheet, diamond, {{7.5, 4.5}, {14.0, 12.5}, {7.5, 20.5}, {1.0, 12.5}});
    SHEETFillEllipse(sheet, club, 7.5, 8.0, 3.3, 3.3);
    SHEETFillEllipse(sheet, club, 3.8, 13.5, 3.3, 3.3);
    SHEETFillEllipse(sheet, club, 11.2, 13.5, 3.3, 3.3);
    SHEETFillPolygon(sheet, club, {{6.5, 10.0}, {8.5, 10.0}, {10.5, 20.0}, {4.5, 20.0}});
    SHEETFillWhere(sheet, spade, [](double x, double y) { return inHeart((x - 7.5) / 5.4, (y - 10.5) / 5.4); });
    SHEETFillPolygon(sheet, spade, {{7.0, 14.0}, {8.0, 14.0}, {10.5, 20.0}, {4.5, 20.0}});
}

void drawShapes(SHEET& sheet) {
    SHEETFillRect(sheet, blockFull, 0, 0, cellWidth, cellHeight);
    SHEETFillRect(sheet, blockUpper, 0, 0, cellWidth, cellHeight / 2);
    SHEETFillRect(sheet, blockLower, 0, cellHeight / 2, cellWidth, cellHeight / 2);
    SHEETFillRect(sheet, blockLeft, 0, 0, 7, cellHeight);
    SHEETFillRect(sheet, blockRight, 7, 0, 8, cellHeight);
    SHEETFillWhere(sheet, shadeLight,
                   [](double x, double y) { return static_cast<int>(x) % 2 == 0 && static_cast<int>(y) % 2 == 0; });
    SHEETFillWhere(sheet, shadeMedium,
                   [](double x, double y) { return (static_cast<int>(x) + static_cast<int>(y)) % 2 == 0; });
    SHEETFillWhere(sheet, shadeDark,
                   [](double x, double y) { return static_cast<int>(x) % 2 == 0 || static_cast<int>(y) % 2 == 0; });
    SHEETFillPolygon(sheet, triangleUp, {{0.5, 19.5}, {7.5, 5.0}, {14.5, 19.5}});
    SHEETFillPolygon(sheet, triangleRight, {{1.5, 5.0}, {1.5, 20.0}, {13.5, 12.5}});
    SHEETFillPolygon(sheet, triangleDown, {{0.5, 5.5}, {14.5, 5.5}, {7.5, 20.0}});
    SHEETFillPolygon(sheet, triangleLeft, {{13.5, 5.0}, {13.5, 20.0}, {1.5, 12.5}});
    SHEETFillEllipse(sheet, bullet, 7.5, 12.5, 3.0, 3.0);
    SHEETRingEllipse(sheet, circle, 7.5, 12.5, 6.6, 6.6, 2.0);
    SHEETFillEllipse(sheet, disc, 7.5, 12.5, 6.6, 6.6);
    SHEETFillRect(sheet, block, 1, 6, 13, 13);
    SHEETRingEllipse(sheet, degree, 7.0, 7.5, 3.6, 3.6, 1.6);

    // A five-pointed star: outer radius 7.4, inner 3.0, one point up.
    std::vector<SHEETPOINT> points;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 7.4 : 3.0;
        const double angle = -std::numbers::pi / 2.0 + i * std::numbers::pi / 5.0;
        points.push_back({7.5 + radius * std::cos(angle), 13.0 + radius * std::sin(angle)});
    }
    SHEETFillPolygon(sheet, star, points);

    SHEETRingEllipse(sheet, smiley, 7.5, 12.5, 7.4, 7.9, 1.7);
    SHEETFillRect(sheet, smiley, 4, 8, 2, 3);
    SHEETFillRect(sheet, smiley, 9, 8, 2, 3);
    SHEETDrawStrokes(sheet, smiley, "4,14 5,15; 6,16 8,16; 9,15 10,14", 1);
    SHEETDrawStrokes(sheet, smiley, "4,13 5,15 9,15 10,13", 1);
}

void drawNotes(SHEET& sheet) {
    SHEETFillEllipse(sheet, note, 5.0, 18.0, 3.4, 2.5);
    SHEETDrawStrokes(sheet, note, "7,5 7,17; 8,5 11,8 11,11");
    SHEETFillEllipse(sheet, notePair, 3.4, 19.0, 3.0, 2.3);
    SHEETFillEllipse(sheet, notePair, 10.8, 17.0, 3.0, 2.3);
    SHEETDrawStrokes(sheet, notePair, "5,8 5,18; 12,6 12,16; 5,7 12,5; 5,8 12,6");
}

}  // namespace

void SHEETDrawSymbols(SHEET& sheet) {
    for (const Stroked& s : strokedSymbols) {
        SHEETDrawStrokes(sheet, s.code, s.strokes);
    }
    drawShapes(sheet);
    drawSuits(sheet);
    drawNotes(sheet);
    drawRaisedDigits(sheet);
}
