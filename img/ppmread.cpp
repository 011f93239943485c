// Netpbm decoding (P1 to P6) from memory and from files: one header parser
// and one pixel decoder over a ByteSource. Where the two entry points read the
// same bytes differently, a Dialect says so. Comments ('#' through the end of
// the line, which a carriage return ends as well as a newline) may stand
// wherever netpbm allows them: between header fields, right after a header
// number, and in plain pixel data. Bitmap bits that are set become
// white 0xFFFFFF: a decoded bitmap is lit shapes on the black transparency
// key, which the font relies on. Up to maxval 255 samples are used unscaled,
// and plain samples above 255 spill into the next channel. Above maxval 255
// raw samples are two bytes, most significant first, and every sample is
// clamped to maxval and scaled to 0-255, rounded to nearest. Input that
// ends early never causes a read past its end: a short header is refused,
// short pixel data leaves the rest 0. A stream (a pipe, a FIFO) is read as its
// bytes arrive, no further than the picture needs, within a budget that
// refuses an endless stream promptly.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "img/bytesource.h"
#include "img/img.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGPPM  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int64_t largestHeaderNumber = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t white = 0xFFFFFF;
constexpr int end = ByteSource::end;

// A stream has no length to stop at. Its header must arrive within its first
// MiB, and plain pixel data within 16 bytes a sample and one MiB more: far
// more than any Netpbm writer spends, and little enough that an endless
// stream is refused within moments. Raw pixel data is read exactly.
constexpr std::uint64_t streamHeaderBytes = std::uint64_t{1} << 20;
constexpr std::uint64_t streamPlainBytesPerSample = 16;
constexpr std::uint64_t streamPlainExtraBytes = std::uint64_t{1} << 20;

// The entry points' intended differences.
struct Dialect {
    bool terminatorConsumed;  // the byte that ends a header number goes with it (files)
    bool bitmapWidthRaised;   // P1 and P4 widths raised to whole bytes (memory)
};
constexpr Dialect memoryDialect{false, true};
constexpr Dialect fileDialect{true, false};

// What the header parser collects.
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
bool isBlank(int c) { return c != end && (c <= 0x20 || c >= 0x7F); }
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

// Skips a comment whose '#' has been read: through the next newline or
// carriage return, as netpbm and ImageMagick end it (so in "255#c\r\n" the
// return ends the header and the newline is the first pixel byte). False when
// the input ends first.
bool skipComment(ByteSource& in) {
    for (int c = in.get(); c != '\n' && c != '\r'; c = in.get()) {
        if (c == end) return false;
    }
    return true;
}

// Parses the header. On success the next byte is the first pixel byte.
bool parseHeader(ByteSource& in, const Dialect& dialect, Header& h) {
    while (!headerComplete(h)) {
        while (isBlank(in.peek())) in.get();
        const int c = in.peek();
        if (c == end) return false;
        if (c == 'P' && !h.typeSeen) {
            in.get();
            if (!storeType(h, in.get())) return false;
        } else if (c == '#') {
            in.get();
            if (!skipComment(in)) return false;
        } else {
            std::int64_t value = 0;
            bool overflow = false;
            while (isDigit(in.peek())) addDigit(value, overflow, in.get());
            if (!storeNumber(h, value, overflow, dialect.bitmapWidthRaised)) return false;
            // A '#' that ends a number starts a comment; otherwise one byte
            // separates the header from the pixels.
            if (in.peek() == '#') {
                in.get();
                skipComment(in);  // an unended comment leaves the header short or the pixels empty
            } else if (dialect.terminatorConsumed || headerComplete(h)) {
                in.get();
            }
        }
    }
    return true;
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

// A plain sample as read: its value modulo 2^32 and whether it was larger.
struct PlainSample {
    std::uint32_t low = 0;
    bool huge = false;
};

// Turns samples into channel values for the header's maxval.
struct Channel {
    std::uint64_t maxval;
    bool scaled;  // maxval above 255
    explicit Channel(const Header& h) : maxval(static_cast<std::uint64_t>(h.maxval)), scaled(h.maxval > 255) {}
    // A sample clamped to maxval and scaled to 255, rounded to nearest.
    std::uint32_t scale(std::uint64_t v) const {
        return static_cast<std::uint32_t>((std::min(v, maxval) * 255 + maxval / 2) / maxval);
    }
    std::uint32_t operator()(PlainSample s) const {
        return !scaled ? s.low : scale(s.huge ? maxval : s.low);
    }
};

// Raw P6 and P5 pixels in array order, a block at a time; a short read
// decodes the whole pixels that arrived and stops.
void decodeRawSamples(ByteSource& in, const Header& h, IMG* image) {
    const bool colour = h.type == '6';
    const Channel channel(h);
    const std::size_t pixelBytes = (colour ? 3 : 1) * (channel.scaled ? 2 : 1);
    const std::size_t count = static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.height);
    unsigned char block[3 * 2048];
    std::uint32_t* px = image->pixels;
    for (std::size_t k = 0; k < count;) {
        const std::size_t want = std::min(count - k, sizeof block / pixelBytes) * pixelBytes;
        const std::size_t got = in.Read(block, want);
        const std::size_t n = got / pixelBytes;
        const unsigned char* p = block;
        const auto wide = [&](std::size_t at) { return channel.scale(p[at] * 256u + p[at + 1]); };
        if (channel.scaled && colour) {
            for (std::size_t i = 0; i < n; ++i, p += 6) px[k + i] = rgb(wide(0), wide(2), wide(4));
        } else if (channel.scaled) {
            for (std::size_t i = 0; i < n; ++i, p += 2) px[k + i] = grey(wide(0));
        } else if (colour) {
            for (std::size_t i = 0; i < n; ++i, p += 3) px[k + i] = rgb(p[0], p[1], p[2]);
        } else {
            for (std::size_t i = 0; i < n; ++i) px[k + i] = grey(p[i]);
        }
        k += n;
        if (got < want) break;
    }
}

