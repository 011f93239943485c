// The child-process unit that the F9 recorder and the capture tool share:
// programs that are missing, end early or never read, and two children fed
// at once, each of which must see the end of its own input.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "host/process.h"

namespace {

HOSTCHILD Piped() {
    HOSTCHILD how{};
    how.input = true;
    return how;
}

// Writes bytes into the stream until a write fails or count bytes went out;
// true when all went.
bool Feed(std::FILE* input, std::size_t count) {
    const std::vector<char> block(4096, 'x');
    for (std::size_t done = 0; done < count; done += block.size()) {
        if (std::fwrite(block.data(), 1, block.size(), input) != block.size()) return false;
    }
    return std::fflush(input) == 0;
}

}  // namespace

TEST(HostProcess, MissingProgramIsRefusedAndFound) {
    std::FILE* input = nullptr;
    errno = 0;
    EXPECT_EQ(HOSTSpawn({"velm-no-such-program"}, Piped(), &input), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(HOSTSpawn({}, HOSTCHILD{}, nullptr), -1);
    EXPECT_EQ(HOSTFindProgram("velm-no-such-program"), "");
    const std::string sh = HOSTFindProgram("sh");
    EXPECT_TRUE(HOSTIsProgram(sh)) << sh;
    HOSTEXIT how{};
    EXPECT_FALSE(HOSTWait(-1, &how));
}

// Exit codes and signals come back as they were; a child that has ended is
// seen by the poll and cannot be waited for twice.
TEST(HostProcess, ExitStatusAndEarlyEnd) {
    const int child = HOSTSpawn({"sh", "-c", "exit 7"}, HOSTCHILD{}, nullptr);
    ASSERT_GT(child, 0);
    HOSTEXIT how{};
    ASSERT_TRUE(HOSTWait(child, &how));
    EXPECT_TRUE(how.exited);
    EXPECT_EQ(how.code, 7);
    EXPECT_FALSE(HOSTSucceeded(how));
    EXPECT_FALSE(HOSTWait(child, &how));

    const int stopped = HOSTSpawn({"sleep", "30"}, HOSTCHILD{}, nullptr);
    ASSERT_GT(stopped, 0);
    EXPECT_FALSE(HOSTPoll(stopped, &how));
    HOSTStop(stopped);
    ASSERT_TRUE(HOSTWait(stopped, &how));
    EXPECT_FALSE(how.exited);
}

// A child that ends at once, or closes its input unread and stays: writing to
// it fails instead of hanging or ending the writer by a signal.
TEST(HostProcess, ChildThatDoesNotReadMakesWritesFail) {
    for (const char* script : {"exit 3", "exec 0<&-; sleep 2"}) {
        std::FILE* input = nullptr;
        const int child = HOSTSpawn({"sh", "-c", script}, Piped(), &input);
        ASSERT_GT(child, 0) << script;
        ASSERT_NE(input, nullptr);
        EXPECT_FALSE(Feed(input, 1 << 20)) << script;   // far more than a pipe holds
        std::fclose(input);
        HOSTEXIT how{};
        ASSERT_TRUE(HOSTWait(child, &how));
    }
}

// Two children fed at the same time: closing the first one's input ends it
// while the second still runs; the second did not inherit the first's pipe.
TEST(HostProcess, EachChildSeesTheEndOfItsOwnInput) {
    std::FILE* first = nullptr;
    std::FILE* second = nullptr;
    const std::string log = "/tmp/velm-host-process-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
    HOSTCHILD logged = Piped();
    logged.errorLog = log.c_str();
    const int a = HOSTSpawn({"sh", "-c", "wc -c >&2"}, logged, &first);
    const int b = HOSTSpawn({"cat"}, Piped(), &second);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_TRUE(Feed(first, 8192));
    std::fclose(first);
    HOSTEXIT how{};
    bool ended = false;
    for (int i = 0; i < 1000 && !ended; i++) {   // up to about 10 s; normally at once
        ended = HOSTPoll(a, &how);
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::fclose(second);
    HOSTEXIT other{};
    EXPECT_TRUE(HOSTWait(b, &other));
    if (!ended) {
        EXPECT_TRUE(HOSTWait(a, &how));
        FAIL() << "the first child saw its end only once the second had ended";
    }
    EXPECT_TRUE(HOSTSucceeded(how));
    std::FILE* counted = std::fopen(log.c_str(), "r");
    ASSERT_NE(counted, nullptr);
    long bytes = 0;
    EXPECT_EQ(std::fscanf(counted, "%ld", &bytes), 1);
    std::fclose(counted);
    std::remove(log.c_str());
    EXPECT_EQ(bytes, 8192);
}
