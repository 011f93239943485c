// Windows' files (host/windows/files.cpp): a file is replaced whole over an
// existing one (where a plain rename fails on Windows) or not at all, never
// leaving its temporary file; names with letters outside any code page;
// a file read whole in binary.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "host/files.h"

namespace {

bool writeText(std::FILE* file, const void* what) {
    const auto* text = static_cast<const std::string*>(what);
    return std::fwrite(text->data(), 1, text->size(), file) == text->size();
}

bool writeThenFail(std::FILE* file, const void* what) {
    writeText(file, what);
    return false;
}

std::string readAll(const std::wstring& path) {
    std::string bytes;
    if (std::FILE* file = _wfopen(path.c_str(), L"rb")) {
        char chunk[256];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
        std::fclose(file);
    }
    return bytes;
}

// The files in the folder, but . and ..
int filesIn(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE listing = FindFirstFileW((folder + L"\\*").c_str(), &found);
    int n = 0;
    if (listing == INVALID_HANDLE_VALUE) return 0;
    do {
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..") ++n;
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
    return n;
}

class WindowsFiles : public ::testing::Test {
protected:
    std::wstring dir;
    std::string dirUtf8;
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        dir = std::wstring(temp) + L"velm-files-\u00fc\u4e2d-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_NE(CreateDirectoryW(dir.c_str(), nullptr), 0);
        char utf8[4 * MAX_PATH];
        ASSERT_GT(WideCharToMultiByte(CP_UTF8, 0, dir.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr), 0);
        dirUtf8 = utf8;
    }
    void TearDown() override {
        WIN32_FIND_DATAW found;
        HANDLE listing = FindFirstFileW((dir + L"\\*").c_str(), &found);
        if (listing != INVALID_HANDLE_VALUE) {
            do DeleteFileW((dir + L"\\" + found.cFileName).c_str());
            while (FindNextFileW(listing, &found));
            FindClose(listing);
        }
        RemoveDirectoryW(dir.c_str());
    }
};

TEST_F(WindowsFiles, ReplacedWholeOrNotAtAll) {
    const std::string path = dirUtf8 + "\\picture \u00e9.ppm";
    const std::wstring wide = dir + L"\\picture \u00e9.ppm";
    const std::string first = "first", second = "second, longer";
    ASSERT_TRUE(HOSTSaveThrough(path.c_str(), writeText, &first));
    EXPECT_EQ(readAll(wide), first);
    ASSERT_TRUE(HOSTSaveThrough(path.c_str(), writeText, &second));   // over the existing file
    EXPECT_EQ(readAll(wide), second);
    EXPECT_FALSE(HOSTSaveThrough(path.c_str(), writeThenFail, &first));
    EXPECT_EQ(readAll(wide), second);   // the old file stays whole
    EXPECT_EQ(filesIn(dir), 1);         // and no temporary file is left

    errno = 0;
    EXPECT_FALSE(HOSTSaveThrough((dirUtf8 + "\\missing\\x.ppm").c_str(), writeText, &first));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(HOSTSaveThrough(dirUtf8.c_str(), writeText, &first));   // a folder
    EXPECT_EQ(filesIn(dir), 1);
}

TEST_F(WindowsFiles, ReadWholeInBinary) {
    const std::string path = dirUtf8 + "\\bytes.bin";
    std::FILE* file = HOSTOpenWrite(path.c_str());
    ASSERT_NE(file, nullptr);
    const char bytes[] = {'a', '\n', '\r', '\n', 26, 'z'};   // newlines and Ctrl+Z, which text mode would change
    ASSERT_EQ(std::fwrite(bytes, 1, sizeof bytes, file), sizeof bytes);
    ASSERT_EQ(std::fclose(file), 0);
    std::FILE* in = _wfopen((dir + L"\\bytes.bin").c_str(), L"r");   // text mode, as a caller might open it
    ASSERT_NE(in, nullptr);
    std::uint64_t length = 0;
    ASSERT_TRUE(HOSTFileLength(in, &length));
    EXPECT_EQ(length, sizeof bytes);
    char back[16] = {};
    EXPECT_EQ(HOSTReadSome(in, back, sizeof back), static_cast<std::int64_t>(sizeof bytes));
    EXPECT_EQ(std::string(back, sizeof bytes), std::string(bytes, sizeof bytes));
    EXPECT_EQ(HOSTReadSome(in, back, sizeof back), 0);
    std::fclose(in);
}

}  // namespace
