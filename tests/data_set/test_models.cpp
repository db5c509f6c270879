// The two model files, read with the demo's 3DS reader and mesh loader, and walked
// chunk by chunk for the parts a real file carries besides the meshes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "data_dir.h"
#include "model/3dsload.h"
#include "model/mesh.h"
#include "model/mesh_load.h"
#include "models3ds/tds_read.h"

namespace {

struct MeshGuard {
    Mesh mesh;
    ~MeshGuard() { FreeMesh(&mesh); }
};

void LoadQuietly(Mesh* mesh, const std::string& file, const char* object)
{
    LoadMesh3ds(mesh, DataPath(file).c_str(), object);
}

Vec3f Cross(Vec3f a, Vec3f b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec3f a, Vec3f b) { return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z; }

// Six times the signed volume enclosed by the faces: positive when they are wound
// counter-clockwise seen from outside.
double SignedVolume6(const TdsReadResult& r)
{
    double v = 0;
    for (const auto& f : r.faces) v += Dot(r.points[f[0]], Cross(r.points[f[1]], r.points[f[2]]));
    return v;
}

bool HasChunk(const TdsReadResult& r, uint16_t id, int depth)
{
    return std::any_of(r.chunks.begin(), r.chunks.end(), [&](const TdsChunkInfo& c) { return c.id == id && c.depth == depth; });
}

}  // namespace

TEST(Models, BallIsAGeodesicSphereOf2420Faces)
{
    MeshGuard ball;
    LoadQuietly(&ball.mesh, "ball2420.3ds", "GeoSphere0");
    ASSERT_NE(ball.mesh.faceBlock, nullptr);
    EXPECT_EQ(ball.mesh.faceBlock->count, 2420);
    int vertices = ball.mesh.vertexBlock->count;
    EXPECT_GE(vertices, 1212);   // 10 × 11² + 2 distinct points, plus seam copies
    EXPECT_LE(vertices, 20000);
    for (int i = 0; i < vertices; ++i) {
        const Vector3& p = ball.mesh.restBlock->positions[i];
        ASSERT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 200.0, 0.05) << i;
    }

    TdsReadResult r = ReadTdsObject(FileBytes(DataPath("ball2420.3ds")), "GeoSphere0");
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.texCoords.size(), r.points.size());
    EXPECT_NEAR(SignedVolume6(r) / 6.0, 4.0 / 3.0 * M_PI * 200 * 200 * 200, 0.02 * 4.0 / 3.0 * M_PI * 8e6);
    // No face wraps round the texture: the seam and the poles have their own copies.
    for (const auto& f : r.faces) {
        float lo = 2, hi = -1;
        for (uint16_t i : f) {
            lo = std::min(lo, r.texCoords[i].u);
            hi = std::max(hi, r.texCoords[i].u);
        }
        ASSERT_LT(hi - lo, 0.25f);
    }
}

TEST(Models, BallTextureRunsRoundOnceAndPoleToPole)
{
    MeshGuard ball;
    LoadQuietly(&ball.mesh, "ball2420.3ds", "GeoSphere0");
    ASSERT_NE(ball.mesh.vertexBlock, nullptr);
    float uMin = 9, uMax = -9, vMin = 9, vMax = -9;
    for (int i = 0; i < ball.mesh.vertexBlock->count; ++i) {
        const ScreenVertex& s = ball.mesh.vertexBlock->screen[i];
        uMin = std::min(uMin, s.u), uMax = std::max(uMax, s.u);
        vMin = std::min(vMin, s.v), vMax = std::max(vMax, s.v);
        // The file's v goes up; the reader negates it. The top of the ball (largest y
        // after the loader's axis exchange) has the picture's first row.
        const Vector3& p = ball.mesh.restBlock->positions[i];
        ASSERT_NEAR(s.v, -(0.5 + std::asin(std::clamp(p.y / 200.0f, -1.0f, 1.0f)) / M_PI), 0.01) << i;
    }
    // Once round: from 0 to 1, and a little beyond for the copies east of the seam.
    EXPECT_NEAR(uMin, 0.0f, 0.06f);
    EXPECT_GT(uMax, 1.0f);
    EXPECT_LT(uMax, 1.25f);
    EXPECT_NEAR(vMin, -1.0f, 1e-4f);
    EXPECT_NEAR(vMax, 0.0f, 1e-4f);
}

TEST(Models, FrontSculptureIsClosedTexturedAndAbout400Across)
{
    MeshGuard front;
    LoadQuietly(&front.mesh, "ting5.3ds", "front");
    ASSERT_NE(front.mesh.faceBlock, nullptr);
    EXPECT_GT(front.mesh.faceBlock->count, 500);
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (int i = 0; i < front.mesh.vertexBlock->count; ++i) {
        const Vector3& p = front.mesh.restBlock->positions[i];
        const float c[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
    }
    float across = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    EXPECT_GT(across, 350.0f);
    EXPECT_LT(across, 450.0f);
    // Shallow front to back (the loader's z), facing the camera of the credits scene.
    EXPECT_LT(hi[2] - lo[2], 0.5f * across);

    TdsReadResult r = ReadTdsObject(FileBytes(DataPath("ting5.3ds")), "front");
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.texCoords.size(), r.points.size());
    EXPECT_GT(SignedVolume6(r), 0.0);   // wound counter-clockwise seen from outside
}

TEST(Models, FilesCarryTheChunksOfARealScene)
{
    TdsReadResult ball = ReadTdsObject(FileBytes(DataPath("ball2420.3ds")), "GeoSphere0");
    TdsReadResult front = ReadTdsObject(FileBytes(DataPath("ting5.3ds")), "front");
    for (const TdsReadResult* r : {&ball, &front}) {
        EXPECT_TRUE(r->wellFormed);
        EXPECT_EQ(r->chunks.front().id, 0x4D4D);
        EXPECT_TRUE(HasChunk(*r, 0x0002, 1));   // version
        EXPECT_TRUE(HasChunk(*r, 0xB000, 1));   // keyframer data
        EXPECT_TRUE(HasChunk(*r, 0xAFFF, 2));   // material
        EXPECT_TRUE(HasChunk(*r, 0x4130, 5));   // material group inside the face list
        EXPECT_GE(r->objectNames.size(), 2u);
    }
    EXPECT_EQ(ball.objectNames.front(), "GeoSphere0");
    EXPECT_EQ(front.objectNames.front(), "front");
    EXPECT_TRUE(HasChunk(front, 0x4700, 3));    // a camera inside a named object
    EXPECT_NE(std::find(front.objectNames.begin(), front.objectNames.end(), "back"), front.objectNames.end());

    // A name that is not in the file yields nothing from the demo's reader.
    MeshGuard none;
    LoadQuietly(&none.mesh, "ting5.3ds", "Camera01");
    EXPECT_TRUE(none.mesh.faceBlock == nullptr || none.mesh.faceBlock->count == 0);
}
