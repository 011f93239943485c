// velm_art: draws the sprites, logos, banner and emblem into a directory.
//   velm_art <output directory>
#include <cstdio>
#include <string>

#include "img/img.h"
#include "tools/art/canvas.h"
#include "tools/art/pictures.h"
#include "tools/common/files.h"

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
        ok &= TOOLWriteFile(
            dir + "/" + s.file,
            ARTCanvasToPPM(ARTPictureSprite(s.letter), {std::string("VELM4023 sprite letter ") + s.letter, by}));
    }
    ok &=
        TOOLWriteFile(dir + "/logo-bottom.ppm", ARTCanvasToPPM(ARTPictureLogoBottom(), {"VELM4023 bottom logo", by}));
    ok &= TOOLWriteFile(dir + "/logo-top.ppm", ARTCanvasToPPM(ARTPictureLogoTop(), {"VELM4023 top logo", by}));
    ok &= TOOLWriteFile(dir + "/banner.ppm", ARTCanvasToPPM(ARTPictureBanner(), {"VELM4023 banner", by}));
    ok &= TOOLWriteFile(dir + "/emblem.ppm", ARTCanvasToPPM(ARTPictureEmblem(), {"VELM4023 emblem", by}));
    return ok ? 0 : 1;
}
