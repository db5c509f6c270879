// The texture-coordinate effects: face normals, the environment map from averaged normals,
// its limits and scratch arrays, the seam sharing, and the one-time scale.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "fx/environment_map.h"

namespace {

// The scratch a scene owns, allocated once and shared by every map below, as the scene's
// frames share it.
EnvironmentMapSums g_sums = [] {
    EnvironmentMapSums sums;
    AllocateEnvironmentMapSums(&sums);
    return sums;
}();

ScreenVertex At(float x, float y, float z)
{
    ScreenVertex v{};
    v.x = x;
    v.y = y;
    v.z = z;
    v.u = v.v = v.u2 = v.v2 = 0.25f;
    return v;
}

// Records and faces given by vertex numbers; the faces point at the records.
struct Faces {
    std::vector<ScreenVertex> records;
    std::vector<Face> faces;

    Faces(std::vector<ScreenVertex> r, const std::vector<std::array<int32_t, 3>>& indices) : records(std::move(r))
    {
        for (const auto& i : indices) {
            Face f{};
            for (int k = 0; k < 3; ++k) {
                f.index[k] = i[k];
                const bool inside = i[k] >= 0 && i[k] < static_cast<int32_t>(records.size());
                f.vertex[k] = &records[inside ? i[k] : 0];
            }
            faces.push_back(f);
        }
    }
    void Map()
    {
        ApplyEnvironmentMap(g_sums, records.data(), faces.data(), Count(), static_cast<int32_t>(faces.size()));
    }
    int32_t Count() const { return static_cast<int32_t>(records.size()); }
};

bool ScratchIsEmpty()
{
    for (int32_t i = 0; i < EnvironmentMapCapacity; ++i)
        if (g_sums.normalSums[i][0] != 0.0f || g_sums.normalSums[i][1] != 0.0f || g_sums.normalSums[i][2] != 0.0f ||
            g_sums.faceCounts[i] != 0)
            return false;
    return true;
}

const float Infinity = std::numeric_limits<float>::infinity();
const float NotANumber = std::numeric_limits<float>::quiet_NaN();

TEST(FaceNormal, IsTheUnitCrossProductOfTheTwoEdges)
{
    float x, y, z;
    ASSERT_TRUE(FaceNormal(&x, &y, &z, At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)));
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 1.0f);
    // Reversed winding reverses it; the length is 1 whatever the size of the triangle.
    ASSERT_TRUE(FaceNormal(&x, &y, &z, At(5, 5, 5), At(5, 305, 5), At(305, 5, 5)));
    EXPECT_EQ(z, -1.0f);
    ASSERT_TRUE(FaceNormal(&x, &y, &z, At(0, 0, 0), At(3, 0, 0), At(0, 0, 4)));
    EXPECT_EQ(y, -1.0f);
}

TEST(FaceNormal, ATriangleWithoutDirectionHasNone)
{
    float x = 7, y = 7, z = 7;
    EXPECT_FALSE(FaceNormal(&x, &y, &z, At(1, 2, 3), At(1, 2, 3), At(1, 2, 3)));
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 0.0f);
    EXPECT_FALSE(FaceNormal(&x, &y, &z, At(0, 0, 0), At(1, 1, 1), At(2, 2, 2)));   // collinear
    EXPECT_FALSE(FaceNormal(&x, &y, &z, At(0, 0, 0), At(Infinity, 0, 0), At(0, 1, 0)));
    EXPECT_FALSE(FaceNormal(&x, &y, &z, At(0, 0, 0), At(1, 0, 0), At(0, NotANumber, 0)));
    // Tiny triangles still have one: the products are taken in double precision.
    EXPECT_TRUE(FaceNormal(&x, &y, &z, At(0, 0, 0), At(1e-30f, 0, 0), At(0, 1e-30f, 0)));
    EXPECT_EQ(z, 1.0f);
}

