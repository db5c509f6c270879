// Feeds arbitrary bytes to the 3DS reader and the mesh builder, under address and
// undefined-behaviour sanitizers, asking for each of a few object names so matching and
// non-matching walks are both explored. Damage reports go to standard error.
#include <cstddef>
#include <cstdint>

#include "model/3dsload.h"
#include "model/mesh_load.h"

namespace {

const char* const ObjectNames[] = {"A", "B", "Box01", "Quader01", "Camera01", "GeoSphere0", "front"};

void CheckOneName(const uint8_t* data, size_t size, const char* name)
{
    TriMeshData tri{};
    const ModelRead read = Read3dsObjectFromMemory(&tri, data, size, name);
    if (read == ModelRead::ObjectMissing && tri.positions) __builtin_trap();   // no match must leave the record alone
    if (tri.textureCoordinateCount > tri.vertexCount) __builtin_trap();
    FreeTriMeshData(&tri);

    Mesh mesh;
    if (LoadMesh3dsFromMemory(&mesh, data, size, name) == ModelRead::OutOfMemory) return;
    // Every face must point inside its own mesh's records.
    for (int32_t f = 0; f < mesh.faceBlock->count; f++) {
        const Face& face = mesh.faceBlock->faces[f];
        for (int k = 0; k < 3; k++) {
            if (face.index[k] < 0 || face.index[k] >= mesh.vertexBlock->count) __builtin_trap();
            if (face.vertex[k] != mesh.vertexBlock->screen + face.index[k]) __builtin_trap();
        }
    }
    FreeMesh(&mesh);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (const char* name : ObjectNames) CheckOneName(data, size, name);
    return 0;
}
