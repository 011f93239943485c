// Three-component vectors of the ray tracer (x right, y up, z toward the viewer).
#pragma once

#include <cmath>

namespace rt {

struct Vec3 {
    double x;
    double y;
    double z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline Vec3 Mul(Vec3 a, Vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalize(Vec3 a) {
    const double len = Length(a);
    return len > 0.0 ? a * (1.0 / len) : a;
}
// Mirror direction of d about the unit normal n.
inline Vec3 Reflect(Vec3 d, Vec3 n) { return d - n * (2.0 * Dot(d, n)); }

}  // namespace rt
