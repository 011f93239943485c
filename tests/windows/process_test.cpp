// Windows' child processes (host/windows/process.cpp), with Windows' own
// command interpreter as the child: a program not found, exit codes, a child
// stopped while it waits, a child that does not read, the error log, and
// words quoted as Windows programs split them.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "host/process.h"

namespace {

HOSTCHILD Piped() {
    HOSTCHILD how{};
    how.input = true;
    return how;
}

TEST(WindowsProcess, MissingProgramIsRefused) {
    std::FILE* input = nullptr;
    errno = 0;
    EXPECT_EQ(HOSTSpawn({"velm-no-such-program"}, Piped(), &input), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(HOSTFindProgram("velm-no-such-program"), "");
    EXPECT_NE(HOSTFindProgram("cmd"), "");   // .exe added, found on the PATH
    EXPECT_TRUE(HOSTIsProgram(HOSTFindProgram("cmd")));
    EXPECT_FALSE(HOSTProgramFolder().empty());
}

TEST(WindowsProcess, ExitCodesAndAStoppedChild) {
    const int child = HOSTSpawn({"cmd", "/c", "exit 7"}, HOSTCHILD{}, nullptr);
    ASSERT_GT(child, 0);
    HOSTEXIT how{};
    ASSERT_TRUE(HOSTWait(child, &how));
    EXPECT_TRUE(how.exited);
    EXPECT_EQ(how.code, 7);
    EXPECT_FALSE(HOSTWait(child, &how));   // waited for once

    // A child waiting for its input ends when stopped, and is seen to end.
    std::FILE* input = nullptr;
    const int waiting = HOSTSpawn({"cmd", "/c", "more"}, Piped(), &input);
    ASSERT_GT(waiting, 0);
    ASSERT_NE(input, nullptr);
    EXPECT_FALSE(HOSTPoll(waiting, &how));
    HOSTStop(waiting);
    ASSERT_TRUE(HOSTWait(waiting, &how));
    EXPECT_FALSE(HOSTSucceeded(how));
    std::fclose(input);
}

TEST(WindowsProcess, ChildThatDoesNotReadMakesWritesFail) {
    std::FILE* input = nullptr;
    const int child = HOSTSpawn({"cmd", "/c", "exit 0"}, Piped(), &input);
    ASSERT_GT(child, 0);
    ASSERT_NE(input, nullptr);
    HOSTEXIT how{};
    ASSERT_TRUE(HOSTWait(child, &how));
    EXPECT_TRUE(HOSTSucceeded(how));
    // The reader is gone: writing fails instead of ending this process.
    const std::vector<char> block(65536, 'x');
    bool failed = false;
    for (int i = 0; i < 64 && !failed; ++i) {
        failed = std::fwrite(block.data(), 1, block.size(), input) != block.size() || std::fflush(input) != 0;
    }
    EXPECT_TRUE(failed);
    std::fclose(input);
}

// The render command F9 prints is quoted as Windows programs split their
// command lines; a child's standard error goes to its log when asked.
TEST(WindowsProcess, QuotingAndTheErrorLog) {
    EXPECT_EQ(HOSTQuote("plain-word.keys"), "plain-word.keys");
    EXPECT_EQ(HOSTQuote("C:\\My Videos\\a.mp4"), "\"C:\\My Videos\\a.mp4\"");
    EXPECT_EQ(HOSTQuote("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(HOSTQuote("ends in\\"), "\"ends in\\\\\"");
    EXPECT_EQ(HOSTQuote("a&b"), "\"a&b\"");
    const std::string log = "velm-process-test.log";
    HOSTCHILD logged{};
    logged.errorLog = log.c_str();
    const int child = HOSTSpawn({"cmd", "/c", "echo logged 1>&2"}, logged, nullptr);
    ASSERT_GT(child, 0);
    HOSTEXIT how{};
    ASSERT_TRUE(HOSTWait(child, &how));
    EXPECT_TRUE(HOSTSucceeded(how));
    char line[64] = "";
    if (std::FILE* file = std::fopen(log.c_str(), "r")) {
        if (std::fgets(line, sizeof line, file) == nullptr) line[0] = '\0';
        std::fclose(file);
    }
    EXPECT_EQ(std::string(line).substr(0, 6), "logged");
    std::remove(log.c_str());
}

}  // namespace
