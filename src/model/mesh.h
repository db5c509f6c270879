// Meshes: model-space positions with one ScreenVertex per vertex, triangular faces that
// point at those records, and a rest copy of the positions that deformations rebuild
// from. A Mesh starts empty and is filled by exactly one builder.
#pragma once

#include "pipeline/mesh_blocks.h"

struct Mesh {
    VertexBlock* vertexBlock = nullptr;   // current positions and their records
    FaceBlock* faceBlock = nullptr;
    VertexBlock* restBlock = nullptr;     // positions as built; its records are unused
};

// Allocates the three blocks of an empty mesh: vertexCount zeroed positions and records
// in the vertex and rest blocks, faceCount zeroed faces. Counts below 0 count as 0.
void AllocateMesh(Mesh* mesh, int vertexCount, int faceCount);
// Releases what AllocateMesh or CopyMesh made and leaves the mesh empty.
void FreeMesh(Mesh* mesh);
// *copy := blocks of its own holding what `from` holds (a block `from` lacks stays null),
// its faces pointing at its own records. *copy must be empty.
void CopyMesh(Mesh* copy, const Mesh& from);
