// Every object of the real 3DS files read by our reader and by lib3ds must agree, with
// our conventions applied: Y and Z exchanged, v negated.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "model/3dsload.h"
#include "support/test_data.h"
#include "test_files.h"

namespace {

// Listed while the program starts (the parameters below), so a missing folder gives an
// empty list here and fails the test of the count instead.
std::vector<std::string> ModelFiles()
{
    std::vector<std::string> names;
    if (!TestDataFolderExists(MODEL_TESTDATA_DIR)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(MODEL_TESTDATA_DIR)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".3ds") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ModelPath(const std::string& name)
{
    return std::string(MODEL_TESTDATA_DIR) + "/" + name;
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return bytes;
}

class RealModelFile : public testing::TestWithParam<std::string> {};

TEST(RealModelFiles, AllNineAreThere)
{
    ASSERT_TRUE(TestDataFolderExists(MODEL_TESTDATA_DIR));
    EXPECT_EQ(ModelFiles().size(), 9u);
}

TEST_P(RealModelFile, EveryObjectMatchesTheIndependentReader)
{
    std::string path = ModelPath(GetParam());
    Lib3dsFile* oracle = lib3ds_file_load(path.c_str());
    ASSERT_NE(oracle, nullptr);
    // lib3ds keeps every object; ours keeps the last of a name.
    std::map<std::string, Lib3dsMesh*> byName;
    for (Lib3dsMesh* m = oracle->meshes; m; m = m->next) byName[m->name] = m;
    ASSERT_FALSE(byName.empty());

    for (const auto& [name, expected] : byName) {
        SCOPED_TRACE(name);
        TriMeshData data{};
        {
            EXPECT_EQ(Read3dsObject(&data, path.c_str(), name.c_str()), ModelRead::Found);
        }
        ASSERT_EQ(data.vertexCount, static_cast<int32_t>(expected->points));
        ASSERT_EQ(data.faceCount, static_cast<int32_t>(expected->faces));
        ASSERT_EQ(data.textureCoordinateCount, static_cast<int32_t>(expected->texels));
        for (int32_t i = 0; i < data.vertexCount; i++) {
            const float* p = expected->pointL[i].pos;
            ASSERT_EQ(data.positions[3 * i], p[0]) << "vertex " << i;
            ASSERT_EQ(data.positions[3 * i + 1], p[2]) << "vertex " << i;
            ASSERT_EQ(data.positions[3 * i + 2], p[1]) << "vertex " << i;
        }
        for (int32_t f = 0; f < data.faceCount; f++) {
            const Lib3dsWord* v = expected->faceL[f].points;
            ASSERT_EQ(data.faces[4 * f], v[0]) << "face " << f;
            ASSERT_EQ(data.faces[4 * f + 1], v[1]) << "face " << f;
            ASSERT_EQ(data.faces[4 * f + 2], v[2]) << "face " << f;
            ASSERT_EQ(data.faces[4 * f + 3], 0) << "face " << f;
        }
        for (int32_t i = 0; i < data.vertexCount; i++) {
            float u = i < data.textureCoordinateCount ? expected->texelL[i][0] : 0.0f;
            float v = i < data.textureCoordinateCount ? -expected->texelL[i][1] : 0.0f;
            ASSERT_EQ(data.textureCoordinates[2 * i], u) << "vertex " << i;
            ASSERT_EQ(data.textureCoordinates[2 * i + 1], v) << "vertex " << i;
        }
        FreeTriMeshData(&data);
    }
    lib3ds_file_free(oracle);
}

// One walk, two byte sources: the file and the memory reader give the same trace and data.
TEST_P(RealModelFile, FileAndMemoryReadersAgree)
{
    std::string path = ModelPath(GetParam());
    std::vector<uint8_t> bytes = FileBytes(path);
    ASSERT_FALSE(bytes.empty());
    Lib3dsFile* oracle = lib3ds_file_load(path.c_str());
    ASSERT_NE(oracle, nullptr);
    std::string name = oracle->meshes->name;
    lib3ds_file_free(oracle);

    TriMeshData fromFile{}, fromMemory{};
    testing::internal::CaptureStdout();
    Read3dsObject(&fromFile, path.c_str(), name.c_str(), ChunkTrace::Shown);
    std::string fileTrace = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    Read3dsObjectFromMemory(&fromMemory, bytes.data(), bytes.size(), name.c_str(), ChunkTrace::Shown);
    std::string memoryTrace = testing::internal::GetCapturedStdout();

    EXPECT_EQ(fileTrace, memoryTrace);
    EXPECT_EQ(fileTrace.rfind("CHUNK: id:4d4d length:" + std::to_string(bytes.size()) + " endpos:" +
                                  std::to_string(bytes.size()) + "\n", 0),
              0u);
    ASSERT_EQ(fromFile.vertexCount, fromMemory.vertexCount);
    ASSERT_EQ(fromFile.faceCount, fromMemory.faceCount);
    EXPECT_EQ(0, std::memcmp(fromFile.positions, fromMemory.positions, 12 * fromFile.vertexCount));
    EXPECT_EQ(0, std::memcmp(fromFile.faces, fromMemory.faces, 16 * fromFile.faceCount));
    FreeTriMeshData(&fromFile);
    FreeTriMeshData(&fromMemory);
}

INSTANTIATE_TEST_SUITE_P(TestData, RealModelFile, testing::ValuesIn(ModelFiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string s = info.param;
                             for (char& c : s)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return s;
                         });

}  // namespace
