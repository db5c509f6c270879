#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fx/edge_cache.h"
#include "fx/shape_field.h"

namespace {

// The storage the implicit-surface scene owns, allocated once for the cases here.
ShapeField g_field = [] {
    ShapeField field;
    AllocateShapeField(&field);
    return field;
}();
const std::unique_ptr<SurfaceEdgeCacheType> g_edgeCache = std::make_unique<SurfaceEdgeCacheType>();

// One source's contribution at offset d, written out straight from the formula.
float Contribution(const Matrix& m, float dx, float dy, float dz)
{
    const float* r = m.m;
    const float x = r[0] * dx + r[4] * dy + r[8] * dz;
    const float y = r[1] * dx + r[5] * dy + r[9] * dz;
    const float z = r[2] * dx + r[6] * dy + r[10] * dz;
    const float r2 = x * x + y * y + z * z;
    const float v = float(0.001 * ((r2 - 20) * (r2 - 20) - 64 * (4 - z * z)) + 0.3);
    return v < 1 ? (1 - v) * (1 - v) : 0.0f;
}

bool InBox(float centre, int i)
{
    return i >= int(centre - 8) && i < int(centre + 8);
}

}  // namespace

TEST(ShapeField, InitDrawsStartPositionsFromRandXThenYThenZAsUnseededEveryTime)
{
    // The unseeded generator's sequence (seed 1), whatever rand() did before.
    std::srand(1);
    int draws[3 * FieldSourceCount];
    for (int& d : draws) d = std::rand();
    for (int run = 0; run < 2; ++run) {
        std::fill(g_field.values.begin(), g_field.values.end(), 3.0f);
        std::fill(g_field.visited.begin(), g_field.visited.end(), uint8_t(1));
        std::srand(7 + run);
        InitShapeField(g_field);
        for (int i = 0; i < FieldSourceCount; ++i) {
            EXPECT_EQ(g_field.sources[i].x, float(draws[3 * i] % 13 + 8)) << "source " << i;
            EXPECT_EQ(g_field.sources[i].y, float(draws[3 * i + 1] % 13 + 8)) << "source " << i;
            EXPECT_EQ(g_field.sources[i].z, float(draws[3 * i + 2] % 13 + 8)) << "source " << i;
        }
        for (int i = 0; i < FieldPointCount; ++i) {
            ASSERT_EQ(g_field.values[i], 0.0f);
            ASSERT_EQ(g_field.visited[i], 0);
        }
    }
}

TEST(ShapeField, MotionStaysAroundTheGridCentre)
{
    MoveShapeSources(g_field, 0.0f);
    EXPECT_EQ(g_field.sources[0].x, 14.0f);
    EXPECT_EQ(g_field.sources[0].y, 14.0f);
    EXPECT_EQ(g_field.sources[0].z, 14.0f);
    // Source 1 at phase 0: 14 + 5.9090905 × sin(2.5), sin(3.6), sin(4.7).
    EXPECT_FLOAT_EQ(g_field.sources[1].x, 14 + 5.9090905 * std::sin(2.5));
    EXPECT_FLOAT_EQ(g_field.sources[1].y, 14 + 5.9090905 * std::sin(3.6));
    EXPECT_FLOAT_EQ(g_field.sources[1].z, 14 + 5.9090905 * std::sin(4.7));

    for (float t = -0.31f; t < 2.1f; t += 0.0123f) {
        MoveShapeSources(g_field, t);
        for (const Vector3& s : g_field.sources)
            for (float c : {s.x, s.y, s.z}) {
                ASSERT_GE(c, 14 - 5.9090906f) << "t " << t;
                ASSERT_LE(c, 14 + 5.9090906f) << "t " << t;
            }
    }
}

TEST(ShapeField, EachAxisMovesAtItsOwnRate)
{
    // Per axis k and source i: 14 + amplitude × sin(rate_k × t + offset_k × i), rates 6.6,
    // 7.7, 8.8 and offsets 2.5, 3.6, 4.7, the sums in double.
    const float amplitude = 13 * 0.45454544f;
    const double rates[3] = {6.6, 7.7, 8.8}, offsets[3] = {2.5, 3.6, 4.7};
    for (float t : {-0.25f, 0.1f, 0.7f, 1.9f}) {
        MoveShapeSources(g_field, t);
        for (int i = 0; i < FieldSourceCount; ++i) {
            const float got[3] = {g_field.sources[i].x, g_field.sources[i].y, g_field.sources[i].z};
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(got[k], float(14 + amplitude * std::sin(rates[k] * t + offsets[k] * i)))
                    << "t " << t << " source " << i << " axis " << k;
        }
    }
}

