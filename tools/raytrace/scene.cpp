// Scene of the logotype: a board in the plane z = 0 facing the viewer, a
// mitred picture frame round it, the letters V E over L M extruded from the
// shared letterforms with chamfered front edges, and four chrome balls.
#include "tools/raytrace/scene.h"

#include <algorithm>
#include <utility>

#include "img/img.h"
#include "tools/art/shapes.h"

namespace {
[[maybe_unused]] const IDENT ident = {"RTSCENE ", "20261208", "Tordeval", "C++     ", "CODE    "};
}

RAYSOLID RAYPrism(std::vector<RAYPOINT> v, double z0, double z1, const std::vector<bool>& chamfer,
                  const std::vector<RAYBEVEL>& bevels, RAYMATERIAL material) {
    double area = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const RAYPOINT a = v[i];
        const RAYPOINT b = v[(i + 1) % v.size()];
        area += a.x * b.y - a.y * b.x;
    }
    std::vector<bool> flags = chamfer;
    flags.resize(v.size(), false);
    if (area < 0.0) {
        // Counter-clockwise order keeps the outward normal on the right.
        // Reversed, edge j runs from old vertex n-1-j to n-2-j: old edge n-2-j.
        const std::size_t n = v.size();
        std::reverse(v.begin(), v.end());
        std::vector<bool> moved(n);
        for (std::size_t j = 0; j < n; ++j) {
            moved[j] = flags[(2 * n - 2 - j) % n];
        }
        flags = moved;
    }
    RAYSOLID s;
    s.material = material;
    s.letter = -1;
    s.boxMin = {1e300, 1e300, z0};
    s.boxMax = {-1e300, -1e300, z1};
    for (std::size_t i = 0; i < v.size(); ++i) {
        const RAYPOINT a = v[i];
        const RAYPOINT b = v[(i + 1) % v.size()];
        const double rx = b.x - a.x;
        const double ry = b.y - a.y;
        const double len = std::sqrt(rx * rx + ry * ry);
        if (len == 0.0) {
            continue;  // repeated vertex: no edge
        }
        const RAYVEC m = {ry / len, -rx / len, 0.0};
        s.planes.push_back({m, m.x * a.x + m.y * a.y});
        if (flags[i]) {
            for (const RAYBEVEL& bevel : bevels) {
                const RAYVEC n = RAYNormalize({m.x * bevel.slope, m.y * bevel.slope, 1.0});
                const RAYVEC p = {a.x - m.x * bevel.inset, a.y - m.y * bevel.inset, z1};
                s.planes.push_back({n, RAYDot(n, p)});
            }
        }
        s.boxMin.x = std::min(s.boxMin.x, a.x);
        s.boxMin.y = std::min(s.boxMin.y, a.y);
        s.boxMax.x = std::max(s.boxMax.x, a.x);
        s.boxMax.y = std::max(s.boxMax.y, a.y);
    }
    s.planes.push_back({{0.0, 0.0, 1.0}, z1});
    s.planes.push_back({{0.0, 0.0, -1.0}, -z0});
    return s;
}

namespace {

// Ray against a convex solid: the entering plane's t and normal.
bool solidHit(const RAYSOLID& s, RAYVEC o, RAYVEC d, double tMin, double tMax, double& tHit, RAYVEC& normal) {
    // Bounding box slabs first.
    double lo = tMin;
    double hi = tMax;
    const double oa[3] = {o.x, o.y, o.z};
    const double da[3] = {d.x, d.y, d.z};
    const double mn[3] = {s.boxMin.x, s.boxMin.y, s.boxMin.z};
    const double mx[3] = {s.boxMax.x, s.boxMax.y, s.boxMax.z};
    for (int k = 0; k < 3; ++k) {
        if (da[k] == 0.0) {
            if (oa[k] < mn[k] || oa[k] > mx[k]) {
                return false;
            }
            continue;
        }
        double t0 = (mn[k] - oa[k]) / da[k];
        double t1 = (mx[k] - oa[k]) / da[k];
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        lo = std::max(lo, t0);
        hi = std::min(hi, t1);
        if (lo > hi) {
            return false;
        }
    }
    double tNear = -1e300;
    double tFar = 1e300;
    RAYVEC n{0.0, 0.0, 1.0};
    for (const RAYPLANE& p : s.planes) {
        const double denom = RAYDot(p.n, d);
        const double dist = p.d - RAYDot(p.n, o);
        if (denom == 0.0) {
            if (dist < 0.0) {
                return false;
            }
            continue;
        }
        const double t = dist / denom;
        if (denom < 0.0) {
            if (t > tNear) {
                tNear = t;
                n = p.n;
            }
        } else if (t < tFar) {
            tFar = t;
        }
        if (tNear > tFar) {
            return false;
        }
    }
    // Rays starting inside a solid (never the case here) count as misses.
    if (tNear <= tMin || tNear >= tMax) {
        return false;
    }
    tHit = tNear;
    normal = n;
    return true;
}

bool sphereHit(const RAYSPHERE& s, RAYVEC o, RAYVEC d, double tMin, double tMax, double& tHit) {
    const RAYVEC oc = o - s.centre;
    const double b = RAYDot(oc, d);
    const double c = RAYDot(oc, oc) - s.radius * s.radius;
    const double disc = b * b - c;
    if (disc < 0.0) {
        return false;
    }
    const double root = std::sqrt(disc);
    double t = -b - root;
    if (t <= tMin) {
        t = -b + root;
    }
    if (t <= tMin || t >= tMax) {
        return false;
    }
    tHit = t;
    return true;
}

}  // namespace

