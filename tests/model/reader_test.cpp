// The reader on small files written here: conventions, the walk's choices, the trace.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/3dsload.h"
#include "test_files.h"
#include "write3ds.h"

namespace {

MeshObject3ds Triangle(const std::string& name)
{
    MeshObject3ds object;
    object.name = name;
    object.positions = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    object.faces = {0, 1, 2, 0};
    return object;
}

TEST(Read3ds, ExchangesYAndZAndNegatesV)
{
    MeshObject3ds object = Triangle("Tri");
    object.uvs = {0.25f, 0.75f, 0.5f, -1.0f, 0.0f, 0.0f};
    std::vector<uint8_t> file = Make3dsFile({object});
    TriMeshData data{};
    ASSERT_TRUE(ReadQuietly(&data, file, "Tri"));
    ASSERT_EQ(data.vertexCount, 3);
    const float positions[] = {1, 3, 2, 4, 6, 5, 7, 9, 8};
    for (int i = 0; i < 9; i++) EXPECT_EQ(data.positions[i], positions[i]) << i;
    ASSERT_EQ(data.textureCoordinateCount, 3);
    const float uvs[] = {0.25f, -0.75f, 0.5f, 1.0f, 0.0f, -0.0f};
    for (int i = 0; i < 6; i++) EXPECT_EQ(data.textureCoordinates[i], uvs[i]) << i;
    FreeTriMeshData(&data);
}

TEST(Read3ds, FaceFlagsBecomeAZeroFourthValue)
{
    MeshObject3ds object = Triangle("F");
    object.positions.resize(8 * 3, 0.0f);
    object.faces = {5, 6, 7, 0x0007, 1, 2, 3, 0xFFFF};
    object.material = "Mat";
    object.groupFaces = {1, 0};
    TriMeshData data{};
    ASSERT_TRUE(ReadQuietly(&data, Make3dsFile({object}), "F"));
    ASSERT_EQ(data.faceCount, 2);
    const int32_t faces[] = {5, 6, 7, 0, 1, 2, 3, 0};
    for (int i = 0; i < 8; i++) EXPECT_EQ(data.faces[i], faces[i]) << i;
    EXPECT_EQ(data.textureCoordinateCount, 0);
    for (int i = 0; i < 16; i++) EXPECT_EQ(data.textureCoordinates[i], 0.0f);
    FreeTriMeshData(&data);
}

TEST(Read3ds, NoMatchingObjectLeavesTheRecordAsPassed)
{
    int32_t faces[4] = {9, 9, 9, 9};
    float positions[3] = {1, 1, 1};
    float uvs[2] = {2, 2};
    TriMeshData data{faces, positions, uvs, 11, 12, 13};
    EXPECT_FALSE(ReadQuietly(&data, Make3dsFile({Triangle("Other")}), "Wanted"));
    EXPECT_EQ(data.faces, faces);
    EXPECT_EQ(data.positions, positions);
    EXPECT_EQ(data.textureCoordinates, uvs);
    EXPECT_EQ(data.vertexCount, 11);
    EXPECT_EQ(data.faceCount, 12);
    EXPECT_EQ(data.textureCoordinateCount, 13);
    // Names compare exactly, case included.
    EXPECT_FALSE(ReadQuietly(&data, Make3dsFile({Triangle("wanted")}), "Wanted"));
    EXPECT_EQ(data.vertexCount, 11);
}

TEST(Read3ds, WalksATopLevelChunkOfAnyId)
{
    std::vector<uint8_t> file = Make3dsFile({Triangle("Tri")});
    file[0] = 0x34;
    file[1] = 0x12;
    TriMeshData data{};
    ASSERT_TRUE(ReadQuietly(&data, file, "Tri"));
    EXPECT_EQ(data.vertexCount, 3);
    FreeTriMeshData(&data);
}

TEST(Read3ds, CameraObjectYieldsNothing)
{
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D);
    w.Begin(0x4000);
    w.Name("Camera01");
    w.Begin(0x4700);
    for (int i = 0; i < 8; i++) w.Float(1.0f);
    w.End();
    w.End();
    w.End();
    w.End();
    TriMeshData data{};
    EXPECT_FALSE(ReadQuietly(&data, w.bytes, "Camera01"));
    EXPECT_EQ(data.positions, nullptr);
    EXPECT_EQ(data.vertexCount, 0);
}

