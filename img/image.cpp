// The image record: life cycle, single-pixel access, comparison, copying and
// the module's one error reporter.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "img/img.h"
#include "img/numbers.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMG     ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Reporting switch; only the test hook ever turns it on.
bool reportErrors = false;

// Zero-filled array for count words. An empty picture still gets one word so
// that a present array always means "sized", whatever calloc(0) would give.
std::uint32_t* allocateWords(std::size_t count) {
    return static_cast<std::uint32_t*>(std::calloc(count == 0 ? 1 : count, sizeof(std::uint32_t)));
}

// Word count of an image; a record whose size fields were set negative by
// hand counts as empty rather than as a huge array.
std::size_t wordCount(const IMG* image) {
    if (image->width < 0 || image->height < 0) return 0;
    return static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
}

}  // namespace

// ---- Reporting ---------------------------------------------------------------

// One fixed line on standard output while reporting is on.
void IMGError() {
    if (reportErrors) std::printf("IMG error\n");
}

// Test hook for the reporting switch.
void IMGSetReportErrors(bool on) { reportErrors = on; }

// ---- Life cycle --------------------------------------------------------------

// A new 16 x 16 image, all words 0; null (reported) when memory runs out.
IMG* IMGNew() {
    IMG* image = static_cast<IMG*>(std::calloc(1, sizeof(IMG)));
    if (image == nullptr) {
        IMGError();
        return nullptr;
    }
    image->width = 16;
    image->height = 16;
    image->pixels = allocateWords(16 * 16);
    if (image->pixels == nullptr) {
        std::free(image);
        IMGError();
        return nullptr;
    }
    return image;
}

// Releases the record and its array and clears the caller's pointer.
void IMGFree(IMG** image) {
    if (image == nullptr || *image == nullptr) {
        IMGError();
        return;
    }
    std::free((*image)->pixels);
    std::free(*image);
    *image = nullptr;
}

// New size with all words 0. Negative sizes and sizes whose word count does
// not fit a signed 32-bit index are refused unchanged. A failed allocation
// leaves the new size with no array, which later operations report.
void IMGResize(IMG* image, std::int32_t width, std::int32_t height) {
    if (image == nullptr || width < 0 || height < 0) {
        IMGError();
        return;
    }
    const std::int64_t count = std::int64_t{width} * std::int64_t{height};
    if (count > int32Max ||
        static_cast<std::uint64_t>(count) > std::numeric_limits<std::size_t>::max() / sizeof(std::uint32_t)) {
        IMGError();
        return;
    }
    std::free(image->pixels);
    image->pixels = allocateWords(static_cast<std::size_t>(count));
    image->width = width;
    image->height = height;
}

// Every word 0.
void IMGClear(IMG* image) {
    if (image == nullptr || image->pixels == nullptr) {
        IMGError();
        return;
    }
    std::memset(image->pixels, 0, wordCount(image) * sizeof(std::uint32_t));
}

// ---- Pixel access ------------------------------------------------------------

// Stores one word; positions off the image are dropped silently.
void IMGPutPixel(IMG* image, std::int32_t x, std::int32_t y, std::uint32_t word) {
    if (image == nullptr || image->pixels == nullptr) {
        IMGError();
        return;
    }
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
    image->pixels[static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width)] = word;
}

// The stored word, or 0 off the image or without an array.
std::uint32_t IMGGetPixel(const IMG* image, std::int32_t x, std::int32_t y) {
    if (image == nullptr) {
        IMGError();
        return 0;
    }
    if (image->pixels == nullptr || x < 0 || y < 0 || x >= image->width || y >= image->height) return 0;
    return image->pixels[static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width)];
}

// ---- Comparison and copies ---------------------------------------------------

// Same width, same height and the same words in order.
bool IMGEqual(const IMG* a, const IMG* b) {
    if (a == nullptr || b == nullptr) {
        IMGError();
        return false;
    }
    if (a->width != b->width || a->height != b->height) return false;
    if (a->pixels == nullptr || b->pixels == nullptr) {
        IMGError();
        return false;
    }
    const std::size_t count = wordCount(a);
    for (std::size_t i = 0; i < count; ++i) {
        if (a->pixels[i] != b->pixels[i]) return false;
    }
    return true;
}

// A new image of the source's size holding the source's words.
IMG* IMGCopy(const IMG* source) {
    if (source == nullptr || source->pixels == nullptr) {
        IMGError();
        return nullptr;
    }
    IMG* copy = IMGNew();
    if (copy == nullptr) return nullptr;
    IMGResize(copy, source->width, source->height);
    if (copy->pixels == nullptr || copy->width != source->width || copy->height != source->height) {
        IMGFree(&copy);
        IMGError();
        return nullptr;
    }
    std::memcpy(copy->pixels, source->pixels, wordCount(source) * sizeof(std::uint32_t));
    return copy;
}

// Source words into a destination of exactly the same width and height.
void IMGCopyPixels(const IMG* source, IMG* destination) {
    if (source == nullptr || destination == nullptr || source->pixels == nullptr ||
        destination->pixels == nullptr || source->width != destination->width ||
        source->height != destination->height) {
        IMGError();
        return;
    }
    std::memcpy(destination->pixels, source->pixels, wordCount(source) * sizeof(std::uint32_t));
}
