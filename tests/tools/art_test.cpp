// Tests of the letterforms and the canvas output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "img/img.h"
#include "tools/art/canvas.h"
#include "tools/art/shapes.h"

namespace {

double OutlineLength(const ARTSHAPE& s) {
    double sum = 0.0;
    for (const ARTSEGMENT& g : s.outline) {
        sum += std::hypot(g.b.x - g.a.x, g.b.y - g.a.y);
    }
    return sum;
}

TEST(ArtShapes, OutlineDropsEdgesInsideTheLetter) {
    // L: two overlapping bars; the union's perimeter is that of its box.
    const ARTGLYPH l = ARTGlyphGet('L');
    EXPECT_NEAR(OutlineLength(l.shape), 2 * (l.width + 1.0), 1e-9);
    // E: a point on the stem's right edge, inside the top bar, lies within
    // the letter, half a stroke from the top edge.
    const ARTGLYPH e = ARTGlyphGet('E');
    EXPECT_NEAR(ARTShapeDistance(e.shape, {0.27, 0.135}), -0.135, 1e-9);
    // E: the top bar's left edge lies on the stem's; it is outline too (the
    // ray tracer chamfers both, or the bar's corner would stand out square).
    bool barLeftEdge = false;
    const ARTPOLY& bar = e.shape.polys[1];
    for (std::size_t k = 0; k < bar.v.size(); ++k) {
        const ARTVEC2 a = bar.v[k];
        const ARTVEC2 b = bar.v[(k + 1) % bar.v.size()];
        if (a.x == 0.0 && b.x == 0.0) {
            barLeftEdge = ARTShapeEdgeOnOutline(e.shape, 1, static_cast<int>(k));
        }
    }
    EXPECT_TRUE(barLeftEdge);
    // V: the two halves meet on the centre line, which is not outline.
    const ARTGLYPH v = ARTGlyphGet('V');
    EXPECT_LT(ARTShapeDistance(v.shape, {0.5, 0.8}), -0.05);
    int shared = 0;
    for (int p = 0; p < 2; ++p) {
        for (int k = 0; k < static_cast<int>(v.shape.polys[static_cast<std::size_t>(p)].v.size()); ++k) {
            shared += ARTShapeEdgeOnOutline(v.shape, p, k) ? 0 : 1;
        }
    }
    EXPECT_EQ(shared, 2);  // the centre edge of each half
}

TEST(ArtShapes, GlyphPiecesAreConvexAndPositive) {
    // The ray tracer extrudes every piece as a convex solid.
    for (const char c : {'V', 'E', 'L', 'M', '*'}) {
        const ARTGLYPH g = ARTGlyphGet(c);
        ASSERT_FALSE(g.shape.polys.empty()) << c;
        for (const ARTPOLY& p : g.shape.polys) {
            const std::size_t n = p.v.size();
            for (std::size_t i = 0; i < n; ++i) {
                const ARTVEC2 a = p.v[i];
                const ARTVEC2 b = p.v[(i + 1) % n];
                const ARTVEC2 d = p.v[(i + 2) % n];
                const double turn = (b.x - a.x) * (d.y - b.y) - (b.y - a.y) * (d.x - b.x);
                EXPECT_GT(turn, 0.0) << c << " vertex " << i;
            }
        }
        EXPECT_TRUE(ARTGlyphGet('?').shape.polys.empty());
    }
}

TEST(ArtShapes, DistanceAndNormal) {
    ARTSHAPE box;
    box.polys = {ARTPolyRect(0, 0, 4, 2)};
    ARTShapeBuildOutline(box);
    EXPECT_NEAR(ARTShapeDistance(box, {6, 1}), 2.0, 1e-12);
    EXPECT_NEAR(ARTShapeDistance(box, {1, 1.5}), -0.5, 1e-12);
    EXPECT_NEAR(ARTShapeDistance(box, {7, 6}), 5.0, 1e-12);  // from the corner
    const ARTVEC2 out = ARTShapeNormal(box, {6, 1});
    EXPECT_NEAR(out.x, 1.0, 1e-12);
    EXPECT_NEAR(out.y, 0.0, 1e-12);
    const ARTVEC2 in = ARTShapeNormal(box, {1, 1.5});  // nearest edge is the bottom
    EXPECT_NEAR(in.x, 0.0, 1e-12);
    EXPECT_NEAR(in.y, 1.0, 1e-12);
    const ARTVEC2 on = ARTShapeNormal(box, {2, 0});
    EXPECT_NEAR(on.y, -1.0, 1e-12);
}

TEST(ArtShapes, WordLayout) {
    const double width = ARTShapeWordWidth("VELM", 10.0, 2.0);
    EXPECT_NEAR(width, (1.0 + 0.76 + 0.72 + 1.14) * 10.0 + 3 * 2.0, 1e-9);
    const ARTSHAPE word = ARTShapeWord("VELM", 5.0, 3.0, 10.0, 2.0);
    double lo = 1e300, hi = -1e300, top = 1e300, bottom = -1e300;
    for (const ARTPOLY& p : word.polys) {
        for (const ARTVEC2& q : p.v) {
            lo = std::min(lo, q.x);
            hi = std::max(hi, q.x);
            top = std::min(top, q.y);
            bottom = std::max(bottom, q.y);
        }
    }
    EXPECT_NEAR(lo, 5.0, 1e-9);
    EXPECT_NEAR(hi, 5.0 + width, 1e-9);
    EXPECT_NEAR(top, 3.0, 1e-9);
    EXPECT_NEAR(bottom, 13.0, 1e-9);
}

TEST(ArtCanvas, ColoursAndBytes) {
    EXPECT_EQ(ARTColourByte(-0.5), 0);
    EXPECT_EQ(ARTColourByte(2.0), 255);
    EXPECT_EQ(ARTColourByte(0.4 / 255.0), 0);
    EXPECT_EQ(ARTColourByte(0.6 / 255.0), 1);
    const ARTCOLOUR green = ARTColourHue(1.0 / 3.0);
    EXPECT_EQ(ARTColourByte(green.r), 0);
    EXPECT_EQ(ARTColourByte(green.g), 255);
    const ARTCOLOUR wrapped = ARTColourHue(-1.0);  // a whole turn back is red
    EXPECT_EQ(ARTColourByte(wrapped.r), 255);
    EXPECT_EQ(ARTColourByte(wrapped.g), 0);
    EXPECT_EQ(ARTColourByte(wrapped.b), 0);
}

TEST(ArtCanvas, PPMBytesAndOpaqueBlack) {
    ARTCANVAS c = ARTCanvasMake(2, 1);
    ARTCanvasAt(c, 1, 0) = {1.0, 0.5, 0.0};
    EXPECT_EQ(ARTCanvasToPPM(c, {"one", "two"}), std::string("P6\n# one\n# two\n2 1\n255\n\0\0\0\xFF\x80\0", 29));
    // Opaque pixels that would be written as 0 0 0 are raised; transparent
    // ones stay black.
    ARTCANVAS d = ARTCanvasMake(3, 1);
    ARTCanvasAt(d, 1, 0) = {0.001, 0.0, 0.0};
    ARTCanvasAt(d, 2, 0) = {0.5, 0.0, 0.0};
    ARTCanvasKeepOpaque(d, {false, true, true});
    const std::string bytes = ARTCanvasToPPM(d, {"x"});
    EXPECT_EQ(bytes.substr(bytes.size() - 9), std::string("\0\0\0\1\1\1\x80\0\0", 9));
}

}  // namespace