RAYSCENE RAYSceneBuild() {
    RAYSCENE scene{};
    const double outer = 5.0;   // frame's outer half size
    const double inner = 4.3;   // frame's inner half size, the board's visible edge
    // Board, reaching under the frame.
    scene.solids.push_back(RAYPrism({{-outer, -outer}, {outer, -outer}, {outer, outer}, {-outer, outer}}, -0.6, 0.0,
                                    {false, false, false, false}, {}, RAYMATERIAL::board));
    // Frame: four mitred bars, chamfered along their outer and inner edges.
    const RAYPOINT o[4] = {{-outer, outer}, {outer, outer}, {outer, -outer}, {-outer, -outer}};
    const RAYPOINT i[4] = {{-inner, inner}, {inner, inner}, {inner, -inner}, {-inner, -inner}};
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        scene.solids.push_back(RAYPrism({o[k], o[n], i[n], i[k]}, -0.6, 0.55, {true, false, true, false},
                                        {{0.16, 1.6}, {0.5, 0.45}}, RAYMATERIAL::frame));
    }
    // A chrome moulding along the frame's inner edge.
    const double lip = inner - 0.2;
    const RAYPOINT l[4] = {{-lip, lip}, {lip, lip}, {lip, -lip}, {-lip, -lip}};
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        scene.solids.push_back(RAYPrism({i[k], i[n], l[n], l[k]}, -0.6, 0.2, {false, false, true, false},
                                        {{0.1, 1.0}}, RAYMATERIAL::chrome));
    }
    // Letters: V E over L M, centred, extruded from the board.
    const double height = 3.35;
    const double gap = 0.4;
    const double rowGap = 0.6;
    const char* rows[2] = {"VE", "LM"};
    for (int r = 0; r < 2; ++r) {
        const double width = ARTShapeWordWidth(rows[r], height, gap);
        const double top = height + rowGap / 2 - r * (height + rowGap);
        double left = -width / 2;
        for (const char* c = rows[r]; *c != '\0'; ++c) {
            // Each letter's own outline decides which of its edges are chamfered.
            const ARTGLYPH g = ARTGlyphGet(*c);
            const ARTSHAPE shape = ARTShapeTransform(g.shape, height, height, 0.0, 0.0);
            const int letter = static_cast<int>(scene.letters.size());
            RAYBOUNDS b{1e300, -1e300, -1e300, 1e300};
            for (std::size_t k = 0; k < shape.polys.size(); ++k) {
                const ARTPOLY& p = shape.polys[k];
                // Only edges on the letter's outline get a chamfer; edges inside
                // the letter (where two pieces meet) stay square.
                std::vector<bool> chamfer;
                std::vector<RAYPOINT> v;
                for (std::size_t e = 0; e < p.v.size(); ++e) {
                    chamfer.push_back(ARTShapeEdgeOnOutline(shape, static_cast<int>(k), static_cast<int>(e)));
                    const RAYPOINT w = {left + p.v[e].x, top - p.v[e].y};
                    v.push_back(w);
                    b = {std::min(b.left, w.x), std::max(b.right, w.x), std::max(b.top, w.y),
                         std::min(b.bottom, w.y)};
                }
                scene.solids.push_back(RAYPrism(v, -0.1, 0.7, chamfer, {{0.11, 1.0}}, RAYMATERIAL::letter));
                scene.solids.back().letter = letter;
            }
            scene.letters.push_back(b);
            left += g.width * height + gap;
        }
    }
    // Chrome balls in the board's corners.
    const double ball = 0.32;
    const double at = inner - 0.55;
    for (const RAYPOINT c : {RAYPOINT{-at, at}, RAYPOINT{at, at}, RAYPOINT{at, -at}, RAYPOINT{-at, -at}}) {
        scene.spheres.push_back({{c.x, c.y, ball}, ball, RAYMATERIAL::chrome});
    }
    return scene;
}

bool RAYSceneTrace(const RAYSCENE& scene, RAYVEC origin, RAYVEC dir, double tMin, double tMax, RAYHIT& hit) {
    bool found = false;
    double best = tMax;
    for (const RAYSOLID& s : scene.solids) {
        double t = 0.0;
        RAYVEC n{};
        if (solidHit(s, origin, dir, tMin, best, t, n)) {
            best = t;
            hit.normal = n;
            hit.material = s.material;
            hit.letter = s.letter;
            found = true;
        }
    }
    for (const RAYSPHERE& s : scene.spheres) {
        double t = 0.0;
        if (sphereHit(s, origin, dir, tMin, best, t)) {
            best = t;
            hit.normal = RAYNormalize((origin + dir * t) - s.centre);
            hit.material = s.material;
            hit.letter = -1;
            found = true;
        }
    }
    if (found) {
        hit.t = best;
        hit.point = origin + dir * best;
    }
    return found;
}
