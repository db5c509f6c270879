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
