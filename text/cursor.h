// CURSOR: a wrap-around index that moves by a signed step and always stays in
// 0 to modulus - 1; it can remember one position and return to it.
#pragma once

#include <cstdint>

struct CURSOR {
    std::int32_t modulus;  // number of positions, at least 1
    std::int32_t step;     // added by each CURSORStep; any value
    std::int32_t pos;      // current position
    std::int32_t mark;     // position remembered by CURSORMark
};

CURSOR* CURSORNew();                                   // modulus 16, step 1, pos 0, mark 0; null on failure
void CURSORFree(CURSOR** cursor);                      // release and clear the caller's pointer
void CURSORSet(CURSOR* cursor, std::int32_t modulus, std::int32_t step);  // pos 0; a modulus below 1 is refused
void CURSORStep(CURSOR* cursor);                       // pos + step, wrapped
void CURSORSetPos(CURSOR* cursor, std::int32_t value);  // pos = value wrapped; -1 is the last position
void CURSORMark(CURSOR* cursor);                       // mark = pos
void CURSORRestore(CURSOR* cursor);                    // pos = mark
void CURSORError();                                    // "CURSOR Error.\n", switched off at build time
