// Netpbm decoding from memory and from files (P1 to P6), and raw P6 writing.
// Bitmap bits that are set become white 0xFFFFFF: a decoded bitmap is lit
// shapes on the black transparency key, which the font relies on. Samples are
// used unscaled (maxval is read and ignored); plain samples above 255 spill
// into the next channel. Input that ends early never causes a read past its
// end: a short header is refused, short pixel data leaves the rest 0.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "img/img.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGPPM  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int64_t largestHeaderNumber = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t white = 0xFFFFFF;

// What the header parsers collect.
struct Header {
    int type = 0;  // '1' to '6'
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t maxval = 0;
    bool typeSeen = false;
    bool widthSeen = false;
    bool heightSeen = false;
    bool maxvalSeen = false;
};

bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isBlank(int c) { return c <= 0x20 || c >= 0x7F; }
bool headerComplete(const Header& h) { return h.typeSeen && h.widthSeen && h.heightSeen && h.maxvalSeen; }

// Records the type digit; false for a digit outside '1' to '6'.
bool storeType(Header& h, int digit) {
    if (digit < '1' || digit > '6') return false;
    h.type = digit;
    h.typeSeen = true;
    if (digit == '1' || digit == '4') h.maxvalSeen = true;  // bitmaps carry no maxval
    return true;
}

// Gives a header number to the first of width, height, maxval still unset.
// False when the number overflowed or when all three are already set (a
// fourth number before the type: not a Netpbm header).
bool storeNumber(Header& h, std::int64_t value, bool overflow, bool raiseBitmapWidth) {
    if (overflow) return false;
    if (!h.widthSeen) {
        const bool bitmap = h.typeSeen && (h.type == '1' || h.type == '4');
        h.width = bitmap && raiseBitmapWidth ? (value + 7) / 8 * 8 : value;
        h.widthSeen = true;
    } else if (!h.heightSeen) {
        h.height = value;
        h.heightSeen = true;
    } else if (!h.maxvalSeen) {
        h.maxval = value;
        h.maxvalSeen = true;
    } else {
        return false;
    }
    return true;
}

// Decimal digit accumulation that saturates its overflow flag instead of wrapping.
void addDigit(std::int64_t& value, bool& overflow, int c) {
    if (overflow) return;
    value = value * 10 + (c - '0');
    if (value > largestHeaderNumber) overflow = true;
}

// Whether the header's size can be decoded at all.
bool sizeAcceptable(const Header& h) {
    return h.width > 0 && h.height > 0 && h.width * h.height <= IMG_MAX_PIXELS;
}

// A new width x height image, or null after exactly one report.
IMG* makeImage(std::int64_t width, std::int64_t height) {
    IMG* image = IMGNew();
    if (image == nullptr) return nullptr;  // IMGNew has reported
    IMGResize(image, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    if (image->pixels == nullptr) {
        IMGFree(&image);
        IMGError();
        return nullptr;
    }
    return image;
}

std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r * 0x10000u + g * 0x100u + b; }
std::uint32_t grey(std::uint32_t v) { return v * 0x010101u; }

// ---- Memory --------------------------------------------------------------------

// Parses the header of data[0, size). On success start is the first pixel
// byte (possibly at or past size).
bool parseMemoryHeader(const unsigned char* data, std::size_t size, Header& h, std::size_t& start) {
    std::size_t i = 0;
    while (!headerComplete(h)) {
        while (i < size && isBlank(data[i])) ++i;
        if (i >= size) return false;
        if (data[i] == 'P' && !h.typeSeen) {
            if (i + 1 >= size || !storeType(h, data[i + 1])) return false;
            i += 2;
        } else if (data[i] == '#') {
            while (i < size && data[i] != '\n') ++i;
            if (i >= size) return false;
            ++i;
        } else {
            std::int64_t value = 0;
            bool overflow = false;
            while (i < size && isDigit(data[i])) addDigit(value, overflow, data[i++]);
            if (!storeNumber(h, value, overflow, true)) return false;
        }
    }
    start = i + 1;  // one whitespace byte separates header and pixels
    return true;
}

// Reads a plain sample: skips non-digits, then takes the digit run. False when
// the data ends before a digit.
bool memoryNumber(const unsigned char* data, std::size_t size, std::size_t& i, std::uint32_t& value) {
    while (i < size && !isDigit(data[i])) ++i;
    if (i >= size) return false;
    value = 0;
    while (i < size && isDigit(data[i])) value = value * 10u + static_cast<std::uint32_t>(data[i++] - '0');
    return true;
}

