// Marching cubes over the shape field: an indexed triangle surface with unit normals.
//
// Cell (x, y, z), 0 <= x, y, z <= 27, has its corners at these offsets from grid point
// (x, y, z): 0 (0,1,0), 1 (1,1,0), 2 (1,1,1), 3 (0,1,1), 4 (0,0,0), 5 (1,0,0), 6 (1,0,1),
// 7 (0,0,1); its edges are numbered as in marching_cubes_tables.h. A corner lies outside
// the surface when the sign bit of its value is set (-0.0 included, +0.0 not). Grid point
// (x, y, z) sits at world position 20·(x, y, z) - 280, the grid centred on the origin.
// Each crossed grid edge gets one vertex per frame, shared by every cell around it.
// Normals and triangles face outward, toward lower field values (triangles by the
// right-hand rule of their index order).
//
// Capacity: once the vertex array is full no vertex is added; a triangle is appended only
// whole, with all three vertices written, and only while the index array has room for it;
// once it has no room, no further cell adds anything. The frame ends with what fits.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "fx/edge_cache.h"
#include "pipeline/vector_math.h"

constexpr int SurfaceVertexCapacity = 40000;
// Three indices per face of the scene's 40000-face surface mesh.
constexpr int SurfaceIndexCapacity = 3 * SurfaceVertexCapacity;

// The output of the last polygonization, rebuilt each frame by PolygonizeShapeField, and
// the edge cache that names its vertices; sized once by AllocateFieldSurface (written by
// the functions below; read by the implicit-surface scene). An unallocated record takes
// no vertex and no triangle.
struct FieldSurface {
    std::vector<Vector3> vertices;   // world units, SurfaceVertexCapacity of them
    std::vector<Vector3> normals;    // unit length, parallel to vertices
    int32_t vertexCount = 0;
    std::vector<int32_t> indices;    // three per triangle, in emission order; SurfaceIndexCapacity
    int32_t indexCount = 0;          // a multiple of 3
    // Not written here: the implicit-surface scene transforms normals into it.
    std::vector<Vector3> normalsView;
    std::unique_ptr<SurfaceEdgeCacheType> edgeCache;
};

void AllocateFieldSurface(FieldSurface* surface);
// A surface made by AllocateFieldSurface, for storage that starts out sized.
FieldSurface AllocatedFieldSurface();
void FreeFieldSurface(FieldSurface* surface);

// Empties the output and the edge cache (the cache names vertices of the output).
void ClearSurfaceOutput(FieldSurface& surface);

// One frame: clears the output, then for each slice z from 0 to 27 and each source whose
// reach + 1 covers z, polygonizes the cells of the slice within reach + 1 of the source.
void PolygonizeShapeField(ShapeField& field, FieldSurface& surface);

// The unvisited cells of slice z with x0 <= x < x1 and y0 <= y < y1 (clamped to the grid),
// y outer, x inner; marks each one visited.
void PolygonizeBox(ShapeField& field, FieldSurface& surface, int x0, int y0, int x1, int y1, int z);

// One marching-cubes cell (x, y, z); cells outside the grid are ignored.
void PolygonizeCell(const ShapeField& field, FieldSurface& surface, int x, int y, int z);

// The vertex on edge 0..11 of cell (x, y, z): found in the edge cache or created.
// Returns its index, or -1 when the vertex array is full, the edge is not crossed (its
// ends have the same sign bit) or the cell is not in the grid.
int32_t EmitEdgeVertex(const ShapeField& field, FieldSurface& surface, int x, int y, int z, int edge);

// Negated central-difference gradient of the field at grid point (x, y, z), 0..28, with
// neighbours wrapping around the grid: it points from high values (inside) to low ones.
Vector3 FieldGradient(const ShapeField& field, int x, int y, int z);

// PolygonizeShapeField with the given edge cache (which it empties first) in place of the
// surface's own: the two cache layouts side by side for bench_field.
void PolygonizeShapeFieldWith(ShapeField& field, FieldSurface& surface, EdgeVertexTable& cache);
void PolygonizeShapeFieldWith(ShapeField& field, FieldSurface& surface, EdgeVertexHash& cache);
