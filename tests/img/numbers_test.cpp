// The shared number helpers at the ends of their ranges, in both widths.
#include <gtest/gtest.h>

#include <cstdint>

#include "img/img.h"
#include "img/numbers.h"

TEST(Numbers, WrapClampAndFitAtTheEnds) {
    EXPECT_EQ(wrapIndex(INT32_MIN, 1024), 0);
    EXPECT_EQ(wrapIndex(INT32_MIN + 1, 1024), 1);
    EXPECT_EQ(wrapIndex(INT32_MAX, 7), INT32_MAX % 7);
    EXPECT_EQ(wrapIndex(std::int64_t{-1}, INT32_MAX), INT32_MAX - 1);
    EXPECT_EQ(wrapIndex(INT64_MIN, 3), 1);  // -2^63 = 3 * k + 1
    EXPECT_EQ(wrapIndex(-5, 1), 0);

    EXPECT_EQ(clampInt32(int32Max + 1), INT32_MAX);
    EXPECT_EQ(clampInt32(INT64_MIN), INT32_MIN);
    EXPECT_EQ(clampInt32(-7), -7);
    EXPECT_TRUE(fitsInt32(int32Min));
    EXPECT_FALSE(fitsInt32(int32Min - 1));
    EXPECT_FALSE(fitsInt32(int32Max + 1));

    // The sine entry of any step: negative steps count back from 1024.
    EXPECT_EQ(sineEntry(-1), sineTable[1023]);
    EXPECT_EQ(sineEntry(INT64_MIN), sineTable[0]);
    EXPECT_EQ(sineEntry(1024 + 256), sineTable[256]);
}
