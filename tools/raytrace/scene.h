// The logotype's scene: convex solids (intersections of half-spaces) and
// spheres, each with a material, and the nearest hit along a ray.
#pragma once

#include <vector>

#include "tools/raytrace/vec3.h"

namespace rt {

enum class Material { Board, Frame, Letter, Chrome };

// Half-space n . p <= d.
struct Plane {
    Vec3 n;
    double d;
};

struct Solid {
    std::vector<Plane> planes;
    int letter;   // index of the letter a letter solid belongs to, else -1
    Vec3 boxMin;  // bounding box, for a quick rejection
    Vec3 boxMax;
    Material material;
};

struct Sphere {
    Vec3 centre;
    double radius;
    Material material;
};

// Extent of one letter, for the rainbow colouring.
struct Bounds {
    double left;
    double right;
    double top;
    double bottom;
};

struct Scene {
    std::vector<Solid> solids;
    std::vector<Sphere> spheres;
    std::vector<Bounds> letters;  // in reading order
};

struct Hit {
    double t;
    Vec3 point;
    Vec3 normal;
    Material material;
    int letter;
};

struct P2 {
    double x;
    double y;
};

// One facet cut along a front edge: it meets the front face `inset` inside
// the edge and falls by `slope` per unit outward (1 is 45 degrees).
struct Bevel {
    double inset;
    double slope;
};

// Prism over a convex polygon (either turning order) from z0 to z1; edge i
// runs from v[i] to v[i+1], and edges flagged in `chamfer` get the given
// facets along the front face.
Solid Prism(std::vector<P2> v, double z0, double z1, const std::vector<bool>& chamfer,
            const std::vector<Bevel>& bevels, Material material);
// The board, its frame, the extruded letters and the decoration.
Scene SceneBuild();
// Nearest hit with t in (tMin, tMax); false when the ray hits nothing.
bool SceneTrace(const Scene& scene, Vec3 origin, Vec3 dir, double tMin, double tMax, Hit& hit);

}  // namespace rt
