// Letterforms as unions of convex polygons, and the outline and distance
// field of such a union.
#include "tools/art/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ARTSHAPE", "20261208", "Tordeval", "C++     ", "CODE    "};

ARTVEC2 sub(ARTVEC2 a, ARTVEC2 b) { return {a.x - b.x, a.y - b.y}; }
double cross(ARTVEC2 a, ARTVEC2 b) { return a.x * b.y - a.y * b.x; }
double dot(ARTVEC2 a, ARTVEC2 b) { return a.x * b.x + a.y * b.y; }

// Signed area times two.
double area2(const std::vector<ARTVEC2>& v) {
    double sum = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        sum += cross(v[i], v[(i + 1) % v.size()]);
    }
    return sum;
}

// Closed inside test of one convex polygon.
bool polyInside(const ARTPOLY& poly, ARTVEC2 p) {
    const std::size_t n = poly.v.size();
    if (n < 3) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const ARTVEC2 a = poly.v[i];
        const ARTVEC2 b = poly.v[(i + 1) % n];
        if (cross(sub(b, a), sub(p, a)) < 0.0) {
            return false;
        }
    }
    return true;
}

// Distance from p to the segment and the nearest point on it.
double segmentDistance(const ARTSEGMENT& s, ARTVEC2 p, ARTVEC2& nearest) {
    const ARTVEC2 r = sub(s.b, s.a);
    const double len2 = dot(r, r);
    double t = len2 > 0.0 ? dot(sub(p, s.a), r) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    nearest = {s.a.x + r.x * t, s.a.y + r.y * t};
    const ARTVEC2 d = sub(p, nearest);
    return std::sqrt(dot(d, d));
}

// True when p lies on the segment (within rounding).
bool onSegment(const ARTSEGMENT& s, ARTVEC2 p) {
    const ARTVEC2 r = sub(s.b, s.a);
    const double len2 = dot(r, r);
    if (len2 == 0.0) {
        return false;
    }
    const ARTVEC2 q = sub(p, s.a);
    const double along = dot(q, r);
    return std::fabs(cross(r, q)) <= 1e-9 * std::sqrt(len2) && along >= 0.0 && along <= len2;
}

// Five-pointed star from kites (tip, inner corner, centre, inner corner);
// unit directions at 36-degree steps starting straight up.
ARTSHAPE starShape() {
    static const ARTVEC2 dirs[10] = {{0.0, -1.0},
                                     {0.5877852522924731, -0.8090169943749475},
                                     {0.9510565162951535, -0.3090169943749474},
                                     {0.9510565162951535, 0.3090169943749474},
                                     {0.5877852522924731, 0.8090169943749475},
                                     {0.0, 1.0},
                                     {-0.5877852522924731, 0.8090169943749475},
                                     {-0.9510565162951535, 0.3090169943749474},
                                     {-0.9510565162951535, -0.3090169943749474},
                                     {-0.5877852522924731, -0.8090169943749475}};
    const ARTVEC2 c = {0.55, 0.55};
    const double outer = 0.55;
    const double inner = 0.25;
    ARTSHAPE s;
    for (int k = 0; k < 10; k += 2) {
        const ARTVEC2 tip = {c.x + dirs[k].x * outer, c.y + dirs[k].y * outer};
        const ARTVEC2 a = {c.x + dirs[(k + 1) % 10].x * inner, c.y + dirs[(k + 1) % 10].y * inner};
        const ARTVEC2 b = {c.x + dirs[(k + 9) % 10].x * inner, c.y + dirs[(k + 9) % 10].y * inner};
        s.polys.push_back(ARTPolyMake({tip, a, c, b}));
    }
    return s;
}

}  // namespace

ARTPOLY ARTPolyMake(std::vector<ARTVEC2> vertices) {
    if (area2(vertices) < 0.0) {
        std::reverse(vertices.begin(), vertices.end());
    }
    return ARTPOLY{std::move(vertices)};
}

