#include "model/mesh.h"

#include <cstring>

static VertexBlock* NewVertexBlock(int count)
{
    VertexBlock* block = new VertexBlock;
    block->count = count;
    block->positions = new Vector3[count > 0 ? count : 1]();
    block->screen = new ScreenVertex[count > 0 ? count : 1]();
    return block;
}

static void DeleteVertexBlock(VertexBlock* block)
{
    if (!block) return;
    delete[] block->positions;
    delete[] block->screen;
    delete block;
}

void AllocateMesh(Mesh* mesh, int vertexCount, int faceCount)
{
    if (vertexCount < 0) vertexCount = 0;
    if (faceCount < 0) faceCount = 0;
    mesh->vertexBlock = NewVertexBlock(vertexCount);
    mesh->restBlock = NewVertexBlock(vertexCount);
    mesh->faceBlock = new FaceBlock;
    mesh->faceBlock->count = faceCount;
    mesh->faceBlock->faces = new Face[faceCount > 0 ? faceCount : 1]();
}

void FreeMesh(Mesh* mesh)
{
    DeleteVertexBlock(mesh->vertexBlock);
    DeleteVertexBlock(mesh->restBlock);
    if (mesh->faceBlock) {
        delete[] mesh->faceBlock->faces;
        delete mesh->faceBlock;
    }
    *mesh = Mesh{};
}

static VertexBlock* CopyVertexBlock(const VertexBlock* from)
{
    if (!from) return nullptr;
    VertexBlock* block = NewVertexBlock(from->count);
    if (from->count > 0) {
        std::memcpy(block->positions, from->positions, sizeof(Vector3) * static_cast<size_t>(from->count));
        std::memcpy(block->screen, from->screen, sizeof(ScreenVertex) * static_cast<size_t>(from->count));
    }
    return block;
}

void CopyMesh(Mesh* copy, const Mesh& from)
{
    copy->vertexBlock = CopyVertexBlock(from.vertexBlock);
    copy->restBlock = CopyVertexBlock(from.restBlock);
    if (!from.faceBlock) return;
    const int32_t count = from.faceBlock->count;
    copy->faceBlock = new FaceBlock;
    copy->faceBlock->count = count;
    copy->faceBlock->faces = new Face[count > 0 ? count : 1]();
    for (int32_t i = 0; i < count; ++i) {
        Face& face = copy->faceBlock->faces[i];
        face = from.faceBlock->faces[i];
        // A record of the source's vertex block becomes the same record of the copy's.
        for (ScreenVertex*& record : face.vertex)
            if (record && from.vertexBlock && copy->vertexBlock && record >= from.vertexBlock->screen &&
                record < from.vertexBlock->screen + from.vertexBlock->count)
                record = copy->vertexBlock->screen + (record - from.vertexBlock->screen);
    }
}
