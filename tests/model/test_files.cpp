#include "test_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "write3ds.h"

TempFile::TempFile(const std::string& name, const std::vector<uint8_t>& bytes)
    : path(testing::TempDir() + "zircon_model_" + std::to_string(getpid()) + "_" + name)
{
    EXPECT_TRUE(WriteBytesToFile(path, bytes)) << path;
}

TempFile::~TempFile()
{
    std::remove(path.c_str());
}

bool ReadQuietly(TriMeshData* result, const std::vector<uint8_t>& bytes, const char* objectName)
{
    return Read3dsObjectFromMemory(result, bytes.data(), bytes.size(), objectName) == ModelRead::Found;
}
