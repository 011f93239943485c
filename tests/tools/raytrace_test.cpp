// Tests of the ray tracer's solids, the logotype scene and the render rules.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/art/canvas.h"
#include "tools/raytrace/render.h"
#include "tools/raytrace/scene.h"

namespace {

// Looks straight down the z axis at (x, y) from far in front.
bool Drop(const RAYSCENE& scene, double x, double y, RAYHIT& hit) {
    return RAYSceneTrace(scene, {x, y, 50.0}, {0.0, 0.0, -1.0}, 1e-6, 1e30, hit);
}

TEST(RaytraceSolids, ChamferFollowsItsEdgeInEitherTurningOrder) {
    // A 2 x 2 x 1 block with only its y = 0 edge chamfered; listed once
    // counter-clockwise and once clockwise, with that edge first both times.
    const std::vector<std::vector<RAYPOINT>> orders = {{{0, 0}, {2, 0}, {2, 2}, {0, 2}},
                                                       {{2, 0}, {0, 0}, {0, 2}, {2, 2}}};
    for (const auto& v : orders) {
        RAYSCENE scene{};
        scene.solids.push_back(RAYPrism(v, 0.0, 1.0, {true, false, false, false}, {{0.5, 1.0}}, RAYMATERIAL::board));
        RAYHIT hit{};
        ASSERT_TRUE(Drop(scene, 1.0, 0.1, hit));
        EXPECT_NEAR(hit.point.z, 0.6, 1e-9);  // 0.4 down the 45-degree cut
        EXPECT_LT(hit.normal.y, -0.5);
        ASSERT_TRUE(Drop(scene, 1.0, 1.9, hit));
        EXPECT_NEAR(hit.point.z, 1.0, 1e-9);  // the other edges stay square
        EXPECT_NEAR(hit.normal.z, 1.0, 1e-9);
        EXPECT_FALSE(Drop(scene, 2.5, 1.0, hit));
        // A ray along the block's face plane, outside it, misses.
        EXPECT_FALSE(RAYSceneTrace(scene, {-1.0, 1.0, 2.0}, {1.0, 0.0, 0.0}, 1e-6, 1e30, hit));
    }
}

TEST(RaytraceScene, WhatLiesWhere) {
    const RAYSCENE scene = RAYSceneBuild();
    RAYHIT hit{};
    EXPECT_FALSE(Drop(scene, 5.5, 5.5, hit));  // beyond the frame: nothing
    ASSERT_TRUE(Drop(scene, 4.7, 0.0, hit));
    EXPECT_EQ(hit.material, RAYMATERIAL::frame);
    EXPECT_GT(hit.point.z, 0.3);
    ASSERT_TRUE(Drop(scene, 0.0, -3.9, hit));  // below the letters
    EXPECT_EQ(hit.material, RAYMATERIAL::board);
    EXPECT_NEAR(hit.point.z, 0.0, 1e-9);
    ASSERT_TRUE(Drop(scene, 3.75, 3.75, hit));
    EXPECT_EQ(hit.material, RAYMATERIAL::chrome);
    EXPECT_NEAR(hit.point.z, 0.64, 1e-9);  // top of the ball
    // Upper arm of the V, the first letter.
    const RAYBOUNDS& v = scene.letters.at(0);
    ASSERT_TRUE(Drop(scene, v.left + 0.5, v.top - 0.2, hit));
    EXPECT_EQ(hit.material, RAYMATERIAL::letter);
    EXPECT_EQ(hit.letter, 0);
    EXPECT_NEAR(hit.point.z, 0.7, 1e-9);
}

TEST(RaytraceScene, LettersInReadingOrderInsideTheFrame) {
    const RAYSCENE scene = RAYSceneBuild();
    ASSERT_EQ(scene.letters.size(), 4u);
    const RAYBOUNDS* b = scene.letters.data();
    EXPECT_LT(b[0].right, b[1].left);   // V before E
    EXPECT_LT(b[2].right, b[3].left);   // L before M
    EXPECT_LT(b[2].top, b[0].bottom);   // second row below the first
    EXPECT_LT(b[3].top, b[1].bottom);
    for (int i = 0; i < 4; ++i) {
        // Clear of the chrome moulding and of the balls in the corners.
        EXPECT_GT(b[i].left, -4.1);
        EXPECT_LT(b[i].right, 4.1);
        EXPECT_LT(b[i].top, 4.1);
        EXPECT_GT(b[i].bottom, -4.1);
        for (const RAYSPHERE& s : scene.spheres) {
            const bool apartX = s.centre.x + s.radius < b[i].left || s.centre.x - s.radius > b[i].right;
            const bool apartY = s.centre.y + s.radius < b[i].bottom || s.centre.y - s.radius > b[i].top;
            EXPECT_TRUE(apartX || apartY) << "letter " << i;
        }
    }
}

TEST(RaytraceRender, BlackOnlyWhereTheViewMissesAndRepeatable) {
    const RAYSCENE scene = RAYSceneBuild();
    const ARTCANVAS a = RAYRenderScene(scene, 32, 25, 1, 192.0 / 224.0);
    const ARTCANVAS b = RAYRenderScene(scene, 32, 25, 1, 192.0 / 224.0);
    const std::string pa = ARTCanvasToPPM(a, {"a"});
    EXPECT_EQ(pa, ARTCanvasToPPM(b, {"a"}));
    auto byteAt = [&](int x, int y, int c) {
        return static_cast<unsigned char>(pa[pa.size() - 32 * 25 * 3 + static_cast<std::size_t>((y * 32 + x) * 3 + c)]);
    };
    for (const auto& corner : {std::pair{0, 0}, std::pair{31, 0}, std::pair{0, 24}, std::pair{31, 24}}) {
        EXPECT_EQ(byteAt(corner.first, corner.second, 0) | byteAt(corner.first, corner.second, 1) |
                      byteAt(corner.first, corner.second, 2),
                  0)
            << corner.first << "," << corner.second;
    }
    // Across the middle row every pixel hits the board, frame or letters.
    for (int x = 4; x < 28; ++x) {
        EXPECT_NE(byteAt(x, 12, 0) | byteAt(x, 12, 1) | byteAt(x, 12, 2), 0) << x;
    }
}

}  // namespace
