// The wrap-around cursor: stepping and setting for any int32 values, the
// mark, and the refused modulus.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "text/cursor.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Position after one step from pos with the given modulus and step.
std::int32_t StepFrom(std::int32_t modulus, std::int32_t pos, std::int32_t step) {
    CURSOR* c = CURSORNew();
    CURSORSet(c, modulus, step);
    c->pos = pos;
    CURSORStep(c);
    const std::int32_t result = c->pos;
    CURSORFree(&c);
    return result;
}

}  // namespace

TEST(Cursor, StepWrapsBothWaysForAnyStep) {
    EXPECT_EQ(StepFrom(5, 3, 4), 2);
    EXPECT_EQ(StepFrom(5, 0, 12), 2);
    EXPECT_EQ(StepFrom(5, 1, -7), 4);
    EXPECT_EQ(StepFrom(5, 4, 0), 4);
    EXPECT_EQ(StepFrom(1, 0, kMax), 0);
    // Sums past the 32-bit range and steps of billions of moduli, in one pass.
    EXPECT_EQ(StepFrom(kMax, kMax - 1, kMax), kMax - 1);
    EXPECT_EQ(StepFrom(3, 0, kMin), 1);
    EXPECT_EQ(StepFrom(7, 6, kMax), (6 + 2147483647LL) % 7);
}

TEST(Cursor, SetPosCountsNegativesFromTheEnd) {
    CURSOR* c = CURSORNew();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->modulus, 16);
    EXPECT_EQ(c->step, 1);
    CURSORSetPos(c, 37);
    EXPECT_EQ(c->pos, 5);
    CURSORSetPos(c, -1);
    EXPECT_EQ(c->pos, 15);
    CURSORSetPos(c, kMin);
    EXPECT_EQ(c->pos, 0);
    CURSORSetPos(c, kMax);
    EXPECT_EQ(c->pos, 15);
    CURSORFree(&c);
}

TEST(Cursor, MarkRestoreAndSetKeepTheMark) {
    CURSOR* c = CURSORNew();
    CURSORSet(c, 10, 3);
    CURSORStep(c);
    CURSORMark(c);
    for (int i = 0; i < 3; ++i) CURSORStep(c);
    EXPECT_EQ(c->pos, 2);
    CURSORRestore(c);
    EXPECT_EQ(c->pos, 3);
    CURSORStep(c);
    CURSORSet(c, 12, -1);
    EXPECT_EQ(c->pos, 0);
    EXPECT_EQ(c->mark, 3);
    EXPECT_EQ(c->step, -1);
    CURSORFree(&c);
}

TEST(Cursor, ModulusBelowOneIsRefusedAndNullIsHarmless) {
    CURSOR* c = CURSORNew();
    CURSORSet(c, 7, 2);
    c->pos = 4;
    CURSORSet(c, 0, 1);
    CURSORSet(c, -3, 1);
    EXPECT_EQ(c->modulus, 7);
    EXPECT_EQ(c->step, 2);
    EXPECT_EQ(c->pos, 4);
    // A modulus broken from outside makes stepping refuse rather than spin.
    c->modulus = 0;
    CURSORStep(c);
    CURSORSetPos(c, 9);
    EXPECT_EQ(c->pos, 4);
    CURSORFree(&c);
    EXPECT_EQ(c, nullptr);
    CURSORFree(&c);
    CURSORFree(nullptr);
    CURSORStep(nullptr);
    CURSORMark(nullptr);
    CURSORRestore(nullptr);
    CURSORSet(nullptr, 3, 1);
    CURSORSetPos(nullptr, 1);
}
