#include "fuzz/scratch.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "fuzz/report_capture.h"

namespace {

std::string scratch;
int memoryInput = -1;  // the memory-backed input's descriptor, or -1
std::string inputPath;

// A memory-backed file and its /proc name, or -1 where there is none or
// /proc cannot reopen it.
int OpenMemoryInput(const char* target, std::string& path) {
    const int fd = memfd_create(target, MFD_CLOEXEC);
    if (fd < 0) return -1;
    path = "/proc/self/fd/" + std::to_string(fd);
    const int again = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (again < 0) {
        close(fd);
        return -1;
    }
    close(again);
    return fd;
}

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

std::string ScratchInput(const char* target) {
    memoryInput = OpenMemoryInput(target, inputPath);
    if (memoryInput < 0) inputPath = ScratchDir(target) + "/input.pnm";
    return inputPath;
}

void ScratchInputWrite(const std::uint8_t* data, std::size_t size) {
    if (memoryInput < 0) {
        ScratchWrite(inputPath, data, size);
        return;
    }
    Require(ftruncate(memoryInput, 0) == 0);
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = pwrite(memoryInput, data + done, size - done, static_cast<off_t>(done));
        Require(n > 0);
        done += static_cast<std::size_t>(n);
    }
}
