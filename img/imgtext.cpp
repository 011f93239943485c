// The printable text form of an image: a plain P3 picture between "IMG{" and
// "}", six pixels (eighteen three-column fields) to a line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "img/img.h"
#include "img/numbers.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGTEXT ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::size_t charsPerPixel = 12;  // three "%3d " fields
constexpr std::size_t pixelsPerLine = 6;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One channel as "%3d " would print it: right-aligned in three columns, then a space.
char* putField(char* out, unsigned value) {
    out[0] = value >= 100 ? static_cast<char>('0' + value / 100) : ' ';
    out[1] = value >= 10 ? static_cast<char>('0' + value / 10 % 10) : ' ';
    out[2] = static_cast<char>('0' + value % 10);
    out[3] = ' ';
    return out + 4;
}

// A header number: the digit run at text[i], no whitespace skipped. Sets
// overflow for values beyond the signed 32-bit range.
std::int64_t readHeaderNumber(const char* text, std::size_t& i, bool& overflow) {
    std::int64_t value = 0;
    for (; isDigit(text[i]); ++i) {
        if (!overflow) value = value * 10 + (text[i] - '0');
        if (value > int32Max) overflow = true;
    }
    return value;
}

// Steps over one separator character, but never over the closing NUL.
void skipOne(const char* text, std::size_t& i) {
    if (text[i] != '\0') ++i;
}

// A sample: skips non-digits, then takes the digit run. False at the NUL.
bool readSample(const char* text, std::size_t& i, std::uint32_t& value) {
    while (text[i] != '\0' && !isDigit(text[i])) ++i;
    if (text[i] == '\0') return false;
    value = 0;
    for (; isDigit(text[i]); ++i) value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    return true;
}

}  // namespace

// The image as "IMG{\nP3\n<w> <h>\n255\n" plus pixel lines and "}\n"; an empty
// image gives "IMG{}". The caller frees the string.
char* IMGToText(const IMG* image) {
    if (image == nullptr || image->pixels == nullptr || image->width < 0 || image->height < 0) {
        IMGError();
        return nullptr;
    }
    const std::size_t count = static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
    if (count == 0) {
        char* empty = static_cast<char*>(std::malloc(6));
        if (empty == nullptr) {
            IMGError();
            return nullptr;
        }
        std::memcpy(empty, "IMG{}", 6);
        return empty;
    }
    char header[64];
    const int headerLength = std::snprintf(header, sizeof header, "IMG{\nP3\n%d %d\n255\n", image->width, image->height);
    if (count > (std::numeric_limits<std::size_t>::max() - 64) / charsPerPixel) {
        IMGError();
        return nullptr;
    }
    const std::size_t length = static_cast<std::size_t>(headerLength) + charsPerPixel * count + 2;
    char* text = static_cast<char*>(std::malloc(length + 1));
    if (text == nullptr) {
        IMGError();
        return nullptr;
    }
    std::memcpy(text, header, static_cast<std::size_t>(headerLength));
    char* out = text + headerLength;
    const std::uint32_t* px = image->pixels;
    for (std::size_t k = 0; k < count; ++k) {
        out = putField(out, (px[k] >> 16) & 0xFF);
        out = putField(out, (px[k] >> 8) & 0xFF);
        out = putField(out, px[k] & 0xFF);
        if ((k + 1) % pixelsPerLine == 0) out[-1] = '\n';
    }
    out[-1] = '\n';
    std::memcpy(out, "}\n", 3);
    return text;
}

// Reads the text form back. Samples missing before the NUL leave their
// pixels 0; text after the last sample is not examined.
IMG* IMGFromText(const char* text) {
    if (text == nullptr) {
        IMGError();
        return nullptr;
    }
    std::size_t i = 0;
    for (const char* marker : {"IMG", "{", "P3\n"}) {
        const std::size_t past = IMGFindText(text + i, marker);
        if (past == 0) {
            IMGError();
            return nullptr;
        }
        i += past;
    }
    bool overflow = false;
    const std::int64_t width = readHeaderNumber(text, i, overflow);
    skipOne(text, i);
    const std::int64_t height = readHeaderNumber(text, i, overflow);
    skipOne(text, i);
    while (isDigit(text[i])) ++i;  // maxval, unused
    skipOne(text, i);
    if (overflow || width * height > IMG_MAX_PIXELS) {
        IMGError();
        return nullptr;
    }
    IMG* image = IMGNew();
    if (image == nullptr) return nullptr;
    IMGResize(image, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    if (image->pixels == nullptr) {
        IMGFree(&image);
        IMGError();
        return nullptr;
    }
    std::uint32_t* px = image->pixels;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::uint32_t r, g, b;
    for (std::size_t k = 0; k < count; ++k) {
        if (!readSample(text, i, r) || !readSample(text, i, g) || !readSample(text, i, b)) break;
        px[k] = r * 0x10000u + g * 0x100u + b;
    }
    return image;
}

// Index just past the first occurrence of the marker, or 0 when it is absent
// or empty.
std::size_t IMGFindText(const char* text, const char* marker) {
    if (text == nullptr || marker == nullptr) {
        IMGError();
        return 0;
    }
    if (marker[0] == '\0') return 0;
    const char* found = std::strstr(text, marker);
    if (found == nullptr) return 0;
    return static_cast<std::size_t>(found - text) + std::strlen(marker);
}
