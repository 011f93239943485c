// Canvas, colour helpers and P6 output of the art generators.
#include "tools/art/canvas.h"

#include <cmath>
#include <cstdio>

#include "img/img.h"
#include "tools/common/files.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ARTCANVS", "20261208", "Tordeval", "C++     ", "CODE    "};
}

namespace art {

Canvas CanvasMake(int width, int height) {
    return Canvas{width, height,
                  std::vector<Colour>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                      Colour{0.0, 0.0, 0.0})};
}

Colour& CanvasAt(Canvas& canvas, int x, int y) {
    return canvas.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width) +
                         static_cast<std::size_t>(x)];
}

Colour ColourMix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour ColourScale(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Colour ColourHex(unsigned rgb) {
    return {((rgb >> 16) & 0xFFu) / 255.0, ((rgb >> 8) & 0xFFu) / 255.0, (rgb & 0xFFu) / 255.0};
}

Colour ColourHue(double hue) {
    // Piecewise-linear hue wheel: no trigonometry, so the result is exact.
    double h = hue - std::floor(hue);
    h *= 6.0;
    const int sector = static_cast<int>(h);
    const double f = h - sector;
    switch (sector) {
    case 0: return {1.0, f, 0.0};
    case 1: return {1.0 - f, 1.0, 0.0};
    case 2: return {0.0, 1.0, f};
    case 3: return {0.0, 1.0 - f, 1.0};
    case 4: return {f, 0.0, 1.0};
    default: return {1.0, 0.0, 1.0 - f};
    }
}

double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

unsigned char ColourByte(double v) {
    return static_cast<unsigned char>(std::floor(Clamp01(v) * 255.0 + 0.5));
}

std::string CanvasToPPM(const Canvas& canvas, const std::vector<std::string>& comments) {
    std::string out = "P6\n";
    for (const std::string& c : comments) {
        out += "# " + c + "\n";
    }
    out += std::to_string(canvas.width) + " " + std::to_string(canvas.height) + "\n255\n";
    for (const Colour& c : canvas.pixels) {
        out += static_cast<char>(ColourByte(c.r));
        out += static_cast<char>(ColourByte(c.g));
        out += static_cast<char>(ColourByte(c.b));
    }
    return out;
}

void CanvasKeepOpaque(Canvas& canvas, const std::vector<bool>& opaque) {
    const double least = 1.0 / 255.0;
    for (std::size_t i = 0; i < canvas.pixels.size() && i < opaque.size(); ++i) {
        Colour& c = canvas.pixels[i];
        if (opaque[i] && ColourByte(c.r) == 0 && ColourByte(c.g) == 0 && ColourByte(c.b) == 0) {
            c = {least, least, least};
        }
    }
}

bool WriteFile(const std::string& dir, const std::string& name, const std::string& bytes) {
    const std::string path = dir + "/" + name;
    if (TOOLWriteFile(path, bytes)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

}  // namespace art