TEST(ApplyEnvironmentMap, MapsTheMeanNormalsYToUAndXToV)
{
    // Faces facing the eye straight on: u = v = 0.5 at every vertex, shared or not.
    Faces facing({At(0, 0, 0), At(0, 1, 0), At(1, 0, 0), At(1, 1, 0)}, {{0, 1, 2}, {1, 3, 2}});
    facing.Map();
    for (const ScreenVertex& r : facing.records) {
        EXPECT_EQ(r.u, 0.5f);
        EXPECT_EQ(r.v, 0.5f);
    }

    // A lone face with normal (1, 0, 0), and one with (0, -1, 0).
    Faces right({At(0, 0, 0), At(0, 1, 0), At(0, 0, 1)}, {{0, 1, 2}});
    right.Map();
    EXPECT_EQ(right.records[0].u, 0.5f);
    EXPECT_EQ(right.records[0].v, 1.0f);
    Faces down({At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)}, {{0, 1, 2}});
    down.Map();
    EXPECT_EQ(down.records[2].u, 0.0f);
    EXPECT_EQ(down.records[2].v, 0.5f);

    // Normals (1, 0, 0) and (0, 1, 0) around vertex 0: mean (0.5, 0.5, 0), not normalised.
    // A second call sees the same sums, not twice as many: the scratch was emptied.
    Faces corner({At(0, 0, 0), At(0, 1, 0), At(0, 0, 1), At(0, 0, 1), At(1, 0, 0)}, {{0, 1, 2}, {0, 3, 4}});
    corner.records[0].u2 = 3.0f;
    corner.records[0].red = corner.records[0].alpha = 0.5f;
    for (int call = 0; call < 2; ++call) {
        corner.Map();
        EXPECT_TRUE(ScratchIsEmpty());
        EXPECT_EQ(corner.records[0].u, 0.75f);
        EXPECT_EQ(corner.records[0].v, 0.75f);
    }
    EXPECT_EQ(corner.records[1].v, 1.0f);   // vertices of one face only keep its normal
    EXPECT_EQ(corner.records[4].u, 1.0f);
    // Every record opaque white; the second pair and the positions stay.
    EXPECT_EQ(corner.records[0].red, 1.0f);
    EXPECT_EQ(corner.records[0].alpha, 1.0f);
    EXPECT_EQ(corner.records[0].u2, 3.0f);
    EXPECT_EQ(corner.records[4].x, 1.0f);
}

TEST(ApplyEnvironmentMap, FacesWithoutANormalAddNothing)
{
    // Vertex 0 is shared by a good face with normal (1, 0, 0), a face of zero area and a
    // face with an infinite corner; vertex 4 belongs to the empty face only.
    Faces mesh({At(0, 0, 0), At(0, 1, 0), At(0, 0, 1), At(0, 2, 0), At(0, 2, 0), At(Infinity, 0, 0)},
               {{0, 1, 2}, {0, 3, 4}, {0, 5, 1}});
    mesh.Map();
    EXPECT_EQ(mesh.records[0].u, 0.5f);
    EXPECT_EQ(mesh.records[0].v, 1.0f);
    EXPECT_EQ(mesh.records[4].u, 0.5f);
    EXPECT_EQ(mesh.records[4].v, 0.5f);
    for (const ScreenVertex& r : mesh.records) {
        EXPECT_TRUE(std::isfinite(r.u));
        EXPECT_TRUE(std::isfinite(r.v));
    }
    EXPECT_TRUE(ScratchIsEmpty());
}

TEST(ApplyEnvironmentMap, OnlyWhatTheSumsHoldIsMapped)
{
    // One face more than the sums hold would reach past them; faces with an index beyond
    // the records or below 0 are dropped whole. Under the address checker any write
    // outside the arrays fails this test.
    std::vector<ScreenVertex> records(EnvironmentMapCapacity + 5, At(0, 0, 0));
    records[1] = At(0, 1, 0);
    records[2] = At(0, 0, 1);
    records[EnvironmentMapCapacity + 1] = At(1, 0, 0);
    records[EnvironmentMapCapacity + 2] = At(0, 1, 0);
    Faces mesh(records, {{0, 1, 2},
                         {EnvironmentMapCapacity, EnvironmentMapCapacity + 1, EnvironmentMapCapacity + 2},
                         {1, 2, EnvironmentMapCapacity + 7},
                         {-1, 1, 2}});
    mesh.Map();
    EXPECT_EQ(mesh.records[1].v, 1.0f);   // only face 0 reached vertex 1
    for (int32_t i = EnvironmentMapCapacity; i < mesh.Count(); ++i) {
        EXPECT_EQ(mesh.records[i].u, 0.5f) << i;
        EXPECT_EQ(mesh.records[i].v, 0.5f) << i;
        EXPECT_EQ(mesh.records[i].alpha, 1.0f) << i;
    }
    EXPECT_TRUE(ScratchIsEmpty());

    // With fewer records than an index names, that index is out too.
    Faces small({At(0, 0, 0), At(0, 1, 0), At(0, 0, 1)}, {{0, 1, 2}});
    small.faces[0].index[2] = 3;
    small.Map();
    EXPECT_EQ(small.records[0].v, 0.5f);
    EXPECT_TRUE(ScratchIsEmpty());
}

TEST(ApplyEnvironmentMap, WithoutAllocatedSumsEveryVertexIsMappedAsOneWithoutFaces)
{
    Faces mesh({At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)}, {{0, 1, 2}});
    EnvironmentMapSums none;
    ApplyEnvironmentMap(none, mesh.records.data(), mesh.faces.data(), mesh.Count(), 1);
    for (const ScreenVertex& r : mesh.records) {
        EXPECT_EQ(r.u, 0.5f);
        EXPECT_EQ(r.v, 0.5f);
        EXPECT_EQ(r.red, 1.0f);
    }
}