ARTPOLY ARTPolyRect(double x0, double y0, double x1, double y1) {
    return ARTPolyMake({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

ARTGLYPH ARTGlyphGet(char c) {
    // Stroke of the upright stems and bars, in units of the letter height.
    const double s = 0.27;
    ARTGLYPH g{{}, 0.0};
    switch (c) {
    case 'V': {
        // Two mirrored halves meeting on the centre line, so no edge of one
        // crosses the other.
        const double w = 1.0;
        const double arm = 0.31;     // horizontal width of an arm at the top
        const double foot = 0.14;    // half width of the flat foot
        const double crotch = 0.58;  // where the inner edges meet
        g.shape.polys = {ARTPolyMake({{0, 0}, {arm, 0}, {w / 2, crotch}, {w / 2, 1}, {w / 2 - foot, 1}}),
                         ARTPolyMake({{w - arm, 0}, {w, 0}, {w / 2 + foot, 1}, {w / 2, 1}, {w / 2, crotch}})};
        g.width = w;
        break;
    }
    case 'E': {
        const double w = 0.76;
        const double mid = s * 0.46;
        g.shape.polys = {ARTPolyRect(0, 0, s, 1), ARTPolyRect(0, 0, w, s),
                         ARTPolyRect(0, 0.5 - mid, w - 0.08, 0.5 + mid), ARTPolyRect(0, 1 - s, w, 1)};
        g.width = w;
        break;
    }
    case 'L': {
        const double w = 0.72;
        g.shape.polys = {ARTPolyRect(0, 0, s, 1), ARTPolyRect(0, 1 - s, w, 1)};
        g.width = w;
        break;
    }
    case 'M': {
        const double w = 1.14;
        const double arm = 0.31;
        const double foot = 0.12;
        const double depth = 0.74;   // how far the middle reaches down
        const double crotch = 0.5;   // where the inner edges meet
        g.shape.polys = {ARTPolyRect(0, 0, s, 1), ARTPolyRect(w - s, 0, w, 1),
                         ARTPolyMake({{0, 0}, {arm, 0}, {w / 2, crotch}, {w / 2, depth}, {w / 2 - foot, depth}}),
                         ARTPolyMake({{w - arm, 0}, {w, 0}, {w / 2 + foot, depth}, {w / 2, depth}, {w / 2, crotch}})};
        g.width = w;
        break;
    }
    case '*':
        g.shape = starShape();
        g.width = 1.1;
        break;
    default:
        break;
    }
    ARTShapeBuildOutline(g.shape);
    return g;
}

ARTSHAPE ARTShapeTransform(const ARTSHAPE& shape, double sx, double sy, double dx, double dy) {
    ARTSHAPE out;
    for (const ARTPOLY& p : shape.polys) {
        std::vector<ARTVEC2> v;
        for (const ARTVEC2& q : p.v) {
            v.push_back({q.x * sx + dx, q.y * sy + dy});
        }
        out.polys.push_back(ARTPolyMake(std::move(v)));
    }
    ARTShapeBuildOutline(out);
    return out;
}

double ARTShapeWordWidth(const char* word, double height, double gap) {
    double width = 0.0;
    const std::size_t n = std::strlen(word);
    for (std::size_t i = 0; i < n; ++i) {
        width += ARTGlyphGet(word[i]).width * height + (i + 1 < n ? gap : 0.0);
    }
    return width;
}

ARTSHAPE ARTShapeWord(const char* word, double x, double y, double height, double gap) {
    ARTSHAPE out;
    for (const char* c = word; *c != '\0'; ++c) {
        const ARTGLYPH g = ARTGlyphGet(*c);
        const ARTSHAPE placed = ARTShapeTransform(g.shape, height, height, x, y);
        out.polys.insert(out.polys.end(), placed.polys.begin(), placed.polys.end());
        x += g.width * height + gap;
    }
    ARTShapeBuildOutline(out);
    return out;
}

void ARTShapeBuildOutline(ARTSHAPE& shape) {
    shape.outline.clear();
    for (std::size_t i = 0; i < shape.polys.size(); ++i) {
        const std::vector<ARTVEC2>& v = shape.polys[i].v;
        for (std::size_t e = 0; e < v.size(); ++e) {
            const ARTVEC2 a = v[e];
            const ARTVEC2 b = v[(e + 1) % v.size()];
            const ARTVEC2 r = sub(b, a);
            const double len = std::sqrt(dot(r, r));
            if (len == 0.0) {
                continue;
            }
            // Split the edge wherever another polygon's edge crosses or
            // touches it, then keep the pieces with inside on one side only.
            std::vector<double> cuts = {0.0, 1.0};
            for (std::size_t j = 0; j < shape.polys.size(); ++j) {
                if (j == i) {
                    continue;
                }
                const std::vector<ARTVEC2>& w = shape.polys[j].v;
                for (std::size_t f = 0; f < w.size(); ++f) {
                    const ARTVEC2 c = w[f];
                    const ARTVEC2 d = w[(f + 1) % w.size()];
                    const ARTVEC2 q = sub(d, c);
                    const double denom = cross(r, q);
                    if (std::fabs(denom) > 1e-12 * len) {
                        const double t = cross(sub(c, a), q) / denom;
                        const double u = cross(sub(c, a), r) / denom;
                        if (t > 0.0 && t < 1.0 && u >= 0.0 && u <= 1.0) {
                            cuts.push_back(t);
                        }
                    } else if (std::fabs(cross(sub(c, a), r)) <= 1e-9 * len) {
                        for (const ARTVEC2 end : {c, d}) {
                            const double t = dot(sub(end, a), r) / (len * len);
                            if (t > 0.0 && t < 1.0) {
                                cuts.push_back(t);
                            }
                        }
                    }
                }
            }
            std::sort(cuts.begin(), cuts.end());
            const ARTVEC2 normal = {-r.y / len, r.x / len};
            const double eps = 1e-6;
            for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
                if (cuts[k + 1] - cuts[k] < 1e-12) {
                    continue;
                }
                const double t = (cuts[k] + cuts[k + 1]) / 2;
                const ARTVEC2 m = {a.x + r.x * t, a.y + r.y * t};
                const bool left = ARTShapeInside(shape, {m.x + normal.x * eps, m.y + normal.y * eps});
                const bool right = ARTShapeInside(shape, {m.x - normal.x * eps, m.y - normal.y * eps});
                if (left != right) {
                    // Where edges of several polygons coincide, the first polygon's
                    // edge carries the piece.
                    bool earlier = false;
                    for (std::size_t j = 0; j < i && !earlier; ++j) {
                        const std::vector<ARTVEC2>& w = shape.polys[j].v;
                        for (std::size_t f = 0; f < w.size() && !earlier; ++f) {
                            earlier = onSegment({w[f], w[(f + 1) % w.size()]}, m);
                        }
                    }
                    if (!earlier) {
                        shape.outline.push_back({{a.x + r.x * cuts[k], a.y + r.y * cuts[k]},
                                                 {a.x + r.x * cuts[k + 1], a.y + r.y * cuts[k + 1]}});
                    }
                }
            }
        }
    }
}

bool ARTShapeEdgeOnOutline(const ARTSHAPE& shape, int poly, int edge) {
    if (poly < 0 || static_cast<std::size_t>(poly) >= shape.polys.size()) {
        return false;
    }
    const std::vector<ARTVEC2>& v = shape.polys[static_cast<std::size_t>(poly)].v;
    if (edge < 0 || static_cast<std::size_t>(edge) >= v.size()) {
        return false;
    }
    const ARTSEGMENT e = {v[static_cast<std::size_t>(edge)], v[(static_cast<std::size_t>(edge) + 1) % v.size()]};
    for (const ARTSEGMENT& s : shape.outline) {
        if (onSegment(e, {(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2})) {
            return true;
        }
    }
    return false;
}

bool ARTShapeInside(const ARTSHAPE& shape, ARTVEC2 p) {
    for (const ARTPOLY& poly : shape.polys) {
        if (polyInside(poly, p)) {
            return true;
        }
    }
    return false;
}

double ARTShapeDistance(const ARTSHAPE& shape, ARTVEC2 p) {
    double best = 1e300;
    ARTVEC2 nearest{};
    for (const ARTSEGMENT& s : shape.outline) {
        best = std::min(best, segmentDistance(s, p, nearest));
    }
    return ARTShapeInside(shape, p) ? -best : best;
}

ARTVEC2 ARTShapeNormal(const ARTSHAPE& shape, ARTVEC2 p) {
    double best = 1e300;
    ARTVEC2 at{};
    ARTVEC2 edge{0.0, -1.0};
    for (const ARTSEGMENT& s : shape.outline) {
        ARTVEC2 nearest{};
        const double d = segmentDistance(s, p, nearest);
        if (d < best) {
            best = d;
            at = nearest;
            const ARTVEC2 r = sub(s.b, s.a);
            const double len = std::sqrt(dot(r, r));
            edge = {r.y / len, -r.x / len};
        }
    }
    if (best < 1e-9) {
        return edge;  // on the outline: the edge's own normal
    }
    const double sign = ARTShapeInside(shape, p) ? -1.0 : 1.0;
    return {(p.x - at.x) / best * sign, (p.y - at.y) / best * sign};
}
