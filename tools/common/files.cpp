// Whole-file writing for the generators.
#include "tools/common/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"TOOLFILE", "20261208", "Tordeval", "C++     ", "CODE    "};

// Makes, writes and closes the file; errno tells why when it gives false.
bool writeWhole(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) errno = writeErrno;
    return written && closed;
}
}  // namespace

bool TOOLWriteFile(const std::string& path, const std::string& bytes) {
    errno = 0;
    if (writeWhole(path, bytes)) return true;
    std::fprintf(stderr, "%s: cannot write %s: %s\n", program_invocation_short_name, path.c_str(),
                 errno != 0 ? std::strerror(errno) : "short write");
    return false;
}
