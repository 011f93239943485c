// Painting letter shapes: gradient fill, bevel, outline, shadow.
#include "tools/art/letters.h"

#include <algorithm>
#include <cmath>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ARTLETTR", "20261208", "Tordeval", "C++     ", "CODE    "};

// Narrows the box x0..x1, y0..y1 (ends exclusive) to the canvas.
void clipToCanvas(const ARTCANVAS& canvas, int& x0, int& y0, int& x1, int& y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, canvas.width);
    y1 = std::min(y1, canvas.height);
}
}  // namespace

void ARTDrawLetter(ARTCANVAS& canvas, const ARTSHAPE& shape, const ARTLETTERSTYLE& style, int x0, int y0, int x1,
                   int y1, double gy0, double gy1) {
    // Light from the upper left, as a unit vector in y-down coordinates.
    const ARTVEC2 light = {-0.6, -0.8};
    clipToCanvas(canvas, x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const ARTVEC2 p = {x + 0.5, y + 0.5};
            const double d = ARTShapeDistance(shape, p);
            ARTCOLOUR& px = ARTCanvasAt(canvas, x, y);
            if (style.outlineWidth > 0.0) {
                const double cover = ARTClamp01(style.outlineWidth + 0.5 - d);
                px = ARTColourMix(px, style.outline, cover);
            }
            const double cover = ARTClamp01(0.5 - d);
            if (cover <= 0.0) {
                continue;
            }
            const double t = ARTClamp01((p.y - gy0) / (gy1 - gy0));
            ARTCOLOUR fill = ARTColourMix(style.top, style.bottom, t);
            if (style.gloss > 0.0) {
                // A shine over the upper part of the face, its lower edge a
                // gentle slant softened over a pixel.
                const double edge = gy0 + (gy1 - gy0) * 0.42 + (p.x - x0) * 0.12 - (p.y - gy0);
                fill = ARTColourMix(fill, ARTCOLOUR{1.0, 1.0, 1.0}, style.gloss * ARTClamp01(edge + 0.5));
            }
            if (style.bevelWidth > 0.0) {
                const ARTVEC2 n = ARTShapeNormal(shape, p);
                const double facing = n.x * light.x + n.y * light.y;
                // Full bevel shading inside the band, fading out over one pixel.
                const double band = ARTClamp01(style.bevelWidth + 0.5 + d);
                const double k = 1.0 + style.bevelStrength * facing * band;
                fill = ARTColourScale(fill, k);
                if (k > 1.0) {
                    // Lit bevel sides also whiten a little, like a highlight.
                    fill = ARTColourMix(fill, ARTCOLOUR{1.0, 1.0, 1.0}, (k - 1.0) * 0.5);
                }
            }
            px = ARTColourMix(px, fill, cover);
        }
    }
}

void ARTDrawShadow(ARTCANVAS& canvas, const ARTSHAPE& shape, double dx, double dy, double strength, int x0, int y0,
                   int x1, int y1) {
    clipToCanvas(canvas, x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const double d = ARTShapeDistance(shape, {x + 0.5 - dx, y + 0.5 - dy});
            const double cover = ARTClamp01(0.75 - d / 1.5);
            ARTCOLOUR& px = ARTCanvasAt(canvas, x, y);
            px = ARTColourScale(px, 1.0 - strength * cover);
        }
    }
}

void ARTCanvasDropFringe(ARTCANVAS& canvas, double threshold) {
    for (ARTCOLOUR& c : canvas.pixels) {
        if (std::max({c.r, c.g, c.b}) < threshold) {
            c = {0.0, 0.0, 0.0};
        }
    }
}
