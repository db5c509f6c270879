#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "pipeline/clip.h"
#include "pipeline/transform.h"
#include "test_support.h"

namespace {

// The classification steps as listed, nested branch for branch, as the reference for the
// flat form the library uses.
int32_t ClassifyByTheSteps(float x, float y, float z)
{
    int32_t f = z > 4500.0f ? 32 : 0;
    if (z > 0) {
        if (x > 0) { if (x >= z) f += 1; } else { if (-x >= z) f += 2; }
        if (y > 0) { if (y >= z) f += 4; } else { if (-y >= z) f += 8; }
    } else {
        f += 16;
        if (x < 0) { f += 2; if (x > z) f += 1; } else { f += 1; if (x < -z) f += 2; }
        if (y < 0) { f += 8; if (y > z) f += 4; } else { f += 4; if (y < -z) f += 8; }
    }
    return f;
}

struct Block {
    std::vector<Vector3> positions;
    std::vector<ScreenVertex> screen;
    VertexBlock block{};
    explicit Block(std::vector<Vector3> p) : positions(std::move(p)), screen(positions.size())
    {
        block = VertexBlock{positions.data(), screen.data(), int32_t(positions.size())};
    }
};

Camera UnitCamera()
{
    Camera c{};
    c.projectionScaleX = c.projectionScaleY = 1.0f;
    return c;
}

}  // namespace

TEST(TransformMeshVertices, KeepsSummationOrderAndTouchesOnlyViewFields)
{
    Block b({{1.0f, 1e8f, -1e8f}, {2, 3, 4}});
    for (ScreenVertex& v : b.screen) {
        v.screenX = v.screenY = v.red = v.u = v.v2 = v.alpha = 7.5f;
        v.clipFlags = 99;
    }
    Matrix m{};
    m.m[0] = m.m[1] = m.m[2] = 1.0f;   // x' = x + y + z: 1 only when z and y go first
    m.m[5] = m.m[10] = 1.0f;
    m.m[7] = 0.5f;
    TransformMeshVertices(b.block, m);
    EXPECT_EQ(b.screen[0].x, 1.0f);
    EXPECT_EQ(b.screen[1].x, 9.0f);
    EXPECT_EQ(b.screen[1].y, 3.5f);
    EXPECT_EQ(b.screen[1].z, 4.0f);
    for (const ScreenVertex& v : b.screen) {
        EXPECT_EQ(v.screenX, 7.5f);
        EXPECT_EQ(v.clipFlags, 99);
        EXPECT_EQ(v.alpha, 7.5f);
    }

    std::vector<float> points = {1.0f, 1e8f, -1e8f, 2, 3, 4};
    TransformPointBuffer(b.block, m, points.data(), points.data());   // in place
    EXPECT_EQ(points, (std::vector<float>{1.0f, 1e8f, -1e8f, 9, 3.5f, 4}));
}

TEST(ProjectMeshVertices, ClassificationTable)
{
    struct Case { float x, y, z; int32_t flags; };
    const Case cases[] = {
        {0, 0, 10, 0},    {10, 0, 10, 1},   {-10, 0, 10, 2},  {0, 10, 10, 4},
        {0, -10, 10, 8},  {0, 0, 5000, 32}, {9.99f, 0, 10, 0}, {3, 0, -5, 31},
        {-3, 0, -5, 31},  {-7, 0, -5, 30},  {0, -7, -5, 27},  {0, 0, 0, 16 + 1 + 4},
    };
    std::vector<Vector3> p;
    for (const Case& c : cases) p.push_back({c.x, c.y, c.z});
    Block b(p);
    Matrix identity;
    MatrixIdentity(&identity);
    TransformMeshVertices(b.block, identity);
    ProjectMeshVertices(b.block, UnitCamera());
    for (size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(b.screen[i].clipFlags, cases[i].flags) << "case " << i;
        EXPECT_EQ(b.screen[i].x, p[i].x);   // identity copies the positions exactly
    }
    EXPECT_EQ(b.screen[0].screenX, 0.0f);
    EXPECT_EQ(b.screen[0].screenY, 0.0f);
    EXPECT_EQ(b.screen[3].screenY, -1.0f);
    EXPECT_TRUE(std::isinf(b.screen[11].screenX) || std::isnan(b.screen[11].screenX));

    Camera wide = UnitCamera();
    wide.projectionScaleX = 2.0f;
    wide.projectionScaleY = 0.5f;
    b.screen[0] = ViewVertex(5, 4, 10);
    ProjectMeshVertices(b.block, wide);
    EXPECT_EQ(b.screen[0].screenX, 1.0f);
    EXPECT_EQ(b.screen[0].screenY, -0.2f);
}

TEST(ProjectMeshVertices, SameBitsAsStepsAndAsComputeClipFlags)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> edgeValues = {0.0f, -0.0f, 1, -1, 5, -5, 4500, 4500.001f, inf, -inf, nan};
    std::vector<Vector3> points;
    for (float x : edgeValues)
        for (float y : edgeValues)
            for (float z : edgeValues) points.push_back({x, y, z});
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> d(-20, 20);
    for (int n = 0; n < 20000; ++n) {
        const float z = d(rng);
        // Half the points exactly on a side plane, where the tests are strict or not.
        points.push_back({n % 2 ? z : d(rng), n % 4 == 1 ? -z : d(rng), z});
    }
    Block b(points);
    for (size_t i = 0; i < points.size(); ++i)
        b.screen[i] = ViewVertex(points[i].x, points[i].y, points[i].z);
    ProjectMeshVertices(b.block, UnitCamera());
    for (size_t i = 0; i < points.size(); ++i) {
        const Vector3& p = points[i];
        ASSERT_EQ(b.screen[i].clipFlags, ClassifyByTheSteps(p.x, p.y, p.z))
            << p.x << ", " << p.y << ", " << p.z;
        ScreenVertex v = ViewVertex(p.x, p.y, p.z);
        ComputeClipFlags(&v);
        ASSERT_EQ(v.clipFlags, b.screen[i].clipFlags);
    }
}

TEST(TransformMeshVertices, NegativeCountTouchesNothing)
{
    Block b({{1, 2, 3}});
    b.screen[0] = ViewVertex(7, 7, 7);
    b.block.count = -5;
    Matrix identity;
    MatrixIdentity(&identity);
    TransformMeshVertices(b.block, identity);
    ProjectMeshVertices(b.block, UnitCamera());
    EXPECT_EQ(b.screen[0].x, 7.0f);
    EXPECT_EQ(b.screen[0].clipFlags, 0);
}
