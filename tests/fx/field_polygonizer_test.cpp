#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fx/field_polygonizer.h"
#include "fx/marching_cubes_tables.h"
#include "fx/shape_field.h"

namespace {

// The storage the implicit-surface scene owns, allocated once for the cases here.
ShapeField g_field = AllocatedShapeField();
FieldSurface g_surface = AllocatedFieldSurface();

// Corner offsets of a cell and the corners each edge joins.
const int Corner[8][3] = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1},
                          {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
const int EdgeEnds[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                             {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

struct PublishedTables {
    int edges[256];
    int triangles[256][16];
};

PublishedTables ReadPublishedTables()
{
    PublishedTables t{};
    std::ifstream in(MARCHING_CUBES_TABLES_FILE);
    EXPECT_TRUE(in.good()) << "cannot open " << MARCHING_CUBES_TABLES_FILE;
    for (int& e : t.edges) in >> std::hex >> e;
    for (auto& row : t.triangles)
        for (int& v : row) in >> std::dec >> v;
    EXPECT_FALSE(in.fail()) << "short or malformed " << MARCHING_CUBES_TABLES_FILE;
    return t;
}

void FillField(const std::function<float(int, int, int)>& f)
{
    for (int x = 0; x < FieldGridSize; ++x)
        for (int y = 0; y < FieldGridSize; ++y)
            for (int z = 0; z < FieldGridSize; ++z) g_field.values[FieldPointIndex(x, y, z)] = f(x, y, z);
}

// Every cell of the grid, as the scene would if the sources covered it all.
void PolygonizeWholeGrid()
{
    std::fill(g_field.visited.begin(), g_field.visited.end(), uint8_t(0));
    ClearSurfaceOutput(g_surface);
    for (int z = 0; z < FieldGridSize - 1; ++z) PolygonizeBox(g_field, g_surface, 0, 0, 28, 28, z);
}

// Grid coordinates of a world position.
Vector3 ToGrid(const Vector3& p)
{
    return Vector3{(p.x + 280) / 20, (p.y + 280) / 20, (p.z + 280) / 20};
}

Vector3 Sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(const Vector3& a) { return std::sqrt(Dot(a, a)); }

// Triangle i's normal by the right-hand rule of its index order.
Vector3 FaceNormal(int i)
{
    const Vector3& a = g_surface.vertices[g_surface.indices[3 * i]];
    return Cross(Sub(g_surface.vertices[g_surface.indices[3 * i + 1]], a),
                 Sub(g_surface.vertices[g_surface.indices[3 * i + 2]], a));
}

bool Negative(int x, int y, int z) { return std::signbit(g_field.values[FieldPointIndex(x, y, z)]); }

int CrossedGridEdges()
{
    int count = 0;
    for (int x = 0; x < FieldGridSize; ++x)
        for (int y = 0; y < FieldGridSize; ++y)
            for (int z = 0; z < FieldGridSize; ++z) {
                count += x + 1 < FieldGridSize && Negative(x, y, z) != Negative(x + 1, y, z);
                count += y + 1 < FieldGridSize && Negative(x, y, z) != Negative(x, y + 1, z);
                count += z + 1 < FieldGridSize && Negative(x, y, z) != Negative(x, y, z + 1);
            }
    return count;
}

void ExpectValidIndices()
{
    ASSERT_LE(g_surface.vertexCount, SurfaceVertexCapacity);
    ASSERT_LE(g_surface.indexCount, SurfaceIndexCapacity);
    ASSERT_EQ(g_surface.indexCount % 3, 0);
    for (int i = 0; i < g_surface.indexCount; ++i) {
        ASSERT_GE(g_surface.indices[i], 0) << "index " << i;
        ASSERT_LT(g_surface.indices[i], g_surface.vertexCount) << "index " << i;
    }
}

// Sides of the output triangles not matched by exactly one side running the other way:
// 0 for a closed, consistently wound surface.
int UnmatchedSides()
{
    std::map<std::pair<int, int>, int> sides;
    for (int f = 0; f < g_surface.indexCount / 3; ++f)
        for (int k = 0; k < 3; ++k)
            ++sides[{g_surface.indices[3 * f + k], g_surface.indices[3 * f + (k + 1) % 3]}];
    int unmatched = 0;
    for (const auto& [side, count] : sides) {
        const auto back = sides.find({side.second, side.first});
        unmatched += side.first == side.second || count != 1 || back == sides.end() || back->second != 1;
    }
    return unmatched;
}

// Radius 6.3 around a point off the grid lines, positive inside.
const Vector3 SphereCentre{14.3f, 13.8f, 14.1f};
const float SphereRadius = 6.3f;

class SpherePolygonized : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillField([](int x, int y, int z) {
            return SphereRadius - Length(Sub(Vector3{float(x), float(y), float(z)}, SphereCentre));
        });
        // All sources at the centre: their boxes (reach + 1) cover the sphere.
        for (Vector3& s : g_field.sources) s = SphereCentre;
        std::fill(g_field.visited.begin(), g_field.visited.end(), uint8_t(0));
        PolygonizeShapeField(g_field, g_surface);
    }
};

}  // namespace

