// KEYS: the keys file, the one format in which a performance is kept. The F9
// recorder writes it and the capture tool reads it (--keys @FILE), both
// through this unit, so that a key name, the comment or the render line can
// change in one place only. A file is text: "#" starts a comment that runs to
// the end of its line; entries FRAME:KEY are separated by line ends or
// commas, blanks around them ignored. The recorder's first two lines are
// comments: the frame range, then "# render: " and the command that renders
// the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

inline constexpr char KEYS_COMMENT = '#';
inline constexpr const char* KEYS_RENDER = "# render: ";
inline constexpr std::size_t KEYS_ENTRY_MAX = 64;   // an entry's room, its end included

// Whether a code the show received is kept in a keys file: the codes of the
// show's keys, never 0 to 9 but Backspace and Tab.
bool KEYSKept(int code);
// A key code as written: space, escape, return, tab, backspace, comma, colon,
// a printable character other than "#", else its decimal code.
void KEYSName(int code, char* out, std::size_t size);
// A key's code from a written name: the names above (also esc and enter), a
// single printable character, or a decimal code from 10 to below limit; 0
// when unknown.
std::int32_t KEYSCode(const char* name, std::int32_t limit);

// The recorder's two comment lines and its entries, one a line. False when
// a write failed.
bool KEYSWriteHeader(std::FILE* file, std::int64_t first, std::int64_t last, const char* command);
bool KEYSWriteEntry(std::FILE* file, std::int64_t frame, int code);

// Hands each entry of the file (comments and blanks gone) to take(entry,
// length, context), in the file's order; an entry longer than the room has
// length KEYS_ENTRY_MAX and is cut short. Stops at the first entry take
// refuses. 1 when all were taken, 0 when take refused one, -1 when the file
// could not be read.
int KEYSReadEntries(std::FILE* file, bool (*take)(const char* entry, std::size_t length, void* context),
                    void* context);
