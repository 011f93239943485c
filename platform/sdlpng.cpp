// The PNG writer: an image of 0x00RRGGBB words as an 8-bit RGB file. The show's
// screenshots and the tools' picture files all go through it.
#include <png.h>

#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>

#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLPNG  ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t maxSide = 65536;

// Encodes the image into an open file. libpng reads each word in place: the
// unused top byte is stripped as filler and, on little-endian machines, the
// byte order B, G, R is reversed. Nothing here has a destructor, because
// libpng reports errors by jumping back to the setjmp.
bool SDLDPYEncodePNG(std::FILE* file, const IMG* image) {
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
    png_set_IHDR(png, info, static_cast<png_uint_32>(image->width), static_cast<png_uint_32>(image->height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if constexpr (std::endian::native == std::endian::little) {
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
    for (std::int32_t y = 0; y < image->height; ++y) {
        png_write_row(png, reinterpret_cast<png_const_bytep>(image->pixels +
                                                             static_cast<std::size_t>(y) *
                                                                 static_cast<std::size_t>(image->width)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
}  // namespace

// Writes the image as an 8-bit RGB PNG file; a file left half-written is
// removed. On failure errno says why.
bool SDLDPYWritePNG(const char* path, const IMG* image) {
    if (path == nullptr || image == nullptr || image->pixels == nullptr || image->width <= 0 ||
        image->height <= 0 || image->width > maxSide || image->height > maxSide) {
        SDLDPYError();
        return false;
    }
    errno = 0;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool ok = SDLDPYEncodePNG(file, image);
    if (std::fclose(file) != 0) ok = false;
    if (!ok) {
        const int why = errno != 0 ? errno : EIO;
        std::remove(path);
        errno = why;
    }
    return ok;
}
