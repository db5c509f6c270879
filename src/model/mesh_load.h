// Meshes built from a named object of a 3DS file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/3dsload.h"
#include "model/mesh.h"

// Fills an empty mesh from the object of the named data file ("megadata\\ting5.3ds",
// "front") and returns how the read ended. A missing object gives an empty mesh and one
// line on standard error; a file that cannot be opened, or memory that runs out, leaves
// the mesh empty.
ModelRead LoadMesh3ds(Mesh* mesh, const char* fileName, const char* objectName,
                      ChunkTrace trace = ChunkTrace::Hidden);

// The same from a 3DS file held in memory.
ModelRead LoadMesh3dsFromMemory(Mesh* mesh, const uint8_t* data, size_t size, const char* objectName);

// Fills an empty mesh from reader data: positions (-x, y, z) in both blocks, white opaque
// records with the texture coordinates in both pairs, faces pointing at the records.
// Faces with an index outside the vertices are dropped and counted on standard error.
void BuildMeshFromTriMeshData(Mesh* mesh, const TriMeshData& data, const char* sourceName,
                              const char* objectName);
