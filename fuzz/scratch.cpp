#include "fuzz/scratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "fuzz/report_capture.h"

namespace {

std::string scratch;

// Whatever the target and the image module left there (inputs, saved files,
// a save's temporary file) goes with the directory.
void RemoveScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

}  // namespace

std::string ScratchDir(const char* target) {
    std::string pattern = std::string("/tmp/velm_") + target + "_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    Require(mkdtemp(name.data()) != nullptr);
    scratch = name.data();
    std::atexit(RemoveScratch);
    return scratch;
}

void ScratchWrite(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr);
    Require(std::fwrite(data, 1, size, file) == size);
    Require(std::fclose(file) == 0);
}
