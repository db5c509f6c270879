// Damaged and hostile files: the reader stays inside its arrays and its data, keeps what
// it can, and says what was wrong on standard error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/3dsload.h"
#include "model/mesh_load.h"
#include "test_files.h"
#include "write3ds.h"

namespace {

MeshObject3ds Quad(const std::string& name)
{
    MeshObject3ds object;
    object.name = name;
    object.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    object.faces = {0, 1, 2, 0, 2, 3, 0, 0};
    object.uvs = {0, 0, 1, 0, 1, 1, 0, 1};
    object.material = "Mat";
    object.groupFaces = {0, 1};
    return object;
}

// Reads and returns what went to standard error.
std::string ReadCapturingErrors(TriMeshData* data, const std::vector<uint8_t>& bytes, const char* name)
{
    testing::internal::CaptureStderr();
    ReadQuietly(data, bytes, name);
    return testing::internal::GetCapturedStderr();
}

// Every prefix of a valid file is a truncated file; none may read or write out of bounds,
// and the mesh built from it must stay consistent.
TEST(Read3dsDamage, EveryTruncationEndsCleanly)
{
    std::vector<uint8_t> file = Make3dsFile({Quad("A"), Quad("B")});
    for (size_t size = 0; size <= file.size(); size++) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<long>(size));
        TriMeshData data{};
        testing::internal::CaptureStderr();
        ReadQuietly(&data, cut, "B");
        std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_LE(data.vertexCount, 4);
        EXPECT_LE(data.faceCount, 2);
        EXPECT_LE(data.textureCoordinateCount, data.vertexCount);
        EXPECT_EQ(errors.empty(), size == file.size()) << size << ": " << errors;
        FreeTriMeshData(&data);
    }
}

TEST(Read3dsDamage, HugeLengthsStopAtTheEndOfTheData)
{
    std::vector<uint8_t> file = Make3dsFile({Quad("A")});
    file[2] = file[3] = file[4] = 0xFF;   // MAIN3DS claims 0x7FFFFFFF bytes
    file[5] = 0x7F;
    TriMeshData data{};
    std::string errors = ReadCapturingErrors(&data, file, "A");
    EXPECT_EQ(data.vertexCount, 4);
    EXPECT_NE(errors.find("chunk 4d4d at byte 0 ends at 2147483647, past the end " +
                          std::to_string(file.size()) + " of its data; cut short"),
              std::string::npos)
        << errors;
    FreeTriMeshData(&data);

    // A length with the top bit set is negative: the chunk ends before it starts.
    file[5] = 0xFF;
    EXPECT_FALSE(ReadQuietly(&data, file, "A"));
    EXPECT_EQ(data.positions, nullptr);
}

TEST(Read3dsDamage, ChildRunningPastItsParentIsCutAtTheParentsEnd)
{
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D);
    w.Begin(0x4000);
    w.Name("A");
    w.Begin(0x4100);
    w.Begin(0x4110);
    w.Word(2);
    for (int i = 0; i < 6; i++) w.Float(static_cast<float>(i + 1));
    w.EndWithLength(1000);   // runs far past the object
    w.End();
    w.End();
    WriteMeshObject(w, Quad("B"));   // still found after the damaged object
    w.End();
    w.End();
    TriMeshData data{};
    std::string errors = ReadCapturingErrors(&data, w.bytes, "A");
    ASSERT_EQ(data.vertexCount, 2);
    EXPECT_EQ(data.positions[5], 5.0f);
    EXPECT_NE(errors.find("chunk 4110 at byte 26 ends at 1026, past the end 58 of its parent"),
              std::string::npos)
        << errors;
    FreeTriMeshData(&data);
    EXPECT_TRUE(ReadQuietly(&data, w.bytes, "B"));
    EXPECT_EQ(data.vertexCount, 4);
    FreeTriMeshData(&data);
}

TEST(Read3dsDamage, CountsAreCutToWhatFitsTheirChunk)
{
    MeshObject3ds object = Quad("A");
    std::vector<uint8_t> file = Make3dsFile({object});
    // The POINT_ARRAY count sits right after the 4110 header; claim 60000 vertices.
    size_t at = 0;
    while (!(file[at] == 0x10 && file[at + 1] == 0x41)) at++;
    file[at + 6] = 0x60;
    file[at + 7] = 0xEA;
    TriMeshData data{};
    std::string errors = ReadCapturingErrors(&data, file, "A");
    EXPECT_EQ(data.vertexCount, 4);
    EXPECT_EQ(data.faceCount, 2);
    EXPECT_EQ(data.textureCoordinateCount, 4);
    EXPECT_NE(errors.find("chunk 4110 declares 60000 entries, only 4 fit"), std::string::npos) << errors;
    FreeTriMeshData(&data);
}

