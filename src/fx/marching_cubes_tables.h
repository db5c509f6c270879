// The marching-cubes lookup tables, per cube index 0..255.
//
// Bit k of the cube index is set when corner k lies below the iso level; bit e of an edge
// mask is set when edge e is crossed. Edges 0..11 join the corners 0-1, 1-2, 2-3, 3-0,
// 4-5, 5-6, 6-7, 7-4, 0-4, 1-5, 2-6, 3-7. A triangle row lists up to five triangles as
// edge numbers in triples, ended and padded by -1. Wound by the right-hand rule, each
// triangle faces the corners below the level when corners 0..3 sit at (0,0,0), (1,0,0),
// (1,1,0), (0,1,0) and 4..7 at the same with z = 1, or at any rotation of that placement.
#pragma once

#include <cstdint>

extern const uint16_t MarchingCubesEdgeTable[256];
extern const int8_t MarchingCubesTriangleTable[256][16];
