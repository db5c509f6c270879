// The model builders and the 3DS writer, checked against the demo's reader.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "model/3dsload.h"
#include "models3ds/geosphere.h"
#include "models3ds/sculpt.h"
#include "models3ds/tds_write.h"

namespace {

Vec3f Sub(Vec3f a, Vec3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3f Cross(Vec3f a, Vec3f b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct ReaderResult {
    TriMeshData data{};
    bool found = false;
    ~ReaderResult() { FreeTriMeshData(&data); }
};

void ReadWithDemoReader(ReaderResult& r, const std::vector<uint8_t>& bytes, const char* name)
{
    r.found = Read3dsObjectFromMemory(&r.data, bytes.data(), bytes.size(), name) == ModelRead::Found;
}

}  // namespace

TEST(TdsWriter, DemoReaderGetsPointsFacesAndCoordinatesBack)
{
    TdsScene scene;
    scene.materials.push_back({"Mat", {{1, 2, 3}}, {{4, 5, 6}}, {{7, 8, 9}}, "MAP.PNG"});
    TdsMesh other;
    other.name = "other";
    other.vertices = {{9, 9, 9}, {8, 8, 8}, {7, 7, 7}};
    other.faces = {{0, 1, 2}};
    TdsMesh mesh;
    mesh.name = "thing";
    mesh.material = "Mat";
    mesh.vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {-1, -2, -3}};
    mesh.texCoords = {{0.25f, 0.75f}, {0, 0}, {1, 1}, {0.5f, 0.125f}};
    mesh.faces = {{0, 1, 2}, {2, 3, 0}};
    scene.meshes = {other, mesh};
    scene.cameras.push_back({"Camera01", {0, -500, 0}, {0, 0, 0}, 0, 50});
    scene.lights.push_back({"Omni01", {1, 2, 3}, {1, 1, 1}});

    ReaderResult r;
    ReadWithDemoReader(r, EncodeTds(scene), "thing");
    ASSERT_TRUE(r.found);
    ASSERT_EQ(r.data.vertexCount, 4);
    ASSERT_EQ(r.data.faceCount, 2);
    ASSERT_EQ(r.data.textureCoordinateCount, 4);
    // The reader exchanges Y and Z and negates v.
    EXPECT_EQ(r.data.positions[0], 1.0f);
    EXPECT_EQ(r.data.positions[1], 3.0f);
    EXPECT_EQ(r.data.positions[2], 2.0f);
    EXPECT_EQ(r.data.positions[9], -1.0f);
    EXPECT_EQ(r.data.positions[10], -3.0f);
    EXPECT_EQ(r.data.textureCoordinates[0], 0.25f);
    EXPECT_EQ(r.data.textureCoordinates[1], -0.75f);
    EXPECT_EQ(r.data.textureCoordinates[7], -0.125f);
    const int32_t faces[8] = {0, 1, 2, 0, 2, 3, 0, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(r.data.faces[i], faces[i]) << i;

    ReaderResult camera;
    ReadWithDemoReader(camera, EncodeTds(scene), "Camera01");
    EXPECT_FALSE(camera.found);
}

TEST(GeoSphere, FacesPointsWindingAndSeamForSeveralFrequencies)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        TdsMesh m = BuildGeoSphere("g", 10.0f, n);
        ASSERT_EQ(m.faces.size(), size_t(20 * n * n));
        std::set<std::tuple<long, long, long>> distinct;
        for (const Vec3f& v : m.vertices) {
            EXPECT_NEAR(std::sqrt(Dot(v, v)), 10.0f, 1e-4f);
            distinct.insert({std::lround(v.x * 1e3), std::lround(v.y * 1e3), std::lround(v.z * 1e3)});
        }
        EXPECT_EQ(distinct.size(), size_t(10 * n * n + 2));
        for (const auto& f : m.faces) {
            Vec3f a = m.vertices[f[0]], b = m.vertices[f[1]], c = m.vertices[f[2]];
            Vec3f centre{a.x + b.x + c.x, a.y + b.y + c.y, a.z + b.z + c.z};
            EXPECT_GT(Dot(Cross(Sub(b, a), Sub(c, a)), centre), 0.0f);   // counter-clockwise from outside
            float lo = std::fmin(m.texCoords[f[0]].u, std::fmin(m.texCoords[f[1]].u, m.texCoords[f[2]].u));
            float hi = std::fmax(m.texCoords[f[0]].u, std::fmax(m.texCoords[f[1]].u, m.texCoords[f[2]].u));
            EXPECT_LT(hi - lo, 0.5f);   // no face wraps round the texture
        }
    }
}

TEST(Sculpture, EveryFaceHasAreaAndTheCameraLooksAtItsFront)
{
    TdsMesh m = BuildFrontSculpture();
    ASSERT_EQ(m.texCoords.size(), m.vertices.size());
    for (const auto& f : m.faces) {
        Vec3f n = Cross(Sub(m.vertices[f[1]], m.vertices[f[0]]), Sub(m.vertices[f[2]], m.vertices[f[0]]));
        ASSERT_GT(std::sqrt(Dot(n, n)), 1e-3f);
    }
    TdsScene scene = FrontScene();
    ASSERT_FALSE(scene.cameras.empty());
    EXPECT_LT(scene.cameras[0].position.y, -400.0f);   // in front: the sculpture faces -Y
}