TEST(ApplyEnvironmentMap, FacesReachingPastTheSumsChangeNoMappedVertex)
{
    // Every face here has a normal with x, y and z all non-zero, so a face counted into
    // the wrong sums (or into memory next to them) shows in u and v of the vertices below
    // the limit. Faces 1 to 3 reach past the sums with one, two or three corners.
    const int32_t cap = EnvironmentMapCapacity;
    std::vector<ScreenVertex> records(cap + 4, At(0, 0, 0));
    records[0] = At(0, 0, 0);
    records[1] = At(3, 1, 0);
    records[2] = At(0, 2, 5);
    records[cap - 1] = At(1, 4, 2);
    records[cap] = At(2, 0, 1);
    records[cap + 1] = At(0, 3, 1);
    records[cap + 2] = At(5, 1, 3);
    Faces mesh(records, {{0, 1, 2}, {1, 2, cap}, {cap - 1, cap, cap + 1}, {cap, cap + 1, cap + 2}});
    float nx, ny, nz;
    ASSERT_TRUE(FaceNormal(&nx, &ny, &nz, records[0], records[1], records[2]));
    ASSERT_TRUE(nx != 0 && ny != 0 && nz != 0);
    mesh.Map();
    const float u = static_cast<float>((1.0 * ny + 1.0) * 0.5), v = static_cast<float>((1.0 * nx + 1.0) * 0.5);
    for (int32_t i : {0, 1, 2}) {
        EXPECT_EQ(mesh.records[i].u, u) << i;
        EXPECT_EQ(mesh.records[i].v, v) << i;
    }
    EXPECT_EQ(mesh.records[cap - 1].u, 0.5f);   // its only face reaches past the sums
    EXPECT_EQ(mesh.records[cap - 1].v, 0.5f);
    EXPECT_TRUE(ScratchIsEmpty());
    // Mapping again gives the same: nothing was left in the sums.
    mesh.Map();
    EXPECT_EQ(mesh.records[1].u, u);
    EXPECT_EQ(mesh.records[1].v, v);
}

TEST(ShareEnvironmentCoords, CopiesOfAPointGetTheValueOfTheWholeFan)
{
    // A fan of three faces around one point. Welded, the point is one vertex; split, it is
    // two copies: one for the first two faces, one for the third (as along a texture seam).
    const std::vector<ScreenVertex> ring = {At(0, 0, 0), At(0, 1, 0), At(0, 0, 1), At(1, 0, 0), At(0, -1, 0.5f)};
    Faces welded(ring, {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}});
    welded.Map();

    std::vector<ScreenVertex> split = ring;
    split.push_back(ring[0]);
    Faces seam(split, {{0, 1, 2}, {0, 2, 3}, {5, 3, 4}});
    VertexBlock rest{nullptr, nullptr, seam.Count()};
    std::vector<Vector3> positions;
    for (const ScreenVertex& r : split) positions.push_back({r.x, r.y, r.z});
    rest.positions = positions.data();
    const CoincidentVertices copies = FindCoincidentVertices(rest, seam.faces.data(), 3);
    ASSERT_EQ(copies.members, (std::vector<int32_t>{0, 5}));
    ASSERT_EQ(copies.groupEnds, (std::vector<int32_t>{2}));
    EXPECT_EQ(copies.faceCounts, (std::vector<float>{2.0f, 1.0f}));

    seam.Map();
    EXPECT_NE(seam.records[0].u, seam.records[5].u);
    ShareEnvironmentCoords(seam.records.data(), copies);
    for (int copy : {0, 5}) {
        EXPECT_NEAR(seam.records[copy].u, welded.records[0].u, 1e-6);
        EXPECT_NEAR(seam.records[copy].v, welded.records[0].v, 1e-6);
    }
    EXPECT_EQ(seam.records[3].u, welded.records[3].u);   // single vertices stay as mapped
}

TEST(ScaleTexCoords, MultipliesBothPairsOfTheCountedRecords)
{
    std::vector<ScreenVertex> records(3, At(1, 2, 3));
    records[1].u = 0.5f;
    records[1].v2 = -0.125f;
    ScaleTexCoords(records.data(), 2, 4.0f);
    EXPECT_EQ(records[0].u, 1.0f);
    EXPECT_EQ(records[0].v, 1.0f);
    EXPECT_EQ(records[0].u2, 1.0f);
    EXPECT_EQ(records[0].v2, 1.0f);
    EXPECT_EQ(records[1].u, 2.0f);
    EXPECT_EQ(records[1].v2, -0.5f);
    EXPECT_EQ(records[2].u, 0.25f);   // beyond the count
    EXPECT_EQ(records[0].x, 1.0f);
}

}  // namespace
