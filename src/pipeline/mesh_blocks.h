// The records the pipeline walks every frame: a block of positions with one ScreenVertex
// each, and a block of triangular faces that point at those records.
#pragma once

#include <cstdint>

#include "gfx/screen_vertex.h"
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
