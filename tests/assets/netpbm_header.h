// A strict reader of the header of a raw Netpbm file held in memory, for
// checking the form of the compiled-in pictures: magic line, whole comment
// lines, size line, maxval line (P6 only), then exactly the pixel bytes.
// Unlike the show's decoder it counts the comment lines and insists on one
// field per line, which is the form the assets are kept in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct NetpbmHeader {
    bool ok = false;
    std::string magic;       // "P4" or "P6"
    int comments = 0;        // comment lines between the magic and the size
    long width = 0;
    long height = 0;
    long maxval = 0;         // 255 for P6, 1 for P4
    std::size_t dataOffset = 0;
    std::size_t dataSize = 0;  // bytes after the header
};

namespace netpbm_detail {

// Reads one line ending in a line feed; false at the end of the data.
inline bool readLine(const unsigned char* data, std::size_t size, std::size_t& at, std::string& line) {
    line.clear();
    while (at < size && data[at] != '\n') {
        line += static_cast<char>(data[at++]);
    }
    if (at >= size) {
        return false;
    }
    ++at;
    return true;
}

// A decimal number of 1 to 6 digits that fills the text exactly.
inline bool parseNumber(const std::string& text, long& value) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace netpbm_detail

inline NetpbmHeader readNetpbmHeader(const unsigned char* data, std::size_t size) {
    using netpbm_detail::parseNumber;
    using netpbm_detail::readLine;
    NetpbmHeader h;
    std::size_t at = 0;
    std::string line;
    if (data == nullptr || !readLine(data, size, at, line) || (line != "P4" && line != "P6")) {
        return h;
    }
    h.magic = line;
    for (;;) {
        if (!readLine(data, size, at, line)) {
            return h;
        }
        if (line.empty() || line[0] != '#') {
            break;
        }
        ++h.comments;
    }
    const std::size_t space = line.find(' ');
    if (space == std::string::npos || !parseNumber(line.substr(0, space), h.width) ||
        !parseNumber(line.substr(space + 1), h.height)) {
        return h;
    }
    h.maxval = 1;
    if (h.magic == "P6" && (!readLine(data, size, at, line) || !parseNumber(line, h.maxval))) {
        return h;
    }
    h.dataOffset = at;
    h.dataSize = size - at;
    h.ok = true;
    return h;
}

// Pixel-byte count the header promises.
inline std::size_t netpbmExpectedData(const NetpbmHeader& h) {
    const std::size_t w = static_cast<std::size_t>(h.width);
    const std::size_t rows = static_cast<std::size_t>(h.height);
    return h.magic == "P4" ? (w + 7) / 8 * rows : w * rows * 3;
}
