// RAY: three-component vectors of the ray tracer (x right, y up, z toward the viewer).
#pragma once

#include <cmath>

struct RAYVEC {
    double x;
    double y;
    double z;
};

inline RAYVEC operator+(RAYVEC a, RAYVEC b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline RAYVEC operator-(RAYVEC a, RAYVEC b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline RAYVEC operator*(RAYVEC a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline RAYVEC RAYMul(RAYVEC a, RAYVEC b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
inline double RAYDot(RAYVEC a, RAYVEC b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline RAYVEC RAYCross(RAYVEC a, RAYVEC b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double RAYLength(RAYVEC a) { return std::sqrt(RAYDot(a, a)); }
inline RAYVEC RAYNormalize(RAYVEC a) {
    const double len = RAYLength(a);
    return len > 0.0 ? a * (1.0 / len) : a;
}
// Mirror direction of d about the unit normal n.
inline RAYVEC RAYReflect(RAYVEC d, RAYVEC n) { return d - n * (2.0 * RAYDot(d, n)); }
