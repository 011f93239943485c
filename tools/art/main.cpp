// velm_art: draws the sprites, logos, banner and emblem into a directory.
//   velm_art <output directory>
#include <cstdio>
#include <string>

#include "tools/art/canvas.h"
#include "img/img.h"
#include "tools/art/pictures.h"

namespace {
[[maybe_unused]] const IDENT ident = {"VELMART ", "20261208", "Tordeval", "C++     ", "CODE    "};
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::string by = "drawn by tools/art";
    struct Sprite {
        char letter;
        const char* file;
    };
    const Sprite sprites[] = {{'V', "sprite-v.ppm"}, {'E', "sprite-e.ppm"}, {'L', "sprite-l.ppm"},
                              {'M', "sprite-m.ppm"}};
    bool ok = true;
    for (const Sprite& s : sprites) {
        ok &= art::WriteFile(dir, s.file,
                             art::CanvasToPPM(art::PictureSprite(s.letter),
                                              {std::string("VELM4023 sprite letter ") + s.letter, by}));
    }
    ok &= art::WriteFile(dir, "logo-bottom.ppm",
                         art::CanvasToPPM(art::PictureLogoBottom(), {"VELM4023 bottom logo", by}));
    ok &= art::WriteFile(dir, "logo-top.ppm", art::CanvasToPPM(art::PictureLogoTop(), {"VELM4023 top logo", by}));
    ok &= art::WriteFile(dir, "banner.ppm", art::CanvasToPPM(art::PictureBanner(), {"VELM4023 banner", by}));
    ok &= art::WriteFile(dir, "emblem.ppm", art::CanvasToPPM(art::PictureEmblem(), {"VELM4023 emblem", by}));
    return ok ? 0 : 1;
}
