// The shared sine table, computed at compile time: no floating point runs.
#include "img/img.h"

#include <array>

namespace {

consteval std::array<std::int16_t, sineLength> makeSineTable() {
    std::array<std::int16_t, sineLength> t{};
    // First quarter: 32767 * sin(2 pi i / 1024), rounded to nearest.
    for (int i = 0; i < 256; ++i) {
        const long double v = 32767.0L * sineAt(2.0L * sinePi * i / 1024.0L);
        t[i] = static_cast<std::int16_t>(static_cast<long>(v + 0.5L));
    }
    // Two entries of the table the show was tuned with sit one above the rounding.
    t[129] = 23312;
    t[183] = 29535;
    for (int k = 0; k < 256; ++k) t[256 + k] = t[255 - k];  // second quarter mirrors the first
    for (int k = 0; k < 512; ++k) t[512 + k] = static_cast<std::int16_t>(-t[k]);  // second half negated
    return t;
}

constexpr std::array<std::int16_t, sineLength> table = makeSineTable();
static_assert(table[0] == 0 && table[255] == 32766 && table[256] == 32766 && table[511] == 0);
static_assert(table[129] == 23312 && table[183] == 29535 && table[768] == -32766);

[[maybe_unused]] const IDENT ident = {"SINE    ", "20261208", "Tordeval", "C++     ", "DATA    "};

}  // namespace

constinit const std::array<std::int16_t, sineLength> sineTable = table;
