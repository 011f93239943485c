// The scroller on a synthetic 15-pixel font one row high, whose every cell
// pixel names its character and column, so a drawn strip can be compared with
// the text it should show.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "img/img.h"
#include "tests/printed.h"
#include "text/cursor.h"
#include "text/font.h"
#include "text/scroll.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kCell = 15;

// Cell pixel j of code c holds (c << 8) | (j + 1): never 0.
FONT* LabelFont() {
    FONT* font = FONTNew();
    font->cellWidth = kCell;
    font->cellHeight = 1;
    font->sheet = IMGNew();
    IMGResize(font->sheet, 16 * kCell, 8);
    for (std::uint32_t c = 0; c < 128; ++c)
        for (std::uint32_t j = 0; j < kCell; ++j)
            font->sheet->pixels[(c / 16) * 16 * kCell + (c % 16) * kCell + j] = (c << 8) | (j + 1);
    return font;
}

// What strip pixel x must show with the cursor at pos and the given offset.
std::uint32_t Expected(const char* text, std::int32_t pos, std::int32_t offset, std::int32_t x) {
    const std::int32_t length = static_cast<std::int32_t>(std::strlen(text));
    const std::int32_t along = x + offset;
    const auto c = static_cast<std::uint32_t>(text[(pos + along / kCell) % length]);
    return (c << 8) | static_cast<std::uint32_t>(along % kCell + 1);
}

struct Fixture {
    FONT* font = LabelFont();
    IMG* strip = IMGNew();
    SCROLL* scroll = SCROLLNew();
    Fixture(const char* text, std::int32_t width) {
        IMGResize(strip, width, 1);
        SCROLLSet(scroll, text, font, strip);
    }
    ~Fixture() {
        SCROLLFree(&scroll);
        FONTFree(&font);
        IMGFree(&strip);
    }
    // Draw onto a strip full of a junk word and say whether every pixel shows the text.
    bool DrawsText() {
        for (std::int32_t i = 0; i < strip->width; ++i) strip->pixels[i] = 0xDEADBEEF;
        SCROLLDraw(scroll);
        for (std::int32_t x = 0; x < strip->width; ++x)
            if (strip->pixels[x] != Expected(scroll->text, scroll->cursor->pos, scroll->offset, x)) return false;
        return true;
    }
    void Advance(std::int32_t speed) {
        scroll->speed = speed;
        SCROLLAdvance(scroll);
    }
};

template <typename F>
std::string Printed(F action) {
    return testout::Printed(action, SCROLLSetReportErrors);
}

}  // namespace

TEST(Scroll, AdvanceSplitsSpeedIntoCellsAndPixels) {
    Fixture f("ABCDEFG", 40);
    SCROLL* s = f.scroll;
    s->offset = 14;
    f.Advance(1);
    EXPECT_EQ(s->offset, 0);
    EXPECT_EQ(s->cursor->pos, 1);
    f.Advance(32);
    EXPECT_EQ(s->offset, 2);
    EXPECT_EQ(s->cursor->pos, 3);
    f.Advance(-2);
    f.Advance(-1);
    EXPECT_EQ(s->offset, 14);
    EXPECT_EQ(s->cursor->pos, 2);
    // Back from the first character to the last.
    s->cursor->pos = 0;
    s->offset = 0;
    f.Advance(-1);
    EXPECT_EQ(s->cursor->pos, 6);
    EXPECT_EQ(s->offset, 14);
    // A backward move by exactly one cell overshoots to offset 15, then settles.
    s->offset = 0;
    f.Advance(-15);
    EXPECT_EQ(s->cursor->pos, 4);
    EXPECT_EQ(s->offset, 15);
    f.Advance(-15);
    EXPECT_EQ(s->cursor->pos, 4);
    EXPECT_EQ(s->offset, 0);
}

TEST(Scroll, DrawRewritesTheWholeStripAcrossTheWrapAndKeepsTheCursor) {
    Fixture f("ABCDE", 40);  // 40 / 15 + 2 = 4 cells: more than the text near its end
    for (std::int32_t pos : {0, 3, 4}) {
        for (std::int32_t offset : {0, 7, 14, 15}) {
            f.scroll->cursor->pos = pos;
            f.scroll->cursor->step = -3;
            f.scroll->offset = offset;
            EXPECT_TRUE(f.DrawsText()) << pos << " " << offset;
            EXPECT_EQ(f.scroll->cursor->pos, pos);
            EXPECT_EQ(f.scroll->cursor->step, 1);
        }
    }
    EXPECT_EQ(f.font->target, f.strip);
    EXPECT_EQ(f.font->y, 0);
}

