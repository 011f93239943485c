// SCROLL: a horizontally scrolling, endlessly repeating line of text drawn
// into a strip image one glyph cell per byte, moving pixel by pixel.
#pragma once

#include <cstdint>

#include "img/img.h"
#include "text/cursor.h"
#include "text/font.h"

struct SCROLL {
    std::int32_t x;       // left edge of the strip in the target
    std::int32_t y;       // top edge of the glyph row
    std::int32_t width;   // target width taken by SCROLLSet: decides how many cells are drawn
    std::int32_t speed;   // pixels per SCROLLAdvance; positive moves the text left
    std::int32_t offset;  // how far the first visible cell starts left of x
    const char* text;     // NUL-terminated, borrowed
    CURSOR* cursor;       // index of the character in the first cell, owned
    FONT* font;           // borrowed once attached by SCROLLSet
    IMG* target;          // strip image, borrowed
    FONT* placeholder;    // the font made by SCROLLNew, owned until released
};

SCROLL* SCROLLNew();                                   // default text, placeholder font, no target; null on failure
void SCROLLFree(SCROLL** scroll);                      // release cursor and record, clear the caller's pointer
void SCROLLSet(SCROLL* scroll, const char* text, FONT* font, IMG* target);  // attach text, font and strip
void SCROLLDraw(SCROLL* scroll);                       // render the visible cells; cursor unchanged
void SCROLLAdvance(SCROLL* scroll);                    // move the text by speed pixels
void SCROLLError();                                    // prints "SCROLL error\n" while reporting is on
void SCROLLSetReportErrors(bool on);                   // test hook: the program never turns reporting on
