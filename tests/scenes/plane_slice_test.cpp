// The plane slice and the cut band, through the recording render interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "fx/cut_band.h"
#include "fx/plane_slice.h"
#include "fx/sorted_faces.h"
#include "pipeline/clip.h"
#include "pipeline/transform.h"
#include "support/call_recorder.h"
#include "support/face_set.h"

namespace {

// The plane z = 10: N = (0, 0, 1) through -P with P = (0, 0, -10).
const Vector3 PlaneZ10{0.0f, 0.0f, -10.0f};
const Vector3 AlongZ{0.0f, 0.0f, 1.0f};

ScreenVertex Hidden(float x, float y, float z) { return At(x, y, z, ClipHidden); }

void ExpectAt(const ScreenVertex& v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

std::vector<std::string> DualDraws(size_t n) { return std::vector<std::string>(n, "DrawTriangleDualTexture"); }

class PlaneSlice : public ::testing::Test {
protected:
    void SetUp() override
    {
        AllocateCutEdges(&cut);
    }

    CutEdges cut;   // as the slicing scene owns it
};

TEST_F(PlaneSlice, HidesOnlyVerticesStrictlyBeyondThePlaneAndClearsNoBit)
{
    ScreenVertex v[4] = {At(0, 0, 10), At(0, 0, 10.5f), At(3, 4, 9, ClipRight), At(0, 0, 20, ClipFar)};
    HideVerticesBeyondPlane(PlaneZ10, AlongZ, v, 4, 1);
    EXPECT_EQ(v[0].clipFlags, 0);   // on the plane: kept
    EXPECT_EQ(v[1].clipFlags, ClipHidden);
    EXPECT_EQ(v[2].clipFlags, ClipRight);
    EXPECT_EQ(v[3].clipFlags, ClipFar | ClipHidden);

    // The sign scales the plane constant only: -1 makes it the plane z = -10.
    ScreenVertex w[2] = {At(0, 0, -10), At(0, 0, -9.5f)};
    HideVerticesBeyondPlane(PlaneZ10, AlongZ, w, 2, -1);
    EXPECT_EQ(w[0].clipFlags, 0);
    EXPECT_EQ(w[1].clipFlags, ClipHidden);
}

TEST_F(PlaneSlice, OneVertexInFrontGivesOneTriangleAndRecordsTheEdgeHalfWayAlongBothEdges)
{
    ScreenVertex a = At(0, 0, 5), b = Hidden(0, 0, 15), c = Hidden(4, 0, 15);
    a.u = 0.0f;
    b.u = 1.0f;
    c.u = 0.5f;
    c.v2 = 0.75f;
    b.red = 0.0f;
    cut.edges[0].first.red = 0.25f;   // not a field the slice writes
    CallRecorder r;
    SliceTriangle(r, ViewToScreen, cut, &a, &b, &c, PlaneZ10, AlongZ);

    ASSERT_EQ(r.Ops(), DualDraws(1));
    ASSERT_EQ(cut.count, 1);
    const CutEdge& edge = cut.edges[0];
    ExpectAt(edge.first, 0, 0, 10);
    ExpectAt(edge.second, 2, 0, 10);
    EXPECT_EQ(edge.first.u, 0.5f);
    EXPECT_EQ(edge.second.u, 0.25f);
    EXPECT_EQ(edge.second.v2, 0.375f);
    EXPECT_EQ(edge.first.red, 0.25f);

    // Emitted as (a, X1, X2), projected by the emission step, colour interpolated too.
    const std::vector<ScreenVertex>& drawn = r.calls[0].vertices;
    ExpectAt(drawn[0], 0, 0, 5);
    ExpectAt(drawn[1], 0, 0, 10);
    ExpectAt(drawn[2], 2, 0, 10);
    EXPECT_EQ(drawn[1].red, 0.5f);
    EXPECT_EQ(drawn[2].screenX, 0.2f);
    EXPECT_EQ(drawn[1].clipFlags, 0);
}

TEST_F(PlaneSlice, TwoVerticesInFrontGiveTwoTrianglesAndOneEdge)
{
    // The exchanges put the hidden vertex last: a = (0, 0, 5), b = (4, 0, 5), c hidden.
    ScreenVertex p = At(4, 0, 5), q = At(0, 0, 5), h = Hidden(0, 0, 15);
    CallRecorder r;
    SliceTriangle(r, ViewToScreen, cut, &h, &p, &q, PlaneZ10, AlongZ);

    ASSERT_EQ(r.Ops(), DualDraws(2));
    ASSERT_EQ(cut.count, 1);
    // X1 on b-c, X2 on a-c; the edge is recorded as (X2, X1).
    ExpectAt(cut.edges[0].first, 0, 0, 10);
    ExpectAt(cut.edges[0].second, 2, 0, 10);
    // (X2, X1, a), then (a, X1, b).
    const auto& first = r.calls[0].vertices;
    const auto& second = r.calls[1].vertices;
    ExpectAt(first[0], 0, 0, 10);
    ExpectAt(first[1], 2, 0, 10);
    ExpectAt(first[2], 0, 0, 5);
    ExpectAt(second[0], 0, 0, 5);
    ExpectAt(second[1], 2, 0, 10);
    ExpectAt(second[2], 4, 0, 5);
}

TEST_F(PlaneSlice, NothingIsDrawnOrRecordedWithAllThreeOrNoVertexHidden)
{
    ScreenVertex a = Hidden(0, 0, 15), b = Hidden(1, 0, 15), c = Hidden(0, 1, 15);
    ScreenVertex d = At(0, 0, 5), e = At(1, 0, 5), f = At(0, 1, 5, ClipRight);
    CallRecorder r;
    SliceTriangle(r, ViewToScreen, cut, &a, &b, &c, PlaneZ10, AlongZ);
    SliceTriangle(r, ViewToScreen, cut, &d, &e, &f, PlaneZ10, AlongZ);
    EXPECT_TRUE(r.calls.empty());
    EXPECT_EQ(cut.count, 0);
}

TEST_F(PlaneSlice, AnEdgeParallelToThePlaneGivesFinitePointsNotInfinities)
{
    // Hidden bits set by other means on points in front: N·(b - a) is 0 on a-b and a-c.
    ScreenVertex a = At(0, 0, 5), b = Hidden(1, 0, 5), c = Hidden(0, 1, 5);
    CallRecorder r;
    SliceTriangle(r, ViewToScreen, cut, &a, &b, &c, PlaneZ10, AlongZ);
    ASSERT_EQ(r.Ops(), DualDraws(1));
    for (const ScreenVertex& v : r.calls[0].vertices) {
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
        EXPECT_TRUE(std::isfinite(v.screenX) && std::isfinite(v.screenY));
    }
    ExpectAt(cut.edges[0].first, 1, 0, 5);   // t = 0: the point at the edge's own end
}

TEST_F(PlaneSlice, SlicedDrawerCutsCrossingFacesClipsSidePlaneFacesAndDrawsTheRestStraight)
{
    FaceSet set({At(0, 0, 5), At(1, 0, 5), At(0, 1, 5),                      // untouched
                 At(0, 0, 5), Hidden(0, 0, 15), Hidden(4, 0, 15),           // one in front
                 At(0, 0, 5), At(4, 0, 5), Hidden(0, 0, 15),                // two in front
                 Hidden(0, 0, 15), Hidden(1, 0, 15), Hidden(0, 1, 15),      // all beyond
                 At(20, 0, 5, ClipRight), At(0, 0, 5), At(0, 1, 5)});       // crosses x = z
    cut.count = 99;
    CallRecorder r;
    DrawSortedFacesSliced(r, ViewToScreen, cut, set.list, set.Count(), PlaneZ10, AlongZ);

    EXPECT_EQ(cut.count, 2);
    // 1 straight + 1 + 2 kept parts + 2 pieces of the clipped face.
    ASSERT_EQ(r.Ops(), DualDraws(6));
    for (size_t i = 4; i < 6; ++i)
        for (const ScreenVertex& v : r.calls[i].vertices) EXPECT_LE(v.x, v.z * 1.0001f);

    // An empty list starts the edge list afresh and draws nothing.
    CallRecorder empty;
    DrawSortedFacesSliced(empty, ViewToScreen, cut, set.list, 0, PlaneZ10, AlongZ);
    EXPECT_EQ(cut.count, 0);
    EXPECT_TRUE(empty.calls.empty());
}

TEST_F(PlaneSlice, AFullEdgeListKeepsTheFirstEdgesAndStillDrawsEveryKeptPart)
{
    const int faces = CutEdgeCapacity + 3;
    std::vector<ScreenVertex> vertices;
    for (int i = 0; i < faces; ++i) {
        const float x = static_cast<float>(i);
        vertices.insert(vertices.end(), {At(x, 0, 5), Hidden(x, 0, 15), Hidden(x + 4, 0, 15)});
    }
    FaceSet set(vertices);
    CallRecorder r;
    DrawSortedFacesSliced(r, ViewToScreen, cut, set.list, set.Count(), PlaneZ10, AlongZ);
    EXPECT_EQ(cut.count, CutEdgeCapacity);
    EXPECT_EQ(r.calls.size(), static_cast<size_t>(faces));
    EXPECT_EQ(cut.edges[CutEdgeCapacity - 1].first.x, static_cast<float>(CutEdgeCapacity - 1));
}

// Random triangles and planes: every cut point lies on the plane, and every drawn vertex
// is on the kept side. Tolerance: 1e-4 in N·X - d for unit normals and coordinates up to
// 300, about four float steps at that scale (the largest error seen is one step, 3e-5).
TEST_F(PlaneSlice, CutPointsLieOnThePlaneAndKeptPartsInFrontForRandomTriangles)
{
    std::mt19937 random(20261207);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    constexpr float Tolerance = 1e-4f;
    int edges = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        Vector3 n{coordinate(random), coordinate(random), coordinate(random)};
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (length < 1.0f) continue;
        n = {n.x / length, n.y / length, n.z / length};
        ScreenVertex v[3];
        for (ScreenVertex& x : v) x = At(coordinate(random), coordinate(random), coordinate(random) + 200.0f);
        // The plane passes through a point near the triangle's centre, so that it often cuts.
        const Vector3 p{-(v[0].x + v[1].x + v[2].x) / 3 - coordinate(random) * 0.25f,
                        -(v[0].y + v[1].y + v[2].y) / 3 - coordinate(random) * 0.25f,
                        -(v[0].z + v[1].z + v[2].z) / 3 - coordinate(random) * 0.25f};
        const float d = -(p.x * n.x) - p.y * n.y - p.z * n.z;
        HideVerticesBeyondPlane(p, n, v, 3, 1);

        cut.count = 0;
        CallRecorder r;
        SliceTriangle(r, ViewToScreen, cut, &v[0], &v[1], &v[2], p, n);
        const int hidden = (v[0].clipFlags != 0) + (v[1].clipFlags != 0) + (v[2].clipFlags != 0);
        const size_t expectedDraws = hidden == 1 ? 2 : hidden == 2 ? 1 : 0;
        ASSERT_EQ(r.calls.size(), expectedDraws);
        ASSERT_EQ(cut.count, expectedDraws ? 1 : 0);
        auto side = [&](const ScreenVertex& x) { return x.x * n.x + x.y * n.y + x.z * n.z - d; };
        if (cut.count == 1) {
            ++edges;
            EXPECT_NEAR(side(cut.edges[0].first), 0.0f, Tolerance) << trial;
            EXPECT_NEAR(side(cut.edges[0].second), 0.0f, Tolerance) << trial;
        }
        for (const RecordedCall& call : r.calls)
            for (const ScreenVertex& x : call.vertices) EXPECT_LE(side(x), Tolerance) << trial;
    }
    EXPECT_GT(edges, 500);   // the trials cut often enough to mean something
}

class CutBand : public ::testing::Test {
protected:
    void SetUp() override
    {
        AllocateCutEdges(&cut);
        AllocateCutBand(&band);
    }
    int32_t IndexOf(const ScreenVertex* v) const { return static_cast<int32_t>(v - band.vertices.screen); }

