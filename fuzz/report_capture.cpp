// Stdout capture for the fuzz targets: an anonymous memory file replaces
// descriptor 1, and each call's output is read back from offset 0.
#include "fuzz/report_capture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "img/img.h"

namespace {

int captureFd = -1;
constexpr char line[] = "IMG error\n";
constexpr std::size_t lineLength = sizeof line - 1;

}  // namespace

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

std::int64_t RequireDecoded(const IMG* image, std::size_t reports, bool mayBeEmpty) {
    if (image == nullptr) {
        Require(reports == 1);
        return 0;
    }
    Require(reports == 0);
    const std::int32_t least = mayBeEmpty ? 0 : 1;
    Require(image->width >= least && image->height >= least && image->pixels != nullptr);
    const std::int64_t count = std::int64_t{image->width} * image->height;
    Require(count <= IMG_MAX_PIXELS);
    return count;
}

void CaptureStart() {
    if (captureFd >= 0) return;
    captureFd = memfd_create("velm_fuzz_stdout", 0);
    Require(captureFd >= 0);
    std::fflush(stdout);
    Require(dup2(captureFd, STDOUT_FILENO) == STDOUT_FILENO);
    IMGSetReportErrors(true);
}

void CaptureRewind() {
    std::fflush(stdout);
    Require(std::fseek(stdout, 0, SEEK_SET) == 0);
    Require(ftruncate(STDOUT_FILENO, 0) == 0);
}

std::size_t CaptureReports() {
    std::fflush(stdout);
    const long end = std::ftell(stdout);
    Require(end >= 0 && static_cast<std::size_t>(end) % lineLength == 0);
    char buffer[lineLength];
    const std::size_t count = static_cast<std::size_t>(end) / lineLength;
    for (std::size_t i = 0; i < count; ++i) {
        Require(pread(STDOUT_FILENO, buffer, lineLength, static_cast<off_t>(i * lineLength)) ==
                static_cast<ssize_t>(lineLength));
        Require(std::memcmp(buffer, line, lineLength) == 0);
    }
    return count;
}
