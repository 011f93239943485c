// IMGFromText on arbitrary text: no read past the NUL, null exactly when one
// report was printed, and small results read back through IMGToText equal.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/report_capture.h"
#include "img/img.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CaptureStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy with its NUL, so that any read beyond it is caught.
    char* text = static_cast<char*>(std::malloc(size + 1));
    Require(text != nullptr);
    std::memcpy(text, data, size);
    text[size] = '\0';
    CaptureRewind();
    IMG* image = IMGFromText(text);
    const std::size_t reports = CaptureReports();
    std::free(text);
    const std::int64_t count = RequireDecoded(image, reports, true);
    if (image == nullptr) return 0;
    if (count > 0 && count <= 4096) {
        for (std::int64_t i = 0; i < count; ++i) image->pixels[i] &= 0xFFFFFF;
        char* again = IMGToText(image);
        Require(again != nullptr);
        IMG* back = IMGFromText(again);
        Require(back != nullptr && IMGEqual(image, back));
        IMGFree(&back);
        std::free(again);
        Require(CaptureReports() == 0);
    }
    IMGFree(&image);
    return 0;
}
