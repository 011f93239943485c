// The wobble table against its layout and the sine rule, with the library's
// sine as an oracle independent of the compile-time series that builds it
// (the tuned rows and single entries are proved by static_assert beside it).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "demo/demo.h"

TEST(WobbleTable, LayoutAndRule) {
    // Pauses, then whole periods {start, length, period, amplitude}.
    const struct {
        int start, length, period, amplitude;
    } segments[] = {{0, 320, 0, 0},       {320, 252, 126, 16},  {572, 254, 254, 32},  {826, 382, 382, 32},
                    {1208, 254, 254, 32}, {1462, 252, 126, 16}, {1714, 320, 0, 0},    {2034, 176, 22, 4},
                    {2210, 480, 30, 8},   {2690, 176, 22, 4}};
    for (const auto& s : segments)
        for (int i = 0; i < s.length; ++i) {
            const int v = wobbleTable[s.start + i];
            if (s.period == 0) {
                ASSERT_EQ(v, 0) << s.start + i;
                continue;
            }
            const double rule = s.amplitude * std::sin(2.0 * std::numbers::pi * i / s.period);
            ASSERT_LE(std::fabs(v - rule), 0.71) << s.start + i;
            if (i % s.period >= s.period / 2) {
                ASSERT_EQ(v, -wobbleTable[s.start + i - s.period / 2]) << s.start + i;
            }
        }
}
