#include "model/mesh_load.h"

#include <cstdio>

namespace {

bool FaceInRange(const int32_t* face, int32_t vertexCount)
{
    for (int k = 0; k < 3; k++)
        if (face[k] < 0 || face[k] >= vertexCount) return false;
    return true;
}

// Reads the object through read, builds the mesh and releases the reader's arrays.
template <typename ReadObject>
ModelRead LoadMesh(Mesh* mesh, const char* sourceName, const char* objectName, ReadObject read)
{
    TriMeshData data{};
    const ModelRead result = read(&data);
    if (result == ModelRead::CannotOpen || result == ModelRead::OutOfMemory) {
        FreeTriMeshData(&data);
        return result;
    }
    if (result == ModelRead::ObjectMissing)
        std::fprintf(stderr, "Can't find object %s in model %s\n", objectName, sourceName);
    BuildMeshFromTriMeshData(mesh, data, sourceName, objectName);
    FreeTriMeshData(&data);
    return result;
}

}  // namespace

void BuildMeshFromTriMeshData(Mesh* mesh, const TriMeshData& data, const char* sourceName,
                              const char* objectName)
{
    // Counts are trusted only as far as the arrays behind them exist.
    int32_t vertexCount = data.positions && data.vertexCount > 0 ? data.vertexCount : 0;
    int32_t faceCount = data.faces && data.faceCount > 0 ? data.faceCount : 0;
    int32_t textureCount = data.textureCoordinates ? data.textureCoordinateCount : 0;
    if (textureCount > vertexCount) textureCount = vertexCount;

    int32_t kept = 0;
    for (int32_t f = 0; f < faceCount; f++)
        if (FaceInRange(data.faces + 4 * f, vertexCount)) kept++;
    if (kept < faceCount)
        std::fprintf(stderr,
                     "Model %s, object %s: dropped %d faces with vertex indices beyond %d vertices\n",
                     sourceName, objectName, faceCount - kept, vertexCount);

    AllocateMesh(mesh, vertexCount, kept);
    VertexBlock* vertices = mesh->vertexBlock;
    for (int32_t i = 0; i < vertexCount; i++) {
        const float* p = data.positions + 3 * i;
        Vector3 position = {-p[0], p[1], p[2]};
        vertices->positions[i] = position;
        mesh->restBlock->positions[i] = position;
        ScreenVertex& record = vertices->screen[i];
        record.red = record.green = record.blue = record.alpha = 1.0f;
        record.u = record.v = record.u2 = record.v2 = 0.0f;
    }
    for (int32_t i = 0; i < textureCount; i++) {
        ScreenVertex& record = vertices->screen[i];
        record.u = record.u2 = data.textureCoordinates[2 * i];
        record.v = record.v2 = data.textureCoordinates[2 * i + 1];
    }
    Face* out = mesh->faceBlock->faces;
    for (int32_t f = 0; f < faceCount; f++) {
        const int32_t* face = data.faces + 4 * f;
        if (!FaceInRange(face, vertexCount)) continue;
        for (int k = 0; k < 3; k++) {
            out->vertex[k] = &vertices->screen[face[k]];
            out->index[k] = face[k];
        }
        out++;
    }
}

ModelRead LoadMesh3ds(Mesh* mesh, const char* fileName, const char* objectName, ChunkTrace trace)
{
    return LoadMesh(mesh, fileName, objectName,
                    [&](TriMeshData* data) { return Read3dsObject(data, fileName, objectName, trace); });
}

ModelRead LoadMesh3dsFromMemory(Mesh* mesh, const uint8_t* data, size_t size, const char* objectName)
{
    return LoadMesh(mesh, "(memory)", objectName, [&](TriMeshData* result) {
        return Read3dsObjectFromMemory(result, data, size, objectName);
    });
}
