// Meshes built from named objects of 3DS files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/mesh_load.h"
#include "test_files.h"
#include "write3ds.h"

namespace {

MeshObject3ds TwoTriangles()
{
    MeshObject3ds object;
    object.name = "front";
    object.positions = {1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -2, -3};
    object.faces = {0, 1, 2, 0x7, 2, 3, 0, 0};
    object.uvs = {0.25f, 0.75f, 0.5f, 0.5f};   // only the first two vertices have entries
    return object;
}

TEST(LoadMesh3ds, BuildsPositionsRecordsAndFaces)
{
    TempFile file("two_triangles.3ds", Make3dsFile({TwoTriangles()}));
    Mesh mesh;
    {
        LoadMesh3ds(&mesh, file.path.c_str(), "front");
    }
    ASSERT_NE(mesh.vertexBlock, nullptr);
    ASSERT_EQ(mesh.vertexBlock->count, 4);
    ASSERT_EQ(mesh.restBlock->count, 4);
    ASSERT_EQ(mesh.faceBlock->count, 2);

    // File (1, 2, 3) -> reader (1, 3, 2) -> mesh (-1, 3, 2), in both blocks.
    for (const VertexBlock* block : {mesh.vertexBlock, mesh.restBlock}) {
        EXPECT_EQ(block->positions[0].x, -1.0f);
        EXPECT_EQ(block->positions[0].y, 3.0f);
        EXPECT_EQ(block->positions[0].z, 2.0f);
        EXPECT_EQ(block->positions[3].x, 1.0f);
        EXPECT_EQ(block->positions[3].y, -3.0f);
        EXPECT_EQ(block->positions[3].z, -2.0f);
    }
    const ScreenVertex* records = mesh.vertexBlock->screen;
    EXPECT_EQ(records[0].u, 0.25f);
    EXPECT_EQ(records[0].u2, 0.25f);
    EXPECT_EQ(records[0].v, -0.75f);
    EXPECT_EQ(records[0].v2, -0.75f);
    EXPECT_EQ(records[1].v2, -0.5f);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(records[i].red, 1.0f);
        EXPECT_EQ(records[i].green, 1.0f);
        EXPECT_EQ(records[i].blue, 1.0f);
        EXPECT_EQ(records[i].alpha, 1.0f);
    }
    for (int i = 2; i < 4; i++) {
        EXPECT_EQ(records[i].u, 0.0f);
        EXPECT_EQ(records[i].v, 0.0f);
        EXPECT_EQ(records[i].u2, 0.0f);
        EXPECT_EQ(records[i].v2, 0.0f);
    }

    const int expected[2][3] = {{0, 1, 2}, {2, 3, 0}};
    for (int f = 0; f < 2; f++) {
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(mesh.faceBlock->faces[f].index[k], expected[f][k]);
            EXPECT_EQ(mesh.faceBlock->faces[f].vertex[k], &records[expected[f][k]]);
        }
    }
    FreeMesh(&mesh);
}

TEST(LoadMesh3ds, SameObjectTwiceGivesIndependentEqualMeshes)
{
    TempFile file("twice.3ds", Make3dsFile({TwoTriangles()}));
    Mesh a, b;
    {
        LoadMesh3ds(&a, file.path.c_str(), "front");
        LoadMesh3ds(&b, file.path.c_str(), "front");
    }
    ASSERT_EQ(a.vertexBlock->count, b.vertexBlock->count);
    ASSERT_EQ(a.faceBlock->count, b.faceBlock->count);
    EXPECT_NE(a.vertexBlock->positions, b.vertexBlock->positions);
    EXPECT_NE(a.vertexBlock->screen, b.vertexBlock->screen);
    EXPECT_NE(a.restBlock->positions, b.restBlock->positions);
    EXPECT_NE(a.faceBlock->faces, b.faceBlock->faces);
    int n = a.vertexBlock->count;
    EXPECT_EQ(0, std::memcmp(a.vertexBlock->positions, b.vertexBlock->positions, n * sizeof(Vector3)));
    EXPECT_EQ(0, std::memcmp(a.vertexBlock->screen, b.vertexBlock->screen, n * sizeof(ScreenVertex)));
    EXPECT_EQ(0, std::memcmp(a.restBlock->positions, b.restBlock->positions, n * sizeof(Vector3)));
    for (int f = 0; f < a.faceBlock->count; f++) {
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(a.faceBlock->faces[f].index[k], b.faceBlock->faces[f].index[k]);
            EXPECT_EQ(b.faceBlock->faces[f].vertex[k] - b.vertexBlock->screen, b.faceBlock->faces[f].index[k]);
        }
    }
    a.vertexBlock->positions[0].x = 100.0f;
    a.vertexBlock->screen[0].alpha = 0.5f;
    EXPECT_EQ(b.vertexBlock->positions[0].x, -1.0f);
    EXPECT_EQ(b.vertexBlock->screen[0].alpha, 1.0f);
    FreeMesh(&a);
    FreeMesh(&b);
}

TEST(LoadMesh3ds, MissingObjectGivesAnEmptyMeshAndSaysSo)
{
    TempFile file("missing.3ds", Make3dsFile({TwoTriangles()}));
    Mesh mesh;
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadMesh3ds(&mesh, file.path.c_str(), "GeoSphere0"), ModelRead::ObjectMissing);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Can't find object GeoSphere0 in model " + file.path + "\n");
    ASSERT_NE(mesh.vertexBlock, nullptr);
    EXPECT_EQ(mesh.vertexBlock->count, 0);
    EXPECT_EQ(mesh.restBlock->count, 0);
    EXPECT_EQ(mesh.faceBlock->count, 0);
    FreeMesh(&mesh);
}

TEST(LoadMesh3ds, UnopenableFileIsReportedAndLeavesTheMeshEmpty)
{
    Mesh mesh;
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadMesh3ds(&mesh, "megadata\\no_such_model.3ds", "GeoSphere0"), ModelRead::CannotOpen);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(mesh.vertexBlock, nullptr);
    EXPECT_EQ(mesh.faceBlock, nullptr);
}

}  // namespace
