// The keys file's one format: what the recorder writes, the capture tool
// reads back as the same keys at the same frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/keysfile.h"

namespace {
constexpr std::int32_t limit = 323;   // SDL 1.2's key symbols

using Keys = std::vector<std::pair<long long, int>>;

bool Take(const char* entry, std::size_t length, void* context) {
    const std::string text(entry, length);
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::int32_t code = KEYSCode(text.substr(colon + 1).c_str(), limit);
    if (code == 0) return false;
    static_cast<Keys*>(context)->emplace_back(std::stoll(text.substr(0, colon)), code);
    return true;
}
}  // namespace

// Every code the show keeps, written and read again, names and numbers alike.
TEST(KeysFile, WrittenKeysReadBackTheSame) {
    Keys written;
    long long frame = 7;
    for (int code = 0; code < 256; code++) {
        if (KEYSKept(code)) written.emplace_back(frame++, code);
    }
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(KEYSWriteHeader(file, 7, frame, "velm4023-capture --frames 7:300 --keys '@a b.keys'"));
    for (const auto& [at, code] : written) ASSERT_TRUE(KEYSWriteEntry(file, at, code));
    std::rewind(file);
    Keys read;
    EXPECT_EQ(KEYSReadEntries(file, Take, &read), 1);
    std::fclose(file);
    EXPECT_EQ(read, written);
    EXPECT_FALSE(KEYSKept(0));
    EXPECT_FALSE(KEYSKept(7));
}

// The reader's side of the format: comments, commas, blanks, an entry too
// long, and a refusal that stops the reading.
TEST(KeysFile, EntriesCommentsAndRefusals) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs("# a comment, with a comma\n  3:q , 5:space\r\n\n9:# cut\n12:escape", file);
    std::rewind(file);
    Keys read;
    EXPECT_EQ(KEYSReadEntries(file, Take, &read), 0);   // "9:" has no key: refused
    EXPECT_EQ(read, (Keys{{3, 'q'}, {5, ' '}}));
    std::fclose(file);

    file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs(("1:" + std::string(100, 'x') + "\n").c_str(), file);
    std::rewind(file);
    std::size_t length = 0;
    EXPECT_EQ(KEYSReadEntries(
                  file, [](const char*, std::size_t n, void* c) { return *static_cast<std::size_t*>(c) = n, true; },
                  &length),
              1);
    EXPECT_EQ(length, KEYS_ENTRY_MAX);
    std::fclose(file);

    EXPECT_EQ(KEYSCode("esc", limit), 27);
    EXPECT_EQ(KEYSCode("enter", limit), 13);
    EXPECT_EQ(KEYSCode("05", limit), 0);
    EXPECT_EQ(KEYSCode("323", limit), 0);
    EXPECT_EQ(KEYSCode("", limit), 0);
    EXPECT_EQ(KEYSCode(nullptr, limit), 0);
}
