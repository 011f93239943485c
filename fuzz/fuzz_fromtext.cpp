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
    if (image == nullptr) {
        Require(reports == 1);
        return 0;
    }
    Require(reports == 0);
    Require(image->width >= 0 && image->height >= 0 && image->pixels != nullptr);
    const std::int64_t count = std::int64_t{image->width} * image->height;
    Require(count <= IMG_MAX_PIXELS);
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