TEST(Read3ds, LastObjectOfTheNameWins)
{
    MeshObject3ds second = Triangle("Dup");
    second.positions = {10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 0, 0};
    second.faces = {3, 2, 1, 0, 0, 1, 3, 0};
    TriMeshData data{};
    ASSERT_TRUE(ReadQuietly(&data, Make3dsFile({Triangle("Dup"), Triangle("X"), second}), "Dup"));
    ASSERT_EQ(data.vertexCount, 4);
    ASSERT_EQ(data.faceCount, 2);
    EXPECT_EQ(data.positions[1], 30.0f);
    EXPECT_EQ(data.faces[0], 3);
    FreeTriMeshData(&data);   // the first object's arrays were released by the walk
}

// A length below 6 ends the chunk before it starts: the walk goes on right after its header.
TEST(Read3ds, ChunkShorterThanItsHeaderIsPassedOver)
{
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D);
    w.Begin(0xAAAA);
    w.EndWithLength(2);
    WriteMeshObject(w, Triangle("Tri"));
    w.End();
    w.End();
    TriMeshData data{};
    testing::internal::CaptureStdout();
    bool found = Read3dsObjectFromMemory(&data, w.bytes.data(), w.bytes.size(), "Tri", ChunkTrace::Shown) == ModelRead::Found;
    std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(found);
    EXPECT_EQ(data.vertexCount, 3);
    // Its header ends at byte 18, so its end lies 4 bytes before that.
    EXPECT_NE(trace.find("\n  CHUNK: id:aaaa length:2 endpos:14\n  CHUNK: id:4000 "), std::string::npos)
        << trace;
    FreeTriMeshData(&data);
}

TEST(Read3ds, TraceShowsEveryHeaderIndentedByLevelAndEveryObjectName)
{
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x0002);
    w.Dword(3);
    w.End();
    w.Begin(0x3D3D);
    w.Begin(0x4000);   // skipped object: its name is traced, its chunks are not
    w.Name("Other");
    w.Begin(0x4100);
    w.End();
    w.End();
    MeshObject3ds box;
    box.name = "Box";
    box.positions = {0, 0, 0};
    box.faces = {0, 0, 0, 0};
    box.material = "M";
    box.groupFaces = {0};
    WriteMeshObject(w, box);
    w.End();
    w.End();
    ASSERT_EQ(w.bytes.size(), 104u);

    TriMeshData data{};
    testing::internal::CaptureStdout();
    Read3dsObjectFromMemory(&data, w.bytes.data(), w.bytes.size(), "Box", ChunkTrace::Shown);
    std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(trace,
              "CHUNK: id:4d4d length:104 endpos:104\n"
              " CHUNK: id:2 length:10 endpos:16\n"
              " CHUNK: id:3d3d length:88 endpos:104\n"
              "  CHUNK: id:4000 length:18 endpos:40\n"
              "Other\n"
              "  CHUNK: id:4000 length:64 endpos:104\n"
              "Box\n"
              "   CHUNK: id:4100 length:54 endpos:104\n"
              "    CHUNK: id:4110 length:20 endpos:76\n"
              "    CHUNK: id:4120 length:28 endpos:104\n"
              "     CHUNK: id:4130 length:12 endpos:104\n");
    FreeTriMeshData(&data);

    testing::internal::CaptureStdout();
    ReadQuietly(&data, w.bytes, "Box");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    FreeTriMeshData(&data);
}

}  // namespace