    // As the slicing scene owns them.
    CutEdges cut;
    ::CutBand band;
};

TEST_F(CutBand, OneEdgeGivesAWhiteRimAndABlackCopyPushedAlongTheNormalAsTwoFaces)
{
    cut.count = 1;
    cut.edges[0].first = At(0, 0, 10);
    cut.edges[0].second = At(2, 0, 10);
    cut.edges[0].first.u = 0.25f;
    cut.edges[0].second.v2 = 0.5f;
    cut.edges[0].first.red = 0.0f;
    cut.edges[0].first.alpha = 0.0f;
    BuildCutBand(band, cut, 550.0f, AlongZ);

    ASSERT_EQ(band.vertices.count, 4);
    ASSERT_EQ(band.faces.count, 2);
    const ScreenVertex* v = band.vertices.screen;
    ExpectAt(v[0], 0, 0, 10);
    ExpectAt(v[1], 2, 0, 10);
    ExpectAt(v[2], 0, 0, -540);
    ExpectAt(v[3], 2, 0, -540);
    for (int i = 0; i < 4; ++i) {
        const float grey = i < 2 ? 1.0f : 0.0f;
        EXPECT_EQ(v[i].red, grey);
        EXPECT_EQ(v[i].green, grey);
        EXPECT_EQ(v[i].blue, grey);
        EXPECT_EQ(v[i].alpha, 1.0f);
        EXPECT_EQ(band.vertices.positions[i].x, v[i].x);
        EXPECT_EQ(band.vertices.positions[i].z, v[i].z);
    }
    EXPECT_EQ(v[2].u, 0.25f);   // the copies keep the cut's texture coordinates
    EXPECT_EQ(v[3].v2, 0.5f);
    const Face* f = band.faces.faces;
    EXPECT_EQ((std::vector<int32_t>{IndexOf(f[0].vertex[0]), IndexOf(f[0].vertex[1]), IndexOf(f[0].vertex[2])}),
              (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ((std::vector<int32_t>{IndexOf(f[1].vertex[0]), IndexOf(f[1].vertex[1]), IndexOf(f[1].vertex[2])}),
              (std::vector<int32_t>{2, 1, 3}));

    // Projected and drawn like a mesh: the copies behind the eye reach the screen only
    // through the side-plane clipper, so nothing drawn lies behind the eye. (The edge is
    // moved off the axis: a band along x = y = 0 runs through the eye itself.)
    cut.edges[0].first = At(5, 3, 10);
    cut.edges[0].second = At(7, 3, 10);
    BuildCutBand(band, cut, 550.0f, AlongZ);
    Camera camera{};
    camera.projectionScaleX = camera.projectionScaleY = 1.0f;
    ProjectMeshVertices(band.vertices, camera);
    PolygonList list = AllocatePolygonList(2);
    BuildPolygonList(list, band.faces.faces, 2);
    CallRecorder r;
    DrawSortedFaces(r, ViewToScreen, list, 2);
    FreePolygonList(&list);
    ASSERT_FALSE(r.calls.empty());
    for (const RecordedCall& call : r.calls)
        for (const ScreenVertex& x : call.vertices) EXPECT_GT(x.z, 0.0f);
}

TEST_F(CutBand, NoEdgesGiveAnEmptyBandAndLengthZeroGivesFlatFaces)
{
    cut.count = 0;
    BuildCutBand(band, cut, 550.0f, AlongZ);
    EXPECT_EQ(band.vertices.count, 0);
    EXPECT_EQ(band.faces.count, 0);

    cut.count = 1;
    cut.edges[0].first = At(0, 0, 10);
    cut.edges[0].second = At(2, 0, 10);
    BuildCutBand(band, cut, 0.0f, AlongZ);
    ExpectAt(band.vertices.screen[2], 0, 0, 10);
    ExpectAt(band.vertices.screen[3], 2, 0, 10);
}

TEST_F(CutBand, ACountBeyondTheListIsHeldToTheListsCapacity)
{
    cut.count = CutEdgeCapacity + 1;
    BuildCutBand(band, cut, 1.0f, AlongZ);
    EXPECT_EQ(band.vertices.count, CutBandVertexCapacity);
    EXPECT_EQ(band.faces.count, CutBandFaceCapacity);
    cut.count = -1;
    BuildCutBand(band, cut, 1.0f, AlongZ);
    EXPECT_EQ(band.vertices.count, 0);
}

TEST_F(CutBand, StorageNotYetAllocatedKeepsNoEdgeAndGivesNoBandButTheSliceIsStillDrawn)
{
    CutEdges none;
    ScreenVertex a = At(0, 0, 5), b = Hidden(0, 0, 15), c = Hidden(4, 0, 15);
    CallRecorder r;
    SliceTriangle(r, ViewToScreen, none, &a, &b, &c, PlaneZ10, AlongZ);
    EXPECT_EQ(r.Ops(), DualDraws(1));
    EXPECT_EQ(none.count, 0);

    ::CutBand empty;
    cut.count = 1;
    BuildCutBand(empty, cut, 550.0f, AlongZ);
    EXPECT_EQ(empty.vertices.count, 0);
    EXPECT_EQ(empty.faces.count, 0);
}

}  // namespace
