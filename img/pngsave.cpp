// PNG writing (libpng; not in the browser build): 8-bit RGB files from images
// of 0x00RRGGBB words or from packed R, G, B bytes. The show's screenshots and
// the tools' picture files all go through it.
#include <png.h>

#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>

#include "img/img.h"
#include "host/files.h"

namespace {
[[maybe_unused]] const IDENT ident = {"IMGPNG  ", "20261209", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t maxSide = 65536;

// Rows to encode: width x height pixels, rows stride bytes apart, each pixel
// either a 0x00RRGGBB word or three bytes R, G, B.
struct PngRows {
    std::int32_t width;
    std::int32_t height;
    const unsigned char* first;
    std::size_t stride;
    bool words;
};

// Encodes the rows into an open file. Words are read in place: the unused top
// byte is stripped as filler and, on little-endian machines, the byte order
// B, G, R is reversed. Nothing here has a destructor, because libpng reports
// errors by jumping back to the setjmp.
bool encodePng(std::FILE* file, const PngRows& rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rows.width), static_cast<png_uint_32>(rows.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (rows.words) {
        if constexpr (std::endian::native == std::endian::little) {
            png_set_bgr(png);
            png_set_filler(png, 0, PNG_FILLER_AFTER);
        } else {
            png_set_filler(png, 0, PNG_FILLER_BEFORE);
        }
    }
    for (std::int32_t y = 0; y < rows.height; ++y) {
        png_write_row(png, rows.first + static_cast<std::size_t>(y) * rows.stride);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Encodes the rows handed over as what into the file.
bool writePng(std::FILE* file, const void* what) {
    return encodePng(file, *static_cast<const PngRows*>(what));
}

// Writes the rows to the file at path, replacing a regular file whole or not
// at all (host/files.h); errno says why a save failed. Every failure is
// reported once.
bool writeRows(const char* path, const PngRows& rows) {
    if (path == nullptr || rows.first == nullptr || rows.width <= 0 || rows.height <= 0 ||
        rows.width > maxSide || rows.height > maxSide) {
        IMGError();
        return false;
    }
    errno = 0;
    const bool ok = HOSTSaveThrough(path, writePng, &rows);
    if (!ok) {
        const int why = errno != 0 ? errno : EIO;
        IMGError();
        errno = why;
    }
    return ok;
}
}  // namespace

// Writes the image as an 8-bit RGB PNG file; false on any failure, with errno
// saying why; an existing file is replaced whole or left untouched.
bool IMGSavePNG(const IMG* image, const char* path) {
    if (image == nullptr) {
        IMGError();
        return false;
    }
    const std::size_t stride = image->width > 0 ? static_cast<std::size_t>(image->width) * 4 : 0;
    return writeRows(path, {image->width, image->height, reinterpret_cast<const unsigned char*>(image->pixels),
                            stride, true});
}

// Writes width x height pixels of three bytes R, G, B each, rows top first and
// without gaps, as an 8-bit RGB PNG file; failures as IMGSavePNG.
bool IMGSavePNGBytes(const unsigned char* rgb, std::int32_t width, std::int32_t height, const char* path) {
    const std::size_t stride = width > 0 ? static_cast<std::size_t>(width) * 3 : 0;
    return writeRows(path, {width, height, rgb, stride, false});
}
