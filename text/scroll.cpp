// SCROLL: an endlessly repeating line of text moving pixel by pixel through a strip.
#include "text/scroll.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "img/numbers.h"
#include "text/cursor.h"
#include "text/font.h"

namespace {

[[maybe_unused]] const IDENT ident = {"SCROLL  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr const char* defaultText = "A scroll's default text. ";

bool reportErrors = false;

// New cursor over a text's bytes before the NUL, at 0, stepping by 1; null if
// the text is empty or memory runs out. A text longer than the 32-bit range is
// walked over its first 2^31 - 1 bytes.
CURSOR* textCursor(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length == 0) return nullptr;
    CURSOR* cursor = CURSORNew();
    if (cursor == nullptr) return nullptr;
    const std::int32_t modulus =
        length > static_cast<std::size_t>(int32Max) ? static_cast<std::int32_t>(int32Max)
                                                    : static_cast<std::int32_t>(length);
    CURSORSet(cursor, modulus, 1);
    return cursor;
}

// Move the cursor by a wide step. The position depends only on the step
// modulo the text length, so a step past the 32-bit range is reduced first.
// (A cursor without positions keeps a clamped step and refuses to move.)
void stepCursor(CURSOR* cursor, std::int64_t step) {
    if (!fitsInt32(step) && cursor->modulus >= 1) {
        const std::int64_t modulus = cursor->modulus;
        step %= modulus;
        if (step < 0) step += modulus;
    }
    cursor->step = clampInt32(step);
    CURSORStep(cursor);
}

}  // namespace

// ---- Record -----------------------------------------------------------------

// New scroller on the default text with a placeholder font and no target.
SCROLL* SCROLLNew() {
    auto* scroll = static_cast<SCROLL*>(std::calloc(1, sizeof(SCROLL)));
    if (scroll == nullptr) {
        SCROLLError();
        return nullptr;
    }
    scroll->speed = 1;
    scroll->text = defaultText;
    scroll->cursor = textCursor(defaultText);
    scroll->placeholder = FONTNew();
    scroll->font = scroll->placeholder;
    if (scroll->cursor == nullptr || scroll->placeholder == nullptr) {
        if (scroll->cursor != nullptr) CURSORFree(&scroll->cursor);
        if (scroll->placeholder != nullptr) FONTFree(&scroll->placeholder);
        std::free(scroll);
        SCROLLError();
        return nullptr;
    }
    return scroll;
}

// Release the cursor, the placeholder font if still held, and the record.
// The text, an attached font and the target are borrowed and stay.
void SCROLLFree(SCROLL** scroll) {
    if (scroll == nullptr || *scroll == nullptr) {
        SCROLLError();
        return;
    }
    SCROLL* s = *scroll;
    if (s->cursor != nullptr) CURSORFree(&s->cursor);
    if (s->placeholder != nullptr) FONTFree(&s->placeholder);
    std::free(s);
    *scroll = nullptr;
}

// ---- Set-up -----------------------------------------------------------------

// Attach a text (started at its first byte), a font and a strip; the strip's
// width now decides how many cells are drawn. Speed and offset are kept. An
// empty text has no positions and is refused like a missing argument.
void SCROLLSet(SCROLL* scroll, const char* text, FONT* font, IMG* target) {
    if (scroll == nullptr || text == nullptr || font == nullptr || target == nullptr) {
        SCROLLError();
        return;
    }
    CURSOR* cursor = textCursor(text);
    if (cursor == nullptr) {
        SCROLLError();
        return;
    }
    if (scroll->cursor != nullptr) CURSORFree(&scroll->cursor);
    scroll->cursor = cursor;
    scroll->text = text;
    if (scroll->placeholder != nullptr && scroll->placeholder != font) FONTFree(&scroll->placeholder);
    scroll->font = font;
    scroll->target = target;
    scroll->x = 0;
    scroll->y = 0;
    scroll->width = target->width;
}

// ---- Drawing and moving -----------------------------------------------------

// Render width / cellWidth + 2 cells from the cursor's character on, each an
// opaque cell copy, starting offset pixels left of x. The cells cover the
// whole strip, so it needs no clearing. The cursor ends where it started.
void SCROLLDraw(SCROLL* scroll) {
    if (scroll == nullptr || scroll->text == nullptr || scroll->cursor == nullptr ||
        scroll->font == nullptr || scroll->target == nullptr || scroll->font->cellWidth < 1 ||
        scroll->cursor->pos < 0 || scroll->cursor->pos >= scroll->cursor->modulus) {
        SCROLLError();
        return;
    }
    FONT* font = scroll->font;
    CURSOR* cursor = scroll->cursor;
    font->x = clampInt32(std::int64_t{scroll->x} - scroll->offset);
    font->y = scroll->y;
    font->target = scroll->target;
    const std::int64_t cells = std::int64_t{scroll->width} / font->cellWidth + 2;
    CURSORMark(cursor);
    cursor->step = 1;
    for (std::int64_t n = 0; n < cells; ++n) {
        font->code = static_cast<signed char>(scroll->text[cursor->pos]);
        FONTPutCharOpaque(font);
        CURSORStep(cursor);
    }
    CURSORRestore(cursor);
}

// Move the text by speed pixels: whole cells go to the cursor, the rest stays
// in offset, which ends in 0 .. cellWidth - 1 (cellWidth after a backward move
// by an exact number of cells, which draws the same strip).
void SCROLLAdvance(SCROLL* scroll) {
    if (scroll == nullptr || scroll->text == nullptr || scroll->cursor == nullptr ||
        scroll->font == nullptr || scroll->font->cellWidth < 1) {
        SCROLLError();
        return;
    }
    const std::int64_t cw = scroll->font->cellWidth;
    const std::int64_t offset = std::int64_t{scroll->offset} + scroll->speed;
    if (offset >= cw) {
        stepCursor(scroll->cursor, offset / cw);
        scroll->offset = static_cast<std::int32_t>(offset % cw);
    } else if (offset < 0) {
        stepCursor(scroll->cursor, offset / cw - 1);
        scroll->offset = static_cast<std::int32_t>(offset % cw + cw);
    } else {
        scroll->offset = static_cast<std::int32_t>(offset);
    }
}

// ---- Reporting --------------------------------------------------------------

// "SCROLL error\n" while reporting is on.
void SCROLLError() {
    if (reportErrors) std::printf("SCROLL error\n");
}

// Test hook: the program never turns reporting on.
void SCROLLSetReportErrors(bool on) { reportErrors = on; }
