// Whole-file writing shared by the generators: a file is either written whole
// or reported, with one line that names it and says why.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/common/files.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ToolFiles, WritesEveryByteAndReplacesTheOldContents) {
    const std::string path = testing::TempDir() + "tool_files_test.bin";
    ASSERT_TRUE(TOOLWriteFile(path, std::string(100000, 'x')));
    const std::string bytes("P5\n1 1\n255\n\0", 12);  // a zero byte must not end the file
    ASSERT_TRUE(TOOLWriteFile(path, bytes));
    EXPECT_EQ(ReadAll(path), bytes);
    std::remove(path.c_str());
}

TEST(ToolFiles, FailuresGiveFalseAndOneLineWithTheReason) {
    struct Case {
        std::string path;
        const char* reason;
    };
    // The full device takes the open and the buffered write and fails only
    // when the bytes reach it, at the close: that failure must still count.
    const Case cases[] = {{"/nonexistent-dir/file.ppm", "No such file or directory"},
                          {"/dev/full", "No space left on device"}};
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(TOOLWriteFile(c.path, "some bytes")) << c.path;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("cannot write " + c.path + ": " + c.reason + "\n"), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
}

}  // namespace