TEST(EdgeCache, NothingFromBeforeTheFrameNumbersWrapIsFound)
{
    // Edge 5 holds a vertex in frame 0 only; edge 6 gets one in every frame of two whole
    // turns of the 16-bit counter. No later frame finds edge 5's, each finds its own.
    static EdgeVertexTable table{};
    RecordEdgeVertex(table, 5, 7);
    for (int frame = 1; frame < 2 * 0x10000; ++frame) {
        EmptyEdgeCache(table);
        ASSERT_EQ(FindEdgeVertex(table, 5), -1) << "frame " << frame;
        ASSERT_EQ(FindEdgeVertex(table, 6), -1) << "frame " << frame;
        RecordEdgeVertex(table, 6, frame & 0xffff);
        ASSERT_EQ(FindEdgeVertex(table, 6), frame & 0xffff) << "frame " << frame;
    }

    // The hash's counter is too long to run through: edge 9 recorded in frame 0, then the
    // last frames before the wrap and the first ones after it.
    static EdgeVertexHash hash{};
    RecordEdgeVertex(hash, 9, 3);
    hash.frame = (uint64_t(1) << 31) - 5;
    for (int frame = 0; frame < 10; ++frame) {
        EmptyEdgeCache(hash);
        ASSERT_EQ(FindEdgeVertex(hash, 9), -1) << "frame " << hash.frame;
        ASSERT_EQ(FindEdgeVertex(hash, 10), -1) << "frame " << hash.frame;
        RecordEdgeVertex(hash, 10, frame);
        ASSERT_EQ(FindEdgeVertex(hash, 10), frame);
    }
    EXPECT_LT(hash.frame, 10u);
}

TEST(ShapeField, EvaluationSumsContributionsInsideTheBoxesOnly)
{
    // Overlapping boxes, fractional positions, and boxes cut by both grid borders.
    const Vector3 sources[FieldSourceCount] = {
        {14.0f, 14.0f, 14.0f}, {17.25f, 12.5f, 15.75f}, {3.5f, 20.2f, 9.9f},
        {25.2f, 6.6f, 22.4f}, {11.0f, 14.0f, 14.0f}};
    std::copy(sources, sources + FieldSourceCount, g_field.sources);
    std::fill(g_field.visited.begin(), g_field.visited.end(), uint8_t(1));
    RecordEdgeVertex(*g_edgeCache, FieldEdgeKey(3, 4, 5, 1), 7);

    EvaluateShapeField(g_field, *g_edgeCache);

    EXPECT_EQ(FindEdgeVertex(*g_edgeCache, FieldEdgeKey(3, 4, 5, 1)), -1);
    Matrix m[FieldSourceCount];
    for (int s = 0; s < FieldSourceCount; ++s)
        MatrixRotationXYZ(&m[s], float(0.2 * sources[s].x), float(0.2 * sources[s].y),
                          float(0.2 * sources[s].z));
    int outside = 0, overlappingTerms = 0;
    for (int x = 0; x < FieldGridSize; ++x)
        for (int y = 0; y < FieldGridSize; ++y)
            for (int z = 0; z < FieldGridSize; ++z) {
                float expected = -0.5f;
                int boxes = 0, terms = 0;
                for (int s = 0; s < FieldSourceCount; ++s) {
                    const Vector3& c = sources[s];
                    if (!InBox(c.x, x) || !InBox(c.y, y) || !InBox(c.z, z)) continue;
                    const float term = Contribution(m[s], x - c.x, y - c.y, z - c.z);
                    expected += term;
                    ++boxes;
                    terms += term > 0;
                }
                const int i = FieldPointIndex(x, y, z);
                ASSERT_EQ(g_field.values[i], expected) << x << " " << y << " " << z;
                ASSERT_EQ(g_field.visited[i], boxes == 0 ? 1 : 0) << x << " " << y << " " << z;
                outside += boxes == 0;
                overlappingTerms += terms >= 2;
            }
    EXPECT_GT(outside, 1000);
    EXPECT_GT(overlappingTerms, 100);
}

TEST(ShapeField, ValueAtFiveCoincidentSourcesAddsFiveCentreTerms)
{
    // At the source itself r² = 0: v = 0.001 × (400 - 256) + 0.3 = 0.444.
    for (Vector3& s : g_field.sources) s = Vector3{14, 14, 14};
    EvaluateShapeField(g_field, *g_edgeCache);
    const float term = (1 - float(0.444)) * (1 - float(0.444));
    EXPECT_EQ(g_field.values[FieldPointIndex(14, 14, 14)], -0.5f + term + term + term + term + term);
    // Eight grid units away along x: outside the box (it ends at 21).
    EXPECT_EQ(g_field.values[FieldPointIndex(22, 14, 14)], -0.5f);
}
