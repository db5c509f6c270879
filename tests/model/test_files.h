// Shared helpers of the model tests: temporary 3DS files and a quiet reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/3dsload.h"

// A file in the test temp folder holding the given bytes, removed again on destruction.
struct TempFile {
    std::string path;
    TempFile(const std::string& name, const std::vector<uint8_t>& bytes);
    ~TempFile();
};

// Reads objectName from bytes with the chunk trace off.
bool ReadQuietly(TriMeshData* result, const std::vector<uint8_t>& bytes, const char* objectName);
