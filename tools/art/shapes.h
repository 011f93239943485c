// ART: letter outlines of the show's art: each glyph is a union of convex polygons
// in a unit design space (height 1, y pointing down), shared by the 2D art and
// the ray tracer so every picture uses the same letterforms.
#pragma once

#include <vector>

struct ARTVEC2 {
    double x;
    double y;
};

// A convex polygon with positive signed area (vertices turn the same way).
struct ARTPOLY {
    std::vector<ARTVEC2> v;
};

struct ARTSEGMENT {
    ARTVEC2 a;
    ARTVEC2 b;
};

// A union of convex polygons and, once built, the pieces of their edges that
// lie on the outline of the union (each piece once, even where edges of two
// polygons coincide).
struct ARTSHAPE {
    std::vector<ARTPOLY> polys;
    std::vector<ARTSEGMENT> outline;
};

struct ARTGLYPH {
    ARTSHAPE shape;  // in design units, height 1
    double width;    // advance width in design units
};

// Polygon with its vertices put in positive orientation.
ARTPOLY ARTPolyMake(std::vector<ARTVEC2> vertices);
// Axis-aligned rectangle as a polygon.
ARTPOLY ARTPolyRect(double x0, double y0, double x1, double y1);

// The letterforms: 'V', 'E', 'L', 'M', and '*' (a five-pointed star). Any other
// character gives an empty glyph.
ARTGLYPH ARTGlyphGet(char c);

// Shape scaled by (sx, sy) and then moved by (dx, dy); the outline is rebuilt.
ARTSHAPE ARTShapeTransform(const ARTSHAPE& shape, double sx, double sy, double dx, double dy);
// Shapes of a word laid out left to right from (x, y) at the given height with
// the given gap between letters (both in target units), merged into one shape.
ARTSHAPE ARTShapeWord(const char* word, double x, double y, double height, double gap);
// Width of that word's layout.
double ARTShapeWordWidth(const char* word, double height, double gap);

// Recomputes the outline segments of the union.
void ARTShapeBuildOutline(ARTSHAPE& shape);
// True when some piece of edge `edge` of polygon `poly` is on the outline.
bool ARTShapeEdgeOnOutline(const ARTSHAPE& shape, int poly, int edge);
// True when p lies inside (or on the edge of) one of the polygons.
bool ARTShapeInside(const ARTSHAPE& shape, ARTVEC2 p);
// Distance from p to the outline: negative inside, positive outside.
double ARTShapeDistance(const ARTSHAPE& shape, ARTVEC2 p);
// Outward unit normal of the distance field at p: the direction from the
// nearest outline point (away from the inside).
ARTVEC2 ARTShapeNormal(const ARTSHAPE& shape, ARTVEC2 p);