// Fills the pixels from data[start, size) in array order.
void decodeMemory(const Header& h, const unsigned char* data, std::size_t size, std::size_t start, IMG* image) {
    std::uint32_t* px = image->pixels;
    const std::size_t count = static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.height);
    const std::size_t available = start < size ? size - start : 0;
    const unsigned char* p = data + std::min(start, size);
    switch (h.type) {
        case '6': {
            const std::size_t n = std::min(count, available / 3);
            for (std::size_t k = 0; k < n; ++k, p += 3) px[k] = rgb(p[0], p[1], p[2]);
            break;
        }
        case '5': {
            const std::size_t n = std::min(count, available);
            for (std::size_t k = 0; k < n; ++k) px[k] = grey(p[k]);
            break;
        }
        case '4': {
            const std::size_t n = std::min(count, available * 8);
            for (std::size_t k = 0; k < n; ++k) px[k] = (p[k >> 3] >> (7 - (k & 7))) & 1 ? white : 0;
            break;
        }
        case '3': {
            std::size_t i = start;
            std::uint32_t r, g, b;
            for (std::size_t k = 0; k < count; ++k) {
                if (!memoryNumber(data, size, i, r) || !memoryNumber(data, size, i, g) ||
                    !memoryNumber(data, size, i, b))
                    break;
                px[k] = rgb(r, g, b);
            }
            break;
        }
        case '2': {
            std::size_t i = start;
            std::uint32_t v;
            for (std::size_t k = 0; k < count && memoryNumber(data, size, i, v); ++k) px[k] = grey(v);
            break;
        }
        default: {  // '1': one digit character per pixel
            std::size_t i = start;
            for (std::size_t k = 0; k < count; ++k) {
                while (i < size && !isDigit(data[i])) ++i;
                if (i >= size) break;
                px[k] = data[i++] == '0' ? 0 : white;
            }
            break;
        }
    }
}

// ---- Files ---------------------------------------------------------------------

// A file read no further than the length it had when opened, so that a device
// that never ends (a stream of zero bytes would keep the header loop skipping
// for ever) reads as an empty file.
struct Input {
    std::FILE* file;
    std::uint64_t left;
};

// The file's length from seeking to its end; false when it cannot be told.
bool openInput(std::FILE* file, Input& in) {
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    const long length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return false;
    in = {file, static_cast<std::uint64_t>(length)};
    return true;
}

// The next character, or EOF at the recorded length.
int next(Input& in) {
    if (in.left == 0) return EOF;
    const int c = std::getc(in.file);
    in.left = c == EOF ? 0 : in.left - 1;
    return c;
}

// Up to count bytes, never beyond the recorded length.
std::size_t readBytes(Input& in, unsigned char* buffer, std::size_t count) {
    if (count > in.left) count = static_cast<std::size_t>(in.left);
    const std::size_t got = std::fread(buffer, 1, count, in.file);
    in.left = got < count ? 0 : in.left - got;
    return got;
}

// Parses a file header character by character. A number starts with the
// character in hand and consumes the character that ends it. On success the
// next character read is the first pixel character.
bool parseFileHeader(Input& in, Header& h) {
    int c = next(in);
    while (!headerComplete(h)) {
        while (c != EOF && isBlank(c)) c = next(in);
        if (c == EOF) return false;
        if (c == 'P' && !h.typeSeen) {
            if (!storeType(h, next(in))) return false;
            c = next(in);
        } else if (c == '#') {
            while (c != EOF && c != '\n') c = next(in);
            if (c == EOF) return false;
            c = next(in);
        } else {
            std::int64_t value = 0;
            bool overflow = false;
            while (isDigit(c)) {
                addDigit(value, overflow, c);
                c = next(in);
            }
            if (!storeNumber(h, value, overflow, false)) return false;
            if (!headerComplete(h)) c = next(in);
        }
    }
    return true;  // c, the character that ended the header, is dropped
}

// Plain sample from a file; false at the end of the file before a digit.
bool fileNumber(Input& in, std::uint32_t& value) {
    int c = next(in);
    while (c != EOF && !isDigit(c)) c = next(in);
    if (c == EOF) return false;
    value = 0;
    for (; isDigit(c); c = next(in)) value = value * 10u + static_cast<std::uint32_t>(c - '0');
    return true;
}