TEST(MarchingCubesTables, MatchThePublishedTables)
{
    const PublishedTables t = ReadPublishedTables();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(MarchingCubesEdgeTable[i], t.edges[i]) << "edge mask " << i;
        for (int j = 0; j < 16; ++j)
            EXPECT_EQ(MarchingCubesTriangleTable[i][j], t.triangles[i][j]) << "row " << i << " entry " << j;
    }
}

TEST(PolygonizeCell, EveryCubeIndexEmitsItsPublishedTrianglesFacingOutward)
{
    const PublishedTables t = ReadPublishedTables();
    const int cx = 10, cy = 12, cz = 9;
    for (int cube = 0; cube < 256; ++cube) {
        FillField([](int, int, int) { return 1.0f; });
        for (int k = 0; k < 8; ++k)
            if (cube >> k & 1)
                g_field.values[FieldPointIndex(cx + Corner[k][0], cy + Corner[k][1], cz + Corner[k][2])] = -1.0f;
        ClearSurfaceOutput(g_surface);
        PolygonizeCell(g_field, g_surface, cx, cy, cz);

        // One vertex per crossed edge, in edge order, at its midpoint (values ±1).
        const std::bitset<12> mask(t.edges[cube]);
        ASSERT_EQ(g_surface.vertexCount, int(mask.count())) << "cube " << cube;
        int vertexOfEdge[12], next = 0;
        for (int e = 0; e < 12; ++e) {
            if (!mask[e]) continue;
            vertexOfEdge[e] = next;
            const int* a = Corner[EdgeEnds[e][0]];
            const int* b = Corner[EdgeEnds[e][1]];
            const Vector3 g = ToGrid(g_surface.vertices[next++]);
            EXPECT_EQ(g.x, cx + (a[0] + b[0]) * 0.5f) << "cube " << cube << " edge " << e;
            EXPECT_EQ(g.y, cy + (a[1] + b[1]) * 0.5f) << "cube " << cube << " edge " << e;
            EXPECT_EQ(g.z, cz + (a[2] + b[2]) * 0.5f) << "cube " << cube << " edge " << e;
        }
        int count = 0;
        while (count < 16 && t.triangles[cube][count] >= 0) ++count;
        ASSERT_EQ(g_surface.indexCount, count) << "cube " << cube;
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(g_surface.indices[i], vertexOfEdge[t.triangles[cube][i]]) << "cube " << cube;

        // Each triangle faces the outside: at its centre the trilinear interpolation of
        // the corner values falls along its normal.
        for (int f = 0; f < count / 3; ++f) {
            Vector3 centre{0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const Vector3 g = ToGrid(g_surface.vertices[g_surface.indices[3 * f + k]]);
                centre = Vector3{centre.x + (g.x - cx) / 3, centre.y + (g.y - cy) / 3, centre.z + (g.z - cz) / 3};
            }
            Vector3 gradient{0, 0, 0};
            for (int k = 0; k < 8; ++k) {
                const float value = cube >> k & 1 ? -1.0f : 1.0f;
                const float wx = Corner[k][0] ? centre.x : 1 - centre.x;
                const float wy = Corner[k][1] ? centre.y : 1 - centre.y;
                const float wz = Corner[k][2] ? centre.z : 1 - centre.z;
                const float sx = Corner[k][0] ? 1.0f : -1.0f, sy = Corner[k][1] ? 1.0f : -1.0f,
                            sz = Corner[k][2] ? 1.0f : -1.0f;
                gradient = Vector3{gradient.x + value * sx * wy * wz, gradient.y + value * wx * sy * wz,
                                   gradient.z + value * wx * wy * sz};
            }
            EXPECT_LT(Dot(FaceNormal(f), gradient), 0) << "cube " << cube << " triangle " << f;
        }
    }
}

