// Meshes: model-space positions with one ScreenVertex per vertex, triangular faces that
// point at those records, and a rest copy of the positions that deformations rebuild
// from. A Mesh starts empty and is filled by exactly one builder.
#pragma once

#include <cstdint>

#include "pipeline/screen_vertex.h"
#include "pipeline/vector_math.h"

struct Face {
    ScreenVertex* vertex[3];   // the triangle's three records, in order
    int32_t index[3];          // the numbers of those vertices
    int32_t spare;             // not set by the builders
};

struct VertexBlock {
    Vector3* positions;        // count positions
    ScreenVertex* screen;      // count records; element i belongs to position i
    int32_t count;
};

struct FaceBlock {
    Face* faces;
    int32_t count;
};

struct Mesh {
    VertexBlock* vertexBlock = nullptr;   // current positions and their records
    FaceBlock* faceBlock = nullptr;
    VertexBlock* restBlock = nullptr;     // positions as built; its records are unused
};

// Process-wide meshes loaded at start-up.
extern Mesh BallMeshA;
extern Mesh BallMeshB;
extern Mesh FrontMesh;

// Allocates the three blocks of an empty mesh: vertexCount zeroed positions and records
// in the vertex and rest blocks, faceCount zeroed faces. Counts below 0 count as 0.
void AllocateMesh(Mesh* mesh, int vertexCount, int faceCount);
// Releases what AllocateMesh made and leaves the mesh empty.
void FreeMesh(Mesh* mesh);
