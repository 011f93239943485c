// velm_icons: the desktop and page icons, drawn from the show's own emblem.
// Each tile is a dark gradient with the emblem enlarged by the largest whole
// number that leaves a margin, over its own shadow, so its pixels stay crisp.
//   velm_icons <output folder>
// writes <output>/NxN/apps/velm4023.png for N = 48, 128 and 256;
//   velm_icons --web <output folder>
// writes the page's icons flat into the folder: tiles of 192 and 512 pixels,
// a 180-pixel home-screen tile, a 48-pixel favicon, and a maskable 512-pixel
// icon whose emblem lies wholly inside the central circle of 80 % of its width
// (what every launcher's mask keeps), on black;
//   velm_icons --windows <output folder>
// writes <output>/velm4023.ico: the desktop tiles of 48, 128 and 256 pixels,
// each stored as PNG, as Windows' icons hold them since Vista.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "demo/demo.h"
#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ICONS   ", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t iconSizes[] = {48, 128, 256};

struct WebIcon {
    const char* name;
    std::int32_t size;
    bool maskable;
};
constexpr WebIcon webIcons[] = {
    {"icon-192.png", 192, false},
    {"icon-512.png", 512, false},
    {"icon-maskable-512.png", 512, true},
    {"apple-touch-icon.png", 180, false},
    {"favicon.png", 48, false},
};
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

// Whether the emblem enlarged k times and centred on a size x size icon keeps
// every lit block inside the circle of 80 % of the width: each block's corner
// farthest from the centre within radius 2 size / 5, in whole numbers
// (25 d^2 <= 4 size^2), measured in half pixels since the centre may fall
// between two.
bool insideSafeZone(const IMG* emblem, std::int32_t size, std::int32_t k) {
    const std::int64_t left = 2 * std::int64_t{(size - emblem->width * k) / 2};   // doubled, as stamped
    const std::int64_t top = 2 * std::int64_t{(size - emblem->height * k) / 2};
    const std::int64_t limit = 16 * std::int64_t{size} * size;   // 25 (2 r)^2 for r = 2 size / 5
    for (std::int32_t ey = 0; ey < emblem->height; ++ey) {
        for (std::int32_t ex = 0; ex < emblem->width; ++ex) {
            if (IMGGetPixel(emblem, ex, ey) == 0) continue;
            std::int64_t far = 0;
            for (const std::int32_t cy : {ey, ey + 1}) {
                for (const std::int32_t cx : {ex, ex + 1}) {
                    const std::int64_t dx = left + 2 * std::int64_t{cx} * k - size;
                    const std::int64_t dy = top + 2 * std::int64_t{cy} * k - size;
                    far = std::max(far, dx * dx + dy * dy);
                }
            }
            if (25 * far > limit) return false;
        }
    }
    return true;
}

// The maskable icon: the emblem alone on black, enlarged by the largest whole
// number that keeps it inside the safe zone, centred.
IMG* drawMaskable(const IMG* emblem, std::int32_t size) {
    std::int32_t k = 1;
    while (insideSafeZone(emblem, size, k + 1)) ++k;
    IMG* icon = IMGNew();
    IMGResize(icon, size, size);
    stamp(emblem, icon, (size - emblem->width * k) / 2, (size - emblem->height * k) / 2, k, false);
    return icon;
}

bool save(IMG* icon, const std::string& path) {
    const bool saved = icon != nullptr && IMGSavePNG(icon, path.c_str());
    if (!saved) std::fprintf(stderr, "velm_icons: cannot write %s\n", path.c_str());
    IMGFree(&icon);
    return saved;
}

// The desktop icons in the hicolor theme's layout under root.
bool writeDesktop(const IMG* emblem, const std::string& root) {
    bool ok = true;
    mkdir(root.c_str(), 0777);
    for (const std::int32_t size : iconSizes) {
        const std::string folder = root + "/" + std::to_string(size) + "x" + std::to_string(size);
        mkdir(folder.c_str(), 0777);
        mkdir((folder + "/apps").c_str(), 0777);
        ok = save(draw(emblem, size), folder + "/apps/velm4023.png") && ok;
    }
    return ok;
}

// The page's icons, flat in folder.
bool writeWeb(const IMG* emblem, const std::string& folder) {
    bool ok = true;
    mkdir(folder.c_str(), 0777);
    for (const WebIcon& web : webIcons) {
        IMG* icon = web.maskable ? drawMaskable(emblem, web.size) : draw(emblem, web.size);
        ok = save(icon, folder + "/" + web.name) && ok;
    }
    return ok;
}
// The bytes of a file; empty when unreadable.
std::string readAll(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[65536];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
        std::fclose(file);
    }
    return bytes;
}

void putLittle(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

// The Windows icon: a header, one 16-byte entry per size (a width or height
// of 256 is written as 0), then each size's PNG.
bool writeWindows(const IMG* emblem, const std::string& folder) {
    mkdir(folder.c_str(), 0777);
    std::string entries, images;
    const std::uint32_t count = sizeof iconSizes / sizeof iconSizes[0];
    std::uint32_t offset = 6 + 16 * count;
    for (const std::int32_t size : iconSizes) {
        const std::string png = folder + "/velm4023-" + std::to_string(size) + ".png";
        if (!save(draw(emblem, size), png)) return false;
        const std::string bytes = readAll(png);
        std::remove(png.c_str());
        if (bytes.empty()) return false;
        putLittle(entries, static_cast<std::uint32_t>(size & 0xFF), 1);
        putLittle(entries, static_cast<std::uint32_t>(size & 0xFF), 1);
        putLittle(entries, 0, 2);    // no palette, reserved
        putLittle(entries, 1, 2);    // planes
        putLittle(entries, 32, 2);   // bits a pixel
        putLittle(entries, static_cast<std::uint32_t>(bytes.size()), 4);
        putLittle(entries, offset, 4);
        offset += static_cast<std::uint32_t>(bytes.size());
        images += bytes;
    }
    std::string icon;
    putLittle(icon, 0, 2);
    putLittle(icon, 1, 2);   // an icon, not a cursor
    putLittle(icon, count, 2);
    icon += entries + images;
    const std::string path = folder + "/velm4023.ico";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool ok = file != nullptr && std::fwrite(icon.data(), 1, icon.size(), file) == icon.size();
    if (file == nullptr || std::fclose(file) != 0 || !ok) {
        std::fprintf(stderr, "velm_icons: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string option = argc == 3 ? argv[1] : "";
    const bool web = option == "--web";
    const bool windows = option == "--windows";
    if (argc != 2 && !web && !windows) {
        std::fprintf(stderr, "usage: velm_icons [--web | --windows] <output folder>\n");
        return 2;
    }
    IMG* emblem = IMGFromPPM(asset_emblem, asset_emblem_size);
    if (emblem == nullptr) {
        std::fprintf(stderr, "velm_icons: the compiled-in emblem does not decode\n");
        return 1;
    }
    const bool ok = web       ? writeWeb(emblem, argv[2])
                    : windows ? writeWindows(emblem, argv[2])
                              : writeDesktop(emblem, argv[1]);
    IMGFree(&emblem);
    return ok ? 0 : 1;
}
