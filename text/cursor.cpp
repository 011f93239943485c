// CURSOR: a wrap-around index over 0 .. modulus - 1 with one remembered mark.
#include "text/cursor.h"

#include "img/img.h"
#include "img/numbers.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[maybe_unused]] const IDENT ident = {"CURSOR  ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Cursor errors are silent in every build; flip this to trace misuse.
constexpr bool reportErrors = false;

}  // namespace

// ---- Record -----------------------------------------------------------------

// New cursor over 16 positions, stepping by 1, at 0 with mark 0.
CURSOR* CURSORNew() {
    auto* cursor = static_cast<CURSOR*>(std::calloc(1, sizeof(CURSOR)));
    if (cursor == nullptr) {
        CURSORError();
        return nullptr;
    }
    cursor->modulus = 16;
    cursor->step = 1;
    return cursor;
}

// Release the cursor and clear the caller's pointer.
void CURSORFree(CURSOR** cursor) {
    if (cursor == nullptr || *cursor == nullptr) {
        CURSORError();
        return;
    }
    std::free(*cursor);
    *cursor = nullptr;
}

// ---- Moving -----------------------------------------------------------------

// New modulus and step, position back to 0; the mark is kept. A modulus
// below 1 has no positions at all, so it is refused and nothing changes.
void CURSORSet(CURSOR* cursor, std::int32_t modulus, std::int32_t step) {
    if (cursor == nullptr || modulus < 1) {
        CURSORError();
        return;
    }
    cursor->modulus = modulus;
    cursor->step = step;
    cursor->pos = 0;
}

// pos + step, wrapped; computed wide so no step can overflow or take long.
void CURSORStep(CURSOR* cursor) {
    if (cursor == nullptr || cursor->modulus < 1) {
        CURSORError();
        return;
    }
    cursor->pos = wrapIndex(std::int64_t{cursor->pos} + cursor->step, cursor->modulus);
}

// pos = value wrapped: -1 is the last position.
void CURSORSetPos(CURSOR* cursor, std::int32_t value) {
    if (cursor == nullptr || cursor->modulus < 1) {
        CURSORError();
        return;
    }
    cursor->pos = wrapIndex(value, cursor->modulus);
}

// Remember the position.
void CURSORMark(CURSOR* cursor) {
    if (cursor == nullptr) {
        CURSORError();
        return;
    }
    cursor->mark = cursor->pos;
}

// Return to the remembered position.
void CURSORRestore(CURSOR* cursor) {
    if (cursor == nullptr) {
        CURSORError();
        return;
    }
    cursor->pos = cursor->mark;
}

// ---- Reporting --------------------------------------------------------------

// "CURSOR Error.\n" when the build-time switch is on.
void CURSORError() {
    if constexpr (reportErrors) std::printf("CURSOR Error.\n");
}
