// Painting letter shapes: gradient fill, bevel, outline, shadow.
#include "tools/art/letters.h"

#include <algorithm>
#include <cmath>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ARTLETTR", "20261208", "Tordeval", "C++     ", "CODE    "};
}

namespace art {

namespace {
// Narrows the box x0..x1, y0..y1 (ends exclusive) to the canvas.
void ClipToCanvas(const Canvas& canvas, int& x0, int& y0, int& x1, int& y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, canvas.width);
    y1 = std::min(y1, canvas.height);
}
}  // namespace

void DrawLetter(Canvas& canvas, const Shape& shape, const LetterStyle& style, int x0, int y0, int x1,
                int y1, double gy0, double gy1) {
    // Light from the upper left, as a unit vector in y-down coordinates.
    const Vec2 light = {-0.6, -0.8};
    ClipToCanvas(canvas, x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Vec2 p = {x + 0.5, y + 0.5};
            const double d = ShapeDistance(shape, p);
            Colour& px = CanvasAt(canvas, x, y);
            if (style.outlineWidth > 0.0) {
                const double cover = Clamp01(style.outlineWidth + 0.5 - d);
                px = ColourMix(px, style.outline, cover);
            }
            const double cover = Clamp01(0.5 - d);
            if (cover <= 0.0) {
                continue;
            }
            const double t = Clamp01((p.y - gy0) / (gy1 - gy0));
            Colour fill = ColourMix(style.top, style.bottom, t);
            if (style.gloss > 0.0) {
                // A shine over the upper part of the face, its lower edge a
                // gentle slant softened over a pixel.
                const double edge = gy0 + (gy1 - gy0) * 0.42 + (p.x - x0) * 0.12 - (p.y - gy0);
                fill = ColourMix(fill, Colour{1.0, 1.0, 1.0}, style.gloss * Clamp01(edge + 0.5));
            }
            if (style.bevelWidth > 0.0) {
                const Vec2 n = ShapeNormal(shape, p);
                const double facing = n.x * light.x + n.y * light.y;
                // Full bevel shading inside the band, fading out over one pixel.
                const double band = Clamp01(style.bevelWidth + 0.5 + d);
                const double k = 1.0 + style.bevelStrength * facing * band;
                fill = ColourScale(fill, k);
                if (k > 1.0) {
                    // Lit bevel sides also whiten a little, like a highlight.
                    fill = ColourMix(fill, Colour{1.0, 1.0, 1.0}, (k - 1.0) * 0.5);
                }
            }
            px = ColourMix(px, fill, cover);
        }
    }
}

void DrawShadow(Canvas& canvas, const Shape& shape, double dx, double dy, double strength, int x0,
                int y0, int x1, int y1) {
    ClipToCanvas(canvas, x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const double d = ShapeDistance(shape, {x + 0.5 - dx, y + 0.5 - dy});
            const double cover = Clamp01(0.75 - d / 1.5);
            Colour& px = CanvasAt(canvas, x, y);
            px = ColourScale(px, 1.0 - strength * cover);
        }
    }
}

void CanvasDropFringe(Canvas& canvas, double threshold) {
    for (Colour& c : canvas.pixels) {
        if (std::max({c.r, c.g, c.b}) < threshold) {
            c = {0.0, 0.0, 0.0};
        }
    }
}

}  // namespace art
