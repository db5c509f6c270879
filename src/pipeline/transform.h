// Per-frame vertex transform, clip classification and projection.
//
// Conventions: the Matrix maps model space to view space (rows 0-2, translation in
// column 3; see vector_math.h). View space looks along +z, y up; z is the distance in
// front of the eye. Screen positions are centred on 0 with y up; with projection scales
// of 1.0 the visible range is -1..1 on both axes. The summation order of the transform is
// fixed, x' = ((z·m02 + y·m01) + x·m00) + m03, so every build gives the same bits
// (the library is compiled without floating-point contraction).
// A block whose count is 0 or negative is left alone. Nothing here allocates.
#pragma once

#include "gfx/screen_vertex.h"
#include "pipeline/mesh_blocks.h"
#include "pipeline/vector_math.h"

// Writes view x, y, z of every record of the block from its positions; nothing else.
void TransformMeshVertices(VertexBlock& block, const Matrix& m);

// Rewrites ClipFlags and screen x, y of every record of the block from its view x, y, z
// and the camera's projection scales; records behind the eye are projected too.
void ProjectMeshVertices(VertexBlock& block, const Camera& camera);

// Applies m, translation included, to block.count points of three floats each, from
// source into destination. Both buffers belong to the caller and must hold at least
// 3·block.count floats; they may be the same buffer (each point is read before written).
void TransformPointBuffer(const VertexBlock& block, const Matrix& m, const float* source,
                          float* destination);
