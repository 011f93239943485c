// Files in the browser: the page's files live in Emscripten's memory file
// system, where every file is a regular one and nothing is shared with
// another process, so the C library's streams do all of it. A file is
// replaced by writing a new one beside it and renaming it over the old.
#include "host/files.h"

#include <cerrno>
#include <cstdio>
#include <string>

bool HOSTSaveThrough(const char* path, bool (*write)(std::FILE* file, const void* what), const void* what) {
    if (path == nullptr || write == nullptr) {
        errno = EINVAL;
        return false;
    }
    const std::string temp = std::string(path) + ".saving";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = write(file, what) && std::fflush(file) == 0;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

std::FILE* HOSTOpenWrite(const char* path) { return std::fopen(path, "wb"); }

// A file that can be sought to its end reports its length there.
bool HOSTFileLength(std::FILE* file, std::uint64_t* length) {
    if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file);
    if (end <= 0 || std::fseek(file, 0, SEEK_SET) != 0) return false;
    *length = static_cast<std::uint64_t>(end);
    return true;
}

std::int64_t HOSTReadSome(std::FILE* file, void* to, std::size_t count) {
    if (file == nullptr) return -1;
    const std::size_t got = std::fread(to, 1, count, file);
    if (got == 0 && std::ferror(file) != 0) return -1;
    return static_cast<std::int64_t>(got);
}

std::filesystem::path HOSTPath(const char* path) { return std::filesystem::path(path != nullptr ? path : ""); }