TEST(PolygonizeCell, SignBitDecidesSignedZeroCorners)
{
    const int cx = 5, cy = 6, cz = 7;
    auto corner = [&](int k) -> float& {
        return g_field.values[FieldPointIndex(cx + Corner[k][0], cy + Corner[k][1], cz + Corner[k][2])];
    };
    auto world = [&](int k) {
        return Vector3{float((cx + Corner[k][0]) * 20 - 280), float((cy + Corner[k][1]) * 20 - 280),
                       float((cz + Corner[k][2]) * 20 - 280)};
    };

    // +0.0 everywhere counts as inside; -0.0 everywhere as outside: no crossing.
    for (float zero : {0.0f, -0.0f}) {
        FillField([zero](int, int, int) { return zero; });
        ClearSurfaceOutput(g_surface);
        PolygonizeCell(g_field, g_surface, cx, cy, cz);
        EXPECT_EQ(g_surface.vertexCount, 0);
        EXPECT_EQ(g_surface.indexCount, 0);
    }

    // Corner 0 at -0.0, the rest +0.0: cube index 1, edges 0, 3 and 8. On each edge the
    // two values compare equal, so d = 1 and s = -vP = 0: the vertex sits on the edge's
    // later end P (z, then y, then x), which is corner 1, 3 and 0 respectively. With a
    // zero field the gradient is zero, and the normal falls back to the edge direction
    // toward the outer corner 0.
    FillField([](int, int, int) { return 0.0f; });
    corner(0) = -0.0f;
    ClearSurfaceOutput(g_surface);
    PolygonizeCell(g_field, g_surface, cx, cy, cz);
    ASSERT_EQ(g_surface.vertexCount, 3);
    ASSERT_EQ(g_surface.indexCount, 3);
    const int atCorner[3] = {1, 3, 0};
    const Vector3 normal[3] = {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
    for (int v = 0; v < 3; ++v) {
        EXPECT_EQ(g_surface.vertices[v].x, world(atCorner[v]).x) << "vertex " << v;
        EXPECT_EQ(g_surface.vertices[v].y, world(atCorner[v]).y) << "vertex " << v;
        EXPECT_EQ(g_surface.vertices[v].z, world(atCorner[v]).z) << "vertex " << v;
        EXPECT_EQ(g_surface.normals[v].x, normal[v].x) << "vertex " << v;
        EXPECT_EQ(g_surface.normals[v].y, normal[v].y) << "vertex " << v;
        EXPECT_EQ(g_surface.normals[v].z, normal[v].z) << "vertex " << v;
    }

    // Corner 0 at +0.0, the rest -1: still cube index 254 (corner 0 inside), the same edges.
    FillField([](int, int, int) { return -1.0f; });
    corner(0) = 0.0f;
    ClearSurfaceOutput(g_surface);
    PolygonizeCell(g_field, g_surface, cx, cy, cz);
    EXPECT_EQ(g_surface.vertexCount, 3);
    EXPECT_EQ(g_surface.indexCount, 3);
    for (int v = 0; v < 3; ++v) {
        EXPECT_TRUE(std::isfinite(Length(g_surface.vertices[v])));
        EXPECT_NEAR(Length(g_surface.normals[v]), 1.0f, 1e-6f);
    }
}

TEST(PolygonizeCell, NeighbouringCellsShareTheVertexOnTheirCommonEdge)
{
    // A plane between y = 10 and 11 crosses the four y edges of cell (5, 10, 5) and of
    // its neighbour (6, 10, 5); the two y edges at x = 6 belong to both.
    FillField([](int, int y, int) { return 10.25f - y; });
    ClearSurfaceOutput(g_surface);
    PolygonizeCell(g_field, g_surface, 5, 10, 5);
    ASSERT_EQ(g_surface.vertexCount, 4);
    const int firstTriangles = g_surface.indexCount;
    PolygonizeCell(g_field, g_surface, 6, 10, 5);
    ASSERT_EQ(g_surface.vertexCount, 6);
    std::map<std::pair<float, float>, int> vertexAt;   // (x, z) -> index
    for (int v = 0; v < g_surface.vertexCount; ++v) {
        EXPECT_EQ(g_surface.vertices[v].y, 10.25f * 20 - 280);
        vertexAt[{g_surface.vertices[v].x, g_surface.vertices[v].z}] = v;
    }
    ASSERT_EQ(vertexAt.size(), 6u);
    const int shared[2] = {vertexAt[{6 * 20 - 280, 5 * 20 - 280}], vertexAt[{6 * 20 - 280, 6 * 20 - 280}]};
    for (int v : shared) {
        bool inFirst = false, inSecond = false;
        for (int i = 0; i < g_surface.indexCount; ++i)
            if (g_surface.indices[i] == v) (i < firstTriangles ? inFirst : inSecond) = true;
        EXPECT_TRUE(inFirst && inSecond) << "vertex " << v;
    }
}

TEST(PolygonizeShapeField, PlaneAcrossTheGridHasOneVertexPerColumn)
{
    FillField([](int, int y, int) { return 10.25f - y; });
    PolygonizeWholeGrid();
    ASSERT_EQ(g_surface.vertexCount, 29 * 29);
    ASSERT_EQ(g_surface.indexCount, 3 * 2 * 28 * 28);
    ExpectValidIndices();
    for (int v = 0; v < g_surface.vertexCount; ++v) {
        EXPECT_EQ(g_surface.normals[v].x, 0.0f);
        EXPECT_EQ(g_surface.normals[v].y, 1.0f);   // toward the low values at larger y
        EXPECT_EQ(g_surface.normals[v].z, 0.0f);
    }
    for (int f = 0; f < g_surface.indexCount / 3; ++f) EXPECT_GT(FaceNormal(f).y, 0) << "triangle " << f;
}

TEST(PolygonizeShapeField, VisitsTheCellsWithinReachPlusOneOfEachSource)
{
    // Per source: x from trunc(sx - 9) while below trunc(sx + 9), y likewise, clamped to
    // cells 0..27; z from trunc(sz - 9) to trunc(sz + 9) inclusive.
    const Vector3 a{10.5f, 12.25f, 14.75f}, b{25.5f, 2.5f, 24.9f};
    const Vector3 sources[FieldSourceCount] = {a, b, a, b, a};
    std::copy(sources, sources + FieldSourceCount, g_field.sources);
    FillField([](int, int, int) { return -0.5f; });
    std::fill(g_field.visited.begin(), g_field.visited.end(), uint8_t(0));
    PolygonizeShapeField(g_field, g_surface);
    EXPECT_EQ(g_surface.vertexCount, 0);
    auto inBox = [](int x, int y, int z, int x0, int x1, int y0, int y1, int z0, int z1) {
        return x >= x0 && x < x1 && y >= y0 && y < y1 && z >= z0 && z <= z1;
    };
    for (int x = 0; x < FieldGridSize; ++x)
        for (int y = 0; y < FieldGridSize; ++y)
            for (int z = 0; z < FieldGridSize; ++z) {
                const bool expected = inBox(x, y, z, 1, 19, 3, 21, 5, 23) || inBox(x, y, z, 16, 28, 0, 11, 15, 27);
                ASSERT_EQ(g_field.visited[FieldPointIndex(x, y, z)], expected ? 1 : 0) << x << " " << y << " " << z;
            }
}

TEST_F(SpherePolygonized, IsClosedWithOneVertexPerCrossedEdge)
{
    ExpectValidIndices();
    EXPECT_EQ(g_surface.vertexCount, CrossedGridEdges());
    ASSERT_GT(g_surface.indexCount, 3 * 500);
    EXPECT_EQ(UnmatchedSides(), 0);
    // Every vertex is used.
    std::vector<bool> used(g_surface.vertexCount);
    for (int i = 0; i < g_surface.indexCount; ++i) used[g_surface.indices[i]] = true;
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
}

TEST_F(SpherePolygonized, VerticesLieOnCrossedCellEdgesNearTheSphere)
{
    float worst = 0;
    for (int v = 0; v < g_surface.vertexCount; ++v) {
        const Vector3 g = ToGrid(g_surface.vertices[v]);
        // Two coordinates on grid lines, the third between the ends of a crossed edge.
        const float c[3] = {g.x, g.y, g.z};
        int onLine = 0, along = 0;
        for (int k = 0; k < 3; ++k) {
            if (c[k] == std::floor(c[k])) ++onLine;
            else along = k;
        }
        ASSERT_GE(onLine, 2) << "vertex " << v;
        int lo[3] = {int(std::floor(g.x)), int(std::floor(g.y)), int(std::floor(g.z))};
        if (onLine == 2) {
            int hi[3] = {lo[0], lo[1], lo[2]};
            ++hi[along];
            EXPECT_NE(Negative(lo[0], lo[1], lo[2]), Negative(hi[0], hi[1], hi[2])) << "vertex " << v;
        }
        worst = std::max(worst, std::fabs(Length(Sub(g, SphereCentre)) - SphereRadius));
    }
    // Linear interpolation of the distance across one grid unit: error below h²/(8r).
    EXPECT_LT(worst, 1.0f / (8 * (SphereRadius - 1)));
}

TEST_F(SpherePolygonized, NormalsAreUnitAndPointOutward)
{
    for (int v = 0; v < g_surface.vertexCount; ++v) {
        const Vector3 n = g_surface.normals[v];
        EXPECT_NEAR(Length(n), 1.0f, 1e-6f) << "vertex " << v;
        const Vector3 radial = Sub(ToGrid(g_surface.vertices[v]), SphereCentre);
        EXPECT_GT(Dot(n, radial) / Length(radial), 0.98f) << "vertex " << v;
    }
    for (int f = 0; f < g_surface.indexCount / 3; ++f) {
        const Vector3 outward = Sub(ToGrid(g_surface.vertices[g_surface.indices[3 * f]]), SphereCentre);
        EXPECT_GT(Dot(FaceNormal(f), outward), 0) << "triangle " << f;
    }
}

TEST(SurfaceCapacity, FullIndexArrayEndsTheFrameWithWholeTriangles)
{
    // Alternating signs: every grid edge is crossed, four triangles per cell, far more
    // than the arrays hold.
    FillField([](int x, int y, int z) { return (x + y + z) % 2 ? 1.0f : -1.0f; });
    PolygonizeWholeGrid();
    ExpectValidIndices();
    EXPECT_EQ(g_surface.indexCount, SurfaceIndexCapacity);
    EXPECT_LT(g_surface.vertexCount, SurfaceVertexCapacity);
}

TEST(SurfaceCapacity, ATriangleThatJustFitsIsKept)
{
    // One corner outside: one triangle. With room for exactly three more indices it is
    // appended whole; with two it is not.
    FillField([](int x, int y, int z) { return x == 5 && y == 5 && z == 5 ? -1.0f : 1.0f; });
    ClearSurfaceOutput(g_surface);
    g_surface.indexCount = SurfaceIndexCapacity - 3;
    PolygonizeCell(g_field, g_surface, 5, 5, 5);
    ASSERT_EQ(g_surface.indexCount, SurfaceIndexCapacity);
    EXPECT_EQ(g_surface.vertexCount, 3);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(g_surface.indices[SurfaceIndexCapacity - k], 3 - k);

    ClearSurfaceOutput(g_surface);
    g_surface.indexCount = SurfaceIndexCapacity - 2;
    PolygonizeCell(g_field, g_surface, 5, 5, 5);
    EXPECT_EQ(g_surface.indexCount, SurfaceIndexCapacity - 2);
    ClearSurfaceOutput(g_surface);
}

TEST(SurfaceCapacity, StorageNotYetAllocatedGivesAnEmptySurface)
{
    FillField([](int x, int, int) { return x < 14 ? 1.0f : -1.0f; });
    for (Vector3& s : g_field.sources) s = Vector3{14, 14, 14};
    FieldSurface none;
    none.vertexCount = 5;
    PolygonizeShapeField(g_field, none);
    PolygonizeBox(g_field, none, 0, 0, 28, 28, 3);
    EXPECT_EQ(EmitEdgeVertex(g_field, none, 13, 3, 3, 4), -1);
    EXPECT_EQ(none.vertexCount, 0);
    EXPECT_EQ(none.indexCount, 0);

    // A field without grids is read nowhere: an empty surface, a zero gradient.
    ShapeField noField;
    for (Vector3& s : noField.sources) s = Vector3{14, 14, 14};
    PolygonizeShapeField(noField, g_surface);
    EXPECT_EQ(g_surface.vertexCount, 0);
    EXPECT_EQ(g_surface.indexCount, 0);
    const Vector3 gradient = FieldGradient(noField, 3, 3, 3);
    EXPECT_EQ(gradient.x, 0.0f);
    EXPECT_EQ(gradient.y, 0.0f);
    EXPECT_EQ(gradient.z, 0.0f);
}

TEST(SurfaceCapacity, FullVertexArrayKeepsOnlyTrianglesWithWrittenVertices)
{
    FillField([](int x, int y, int z) { return (x + y + z) % 2 ? 1.0f : -1.0f; });
    ClearSurfaceOutput(g_surface);
    // Fill the vertex array edge by edge from the far end of the grid.
    int refused = 0;
    for (int z = 27; z >= 0 && refused == 0; --z)
        for (int y = 0; y < 28 && refused == 0; ++y)
            for (int x = 0; x < 28; ++x)
                for (int e = 0; e < 12; ++e) refused += EmitEdgeVertex(g_field, g_surface, x, y, z, e) < 0;
    ASSERT_EQ(g_surface.vertexCount, SurfaceVertexCapacity);
    ASSERT_GT(refused, 0);

    // Cells with all their vertices keep their triangles; the others lose the ones that
    // would need a new vertex.
    std::fill(g_field.visited.begin(), g_field.visited.end(), uint8_t(0));
    PolygonizeBox(g_field, g_surface, 0, 0, 28, 28, 27);   // all vertices written: 4 triangles per cell
    EXPECT_EQ(g_surface.indexCount, 28 * 28 * 12);
    PolygonizeBox(g_field, g_surface, 0, 0, 28, 28, 0);    // no vertex written
    EXPECT_EQ(g_surface.indexCount, 28 * 28 * 12);
    EXPECT_EQ(g_surface.vertexCount, SurfaceVertexCapacity);
    ExpectValidIndices();
}

TEST(PolygonizeShapeField, SceneMotionStaysWithinCapacity)
{
    // As the scene runs it: evaluate, move to this frame's phase, polygonize. The first
    // frame uses phase 0, then the phase follows DemoTime. The field of each frame comes
    // from the previous frame's positions, so in the first two frames (random start, then
    // phase 0) the shapes lie partly outside the boxes around the moved sources and the
    // surface is cut open there; from the third frame on it is closed.
    InitShapeField(g_field);
    int frames = 0, largest = 0;
    for (int demoTime = 54000; demoTime < 78000; demoTime += 480) {
        const float t = frames == 0 ? 0.0f : float(float((demoTime - 57046) * 0.0001) + 0.003);
        EvaluateShapeField(g_field, *g_surface.edgeCache);
        MoveShapeSources(g_field, t);
        PolygonizeShapeField(g_field, g_surface);
        ++frames;
        ExpectValidIndices();
        EXPECT_GT(g_surface.indexCount, 0) << "DemoTime " << demoTime;
        if (frames > 2) {
            EXPECT_EQ(UnmatchedSides(), 0) << "DemoTime " << demoTime;
        }
        largest = std::max(largest, g_surface.vertexCount);
        for (int v = 0; v < g_surface.vertexCount; ++v) {
            const Vector3& p = g_surface.vertices[v];
            ASSERT_TRUE(std::fabs(p.x) <= 280 && std::fabs(p.y) <= 280 && std::fabs(p.z) <= 280)
                << "DemoTime " << demoTime << " vertex " << v;
            ASSERT_NEAR(Length(g_surface.normals[v]), 1.0f, 1e-6f) << "DemoTime " << demoTime << " vertex " << v;
        }
    }
    EXPECT_EQ(frames, 50);
    // The scene's mesh holds 20000 vertices.
    EXPECT_LT(largest, 20000);
}
