// IMGFromPPM and IMGLoad on the same bytes, IMGLoad both from a file and
// through a pipe. Each result is null exactly when one report was printed; the
// file and the pipe give equal pictures; and wherever the entry points'
// intended differences do not apply, IMGFromPPM gives the same picture too.
// Those differences: a byte that ends a header number and is neither blank nor
// '#' is consumed by IMGLoad but read by IMGFromPPM as the start of the next
// field; and IMGFromPPM raises a bitmap's width to whole bytes, which adds
// columns to P4 rows and digits to P1 rows.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/report_capture.h"
#include "fuzz/scratch.h"
#include "img/img.h"

namespace {

std::string inputPath;

// What a header scan in IMGFromPPM's reading finds: the type digit (0 when
// the header is cut short) and whether a number before the last was ended by
// a byte that is neither blank nor '#' (where the entry points part ways).
struct Scan {
    int type = 0;
    bool widthRaised = false;
    bool stray = false;
};

Scan ScanHeader(const std::uint8_t* data, std::size_t size) {
    Scan scan;
    const auto cut = [&scan] {  // a header cut short or refused: no type, a stray kept
        scan.type = 0;
        return scan;
    };
    int numbers = 0;
    int needed = 3;
    bool typeSeen = false;
    std::size_t i = 0;
    const auto blank = [](std::uint8_t c) { return c <= 0x20 || c >= 0x7F; };
    while (!(typeSeen && numbers >= needed)) {
        while (i < size && blank(data[i])) ++i;
        if (i >= size) return cut();
        if (data[i] == 'P' && !typeSeen) {
            if (i + 1 >= size || data[i + 1] < '1' || data[i + 1] > '6') return cut();
            scan.type = data[i + 1];
            typeSeen = true;
            if (scan.type == '1' || scan.type == '4') needed = 2;
            i += 2;
        } else if (data[i] == '#') {
            while (i < size && data[i] != '\n' && data[i] != '\r') ++i;
            if (i >= size) return cut();
            ++i;
        } else {
            if (numbers == 3) return cut();
            if (numbers == 0) scan.widthRaised = typeSeen && (scan.type == '1' || scan.type == '4');
            while (i < size && data[i] >= '0' && data[i] <= '9') ++i;
            ++numbers;
            const bool last = typeSeen && numbers == needed;
            if (!last && i < size && !blank(data[i]) && data[i] != '#') scan.stray = true;
        }
    }
    return scan;
}

// IMGLoad of the bytes through a pipe that holds them all; false (and no
// call) when they do not fit.
bool LoadThroughPipe(const std::uint8_t* data, std::size_t size, IMG*& image) {
    int fds[2];
    Require(pipe(fds) == 0);
    const int capacity = fcntl(fds[1], F_GETPIPE_SZ);
    const bool fits = capacity >= 0 && size <= static_cast<std::size_t>(capacity);
    if (fits) Require(write(fds[1], data, size) == static_cast<ssize_t>(size));
    close(fds[1]);
    if (fits) image = IMGLoad(("/dev/fd/" + std::to_string(fds[0])).c_str());
    close(fds[0]);
    return fits;
}

// No decoder writes a pixel whose index in array order is 8 x size or more
// (a data byte is at most eight bitmap pixels), and the rest stay 0: pictures
// of the same shape are compared that far, which keeps huge announced sizes
// from costing a full pass over hundreds of megabytes per input.
std::int64_t Reach(std::size_t size) { return 8 * static_cast<std::int64_t>(size) + 8; }

bool SamePicture(const IMG* a, const IMG* b, std::size_t size) {
    if (a->width != b->width || a->height != b->height) return false;
    const std::int64_t n = std::min(std::int64_t{a->width} * a->height, Reach(size));
    return std::equal(a->pixels, a->pixels + n, b->pixels);
}

// Whether the first width columns of every row of two images agree, as far
// as the input can reach in either.
bool SameColumns(const IMG* a, const IMG* b, std::int32_t width, std::size_t size) {
    if (a->height != b->height || a->width < width || b->width < width) return false;
    const std::int64_t rows = std::min<std::int64_t>(a->height, Reach(size) / width + 1);
    for (std::int64_t y = 0; y < rows; ++y) {
        if (!std::equal(a->pixels + y * a->width, a->pixels + y * a->width + width, b->pixels + y * b->width)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CaptureStart();
    inputPath = ScratchInput("fuzz_agree");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScratchInputWrite(data, size);

    CaptureRewind();
    IMG* memory = IMGFromPPM(data, size);
    RequireDecoded(memory, CaptureReports());
    CaptureRewind();
    IMG* loaded = IMGLoad(inputPath.c_str());
    RequireDecoded(loaded, CaptureReports());

    const Scan scan = ScanHeader(data, size);
    if (!scan.stray) {
        const bool bitmap = scan.type == '1' || scan.type == '4';
        if (!bitmap || !scan.widthRaised) {
            Require((memory == nullptr) == (loaded == nullptr));
            Require(memory == nullptr || SamePicture(memory, loaded, size));
        } else if (loaded == nullptr) {
            Require(memory == nullptr);  // raising the width only adds pixels
        } else if (memory != nullptr) {
            Require(memory->width == (loaded->width + 7) / 8 * 8);
            // P4 rows start on the same bytes; P1 rows hold as many digits
            // only when the width is already whole bytes.
            if (scan.type == '4' || memory->width == loaded->width) {
                Require(SameColumns(memory, loaded, loaded->width, size));
            }
        }
    }
    IMGFree(&memory);

    CaptureRewind();
    IMG* piped = nullptr;
    if (LoadThroughPipe(data, size, piped)) {
        RequireDecoded(piped, CaptureReports());
        Require((piped == nullptr) == (loaded == nullptr));
        Require(piped == nullptr || SamePicture(piped, loaded, size));
        IMGFree(&piped);
    }
    IMGFree(&loaded);
    return 0;
}
