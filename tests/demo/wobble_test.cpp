// The wobble table against its layout, the sine rule and the rows the
// picture's look was tuned with.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "demo/demo.h"

TEST(WobbleTable, LayoutRuleAndTellingRows) {
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
    EXPECT_EQ(wobbleTable[572 + 63], 32);  // crests reach the amplitude
    EXPECT_EQ(wobbleTable[826 + 95], 32);

    const int first126[37] = {0,  1,  2,  2,  3,  4,  5,  5,  6,  7,  8,  8,  9,  10, 10, 11, 11, 12, 12,
                              13, 13, 14, 14, 14, 15, 15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
    for (int k = 0; k < 37; ++k) EXPECT_EQ(wobbleTable[320 + k], first126[k]) << k;
    const int half22[11] = {0, 1, 2, 3, 3, 4, 4, 3, 3, 2, 1};
    const int half30[15] = {0, 2, 3, 4, 6, 7, 7, 8, 8, 7, 7, 6, 4, 3, 2};
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(wobbleTable[2034 + k], half22[k]) << k;
        EXPECT_EQ(wobbleTable[2690 + 22 * 7 + k], half22[k]) << k;
    }
    for (int k = 0; k < 15; ++k) EXPECT_EQ(wobbleTable[2210 + 30 * 5 + k], half30[k]) << k;
}
