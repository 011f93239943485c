// Raw P6 writing (maxval 255); the top byte of each word is not written. A
// regular file is replaced whole or not at all (host/files.h): a failed
// save (a full disk, a size limit) leaves the old file as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "img/img.h"
#include "host/files.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGSAVE ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Writes the header and the pixels as red, green, blue bytes; false on any
// write error.
bool writeP6(std::FILE* file, const void* what) {
    const IMG* image = static_cast<const IMG*>(what);
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

// Writes the image as a raw P6 file with maxval 255. A regular file (also one
// reached through a symbolic link) is replaced whole, keeping its permission
// bits; anything else at the path is written in place.
bool IMGSave(const IMG* image, const char* path) {
    if (image == nullptr || image->pixels == nullptr || path == nullptr || image->width <= 0 ||
        image->height <= 0) {
        IMGError();
        return false;
    }
    const bool saved = HOSTSaveThrough(path, writeP6, image);
    if (!saved) IMGError();
    return saved;
}
