// The lattice mesh and the two per-frame deformations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "model/deform.h"
#include "model/mesh.h"

namespace {

void ExpectPosition(const Vector3& p, float x, float y, float z)
{
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

void ExpectFace(const Mesh& mesh, int f, int a, int b, int c)
{
    const Face& face = mesh.faceBlock->faces[f];
    const int expected[3] = {a, b, c};
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(face.vertex[k], &mesh.vertexBlock->screen[expected[k]]) << "face " << f << " corner " << k;
        EXPECT_EQ(face.index[k], expected[k]) << "face " << f << " corner " << k;
    }
}

TEST(BuildLatticeMesh, TwoStripsOfUnitSpacing)
{
    Mesh mesh;
    BuildLatticeMesh(&mesh, 2, 1.0f);
    ASSERT_EQ(mesh.vertexBlock->count, 24);
    ASSERT_EQ(mesh.restBlock->count, 24);
    ASSERT_EQ(mesh.faceBlock->count, 12);
    const Vector3* p = mesh.vertexBlock->positions;
    ExpectPosition(p[0], -0.5f, -1.0f, -1.0f);
    ExpectPosition(p[1], -0.5f, -1.0f, 1.0f);
    ExpectPosition(p[2], -0.5f, 1.0f, 1.0f);
    ExpectPosition(p[3], -0.5f, 1.0f, -1.0f);
    ExpectPosition(p[4], 0.5f, -1.0f, -1.0f);
    ExpectPosition(p[8], -1.0f, -0.5f, -1.0f);
    ExpectPosition(p[10], 1.0f, -0.5f, 1.0f);
    ExpectPosition(p[16], -1.0f, -1.0f, -0.5f);
    ExpectPosition(p[17], -1.0f, 1.0f, -0.5f);
    ExpectPosition(p[23], 1.0f, -1.0f, 0.5f);
    for (int i = 0; i < 24; i++) {
        ExpectPosition(mesh.restBlock->positions[i], 0.0f, 0.0f, 0.0f);
        const ScreenVertex& r = mesh.vertexBlock->screen[i];
        EXPECT_EQ(r.red + r.green + r.blue + r.alpha, 4.0f);
        EXPECT_EQ(r.u2, 0.0f);
        EXPECT_EQ(r.v2, 0.0f);
    }
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 24; i++) {
        EXPECT_EQ(mesh.vertexBlock->screen[i].u, uv[i % 4][0]) << i;
        EXPECT_EQ(mesh.vertexBlock->screen[i].v, uv[i % 4][1]) << i;
    }
    ExpectFace(mesh, 0, 0, 1, 2);
    ExpectFace(mesh, 1, 2, 3, 0);
    ExpectFace(mesh, 2, 6, 5, 4);
    ExpectFace(mesh, 3, 4, 7, 6);
    ExpectFace(mesh, 10, 22, 21, 20);
    ExpectFace(mesh, 11, 20, 23, 22);
    FreeMesh(&mesh);
}

TEST(BuildLatticeMesh, SixteenStripsOfSpacing55)
{
    Mesh mesh;
    BuildLatticeMesh(&mesh, 16, 55.0f);
    ASSERT_EQ(mesh.vertexBlock->count, 192);
    ASSERT_EQ(mesh.faceBlock->count, 96);
    const Vector3* p = mesh.vertexBlock->positions;
    for (int i = 0; i < 16; i++) {
        float h = -412.5f + 55.0f * i;
        ExpectPosition(p[4 * i], h, -440.0f, -440.0f);
        ExpectPosition(p[4 * i + 2], h, 440.0f, 440.0f);
        ExpectPosition(p[64 + 4 * i + 1], 440.0f, h, -440.0f);
        ExpectPosition(p[128 + 4 * i + 3], 440.0f, -440.0f, h);
    }
    FreeMesh(&mesh);
}

// Odd strip counts give every quad its faces, so no face is left without records.
TEST(BuildLatticeMesh, OddAndOutOfRangeStripCounts)
{
    Mesh mesh;
    BuildLatticeMesh(&mesh, 3, 2.0f);
    ASSERT_EQ(mesh.faceBlock->count, 18);
    ExpectFace(mesh, 16, 32, 33, 34);
    ExpectFace(mesh, 17, 34, 35, 32);
    ExpectPosition(mesh.vertexBlock->positions[0], -1.0f, -2.0f, -2.0f);
    FreeMesh(&mesh);

    for (int n : {0, -4, LatticeMaxStrips + 1}) {
        BuildLatticeMesh(&mesh, n, 1.0f);
        EXPECT_EQ(mesh.vertexBlock->count, 0);
        EXPECT_EQ(mesh.faceBlock->count, 0);
        FreeMesh(&mesh);
    }
}

// A four-vertex mesh with distinct rest positions.
Mesh RestMesh()
{
    Mesh mesh;
    AllocateMesh(&mesh, 4, 0);
    const Vector3 rest[4] = {{0, 0, 0}, {10, 0, 0}, {1, -2, 3}, {-50, 20, 7}};
    for (int i = 0; i < 4; i++) {
        mesh.restBlock->positions[i] = rest[i];
        mesh.vertexBlock->positions[i] = {9, 9, 9};
    }
    return mesh;
}

TEST(ScaleMeshFromRest, FactorsScaleTheRestPositions)
{
    Mesh mesh = RestMesh();
    const float ones[4] = {1, 1, 1, 1};
    ScaleMeshFromRest(&mesh, ones);
    for (int i = 0; i < 4; i++) {
        const Vector3& r = mesh.restBlock->positions[i];
        ExpectPosition(mesh.vertexBlock->positions[i], r.x, r.y, r.z);
    }
    const float factors[4] = {5, 2, -1, 0.5f};
    ScaleMeshFromRest(&mesh, factors);
    ExpectPosition(mesh.vertexBlock->positions[1], 20, 0, 0);
    ExpectPosition(mesh.vertexBlock->positions[2], -1, 2, -3);
    ExpectPosition(mesh.vertexBlock->positions[3], -25, 10, 3.5f);
    ExpectPosition(mesh.restBlock->positions[3], -50, 20, 7);
    FreeMesh(&mesh);
}

