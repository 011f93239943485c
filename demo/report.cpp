// The demo's reporter and its index wrap, beneath every other file of the show.
#include <cstdio>

#include "demo/demo.h"
#include "img/numbers.h"

namespace {
[[maybe_unused]] const IDENT ident = {"DEMOMAIN", "20261208", "Tordeval", "C++     ", "CODE    "};

std::uint8_t reportErrors = 0;  // DEMOError prints while this is not 0; the program never sets it
}  // namespace

// value brought into 0 .. n - 1; a remainder of 0 stays 0. n must be positive.
std::int32_t DEMOWrap(std::int32_t value, std::int32_t n) {
    if (n <= 0) {
        DEMOError();
        return 0;
    }
    return wrapIndex(value, n);
}

// The demo's one reporter line, printed only while reporting is on.
void DEMOError() {
    if (reportErrors) std::printf("VELM4009 Error.\n");
}

void DEMOSetReportErrors(bool on) {
    reportErrors = on ? 1 : 0;
}
