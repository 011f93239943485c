// velm_preview: writes enlarged PNG pictures of the show's assets for the
// documentation, read with the show's own decoder and scaled by whole
// factors with nearest neighbour so every pixel stays a crisp square.
//   velm_preview <assets directory> <output directory>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"VELMPREV", "20261208", "Tordeval", "C++     ", "CODE    "};

struct Preview {
    const char* file;   // in the assets directory
    const char* name;   // written as assets-<name>.png
    int factor;         // enlargement
    int showWidth;      // if not 0, first scaled to the size the show draws it at
    int showHeight;
};

constexpr Preview previews[] = {
    {"sprite-v.ppm", "sprite-v", 4, 0, 0},      {"sprite-e.ppm", "sprite-e", 4, 0, 0},
    {"sprite-l.ppm", "sprite-l", 4, 0, 0},      {"sprite-m.ppm", "sprite-m", 4, 0, 0},
    {"logo-bottom.ppm", "logo-bottom", 4, 0, 0}, {"logo-top.ppm", "logo-top", 4, 0, 0},
    {"banner.ppm", "banner", 6, 0, 0},           {"emblem.ppm", "emblem", 8, 0, 0},
    {"logotype.ppm", "logotype", 3, 0, 0},       {"logotype.ppm", "logotype-onscreen", 3, 192, 224},
    {"glyphs.pbm", "glyphs", 2, 0, 0},
};

// Writes the image enlarged by factor as an 8-bit RGB PNG.
bool WritePNG(const IMG* image, int factor, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(f);
        return false;
    }
    const std::size_t width = static_cast<std::size_t>(image->width) * static_cast<std::size_t>(factor);
    std::vector<png_byte> row(width * 3);
    // libpng reports errors by jumping back here; nothing below needs unwinding
    // except the row buffer, which is released by its owner on return.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(image->height) * static_cast<png_uint_32>(factor), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::int32_t y = 0; y < image->height; ++y) {
        const std::uint32_t* src = image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width);
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t word = src[x / static_cast<std::size_t>(factor)];
            row[3 * x] = static_cast<png_byte>(word >> 16);
            row[3 * x + 1] = static_cast<png_byte>(word >> 8);
            row[3 * x + 2] = static_cast<png_byte>(word);
        }
        for (int k = 0; k < factor; ++k) {
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <assets directory> <output directory>\n", argv[0]);
        return 2;
    }
    bool ok = true;
    for (const Preview& p : previews) {
        const std::string in = std::string(argv[1]) + "/" + p.file;
        const std::string out = std::string(argv[2]) + "/assets-" + p.name + ".png";
        IMG* image = IMGLoad(in.c_str());
        if (image == nullptr) {
            std::fprintf(stderr, "cannot read %s\n", in.c_str());
            ok = false;
            continue;
        }
        if (p.showWidth > 0) {
            IMG* shown = IMGNew();
            IMGResize(shown, p.showWidth, p.showHeight);
            IMGScale(image, shown);
            IMGFree(&image);
            image = shown;
        }
        if (image == nullptr || !WritePNG(image, p.factor, out)) {
            std::fprintf(stderr, "cannot write %s\n", out.c_str());
            ok = false;
        }
        IMGFree(&image);
    }
    return ok ? 0 : 1;
}