TEST(Scroll, StripMovesByExactlyTheSpeed) {
    Fixture f("HELLO, WORLD ", 60);
    SCROLL* s = f.scroll;
    s->cursor->pos = 5;
    SCROLLDraw(s);
    const std::string before(reinterpret_cast<char*>(f.strip->pixels), 60 * 4);
    f.Advance(0);
    f.Advance(0);
    SCROLLDraw(s);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(f.strip->pixels), 60 * 4), before);
    f.Advance(-15);
    f.Advance(-15);
    SCROLLDraw(s);
    for (std::int32_t x = 0; x + 30 < 60; ++x)
        EXPECT_EQ(f.strip->pixels[x + 30], reinterpret_cast<const std::uint32_t*>(before.data())[x]) << x;
    for (std::int32_t speed : {7, 15, 31, -4, -29}) {
        f.Advance(speed);
        EXPECT_TRUE(f.DrawsText()) << speed;
        EXPECT_GE(s->offset, 0);
        EXPECT_LE(s->offset, kCell);
    }
}

TEST(Scroll, SetAttachesTextFontAndStripAndRefusesEmptyText) {
    SCROLL* s = SCROLLNew();
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s->text, "A scroll's default text. ");
    EXPECT_EQ(s->cursor->modulus, 25);
    EXPECT_EQ(s->speed, 1);
    EXPECT_EQ(s->font, s->placeholder);
    EXPECT_EQ(Printed([&] { SCROLLDraw(s); }), "SCROLL error\n");  // no target yet
    FONT* font = LabelFont();
    IMG* strip = IMGNew();
    IMGResize(strip, 50, 1);
    s->x = 3;
    s->offset = 4;
    s->speed = -2;
    SCROLLSet(s, "xyz", font, strip);
    EXPECT_EQ(s->placeholder, nullptr);  // the caller's font replaced it
    EXPECT_EQ(s->font, font);
    EXPECT_EQ(s->width, 50);
    EXPECT_EQ(s->x, 0);
    EXPECT_EQ(s->offset, 4);
    EXPECT_EQ(s->speed, -2);
    EXPECT_EQ(s->cursor->modulus, 3);
    SCROLLDraw(s);
    EXPECT_EQ(strip->pixels[0], Expected("xyz", 0, 4, 0));
    // Empty text and missing arguments change nothing.
    const CURSOR* cursor = s->cursor;
    EXPECT_EQ(Printed([&] {
                  SCROLLSet(s, "", font, strip);
                  SCROLLSet(s, "abc", nullptr, strip);
                  SCROLLSet(s, "abc", font, nullptr);
              }),
              "SCROLL error\nSCROLL error\nSCROLL error\n");
    EXPECT_STREQ(s->text, "xyz");
    EXPECT_EQ(s->cursor, cursor);
    SCROLLFree(&s);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(Printed([&] { SCROLLFree(&s); }), "SCROLL error\n");
    EXPECT_EQ(font->cellWidth, kCell);  // the attached font outlives the scroller
    FONTFree(&font);
    IMGFree(&strip);
}

TEST(Scroll, NarrowCellsAndExtremeSpeedsAreSafe) {
    Fixture f("ABCDE", 40);
    SCROLL* s = f.scroll;
    f.font->cellWidth = 0;
    s->offset = 3;
    EXPECT_EQ(Printed([&] {
                  SCROLLDraw(s);
                  SCROLLAdvance(s);
              }),
              "SCROLL error\nSCROLL error\n");
    EXPECT_EQ(s->offset, 3);
    // One-pixel cells: offset + speed and the cell step pass the 32-bit range.
    f.font->cellWidth = 1;
    s->offset = kMax;
    f.Advance(kMax);  // 2^32 - 2 cells forward
    EXPECT_EQ(s->offset, 0);
    EXPECT_EQ(s->cursor->pos, 4);
    s->offset = kMin;
    f.Advance(kMin);  // offset -2^32: 2^32 + 1 cells back, offset 1
    EXPECT_EQ(s->offset, 1);
    EXPECT_EQ(s->cursor->pos, (4 + 5 - 2) % 5);
    s->x = kMin;
    s->offset = kMax;
    SCROLLDraw(s);  // pen held at the range's end, 42 cells all left of the strip
    EXPECT_EQ(f.font->x, kMin + 42);
}
