// Reads back what the demo takes from a 3DS file: one named triangle object's points,
// faces and texture coordinates, found by walking the chunk tree the way the demo's
// reader does (main chunk, editor data, named objects, triangle object). Used by the
// previews and the tests to check written files independently of the writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "models3ds/tds_model.h"

struct TdsChunkInfo {
    uint16_t id;
    int depth;
};

struct TdsReadResult {
    bool found = false;                      // a NAMED_OBJECT with the name holds a mesh
    std::vector<Vec3f> points;               // as stored in the file
    std::vector<std::array<uint16_t, 3>> faces;
    std::vector<uint16_t> faceFlags;
    std::vector<TexCoord> texCoords;         // as stored in the file
    std::vector<std::string> objectNames;    // every NAMED_OBJECT, in file order
    std::vector<TdsChunkInfo> chunks;        // every chunk header met, in file order
    bool wellFormed = true;                  // every chunk lies inside its parent
};

// Walks the whole file and collects the named object.
TdsReadResult ReadTdsObject(const std::vector<uint8_t>& bytes, const std::string& objectName);
// Reads a whole file into bytes (empty when it cannot be read).
std::vector<uint8_t> ReadFileBytes(const std::string& path);