// Raw P4 rows: every row starts on a new byte, most significant bit first.
void decodeRawBits(ByteSource& in, IMG* image) {
    const std::size_t width = static_cast<std::size_t>(image->width);
    const std::size_t rowBytes = (width + 7) / 8;
    unsigned char block[4096];
    std::uint32_t* row = image->pixels;
    for (std::int32_t y = 0; y < image->height; ++y, row += width) {
        for (std::size_t done = 0; done < rowBytes;) {
            const std::size_t want = std::min(rowBytes - done, sizeof block);
            const std::size_t got = in.Read(block, want);
            for (std::size_t i = 0; i < got; ++i) {
                const std::size_t x0 = (done + i) * 8;
                const std::size_t bits = std::min<std::size_t>(8, width - x0);
                for (std::size_t b = 0; b < bits; ++b) row[x0 + b] = (block[i] >> (7 - b)) & 1 ? white : 0;
            }
            if (got < want) return;
            done += got;
        }
    }
}

// The first digit of the next plain sample, skipping what is not a digit and
// comments from '#' through the end of their line; end when there is none.
int plainDigit(ByteSource& in) {
    for (int c = in.get();; c = in.get()) {
        if (c == end || isDigit(c)) return c;
        if (c == '#' && !skipComment(in)) return end;
    }
}

// Reads a plain sample: its run of digits. False when the input ends before a
// digit.
bool plainNumber(ByteSource& in, PlainSample& sample) {
    const int c = plainDigit(in);
    if (c == end) return false;
    std::uint64_t value = static_cast<std::uint64_t>(c - '0');
    sample.huge = false;
    while (isDigit(in.peek())) {
        value = value * 10 + static_cast<std::uint64_t>(in.get() - '0');
        if (value > 0xFFFFFFFFu) {
            sample.huge = true;
            value &= 0xFFFFFFFFu;
        }
    }
    sample.low = static_cast<std::uint32_t>(value);
    return true;
}

// One plain bitmap pixel: the next digit, whatever separates the digits.
bool plainBit(ByteSource& in, std::uint32_t& word) {
    const int c = plainDigit(in);
    if (c == end) return false;
    word = c == '0' ? 0 : white;
    return true;
}

// Plain P3, P2 and P1 pixels in array order until the input ends.
void decodePlain(ByteSource& in, const Header& h, IMG* image) {
    std::uint32_t* px = image->pixels;
    const std::size_t count = static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
    const Channel channel(h);
    PlainSample r, g, b;
    for (std::size_t k = 0; k < count; ++k) {
        if (h.type == '3') {
            if (!plainNumber(in, r) || !plainNumber(in, g) || !plainNumber(in, b)) return;
            px[k] = rgb(channel(r), channel(g), channel(b));
        } else if (h.type == '2') {
            if (!plainNumber(in, r)) return;
            px[k] = grey(channel(r));
        } else if (!plainBit(in, px[k])) {
            return;
        }
    }
}

// The most bytes of pixel data a stream may bring for the header's picture.
std::uint64_t streamDataBytes(const Header& h, const IMG* image) {
    const std::uint64_t width = static_cast<std::uint64_t>(image->width);
    const std::uint64_t height = static_cast<std::uint64_t>(image->height);
    const std::uint64_t sampleBytes = h.maxval > 255 ? 2 : 1;
    switch (h.type) {
        case '6': return width * height * 3 * sampleBytes;
        case '5': return width * height * sampleBytes;
        case '4': return (width + 7) / 8 * height;
        case '3': return width * height * 3 * streamPlainBytesPerSample + streamPlainExtraBytes;
        default: return width * height * streamPlainBytesPerSample + streamPlainExtraBytes;
    }
}

// The one decoder behind both entry points; null after exactly one report.
IMG* decode(ByteSource& in, const Dialect& dialect) {
    Header h;
    in.SetBudget(streamHeaderBytes);
    if (!parseHeader(in, dialect, h) || !sizeAcceptable(h)) {
        IMGError();
        return nullptr;
    }
    IMG* image = makeImage(h.width, h.height);
    if (image == nullptr) return nullptr;
    in.SetBudget(streamDataBytes(h, image));
    if (h.type == '4') {
        decodeRawBits(in, image);
    } else if (h.type == '5' || h.type == '6') {
        decodeRawSamples(in, h, image);
    } else {
        decodePlain(in, h, image);
    }
    if (in.Overran()) {  // an endless stream, not a picture cut short
        IMGFree(&image);
        IMGError();
    }
    return image;
}

}  // namespace

// Decodes a Netpbm file of size bytes held in memory.
IMG* IMGFromPPM(const unsigned char* data, std::size_t size) {
    if (data == nullptr) {
        IMGError();
        return nullptr;
    }
    ByteSource in(data, size);
    return decode(in, memoryDialect);
}

// Decodes a Netpbm file; the file is closed on every path.
IMG* IMGLoad(const char* path) {
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        IMGError();
        return nullptr;
    }
    IMG* image;
    {
        ByteSource in(file);
        image = decode(in, fileDialect);
    }
    std::fclose(file);
    return image;
}
