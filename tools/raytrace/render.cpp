// Whitted-style shading: ambient, diffuse and specular light from two soft
// lights with shadows, mirror reflections, an environment for reflected rays
// that leave the scene, and supersampling with soft-shadow light positions.
#include "tools/raytrace/render.h"

#include <algorithm>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"RTRENDER", "20261208", "Tordeval", "C++     ", "CODE    "};

struct Light {
    RAYVEC position;
    double radius;     // spread of the soft-shadow positions
    double intensity;
};

struct Surface {
    RAYVEC colour;
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
double powInt(double x, int n) {
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

RAYVEC fromColour(ARTCOLOUR c) { return {c.r, c.g, c.b}; }

// What reflected rays see when they leave the scene: a dark floor below the
// horizon, a sky brightening toward the zenith above, and a bright studio
// light band high up, so that metal facing different ways shines differently.
RAYVEC environment(RAYVEC d) {
    const RAYVEC horizon = {0.30, 0.26, 0.42};
    if (d.y <= 0.0) {
        const double t = std::min(1.0, -d.y * 3.0);
        return horizon * (1.0 - t) + RAYVEC{0.04, 0.03, 0.08} * t;
    }
    RAYVEC sky = horizon * (1.0 - d.y) + RAYVEC{0.85, 0.92, 1.0} * d.y;
    if (d.y > 0.30 && d.y < 0.42) {
        sky = sky + RAYVEC{1.0, 0.95, 0.85};
    }
    return sky;
}

Surface surfaceAt(const RAYSCENE& scene, const RAYHIT& hit) {
    switch (hit.material) {
        case RAYMATERIAL::board: {
            // A dark slate checkerboard, neutral so every letter colour stands out.
            const double cell = 0.6;
            const int cx = static_cast<int>(std::floor(hit.point.x / cell));
            const int cy = static_cast<int>(std::floor(hit.point.y / cell));
            const bool odd = ((cx + cy) & 1) != 0;
            const RAYVEC c = odd ? RAYVEC{0.09, 0.09, 0.13} : RAYVEC{0.17, 0.16, 0.23};
            return {c, 0.35, 0.8, 0.35, 24, 0.22, false};
        }
        case RAYMATERIAL::frame:
            return {{0.95, 0.70, 0.25}, 0.12, 0.3, 1.0, 64, 0.75, true};
        case RAYMATERIAL::chrome:
            return {{0.92, 0.94, 1.0}, 0.05, 0.15, 1.0, 96, 0.78, true};
        case RAYMATERIAL::letter:
        default: {
            // Rainbow through the letters in reading order, each letter taking
            // its share of the hues from its top left to its bottom right.
            double hue = 0.0;
            if (hit.letter >= 0 && static_cast<std::size_t>(hit.letter) < scene.letters.size()) {
                const RAYBOUNDS& b = scene.letters[static_cast<std::size_t>(hit.letter)];
                const double u = (hit.point.x - b.left) / (b.right - b.left);
                const double v = (b.top - hit.point.y) / (b.top - b.bottom);
                const double along = std::clamp(0.4 * u + 0.6 * v, 0.0, 1.0);
                hue = 0.8 * (hit.letter + along) / static_cast<double>(scene.letters.size());
            }
            const RAYVEC c = fromColour(ARTColourHue(hue)) * 0.88 + RAYVEC{0.12, 0.12, 0.12};
            return {c, 0.3, 0.8, 0.7, 40, 0.14, false};
    }
    }
}

// Soft-shadow offset of sample k: a 3 x 3 pattern in the light's disc, in a
// different order from the pixel's sample positions.
RAYVEC lightOffset(int k, double radius) {
    const int j = (k * 5 + 2) % 9;
    return {((j % 3) - 1) * radius * 0.66, ((j / 3) - 1) * radius * 0.66, 0.0};
}

RAYVEC shade(const RAYSCENE& scene, RAYVEC origin, RAYVEC dir, int depth, int sample, bool& hitAnything) {
    RAYHIT hit{};
    if (!RAYSceneTrace(scene, origin, dir, epsilon, 1e30, hit)) {
        hitAnything = false;
        return environment(dir);
    }
    hitAnything = true;
    const Surface s = surfaceAt(scene, hit);
    RAYVEC n = hit.normal;
    if (RAYDot(n, dir) > 0.0) {
        n = n * -1.0;
    }
    const RAYVEC p = hit.point + n * 1e-5;
    RAYVEC colour = s.colour * s.ambient;
    for (const Light& light : lights) {
        const RAYVEC toLight = (light.position + lightOffset(sample, light.radius)) - p;
        const double distance = RAYLength(toLight);
        const RAYVEC l = toLight * (1.0 / distance);
        const double lambert = RAYDot(n, l);
        if (lambert <= 0.0) {
            continue;
        }
        RAYHIT blocker{};
        if (RAYSceneTrace(scene, p, l, epsilon, distance, blocker)) {
            continue;
        }
        colour = colour + s.colour * (s.diffuse * lambert * light.intensity);
        const double highlight = RAYDot(RAYReflect(l * -1.0, n), dir * -1.0);
        if (highlight > 0.0) {
            const double shine = s.specular * powInt(highlight, s.shininess) * light.intensity;
            colour = colour + (s.metal ? s.colour * shine : RAYVEC{shine, shine, shine});
        }
    }
    if (s.reflect > 0.0 && depth < maxDepth) {
        bool unused = false;
        const RAYVEC mirrored = shade(scene, p, RAYNormalize(RAYReflect(dir, n)), depth + 1, sample, unused);
        colour = colour + (s.metal ? RAYMul(mirrored, s.colour) : mirrored) * s.reflect;
    }
    return colour;
}

}  // namespace

ARTCANVAS RAYRenderScene(const RAYSCENE& scene, int width, int height, int samples, double viewAspect) {
    ARTCANVAS canvas = ARTCanvasMake(width, height);
    std::vector<bool> opaque(canvas.pixels.size(), false);
    // Camera above and a little to the right, looking down at the board.
    const RAYVEC eye = {1.6, 4.2, 19.0};
    const RAYVEC target = {0.05, -0.1, 0.0};
    const RAYVEC forward = RAYNormalize(target - eye);
    const RAYVEC right = RAYNormalize(RAYCross(forward, {0.0, 1.0, 0.0}));
    const RAYVEC up = RAYCross(right, forward);
    const double halfHeight = 0.335;
    const double halfWidth = halfHeight * viewAspect;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            RAYVEC sum{0.0, 0.0, 0.0};
            int hits = 0;
            for (int k = 0; k < samples * samples; ++k) {
                const double fx = (x + ((k % samples) + 0.5) / samples) / width;
                const double fy = (y + ((k / samples) + 0.5) / samples) / height;
                const RAYVEC dir = RAYNormalize(forward + right * ((2.0 * fx - 1.0) * halfWidth) +
                                                up * ((1.0 - 2.0 * fy) * halfHeight));
                bool hit = false;
                const RAYVEC c = shade(scene, eye, dir, 0, k, hit);
                if (hit) {
                    sum = sum + c;
                    ++hits;
                }
            }
            // Mostly missed: transparent black. Otherwise the average of the
            // rays that hit, so edges do not fade into dark fringes.
            if (2 * hits >= samples * samples) {
                const RAYVEC c = sum * (1.0 / hits);
                ARTCanvasAt(canvas, x, y) = {c.x, c.y, c.z};
                opaque[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                    true;
            }
        }
    }
    ARTCanvasKeepOpaque(canvas, opaque);
    return canvas;
}
