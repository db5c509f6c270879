// The rotating-shape scalar field: five tumbling ring-like sources summed on a 29³ grid.
//
// Grid point (x, y, z) holds -0.5 plus the contribution of every source whose box
// contains it; the surface is where the field crosses 0. Field arithmetic is 32-bit float,
// except where a formula uses a double constant (0.2, 0.001 and 0.3 in the evaluation,
// 6.6, 2.5, 7.7, 3.6, 8.8 and 4.7 in the motion): there the expression is formed in
// double and the result narrowed to float, as C promotes it. The units are compiled
// without floating-point contraction so every build gives the same bits.
#pragma once

#include <cstdint>
#include <vector>

#include "pipeline/vector_math.h"

constexpr int FieldGridSize = 29;      // grid points per axis
constexpr int FieldGridSpacing = 20;   // world units between neighbouring grid points
constexpr int FieldSourceReach = 8;    // half-width, in grid units, of a source's box
constexpr int FieldSourceCount = 5;
constexpr int FieldPointCount = FieldGridSize * FieldGridSize * FieldGridSize;   // 24389

// Index of grid point (x, y, z): x × 841 + y × 29 + z (x slowest, z fastest).
constexpr int FieldPointIndex(int x, int y, int z)
{
    return (x * FieldGridSize + y) * FieldGridSize + z;
}

// A box bound in grid units truncated toward zero, as the boxes of the field and the
// polygonizer use it. The value is first clamped to -1..30, which changes no bound once
// it is clamped to the grid, but keeps the conversion defined for any float, NaN included.
int TruncateGridBound(float v);

struct EdgeVertexTable;

// The field of one scene, its grids sized once by AllocateShapeField.
struct ShapeField {
    // Field values, FieldPointCount of them. Written by InitShapeField and
    // EvaluateShapeField (tests may write them directly); read by the polygonizer.
    std::vector<float> values;
    // Per grid point: non-zero once the polygonizer has processed the cell based there
    // this frame. Cleared by InitShapeField (all) and EvaluateShapeField (inside the
    // source boxes); set by PolygonizeBox.
    std::vector<uint8_t> visited;
    // Source positions in grid units. Written by InitShapeField and MoveShapeSources.
    Vector3 sources[FieldSourceCount] = {};
};

// Sizes both grids to FieldPointCount points, all zero.
void AllocateShapeField(ShapeField* field);
// A field made by AllocateShapeField, for storage that starts out sized.
ShapeField AllocatedShapeField();
void FreeShapeField(ShapeField* field);

// Each time the scene begins: field values 0, visited flags clear, and start positions
// from the C generator rand() as unseeded (seed 1): per source x, then y, then z, each
// rand() % 13 + 8.
void InitShapeField(ShapeField& field);

// Source positions for phase t: centre 14 plus 5.9090905 × sin of a per-axis phase.
void MoveShapeSources(ShapeField& field, float t);

// Rebuilds the field from the current source positions and empties the polygonizer's
// edge cache. Points outside every source's box stay exactly -0.5.
void EvaluateShapeField(ShapeField& field, EdgeVertexTable& edgeCache);
