// IMGLoad on arbitrary file contents: no fault, no hang, the file closed on
// every path, null exactly when one report was printed, and every small
// result saved and loaded again unchanged.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/report_capture.h"
#include "fuzz/scratch.h"
#include "img/img.h"

namespace {

std::string inputPath;
std::string savedPath;

// The lowest free descriptor; it moves if IMGLoad leaves a file open. It is
// taken around each call: between calls the fuzzer itself may open files
// (the symbolizer's pipes when it first names a newly covered function).
int LowestFreeFd() {
    const int fd = open("/dev/null", O_RDONLY);
    Require(fd >= 0);
    close(fd);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CaptureStart();
    const std::string directory = ScratchDir("fuzz_load");
    inputPath = directory + "/input.pnm";
    savedPath = directory + "/saved.ppm";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScratchWrite(inputPath, data, size);

    CaptureRewind();
    const int lowestFreeFd = LowestFreeFd();
    IMG* image = IMGLoad(inputPath.c_str());
    const std::size_t reports = CaptureReports();
    Require(LowestFreeFd() == lowestFreeFd);
    const std::int64_t count = RequireDecoded(image, reports);
    if (image == nullptr) return 0;
    if (count <= 4096) {
        for (std::int64_t i = 0; i < count; ++i) image->pixels[i] &= 0xFFFFFF;
        Require(IMGSave(image, savedPath.c_str()));
        IMG* back = IMGLoad(savedPath.c_str());
        Require(back != nullptr && IMGEqual(image, back));
        IMGFree(&back);
        Require(CaptureReports() == 0);
    }
    IMGFree(&image);
    return 0;
}