// Raw rows through one row buffer; a short read decodes what arrived and stops.
// False only when the row buffer cannot be had.
bool decodeFileRaw(const Header& h, Input& in, IMG* image) {
    const std::size_t width = static_cast<std::size_t>(h.width);
    const std::size_t rowBytes = h.type == '6' ? width * 3 : h.type == '5' ? width : (width + 7) / 8;
    unsigned char* row = static_cast<unsigned char*>(std::malloc(rowBytes));
    if (row == nullptr) return false;
    std::uint32_t* px = image->pixels;
    for (std::int64_t y = 0; y < h.height; ++y, px += width) {
        const std::size_t got = readBytes(in, row, rowBytes);
        std::size_t n;
        if (h.type == '6') {
            n = std::min(width, got / 3);
            for (std::size_t x = 0, b = 0; x < n; ++x, b += 3) px[x] = rgb(row[b], row[b + 1], row[b + 2]);
        } else if (h.type == '5') {
            n = std::min(width, got);
            for (std::size_t x = 0; x < n; ++x) px[x] = grey(row[x]);
        } else {
            n = std::min(width, got * 8);
            for (std::size_t x = 0; x < n; ++x) px[x] = (row[x >> 3] >> (7 - (x & 7))) & 1 ? white : 0;
        }
        if (got < rowBytes) break;
    }
    std::free(row);
    return true;
}

// Plain pixels in array order until the file ends.
void decodeFilePlain(const Header& h, Input& in, IMG* image) {
    std::uint32_t* px = image->pixels;
    const std::size_t count = static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.height);
    if (h.type == '3') {
        std::uint32_t r, g, b;
        for (std::size_t k = 0; k < count; ++k) {
            if (!fileNumber(in, r) || !fileNumber(in, g) || !fileNumber(in, b)) break;
            px[k] = rgb(r, g, b);
        }
    } else if (h.type == '2') {
        std::uint32_t v;
        for (std::size_t k = 0; k < count && fileNumber(in, v); ++k) px[k] = grey(v);
    } else {  // '1': one digit per pixel, whatever separates them
        for (std::size_t k = 0; k < count; ++k) {
            int c = next(in);
            while (c != EOF && !isDigit(c)) c = next(in);
            if (c == EOF) break;
            px[k] = c == '0' ? 0 : white;
        }
    }
}

// Decodes an open file; null after exactly one report.
IMG* loadFile(std::FILE* file) {
    Input in{};
    Header h;
    if (!openInput(file, in) || !parseFileHeader(in, h) || !sizeAcceptable(h)) {
        IMGError();
        return nullptr;
    }
    IMG* image = makeImage(h.width, h.height);
    if (image == nullptr) return nullptr;
    if (h.type == '1' || h.type == '2' || h.type == '3') {
        decodeFilePlain(h, in, image);
    } else if (!decodeFileRaw(h, in, image)) {
        IMGFree(&image);
        IMGError();
        return nullptr;
    }
    return image;
}

// Writes the header and the pixels as red, green, blue bytes; false on any
// write error.
bool writeP6(const IMG* image, std::FILE* file) {
    if (std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height) < 0) return false;
    const std::size_t width = static_cast<std::size_t>(image->width);
    const std::size_t rowBytes = width * 3;
    unsigned char* row = static_cast<unsigned char*>(std::malloc(rowBytes));
    if (row == nullptr) return false;
    const std::uint32_t* px = image->pixels;
    bool ok = true;
    for (std::int32_t y = 0; y < image->height && ok; ++y, px += width) {
        for (std::size_t x = 0, b = 0; x < width; ++x, b += 3) {
            row[b] = static_cast<unsigned char>(px[x] >> 16);
            row[b + 1] = static_cast<unsigned char>(px[x] >> 8);
            row[b + 2] = static_cast<unsigned char>(px[x]);
        }
        ok = std::fwrite(row, 1, rowBytes, file) == rowBytes;
    }
    std::free(row);
    return ok;
}

}  // namespace

// Decodes a Netpbm file of size bytes held in memory.
IMG* IMGFromPPM(const unsigned char* data, std::size_t size) {
    Header h;
    std::size_t start = 0;
    if (data == nullptr || !parseMemoryHeader(data, size, h, start) || !sizeAcceptable(h)) {
        IMGError();
        return nullptr;
    }
    IMG* image = makeImage(h.width, h.height);
    if (image != nullptr) decodeMemory(h, data, size, start, image);
    return image;
}

// Decodes a Netpbm file from disk; the file is closed on every path.
IMG* IMGLoad(const char* path) {
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        IMGError();
        return nullptr;
    }
    IMG* image = loadFile(file);
    std::fclose(file);
    return image;
}

// Writes the image as a raw P6 file with maxval 255; the top byte of each word
// is not written.
bool IMGSave(const IMG* image, const char* path) {
    if (image == nullptr || image->pixels == nullptr || path == nullptr || image->width <= 0 ||
        image->height <= 0) {
        IMGError();
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        IMGError();
        return false;
    }
    const bool written = writeP6(image, file);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        IMGError();
        return false;
    }
    return true;
}
