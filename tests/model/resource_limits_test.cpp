// The largest objects a 3DS file can hold: 65535 vertices and 65535 faces load into a mesh
// within 16 MiB (the mesh's two vertex blocks of 68 bytes a vertex and its faces of 40
// bytes, plus the reader's arrays while it runs).
#include <gtest/gtest.h>

#include "model/mesh_load.h"
#include "test_files.h"
#include "write3ds.h"
#include "support/peak_memory.h"

namespace {

TEST(ResourceLimits, AnObjectOfSixtyFiveThousandVerticesAndFacesLoadsWithinSixteenMegabytes)
{
    MeshObject3ds object;
    object.name = "Big";
    for (int i = 0; i < 65535; ++i) {
        object.positions.insert(object.positions.end(), {float(i % 256), float(i / 256), float(i % 7)});
        object.faces.insert(object.faces.end(), {uint16_t(i), uint16_t((i + 1) % 65535), uint16_t((i + 2) % 65535), 0});
    }
    const std::vector<uint8_t> file = Make3dsFile({object});
    object = MeshObject3ds{};

    const long before = PeakResidentKb();
    Mesh mesh;
    ASSERT_EQ(LoadMesh3dsFromMemory(&mesh, file.data(), file.size(), "Big"), ModelRead::Found);
    EXPECT_EQ(mesh.vertexBlock->count, 65535);
    EXPECT_EQ(mesh.faceBlock->count, 65535);
    EXPECT_EQ(mesh.faceBlock->faces[65534].vertex[2], &mesh.vertexBlock->screen[1]);
    if (MeasuringMemory) {
        EXPECT_LE(PeakResidentKb() - before, 16 * 1024);
    }
    FreeMesh(&mesh);
}

TEST(ResourceLimits, CountsDeclaringTheMostButHoldingLittleCostLittle)
{
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D);
    w.Begin(0x4000);
    w.Name("Big");
    w.Begin(0x4100);
    w.Begin(0x4110);
    w.Word(65535);   // three points follow, not 65535
    for (int i = 0; i < 9; ++i) w.Float(float(i));
    w.End();
    w.End();
    w.End();
    w.End();
    w.End();

    testing::internal::CaptureStderr();
    const long before = PeakResidentKb();
    Mesh mesh;
    LoadMesh3dsFromMemory(&mesh, w.bytes.data(), w.bytes.size(), "Big");
    testing::internal::GetCapturedStderr();
    ASSERT_NE(mesh.vertexBlock, nullptr);
    EXPECT_EQ(mesh.vertexBlock->count, 3);
    if (MeasuringMemory) {
        EXPECT_LE(PeakResidentKb() - before, 1024);
    }
    FreeMesh(&mesh);
}

}  // namespace