TEST(Read3dsDamage, TextureCoordinatesNeverPassTheVertices)
{
    // Before any point list: nothing stored, count 0.
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D);
    w.Begin(0x4000);
    w.Name("A");
    w.Begin(0x4100);
    WriteTexVerts(w, {0.5f, 0.5f, 0.25f, 0.25f});
    WritePointArray(w, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    w.End();
    w.End();
    w.End();
    w.End();
    TriMeshData data{};
    std::string errors = ReadCapturingErrors(&data, w.bytes, "A");
    EXPECT_EQ(data.vertexCount, 3);
    EXPECT_EQ(data.textureCoordinateCount, 0);
    for (int i = 0; i < 6; i++) EXPECT_EQ(data.textureCoordinates[i], 0.0f);
    EXPECT_NE(errors.find("2 texture coordinates for 0 vertices; the rest ignored"), std::string::npos);
    FreeTriMeshData(&data);

    // More entries than vertices: the first ones are kept, the rest ignored.
    MeshObject3ds object = Quad("B");
    object.uvs = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f, 1.1f, 1.2f};
    errors = ReadCapturingErrors(&data, Make3dsFile({object}), "B");
    EXPECT_EQ(data.textureCoordinateCount, 4);
    EXPECT_EQ(data.textureCoordinates[6], 0.7f);
    EXPECT_EQ(data.textureCoordinates[7], -0.8f);
    EXPECT_NE(errors.find("6 texture coordinates for 4 vertices"), std::string::npos);
    FreeTriMeshData(&data);
}

TEST(Read3dsDamage, MaterialGroupIndicesBeyondTheFacesAreIgnored)
{
    MeshObject3ds object = Quad("A");
    object.groupFaces = {1, 2, 65535};
    TriMeshData data{};
    std::string errors = ReadCapturingErrors(&data, Make3dsFile({object}), "A");
    ASSERT_EQ(data.faceCount, 2);
    const int32_t faces[] = {0, 1, 2, 0, 2, 3, 0, 0};
    for (int i = 0; i < 8; i++) EXPECT_EQ(data.faces[i], faces[i]);
    EXPECT_NE(errors.find("material group \"Mat\" lists 2 faces beyond the face count 2; ignored"),
              std::string::npos)
        << errors;
    FreeTriMeshData(&data);
}

TEST(Read3dsDamage, NamesAreBounded)
{
    // Object names keep 31 bytes: a 31-byte name matches, a longer one never does.
    std::string name31(31, 'n');
    TriMeshData data{};
    ASSERT_TRUE(ReadQuietly(&data, Make3dsFile({Quad(name31)}), name31.c_str()));
    FreeTriMeshData(&data);
    std::vector<uint8_t> longName = Make3dsFile({Quad(name31 + "tail")});
    EXPECT_FALSE(ReadQuietly(&data, longName, name31.c_str()));
    EXPECT_FALSE(ReadQuietly(&data, longName, (name31 + "tail").c_str()));

    // Material names keep 19 bytes; the rest is read and the walk stays in step.
    MeshObject3ds object = Quad("A");
    object.material = std::string(40, 'm');
    ASSERT_TRUE(ReadQuietly(&data, Make3dsFile({object}), "A"));
    EXPECT_EQ(data.faceCount, 2);
    EXPECT_EQ(data.textureCoordinateCount, 4);
    FreeTriMeshData(&data);
}

TEST(Read3dsDamage, NameWithoutTerminatorEndsAtItsChunk)
{
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D);
    w.Begin(0x4000);
    w.Raw("Unterminated");
    w.End();
    WriteMeshObject(w, Quad("A"));
    w.End();
    w.End();
    TriMeshData data{};
    std::string errors = ReadCapturingErrors(&data, w.bytes, "A");
    EXPECT_EQ(data.vertexCount, 4);
    EXPECT_NE(errors.find("name \"Unterminated\" in chunk 4000 has no terminator"), std::string::npos);
    FreeTriMeshData(&data);
}

TEST(Read3dsDamage, EmptyAndTinyInputsYieldNothing)
{
    TriMeshData data{};
    std::string errors = ReadCapturingErrors(&data, {}, "A");
    EXPECT_EQ(data.vertexCount, 0);
    EXPECT_EQ(data.positions, nullptr);
    EXPECT_NE(errors.find("Model (memory): no room for a chunk header at byte 0 (0 bytes left)"), std::string::npos);
    ReadCapturingErrors(&data, {0x4D, 0x4D, 0x10}, "A");
    EXPECT_EQ(data.positions, nullptr);
}

TEST(Read3dsDamage, MeshDropsFacesOutsideTheVertices)
{
    MeshObject3ds object = Quad("A");
    object.faces = {0, 1, 2, 0, 0, 4, 1, 0, 2, 3, 0, 0, 9, 9, 9, 0};
    std::vector<uint8_t> file = Make3dsFile({object});
    Mesh mesh;
    testing::internal::CaptureStderr();
    LoadMesh3dsFromMemory(&mesh, file.data(), file.size(), "A");
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "Model (memory), object A: dropped 2 faces with vertex indices beyond 4 vertices\n");
    ASSERT_EQ(mesh.faceBlock->count, 2);
    EXPECT_EQ(mesh.faceBlock->faces[0].index[2], 2);
    EXPECT_EQ(mesh.faceBlock->faces[1].index[0], 2);
    EXPECT_EQ(mesh.faceBlock->faces[1].vertex[1], &mesh.vertexBlock->screen[3]);
    FreeMesh(&mesh);
}

}  // namespace
