// velm_icons: the desktop icons, drawn from the show's own emblem. Each icon is
// a dark gradient tile with the emblem enlarged by the largest whole number
// that leaves a margin, over its own shadow, so its pixels stay crisp.
//   velm_icons <output folder>
// writes <output>/NxN/apps/velm4023.png for N = 48, 128 and 256.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "demo/demo.h"
#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ICONS   ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t iconSizes[] = {48, 128, 256};
constexpr std::uint32_t shadow = 0x080410u;   // near black
constexpr std::uint32_t gradientTop = 0x2A1A66u;
constexpr std::uint32_t gradientBottom = 0x060214u;

// One channel of the gradient between two colours, row y of size rows.
std::uint32_t mix(std::uint32_t top, std::uint32_t bottom, std::int32_t shift, std::int32_t y, std::int32_t size) {
    const std::int32_t a = static_cast<std::int32_t>((top >> shift) & 0xFFu);
    const std::int32_t b = static_cast<std::int32_t>((bottom >> shift) & 0xFFu);
    return static_cast<std::uint32_t>(a + (b - a) * y / (size - 1)) << shift;
}

// Every non-black emblem pixel as a k x k block at (x, y), in the emblem's own
// colour or, for the shadow, in one colour.
void stamp(const IMG* emblem, IMG* icon, std::int32_t x, std::int32_t y, std::int32_t k, bool asShadow) {
    for (std::int32_t ey = 0; ey < emblem->height; ++ey) {
        for (std::int32_t ex = 0; ex < emblem->width; ++ex) {
            const std::uint32_t word = IMGGetPixel(emblem, ex, ey);
            if (word == 0) continue;
            IMGFillRect(icon, x + ex * k, y + ey * k, k, k, asShadow ? shadow : word);
        }
    }
}

// One icon of size x size pixels.
IMG* draw(const IMG* emblem, std::int32_t size) {
    IMG* icon = IMGNew();
    IMGResize(icon, size, size);
    for (std::int32_t y = 0; y < size; ++y) {
        const std::uint32_t word = mix(gradientTop, gradientBottom, 16, y, size) |
                                   mix(gradientTop, gradientBottom, 8, y, size) |
                                   mix(gradientTop, gradientBottom, 0, y, size);
        IMGFillRect(icon, 0, y, size, 1, word);
    }
    const std::int32_t k = (size - size / 8) / emblem->width;   // keep at least an eighth as margin
    const std::int32_t x = (size - emblem->width * k) / 2;
    const std::int32_t y = (size - emblem->height * k) / 2;
    const std::int32_t offset = k / 2 + 1;
    stamp(emblem, icon, x + offset, y + offset, k, true);
    stamp(emblem, icon, x, y, k, false);
    return icon;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velm_icons <output folder>\n");
        return 2;
    }
    IMG* emblem = IMGFromPPM(asset_emblem, asset_emblem_size);
    if (emblem == nullptr) {
        std::fprintf(stderr, "velm_icons: the compiled-in emblem does not decode\n");
        return 1;
    }
    int status = 0;
    for (const std::int32_t size : iconSizes) {
        const std::string folder = std::string(argv[1]) + "/" + std::to_string(size) + "x" + std::to_string(size);
        mkdir(argv[1], 0777);
        mkdir(folder.c_str(), 0777);
        mkdir((folder + "/apps").c_str(), 0777);
        const std::string path = folder + "/apps/velm4023.png";
        IMG* icon = draw(emblem, size);
        if (icon == nullptr || !IMGSavePNG(icon, path.c_str())) {
            std::fprintf(stderr, "velm_icons: cannot write %s\n", path.c_str());
            status = 1;
        }
        IMGFree(&icon);
    }
    IMGFree(&emblem);
    return status;
}
