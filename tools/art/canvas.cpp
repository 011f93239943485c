// Canvas, colour helpers and P6 output of the art generators.
#include "tools/art/canvas.h"

#include <cmath>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ARTCANVS", "20261208", "Tordeval", "C++     ", "CODE    "};
}

ARTCANVAS ARTCanvasMake(int width, int height) {
    return ARTCANVAS{width, height,
                     std::vector<ARTCOLOUR>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                            ARTCOLOUR{0.0, 0.0, 0.0})};
}

ARTCOLOUR& ARTCanvasAt(ARTCANVAS& canvas, int x, int y) {
    return canvas.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width) +
                         static_cast<std::size_t>(x)];
}

ARTCOLOUR ARTColourMix(ARTCOLOUR a, ARTCOLOUR b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

ARTCOLOUR ARTColourScale(ARTCOLOUR c, double k) { return {c.r * k, c.g * k, c.b * k}; }

ARTCOLOUR ARTColourHex(unsigned rgb) {
    return {((rgb >> 16) & 0xFFu) / 255.0, ((rgb >> 8) & 0xFFu) / 255.0, (rgb & 0xFFu) / 255.0};
}

ARTCOLOUR ARTColourHue(double hue) {
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

double ARTClamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

unsigned char ARTColourByte(double v) { return static_cast<unsigned char>(std::floor(ARTClamp01(v) * 255.0 + 0.5)); }

std::string ARTCanvasToPPM(const ARTCANVAS& canvas, const std::vector<std::string>& comments) {
    std::string out = "P6\n";
    for (const std::string& c : comments) {
        out += "# " + c + "\n";
    }
    out += std::to_string(canvas.width) + " " + std::to_string(canvas.height) + "\n255\n";
    for (const ARTCOLOUR& c : canvas.pixels) {
        out += static_cast<char>(ARTColourByte(c.r));
        out += static_cast<char>(ARTColourByte(c.g));
        out += static_cast<char>(ARTColourByte(c.b));
    }
    return out;
}

void ARTCanvasKeepOpaque(ARTCANVAS& canvas, const std::vector<bool>& opaque) {
    const double least = 1.0 / 255.0;
    for (std::size_t i = 0; i < canvas.pixels.size() && i < opaque.size(); ++i) {
        ARTCOLOUR& c = canvas.pixels[i];
        if (opaque[i] && ARTColourByte(c.r) == 0 && ARTColourByte(c.g) == 0 && ARTColourByte(c.b) == 0) {
            c = {least, least, least};
        }
    }
}
