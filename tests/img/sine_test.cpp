// The shared sine table against the rule it is built by.
#include <gtest/gtest.h>

#include <cmath>

#include "img/img.h"

TEST(SineTable, FirstQuarterIsRoundedSineWithTwoTunedEntries) {
    for (int i = 0; i < 256; ++i) {
        long expected = std::lround(32767.0 * std::sin(2.0 * M_PI * i / 1024.0));
        if (i == 129 || i == 183) ++expected;
        EXPECT_EQ(sineTable[i], expected) << "entry " << i;
    }
    EXPECT_EQ(sineTable[129], 23312);
    EXPECT_EQ(sineTable[183], 29535);
}

TEST(SineTable, MirrorAndNegationMakeTheFullTurn) {
    for (int k = 0; k < 256; ++k) EXPECT_EQ(sineTable[256 + k], sineTable[255 - k]);
    for (int k = 0; k < 512; ++k) EXPECT_EQ(sineTable[512 + k], -sineTable[k]);
    EXPECT_EQ(sineTable[255], 32766);
    EXPECT_EQ(sineTable[256], 32766);
    EXPECT_EQ(sineTable[511], 0);
}
