#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "pipeline/clip.h"
#include "pipeline/polygon_list.h"
#include "test_support.h"

namespace {

ScreenVertex Classified(float x, float y, float z)
{
    ScreenVertex v = ViewVertex(x, y, z);
    ComputeClipFlags(&v);
    return v;
}

void SetAttributes(ScreenVertex* v, float value)
{
    v->red = v->green = v->blue = v->alpha = v->u = v->v = v->u2 = v->v2 = value;
}

void ExpectAttributes(const ScreenVertex& v, float value)
{
    for (float f : {v.red, v.green, v.blue, v.alpha, v.u, v.v, v.u2, v.v2}) EXPECT_FLOAT_EQ(f, value);
}

struct ClipFixture : ::testing::Test {
    RecordingRenderer drawn;
    ScreenProjection projection = ViewToScreen;
    size_t Clip(ScreenVertex a, ScreenVertex b, ScreenVertex c, int32_t plane = 1)
    {
        drawn.single.clear();
        DrawClippedTriangle(drawn, projection, &a, &b, &c, plane);
        return drawn.single.size();
    }
};

}  // namespace

TEST(ClipEdge, CrossingsOnEachPlane)
{
    struct Case { float bx, by; int32_t plane; float x, y; };
    const Case cases[] = {{4, 0, ClipRight, 4.0f / 3, 0},  {-4, 0, ClipLeft, -4.0f / 3, 0},
                          {0, 4, ClipTop, 0, 4.0f / 3},    {0, -4, ClipBottom, 0, -4.0f / 3}};
    for (const Case& c : cases) {
        ScreenVertex a = ViewVertex(0, 0, 2), b = ViewVertex(c.bx, c.by, 0), out{};
        SetAttributes(&b, 3.0f);
        ClipEdge(a, b, &out, c.plane);
        EXPECT_FLOAT_EQ(out.x, c.x);
        EXPECT_FLOAT_EQ(out.y, c.y);
        EXPECT_FLOAT_EQ(out.z, 4.0f / 3);
        ExpectAttributes(out, 1.0f);   // one third of the way from a to b
    }
}

TEST(ClipEdge, DegenerateEdgesStillInterpolate)
{
    // Constant depth: the crossing x = z = 10 is halfway along, so are y and attributes.
    ScreenVertex a = ViewVertex(0, 0, 10), b = ViewVertex(20, 4, 10), out{};
    SetAttributes(&b, 1.0f);
    ClipEdge(a, b, &out, ClipRight);
    EXPECT_EQ(out.x, 10.0f);
    EXPECT_EQ(out.z, 10.0f);
    EXPECT_FLOAT_EQ(out.y, 2.0f);
    ExpectAttributes(out, 0.5f);

    // Constant x: the guarded divisor still finds z = 5, halfway from z = 2 to z = 8.
    a = ViewVertex(5, 1, 2);
    b = ViewVertex(5, 3, 8);
    ClipEdge(a, b, &out, ClipRight);
    EXPECT_NEAR(out.z, 5.0f, 1e-5);
    EXPECT_NEAR(out.y, 2.0f, 1e-5);

    ClipEdge(a, b, &out, 32);   // not a side plane
    EXPECT_EQ(out.z, 2.0f);
}

TEST_F(ClipFixture, DrawCountsPerCase)
{
    const ScreenVertex in1 = Classified(0, 0, 10), in2 = Classified(0, 5, 10);
    const ScreenVertex right1 = Classified(20, 0, 10), right2 = Classified(20, 5, 10);
    EXPECT_EQ(Clip(right1, in1, in2), 2u);
    EXPECT_EQ(Clip(in1, right1, in2), 2u);
    EXPECT_EQ(Clip(right1, right2, in1), 1u);
    EXPECT_EQ(Clip(right2, in1, right1), 1u);
    EXPECT_EQ(Clip(right1, right2, Classified(30, 1, 10)), 0u);
    EXPECT_EQ(Clip(Classified(-20, 0, 10), Classified(20, 0, 10), Classified(0, 30, 10)), 4u);   // right: 2, left: 3, top: 4
    EXPECT_EQ(Clip(right1, in1, in2, 0), 2u);    // below 1 counts as the first plane
    EXPECT_EQ(Clip(right1, in1, in2, 16), 1u);   // past the last plane: drawn as is
    EXPECT_EQ(Clip(right1, in1, in2, 2), 1u);    // right plane counts as passed
}

