// Whole-file writing for the generators.
#include "tools/common/files.h"

#include <cstdio>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"TOOLFILE", "20261208", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// Writes the bytes as the whole file at path; false when the file cannot be
// made, written or closed.
bool TOOLWriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
