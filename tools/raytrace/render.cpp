// Whitted-style shading: ambient, diffuse and specular light from two soft
// lights with shadows, mirror reflections, an environment for reflected rays
// that leave the scene, and supersampling with soft-shadow light positions.
#include "tools/raytrace/render.h"

#include <algorithm>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"RTRENDER", "20261208", "Tordeval", "C++     ", "CODE    "};
}

namespace rt {
namespace {

struct Light {
    Vec3 position;
    double radius;     // spread of the soft-shadow positions
    double intensity;
};

struct Surface {
    Vec3 colour;
    double ambient;
    double diffuse;
    double specular;
    int shininess;     // power of the highlight, a whole number
    double reflect;
    bool metal;        // reflections tinted by the colour
};

constexpr Light lights[] = {
    {{-9.0, 11.0, 15.0}, 1.6, 0.85},
    {{11.0, 3.0, 12.0}, 2.0, 0.35},
};
constexpr int maxDepth = 3;
constexpr double epsilon = 1e-6;

// Whole-number power by repeated squaring (no library power function).
double PowInt(double x, int n) {
    double result = 1.0;
    while (n > 0) {
        if ((n & 1) != 0) {
            result *= x;
        }
        x *= x;
        n >>= 1;
    }
    return result;
}

Vec3 FromColour(art::Colour c) { return {c.r, c.g, c.b}; }

// What reflected rays see when they leave the scene: a dark floor below the
// horizon, a sky brightening toward the zenith above, and a bright studio
// light band high up, so that metal facing different ways shines differently.
Vec3 Environment(Vec3 d) {
    const Vec3 horizon = {0.30, 0.26, 0.42};
    if (d.y <= 0.0) {
        const double t = std::min(1.0, -d.y * 3.0);
        return horizon * (1.0 - t) + Vec3{0.04, 0.03, 0.08} * t;
    }
    Vec3 sky = horizon * (1.0 - d.y) + Vec3{0.85, 0.92, 1.0} * d.y;
    if (d.y > 0.30 && d.y < 0.42) {
        sky = sky + Vec3{1.0, 0.95, 0.85};
    }
    return sky;
}

Surface SurfaceAt(const Scene& scene, const Hit& hit) {
    switch (hit.material) {
    case Material::Board: {
        // A dark slate checkerboard, neutral so every letter colour stands out.
        const double cell = 0.6;
        const int cx = static_cast<int>(std::floor(hit.point.x / cell));
        const int cy = static_cast<int>(std::floor(hit.point.y / cell));
        const bool odd = ((cx + cy) & 1) != 0;
        const Vec3 c = odd ? Vec3{0.09, 0.09, 0.13} : Vec3{0.17, 0.16, 0.23};
        return {c, 0.35, 0.8, 0.35, 24, 0.22, false};
    }
    case Material::Frame:
        return {{0.95, 0.70, 0.25}, 0.12, 0.3, 1.0, 64, 0.75, true};
    case Material::Chrome:
        return {{0.92, 0.94, 1.0}, 0.05, 0.15, 1.0, 96, 0.78, true};
    case Material::Letter:
    default: {
        // Rainbow through the letters in reading order, each letter taking
        // its share of the hues from its top left to its bottom right.
        double hue = 0.0;
        if (hit.letter >= 0 && static_cast<std::size_t>(hit.letter) < scene.letters.size()) {
            const Bounds& b = scene.letters[static_cast<std::size_t>(hit.letter)];
            const double u = (hit.point.x - b.left) / (b.right - b.left);
            const double v = (b.top - hit.point.y) / (b.top - b.bottom);
            const double along = std::clamp(0.4 * u + 0.6 * v, 0.0, 1.0);
            hue = 0.8 * (hit.letter + along) / static_cast<double>(scene.letters.size());
        }
        const Vec3 c = FromColour(art::ColourHue(hue)) * 0.88 + Vec3{0.12, 0.12, 0.12};
        return {c, 0.3, 0.8, 0.7, 40, 0.14, false};
    }
    }
}

// Soft-shadow offset of sample k: a 3 x 3 pattern in the light's disc, in a
// different order from the pixel's sample positions.
Vec3 LightOffset(int k, double radius) {
    const int j = (k * 5 + 2) % 9;
    return {((j % 3) - 1) * radius * 0.66, ((j / 3) - 1) * radius * 0.66, 0.0};
}

Vec3 Shade(const Scene& scene, Vec3 origin, Vec3 dir, int depth, int sample, bool& hitAnything) {
    Hit hit{};
    if (!SceneTrace(scene, origin, dir, epsilon, 1e30, hit)) {
        hitAnything = false;
        return Environment(dir);
    }
    hitAnything = true;
    const Surface s = SurfaceAt(scene, hit);
    Vec3 n = hit.normal;
    if (Dot(n, dir) > 0.0) {
        n = n * -1.0;
    }
    const Vec3 p = hit.point + n * 1e-5;
    Vec3 colour = s.colour * s.ambient;
    for (const Light& light : lights) {
        const Vec3 toLight = (light.position + LightOffset(sample, light.radius)) - p;
        const double distance = Length(toLight);
        const Vec3 l = toLight * (1.0 / distance);
        const double lambert = Dot(n, l);
        if (lambert <= 0.0) {
            continue;
        }
        Hit blocker{};
        if (SceneTrace(scene, p, l, epsilon, distance, blocker)) {
            continue;
        }
        colour = colour + s.colour * (s.diffuse * lambert * light.intensity);
        const double highlight = Dot(Reflect(l * -1.0, n), dir * -1.0);
        if (highlight > 0.0) {
            const double shine = s.specular * PowInt(highlight, s.shininess) * light.intensity;
            colour = colour + (s.metal ? s.colour * shine : Vec3{shine, shine, shine});
        }
    }
    if (s.reflect > 0.0 && depth < maxDepth) {
        bool unused = false;
        const Vec3 mirrored = Shade(scene, p, Normalize(Reflect(dir, n)), depth + 1, sample, unused);
        colour = colour + (s.metal ? Mul(mirrored, s.colour) : mirrored) * s.reflect;
    }
    return colour;
}

}  // namespace

art::Canvas RenderScene(const Scene& scene, int width, int height, int samples, double viewAspect) {
    art::Canvas canvas = art::CanvasMake(width, height);
    std::vector<bool> opaque(canvas.pixels.size(), false);
    // Camera above and a little to the right, looking down at the board.
    const Vec3 eye = {1.6, 4.2, 19.0};
    const Vec3 target = {0.05, -0.1, 0.0};
    const Vec3 forward = Normalize(target - eye);
    const Vec3 right = Normalize(Cross(forward, {0.0, 1.0, 0.0}));
    const Vec3 up = Cross(right, forward);
    const double halfHeight = 0.335;
    const double halfWidth = halfHeight * viewAspect;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Vec3 sum{0.0, 0.0, 0.0};
            int hits = 0;
            for (int k = 0; k < samples * samples; ++k) {
                const double fx = (x + ((k % samples) + 0.5) / samples) / width;
                const double fy = (y + ((k / samples) + 0.5) / samples) / height;
                const Vec3 dir = Normalize(forward + right * ((2.0 * fx - 1.0) * halfWidth) +
                                           up * ((1.0 - 2.0 * fy) * halfHeight));
                bool hit = false;
                const Vec3 c = Shade(scene, eye, dir, 0, k, hit);
                if (hit) {
                    sum = sum + c;
                    ++hits;
                }
            }
            // Mostly missed: transparent black. Otherwise the average of the
            // rays that hit, so edges do not fade into dark fringes.
            if (2 * hits >= samples * samples) {
                const Vec3 c = sum * (1.0 / hits);
                art::CanvasAt(canvas, x, y) = {c.x, c.y, c.z};
                opaque[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                    true;
            }
        }
    }
    art::CanvasKeepOpaque(canvas, opaque);
    return canvas;
}

}  // namespace rt
