// RAY: the logotype's scene: convex solids (intersections of half-spaces) and
// spheres, each with a material, and the nearest hit along a ray.
#pragma once

#include <vector>

#include "tools/raytrace/vec3.h"

enum class RAYMATERIAL { board, frame, letter, chrome };

// Half-space n . p <= d.
struct RAYPLANE {
    RAYVEC n;
    double d;
};

struct RAYSOLID {
    std::vector<RAYPLANE> planes;
    int letter;     // index of the letter a letter solid belongs to, else -1
    RAYVEC boxMin;  // bounding box, for a quick rejection
    RAYVEC boxMax;
    RAYMATERIAL material;
};

struct RAYSPHERE {
    RAYVEC centre;
    double radius;
    RAYMATERIAL material;
};

// Extent of one letter, for the rainbow colouring.
struct RAYBOUNDS {
    double left;
    double right;
    double top;
    double bottom;
};

struct RAYSCENE {
    std::vector<RAYSOLID> solids;
    std::vector<RAYSPHERE> spheres;
    std::vector<RAYBOUNDS> letters;  // in reading order
};

struct RAYHIT {
    double t;
    RAYVEC point;
    RAYVEC normal;
    RAYMATERIAL material;
    int letter;
};

struct RAYPOINT {
    double x;
    double y;
};

// One facet cut along a front edge: it meets the front face `inset` inside
// the edge and falls by `slope` per unit outward (1 is 45 degrees).
struct RAYBEVEL {
    double inset;
    double slope;
};

// Prism over a convex polygon (either turning order) from z0 to z1; edge i
// runs from v[i] to v[i+1], and edges flagged in `chamfer` get the given
// facets along the front face.
RAYSOLID RAYPrism(std::vector<RAYPOINT> v, double z0, double z1, const std::vector<bool>& chamfer,
                  const std::vector<RAYBEVEL>& bevels, RAYMATERIAL material);
// The board, its frame, the extruded letters and the decoration.
RAYSCENE RAYSceneBuild();
// Nearest hit with t in (tMin, tMax); false when the ray hits nothing.
bool RAYSceneTrace(const RAYSCENE& scene, RAYVEC origin, RAYVEC dir, double tMin, double tMax, RAYHIT& hit);
