// FONT: draws text from a fixed-cell glyph sheet into an image, like a pen.
// Every draw copies one glyph cell to the pen and moves the pen right by one
// cell width; callers set the pen, code and target before drawing.
#pragma once

#include <cstdint>

#include "img/img.h"

struct FONT {
    std::int32_t x;           // pen: left edge of the next cell in the target
    std::int32_t y;           // pen: top edge of the cell
    std::int32_t cellWidth;   // glyph cell width, 6 in a new font
    std::int32_t cellHeight;  // glyph cell height, 6 in a new font
    std::int32_t code;        // character code the next draw uses
    IMG* sheet;               // glyph sheet, owned: FONTFree frees it
    IMG* target;              // image drawn into, borrowed
};

FONT* FONTNew();                                       // 6 x 6 cells, no sheet, no target; null on failure
void FONTFree(FONT** font);                            // release font and sheet, clear the caller's pointer
void FONTPutChar(FONT* font);                          // transparent glyph draw, pen advances
void FONTPutCharOpaque(FONT* font);                    // whole cell, clear pixels included, pen advances
void FONTPutCharAdd(FONT* font);                       // cell added word by word, pen advances
void FONTPutHex8(FONT* font, std::uint32_t value);     // low byte as two upper-case hex digits
void FONTPutHex16(FONT* font, std::uint32_t value);    // low 16 bits as four digits
void FONTPutHex32(FONT* font, std::uint32_t value);    // eight digits
void FONTPutString(FONT* font, const char* text);      // characters up to the first NUL or line feed
void FONTPutCharMagnified(FONT* font, FONT* pixelFont);  // current glyph drawn with a glyph per pixel
void FONTError();                                      // prints "FONT Error.\n" while reporting is on
void FONTSetReportErrors(bool on);                     // test hook: the program never turns reporting on
