// The compiled-in scroll text: the form the scroller and the viewer rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "demo/demo.h"

namespace {

const std::string blank16(16, ' ');

// The text split at its line feeds; a text not ending in one yields a last
// piece that the tests reject.
std::vector<std::string> lines() {
    const std::string text(reinterpret_cast<const char*>(asset_scrolltext), asset_scrolltext_size);
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', start)) {
        result.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    if (start != text.size()) {
        result.push_back(text.substr(start) + "<no line feed>");
    }
    return result;
}

const char* const firstHelp[] = {"PRESS KEYS: ", "ESC: EXIT   ", "Q: EXIT   ",
                                 "SPACE: NEXT PART   ", "F: FRAMES PER SECOND   ",
                                 "9,0: SCROLL SPEED   "};
const char* const secondHelp[] = {"PRESS KEYS: ", "ESC: EXIT   ", "Q: EXIT   ",
                                  "SPACE: NEXT PART   ", "7,8,9,0: SCROLL SPEED "};

}  // namespace

// 1516 bytes between 10 and 121, so no NUL inside (the scroller would stop
// early) and no byte that becomes a negative font code; then the array's own
// terminating 0.
TEST(ScrollText, IsOneStringOfKeptBytes) {
    ASSERT_EQ(asset_scrolltext_size, 1516u);
    EXPECT_EQ(asset_scrolltext[asset_scrolltext_size], 0);
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(asset_scrolltext)), 1516u);
    for (std::size_t i = 0; i < asset_scrolltext_size; ++i) {
        EXPECT_GE(asset_scrolltext[i], 10) << "byte " << i;
        EXPECT_LE(asset_scrolltext[i], 121) << "byte " << i;
    }
}

// 78 lines, each ending in a line feed, at most 33 characters; the opening
// title frame and the closing line of 22 spaces.
TEST(ScrollText, LinesHaveTheirShape) {
    const std::vector<std::string> l = lines();
    ASSERT_EQ(l.size(), 78u);
    for (std::size_t i = 0; i < l.size(); ++i) {
        EXPECT_LE(l[i].size(), 33u) << "line " << i + 1;
        EXPECT_EQ(l[i].find('\r'), std::string::npos) << "line " << i + 1;
        if (i >= 2) {
            EXPECT_GE(l[i].size(), 4u) << "line " << i + 1;
        }
    }
    EXPECT_EQ(l[0], "");
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l[2], blank16);
    EXPECT_EQ(l[3], blank16);
    EXPECT_EQ(l[4], blank16);
    EXPECT_EQ(l[5], "VELM4009        ");
    EXPECT_EQ(l[6], blank16);
    EXPECT_EQ(l[7].size(), 16u) << "the date line";
    EXPECT_NE(l[7], blank16);
    EXPECT_EQ(l[8], blank16);
    EXPECT_EQ(l.back(), std::string(22, ' '));
}

// The first key help follows the title word for word; the second, ending in
// "7,8,9,0: SCROLL SPEED ", stands near the middle.
TEST(ScrollText, KeyHelpBlocks) {
    const std::vector<std::string> l = lines();
    ASSERT_EQ(l.size(), 78u);
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(l[9 + k], firstHelp[k]);
    }
    std::size_t second = 0;
    for (std::size_t i = 15; i + 5 <= l.size(); ++i) {
        bool match = true;
        for (std::size_t k = 0; k < 5; ++k) {
            match = match && l[i + k] == secondHelp[k];
        }
        second = match ? i : second;
    }
    ASSERT_NE(second, 0u) << "second help block missing";
    EXPECT_GE(second + 1, 30u);
    EXPECT_LE(second + 1, 45u);
}

// Blocks are set apart by lines of 16 spaces, and most lines end in a space
// so that words do not run into each other across line feeds' blank cells.
TEST(ScrollText, BlocksAndLineEndings) {
    const std::vector<std::string> l = lines();
    int breaks = 0;
    int endInSpace = 0;
    int withText = 0;
    for (const std::string& line : l) {
        breaks += line == blank16 ? 1 : 0;
        if (line.find_first_not_of(' ') != std::string::npos) {
            ++withText;
            endInSpace += line.back() == ' ' ? 1 : 0;
        }
    }
    EXPECT_GE(breaks, 10);
    EXPECT_GT(endInSpace * 2, withText);
}
