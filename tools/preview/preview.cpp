// velm_preview: writes enlarged PNG pictures of the show's assets for the
// documentation, read with the show's own decoder and scaled by whole
// factors with nearest neighbour so every pixel stays a crisp square.
//   velm_preview <assets directory> <output directory>
#include <cstdio>
#include <string>

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
        // Whole factors: the scaler's runs are then all the factor long.
        IMG* enlarged = image != nullptr ? IMGNew() : nullptr;
        if (enlarged != nullptr) {
            IMGResize(enlarged, image->width * p.factor, image->height * p.factor);
            IMGScale(image, enlarged);
        }
        if (enlarged == nullptr || !IMGSavePNG(enlarged, out.c_str())) {
            std::fprintf(stderr, "cannot write %s\n", out.c_str());
            ok = false;
        }
        IMGFree(&enlarged);
        IMGFree(&image);
    }
    return ok ? 0 : 1;
}
