// IMGFromPPM on arbitrary bytes: no fault, null exactly when one report was
// printed, and every decoded picture survives the text form unchanged.
#include <cstdint>
#include <cstdlib>

#include "fuzz/report_capture.h"
#include "img/img.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CaptureStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CaptureRewind();
    IMG* image = IMGFromPPM(data, size);
    const std::int64_t count = RequireDecoded(image, CaptureReports());
    if (image == nullptr) return 0;
    if (count <= 4096) {
        // Plain samples above 255 may set the top byte, which the text form drops.
        for (std::int64_t i = 0; i < count; ++i) image->pixels[i] &= 0xFFFFFF;
        char* text = IMGToText(image);
        Require(text != nullptr);
        IMG* back = IMGFromText(text);
        Require(back != nullptr && IMGEqual(image, back));
        IMGFree(&back);
        std::free(text);
        Require(CaptureReports() == 0);
    }
    IMGFree(&image);
    return 0;
}