TEST(TwistMesh, TurnsEachAxisByItsShareOfThePhase)
{
    // At t = 0.5 the point (10, 0, 0) turns about y by e + 0.3, about z by e + 0.25 and
    // about x by e + 0.35, with e = sin(0.5 + 0.07): all positive, counter-clockwise.
    Mesh mesh = RestMesh();
    const float ones[4] = {1, 1, 1, 1};
    ScaleMeshFromRest(&mesh, ones);
    TwistMesh(&mesh, 0.5f);
    const double e = std::sin(0.57);
    const double ay = e + 0.3, az = e + 0.25, ax = e + 0.35;
    const double x1 = 10 * std::cos(ay), z1 = 10 * std::sin(ay);
    const double x2 = x1 * std::cos(az), y1 = -x1 * std::sin(az);
    const double y2 = y1 * std::cos(ax) + z1 * std::sin(ax), z2 = z1 * std::cos(ax) - y1 * std::sin(ax);
    const Vector3& p = mesh.vertexBlock->positions[1];
    EXPECT_NEAR(p.x, x2, 1e-4);
    EXPECT_NEAR(p.y, y2, 1e-4);
    EXPECT_NEAR(p.z, z2, 1e-4);
    FreeMesh(&mesh);
}

TEST(TwistMesh, AtPhaseZeroRotatesBySineOfDistance)
{
    Mesh mesh = RestMesh();
    const float ones[4] = {1, 1, 1, 1};
    ScaleMeshFromRest(&mesh, ones);
    TwistMesh(&mesh, 0.0f);
    ExpectPosition(mesh.vertexBlock->positions[0], 0, 0, 0);

    // (10, 0, 0): angle a = sin(0.07) about y, then z, then x.
    double a = std::sin(0.07), c = std::cos(a), s = std::sin(a);
    double x1 = 10 * c, z1 = 10 * s;                 // about y
    double x2 = x1 * c, y1 = -x1 * s;                // about z
    double y2 = y1 * c + z1 * s, z2 = z1 * c - y1 * s;   // about x
    const Vector3& p = mesh.vertexBlock->positions[1];
    EXPECT_NEAR(p.x, x2, 1e-5);
    EXPECT_NEAR(p.y, y2, 1e-5);
    EXPECT_NEAR(p.z, z2, 1e-5);

    // Rotations keep every distance from the origin; rest positions stay.
    for (int i = 1; i < 4; i++) {
        const Vector3& q = mesh.vertexBlock->positions[i];
        const Vector3& r = mesh.restBlock->positions[i];
        EXPECT_NEAR(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z),
                    std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z), 1e-4);
    }
    ExpectPosition(mesh.restBlock->positions[1], 10, 0, 0);
    FreeMesh(&mesh);
}

}  // namespace

// A copy holds the same values in blocks of its own, its faces pointing at its own
// records; writing it leaves the original as it was. A block the original lacks stays
// null in the copy.
TEST(CopyMesh, HoldsTheSameValuesInBlocksOfItsOwn)
{
    Mesh from;
    BuildLatticeMesh(&from, 2, 1.0f);
    from.vertexBlock->screen[1].alpha = 0.25f;
    Mesh copy;
    CopyMesh(&copy, from);
    ASSERT_NE(copy.vertexBlock, nullptr);
    ASSERT_NE(copy.restBlock, nullptr);
    ASSERT_NE(copy.faceBlock, nullptr);
    EXPECT_NE(copy.vertexBlock->screen, from.vertexBlock->screen);
    EXPECT_NE(copy.restBlock->positions, from.restBlock->positions);
    const int32_t count = from.vertexBlock->count;
    ASSERT_EQ(copy.vertexBlock->count, count);
    EXPECT_EQ(std::memcmp(copy.vertexBlock->positions, from.vertexBlock->positions, count * sizeof(Vector3)), 0);
    EXPECT_EQ(std::memcmp(copy.vertexBlock->screen, from.vertexBlock->screen, count * sizeof(ScreenVertex)), 0);
    EXPECT_EQ(std::memcmp(copy.restBlock->positions, from.restBlock->positions, count * sizeof(Vector3)), 0);
    ASSERT_EQ(copy.faceBlock->count, from.faceBlock->count);
    for (int32_t f = 0; f < copy.faceBlock->count; ++f) {
        const Face &c = copy.faceBlock->faces[f], &o = from.faceBlock->faces[f];
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(c.index[k], o.index[k]);
            EXPECT_EQ(c.vertex[k], copy.vertexBlock->screen + (o.vertex[k] - from.vertexBlock->screen));
        }
    }
    copy.vertexBlock->screen[1].alpha = 1.0f;
    copy.vertexBlock->positions[0].x = 99.0f;
    EXPECT_EQ(from.vertexBlock->screen[1].alpha, 0.25f);
    EXPECT_NE(from.vertexBlock->positions[0].x, 99.0f);
    FreeMesh(&copy);
    FreeMesh(&from);

    Mesh empty, emptyCopy;
    CopyMesh(&emptyCopy, empty);
    EXPECT_EQ(emptyCopy.vertexBlock, nullptr);
    EXPECT_EQ(emptyCopy.faceBlock, nullptr);
    EXPECT_EQ(emptyCopy.restBlock, nullptr);
}