TEST_F(ClipFixture, FarOnlyTriangleIsEmittedWithRecomputedScreenFields)
{
    projection = ScreenProjection{0.5f, 0.25f, 2, 3};
    ScreenVertex a = Classified(0, 0, 5000), b = Classified(100, 0, 5000), c = Classified(0, 100, 5000);
    ASSERT_EQ(c.clipFlags, ClipFar);
    a.screenX = 99;
    ASSERT_EQ(Clip(a, b, c), 1u);
    const auto& t = drawn.single[0];
    EXPECT_EQ(t[1].x, 100.0f);
    EXPECT_EQ(t[0].screenX, 0.5f);
    EXPECT_EQ(t[1].screenX, (2.0f * 100.0f) * (1.0f / 5000.0f) + 0.5f);
    EXPECT_EQ(t[2].screenY, 0.25f - (3.0f * 100.0f) * (1.0f / 5000.0f));
}

TEST_F(ClipFixture, EmissionWritesIntoTheRecordsHandedIn)
{
    ScreenVertex a = Classified(1, 2, 4), b = Classified(0, 0, 4), c = Classified(2, 0, 4);
    DrawClippedTriangle(drawn, projection, &a, &b, &c, 1);
    EXPECT_EQ(a.screenX, 0.25f);
    EXPECT_EQ(a.screenY, -0.5f);
}

TEST_F(ClipFixture, EmissionAloneProjectsAndDrawsWithoutLookingAtTheFlags)
{
    projection = ScreenProjection{0.5f, 0.25f, 2, 3};
    // Outside the right plane and hidden: emitted all the same, on the path asked for.
    ScreenVertex a = ViewVertex(8, 2, 4), b = ViewVertex(0, 0, 4), c = ViewVertex(2, 0, 4);
    a.clipFlags = ClipRight | ClipHidden;
    EmitTriangle(drawn, projection, &a, &b, &c);
    EmitTriangleDualTexture(drawn, projection, &a, &b, &c);
    ASSERT_EQ(drawn.single.size(), 1u);
    ASSERT_EQ(drawn.dual.size(), 1u);
    EXPECT_EQ(a.screenX, (2.0f * 8.0f) * 0.25f + 0.5f);
    EXPECT_EQ(a.screenY, 0.25f - (3.0f * 2.0f) * 0.25f);
    EXPECT_EQ(drawn.dual[0][0].screenX, a.screenX);
    EXPECT_EQ(drawn.single[0][2].screenX, 1.5f);
}

TEST_F(ClipFixture, DualTextureDropsHiddenVertices)
{
    ScreenVertex a = Classified(0, 0, 10), b = Classified(1, 0, 10), c = Classified(0, 1, 10);
    c.clipFlags |= ClipHidden;
    DrawClippedTriangleDualTexture(drawn, projection, &a, &b, &c, 1);
    EXPECT_TRUE(drawn.dual.empty());
    EXPECT_EQ(Clip(a, b, c), 1u);   // the single-texture clipper ignores the bit

    c.clipFlags &= ~ClipHidden;
    ScreenVertex right = Classified(20, 0, 10);
    drawn.single.clear();
    DrawClippedTriangleDualTexture(drawn, projection, &right, &b, &c, 1);
    EXPECT_EQ(drawn.dual.size(), 2u);
    EXPECT_TRUE(drawn.single.empty());
}

// Reference: the triangle clipped in double precision against the four half-spaces of
// the pyramid, one Sutherland-Hodgman pass each, then projected; returns the polygon's
// area on the view plane and its least depth.
static double ReferenceClippedArea(const ScreenVertex* t[3], double* nearest)
{
    struct P { double x, y, z; };
    std::vector<P> poly;
    for (int i = 0; i < 3; ++i) poly.push_back({t[i]->x, t[i]->y, t[i]->z});
    const double sx[4] = {-1, 1, 0, 0}, sy[4] = {0, 0, -1, 1};   // inside: z + sx·x + sy·y >= 0
    for (int plane = 0; plane < 4; ++plane) {
        std::vector<P> next;
        for (size_t i = 0; i < poly.size(); ++i) {
            const P& p = poly[i];
            const P& q = poly[(i + 1) % poly.size()];
            const double dp = p.z + sx[plane] * p.x + sy[plane] * p.y;
            const double dq = q.z + sx[plane] * q.x + sy[plane] * q.y;
            if (dp >= 0) next.push_back(p);
            if ((dp >= 0) != (dq >= 0)) {
                const double t = dp / (dp - dq);
                next.push_back({p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t});
            }
        }
        poly = next;
    }
    double area = 0;
    *nearest = 1e30;
    for (size_t i = 0; i < poly.size(); ++i) {
        const P& p = poly[i];
        *nearest = std::min(*nearest, p.z);
        const P& q = poly[(i + 1) % poly.size()];
        area += (p.x / p.z) * (-q.y / q.z) - (q.x / q.z) * (-p.y / p.z);
    }
    return std::fabs(area) / 2;
}

