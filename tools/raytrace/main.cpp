// velm_raytrace: renders the logotype picture into a directory.
//   velm_raytrace <output directory>
#include <cstdio>
#include <string>

#include "tools/art/canvas.h"
#include "img/img.h"
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
    const rt::Scene scene = rt::SceneBuild();
    const art::Canvas canvas = rt::RenderScene(scene, 256, 200, 3, onScreenAspect);
    const bool ok = art::WriteFile(argv[1], "logotype.ppm",
                                   art::CanvasToPPM(canvas, {"VELM4023 logotype, rendered by tools/raytrace"}));
    return ok ? 0 : 1;
}
