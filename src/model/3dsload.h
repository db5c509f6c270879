// The 3DS reader: pulls one triangle mesh, chosen by its object name, out of an Autodesk
// 3DS file (little-endian chunks of a 16-bit id and a 32-bit length that counts the
// 6-byte header). Only the chunks on the path to the mesh are understood:
//   level 0  any id (MAIN3DS in real files)     entered
//   level 1  0x3D3D editor data                 entered
//   level 2  0x4000 named object                name read; entered when it matches
//   level 3  0x4100 triangle object             entered
//   level 4  0x4110 points, 0x4120 faces, 0x4140 texture coordinates
//   level 5  0x4130 material group (inside the face list), read and discarded
// Everything else is skipped. Every chunk header is traced on standard output.
//
// The file is untrusted: every chunk is bounded by its parent and by the end of the
// data, counts are cut to what fits their chunk, names are bounded, and nothing is
// written outside the result arrays. Damage is reported on standard error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The byte source of a walk: an open file or a memory buffer. Reads past the end give
// zeros and still advance count, so loops end at their chunk's declared end.
struct ChunkFile {
    FILE* file;              // null when reading from memory
    const uint8_t* data;     // the memory buffer when file is null
    int64_t size;            // bytes available; INT64_MAX when the file size is unknown
    int64_t count;           // bytes consumed so far; 64 bits so no header sum overflows
    bool exhausted;          // a read has run past the end
};

// One open nesting level.
struct ChunkHeader {
    int32_t length;          // as stored in the file
    int64_t endPosition;     // first byte + length, cut back to the parent's end
    ChunkFile* file;
    uint16_t id;
};

// The mesh data of one object. The arrays come from malloc and belong to the caller
// (release them with FreeTriMeshData).
struct TriMeshData {
    int32_t* faces;               // faceCount × (a, b, c, 0)
    float* positions;             // vertexCount × (x, y, z), the file's Y and Z exchanged
    float* textureCoordinates;    // vertexCount × (u, v), v negated; (0, 0) when not given
    int32_t vertexCount;
    int32_t faceCount;
    int32_t textureCoordinateCount;   // never above vertexCount
};

// Whether a read prints each chunk header and object name to standard output as it walks.
enum class ChunkTrace { Hidden, Shown };

// How a read ended. Only Found fills the record; the caller decides what a failure means.
enum class ModelRead {
    Found,           // an object of that name held a triangle mesh
    ObjectMissing,   // the data was walked, but no such object held a mesh
    CannotOpen,      // the file could not be opened
    OutOfMemory,     // an array could not be allocated; the record holds what was read before
};

// Fills result from the last NAMED_OBJECT called objectName in the named data file
// ("megadata\\ball2420.3ds"). When no object matched the record is left exactly as passed.
ModelRead Read3dsObject(TriMeshData* result, const char* fileName, const char* objectName,
                        ChunkTrace trace = ChunkTrace::Hidden);

// The same walk over size bytes in memory.
ModelRead Read3dsObjectFromMemory(TriMeshData* result, const uint8_t* data, size_t size,
                                  const char* objectName, ChunkTrace trace = ChunkTrace::Hidden);

// Frees the three arrays and zeroes the record.
void FreeTriMeshData(TriMeshData* data);
