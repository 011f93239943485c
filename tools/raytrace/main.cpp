// velm_raytrace: renders the logotype picture into a directory.
//   velm_raytrace <output directory>
#include <cstdio>
#include <string>

#include "img/img.h"
#include "tools/art/canvas.h"
#include "tools/common/files.h"
#include "tools/raytrace/render.h"
#include "tools/raytrace/scene.h"

namespace {
[[maybe_unused]] const IDENT ident = {"VELMRAYT", "20261208", "Tordeval", "C++     ", "CODE    "};
// The show scales the 256 x 200 picture to 192 x 224.
constexpr double onScreenAspect = 192.0 / 224.0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const RAYSCENE scene = RAYSceneBuild();
    const ARTCANVAS canvas = RAYRenderScene(scene, 256, 200, 3, onScreenAspect);
    const bool ok = TOOLWriteFile(std::string(argv[1]) + "/logotype.ppm",
                                  ARTCanvasToPPM(canvas, {"VELM4023 logotype, rendered by tools/raytrace"}));
    return ok ? 0 : 1;
}