static double PieceArea(const std::array<ScreenVertex, 3>& t)
{
    return std::fabs((t[1].screenX - t[0].screenX) * double(t[2].screenY - t[0].screenY) -
                     (t[2].screenX - t[0].screenX) * double(t[1].screenY - t[0].screenY)) / 2;
}

// Colour and texture values that are one affine function of the view position, so every
// correctly interpolated vertex must carry the function's value at its own position.
static float Attribute(const ScreenVertex& v)
{
    return 0.01f * v.x - 0.02f * v.y + 0.005f * v.z + 0.3f;
}

TEST_F(ClipFixture, RandomTrianglesStayInsideAndCoverTheReferenceArea)
{
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> side(-40, 40), depth(-20, 40);
    size_t mostPieces = 0, behindDrawn = 0;
    for (int n = 0; n < 20000; ++n) {
        ScreenVertex v[3];
        const ScreenVertex* original[3];
        const float flatDepth = depth(rng);   // every eighth triangle faces the eye squarely
        for (int i = 0; i < 3; ++i) {
            const float x = side(rng), y = side(rng), z = depth(rng);
            v[i] = Classified(x, y, n % 8 == 0 ? flatDepth : z);
            SetAttributes(&v[i], Attribute(v[i]));
            original[i] = &v[i];
        }
        double nearest;
        const double reference = ReferenceClippedArea(original, &nearest);
        ScreenVertex a = v[0], b = v[1], c = v[2];
        drawn.single.clear();
        DrawClippedTriangle(drawn, projection, &a, &b, &c, 1);
        ASSERT_LE(drawn.single.size(), 16u);
        mostPieces = std::max(mostPieces, drawn.single.size());
        double area = 0;
        for (const auto& piece : drawn.single) {
            area += PieceArea(piece);
            for (const ScreenVertex& p : piece) {
                const float tolerance = 1e-4f * (1 + std::fabs(p.z));
                ASSERT_LE(std::fabs(p.x), p.z + tolerance) << "triangle " << n;
                ASSERT_LE(std::fabs(p.y), p.z + tolerance) << "triangle " << n;
                ASSERT_NEAR(p.red, Attribute(p), 1e-3) << "triangle " << n;
                ASSERT_NEAR(p.v2, Attribute(p), 1e-3) << "triangle " << n;
            }
        }
        // Float rounding of coordinates of size ~40 is magnified by 1/z where the clipped
        // polygon nears the eye, so the tolerance grows as its nearest depth shrinks.
        const double tolerance = 1e-4 * (1 + reference) + 4e-6 * 40 / nearest;
        ASSERT_NEAR(area, reference, tolerance) << "triangle " << n;
        if (!drawn.single.empty() && (v[0].z <= 0 || v[1].z <= 0 || v[2].z <= 0)) ++behindDrawn;

        a = v[0], b = v[1], c = v[2];
        drawn.dual.clear();
        DrawClippedTriangleDualTexture(drawn, projection, &a, &b, &c, 1);
        ASSERT_EQ(drawn.dual.size(), drawn.single.size());
    }
    EXPECT_GE(mostPieces, 7u);      // the sample does reach deep multi-plane cuts
    EXPECT_GT(behindDrawn, 500u);   // and triangles reaching behind the eye
}

// A projection nobody set is the render interface's own screen, never all zeros: a
// clipped piece lands where the unclipped triangle's vertices would.
TEST(ScreenProjection, UnsetIsTheRenderersScreen)
{
    RecordingRenderer drawn;
    ScreenVertex a = ViewVertex(8, 2, 4), b = ViewVertex(0, 0, 4), c = ViewVertex(2, -6, 4);
    EmitTriangle(drawn, ScreenProjection{}, &a, &b, &c);
    EXPECT_EQ(a.screenX, 2.0f);
    EXPECT_EQ(a.screenY, -0.5f);
    EXPECT_EQ(c.screenY, 1.5f);
}
