// Marching cubes over the shape field, with vertices shared along grid edges.
#include "fx/field_polygonizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "fx/marching_cubes_tables.h"
#include "fx/shape_field.h"

static_assert(SurfaceVertexCapacity <= 0xffff, "the edge caches hold 16-bit vertex indices");

namespace {

constexpr int LastCell = FieldGridSize - 2;   // cells 0..27 have their corners in the grid
// Half the grid in world units: (29 / 2) × 20, integer division.
constexpr int CentringOffset = FieldGridSize / 2 * FieldGridSpacing;

struct GridOffset {
    int x, y, z;
};

constexpr GridOffset CornerOffsets[8] = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1},
                                         {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
constexpr int EdgeCornerPairs[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                        {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// A cell edge with its ends in the fixed order: from = the end that comes later when
// comparing z, then y, then x (P); to = the other (Q), which is also the edge's lower end.
struct CellEdge {
    int from, to, axis;
};

constexpr int CornerRank(int corner)
{
    return CornerOffsets[corner].z * 4 + CornerOffsets[corner].y * 2 + CornerOffsets[corner].x;
}

constexpr std::array<CellEdge, 12> MakeCellEdges()
{
    std::array<CellEdge, 12> edges{};
    for (int e = 0; e < 12; ++e) {
        const int a0 = EdgeCornerPairs[e][0], a1 = EdgeCornerPairs[e][1];
        const bool swap = CornerRank(a0) < CornerRank(a1);
        const int p = swap ? a1 : a0, q = swap ? a0 : a1;
        const GridOffset a = CornerOffsets[p], b = CornerOffsets[q];
        edges[e] = CellEdge{p, q, a.x != b.x ? 0 : a.y != b.y ? 1 : 2};
    }
    return edges;
}
constexpr std::array<CellEdge, 12> CellEdges = MakeCellEdges();

// Field index of each corner relative to the cell's base point.
constexpr std::array<int, 8> MakeCornerIndexOffsets()
{
    std::array<int, 8> offsets{};
    for (int c = 0; c < 8; ++c)
        offsets[c] = FieldPointIndex(CornerOffsets[c].x, CornerOffsets[c].y, CornerOffsets[c].z);
    return offsets;
}
constexpr std::array<int, 8> CornerIndexOffsets = MakeCornerIndexOffsets();

// Key of each cell edge minus the key FieldEdgeKey(x, y, z, 0) of the cell's base point.
constexpr std::array<int32_t, 12> MakeEdgeKeyOffsets()
{
    std::array<int32_t, 12> offsets{};
    for (int e = 0; e < 12; ++e) {
        const GridOffset q = CornerOffsets[CellEdges[e].to];
        offsets[e] = FieldEdgeKey(q.x, q.y, q.z, CellEdges[e].axis);
    }
    return offsets;
}
constexpr std::array<int32_t, 12> EdgeKeyOffsets = MakeEdgeKeyOffsets();

bool CellInGrid(int x, int y, int z)
{
    return x >= 0 && x <= LastCell && y >= 0 && y <= LastCell && z >= 0 && z <= LastCell;
}

uint32_t SignBit(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits >> 31;
}

// n := n × (1 / sqrt(n·n)), the root and quotient in double as C forms them. A zero or
// overflowing n·n in float would give NaN or zero normals, so such n are normalised in
// double, and a zero gradient falls back to the edge direction toward the outer end.
Vector3 UnitNormal(Vector3 n, int axis, bool outerEndIsFrom)
{
    const float dot = n.x * n.x + n.y * n.y + n.z * n.z;
    if (dot > 0 && std::isfinite(dot)) {
        const double inverse = 1 / std::sqrt(double(dot));
        return Vector3{float(n.x * inverse), float(n.y * inverse), float(n.z * inverse)};
    }
    const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
    if (length > 0 && std::isfinite(length))
        return Vector3{float(n.x / length), float(n.y / length), float(n.z / length)};
    // Along the edge from Q toward P when P is the outer end, else from P toward Q.
    float direction[3] = {0, 0, 0};
    direction[axis] = outerEndIsFrom ? 1.0f : -1.0f;
    return Vector3{direction[0], direction[1], direction[2]};
}

float FieldAt(const ShapeField& field, int x, int y, int z)
{
    return field.values[FieldPointIndex(x, y, z)];
}

// Both grids hold every point: the cells may be read and marked.
bool FieldReady(const ShapeField& field)
{
    return field.values.size() >= size_t(FieldPointCount) && field.visited.size() >= size_t(FieldPointCount);
}

// What the output arrays hold: the capacities once allocated, nothing before.
int32_t VertexRoom(const FieldSurface& surface)
{
    return int32_t(std::min({surface.vertices.size(), surface.normals.size(), size_t(SurfaceVertexCapacity)}));
}

int32_t IndexRoom(const FieldSurface& surface)
{
    return int32_t(std::min(surface.indices.size(), size_t(SurfaceIndexCapacity)));
}

int WrapGrid(int i)
{
    return i < 0 ? i + FieldGridSize : i >= FieldGridSize ? i - FieldGridSize : i;
}

// The vertex on one edge of cell (x, y, z) whose corner values are given.
template <typename Cache>
int32_t EmitEdgeVertexIn(const ShapeField& field, FieldSurface& surface, Cache& cache, int x, int y, int z,
                         const float value[8], int edge)
{
    const CellEdge& e = CellEdges[edge];
    const int32_t key = FieldEdgeKey(x, y, z, 0) + EdgeKeyOffsets[edge];
    const int32_t cached = FindEdgeVertex(cache, key);
    if (cached >= 0) return cached;
    if (surface.vertexCount >= VertexRoom(surface)) return -1;
    const int32_t vertex = surface.vertexCount;
    RecordEdgeVertex(cache, key, vertex);

    const float vP = value[e.from], vQ = value[e.to];
    float d = vQ - vP;
    if (d == 0) d = d + 1;   // only 0.0 against -0.0: the vertex lands on P
    const float s = (0 - vP) / d;

    const GridOffset op = CornerOffsets[e.from], oq = CornerOffsets[e.to];
    const int px = x + op.x, py = y + op.y, pz = z + op.z;
    const int qx = x + oq.x, qy = y + oq.y, qz = z + oq.z;
    const float posPx = float(px * FieldGridSpacing), posQx = float(qx * FieldGridSpacing);
    const float posPy = float(py * FieldGridSpacing), posQy = float(qy * FieldGridSpacing);
    const float posPz = float(pz * FieldGridSpacing), posQz = float(qz * FieldGridSpacing);
    surface.vertices[vertex] = Vector3{posPx + s * (posQx - posPx) - CentringOffset,
                                       posPy + s * (posQy - posPy) - CentringOffset,
                                       posPz + s * (posQz - posPz) - CentringOffset};

    const Vector3 nP = FieldGradient(field, px, py, pz), nQ = FieldGradient(field, qx, qy, qz);
    const Vector3 n{nP.x + s * (nQ.x - nP.x), nP.y + s * (nQ.y - nP.y), nP.z + s * (nQ.z - nP.z)};
    surface.normals[vertex] = UnitNormal(n, e.axis, SignBit(vP) != 0);

    surface.vertexCount = vertex + 1;
    return vertex;
}

template <typename Cache>
void PolygonizeCellIn(const ShapeField& field, FieldSurface& surface, Cache& cache, int x, int y, int z)
{
    // With no room for another triangle the frame is over: no more vertices either.
    const int32_t indexRoom = IndexRoom(surface);
    if (surface.indexCount > indexRoom - 3) return;
    const int base = FieldPointIndex(x, y, z);
    float value[8];
    uint32_t cube = 0;
    for (int c = 0; c < 8; ++c) {
        value[c] = field.values[base + CornerIndexOffsets[c]];
        cube |= SignBit(value[c]) << c;
    }
    const uint32_t crossed = MarchingCubesEdgeTable[cube];
    if (crossed == 0) return;

    int32_t slot[12];
    for (int e = 0; e < 12; ++e)
        if (crossed >> e & 1) slot[e] = EmitEdgeVertexIn(field, surface, cache, x, y, z, value, e);

    // Every row ends in -1 at the latest in its 16th entry.
    const int8_t* row = MarchingCubesTriangleTable[cube];
    for (int i = 0; row[i] >= 0; i += 3) {
        const int32_t a = slot[row[i]], b = slot[row[i + 1]], c = slot[row[i + 2]];
        if ((a | b | c) < 0 || surface.indexCount > indexRoom - 3) continue;
        surface.indices[surface.indexCount] = a;
        surface.indices[surface.indexCount + 1] = b;
        surface.indices[surface.indexCount + 2] = c;
        surface.indexCount += 3;
    }
}

template <typename Cache>
void PolygonizeBoxIn(ShapeField& field, FieldSurface& surface, Cache& cache, int x0, int y0, int x1, int y1, int z)
{
    if (z < 0 || z > LastCell) return;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, LastCell + 1);
    y1 = std::min(y1, LastCell + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            uint8_t& visited = field.visited[FieldPointIndex(x, y, z)];
            if (visited) continue;
            PolygonizeCellIn(field, surface, cache, x, y, z);
            visited = 1;
        }
}

template <typename Cache>
void PolygonizeShapeFieldIn(ShapeField& field, FieldSurface& surface, Cache& cache)
{
    surface.vertexCount = 0;
    surface.indexCount = 0;
    EmptyEdgeCache(cache);
    if (!FieldReady(field)) return;
    const int a = FieldSourceReach;
    for (int z = 0; z <= LastCell; ++z)
        for (const Vector3& s : field.sources) {
            const int lo = TruncateGridBound(s.z - a - 1), hi = TruncateGridBound(s.z + a + 1);
            if (lo <= z && z <= hi)
                PolygonizeBoxIn(field, surface, cache, TruncateGridBound(s.x - a - 1), TruncateGridBound(s.y - a - 1),
                                TruncateGridBound(s.x + a + 1), TruncateGridBound(s.y + a + 1), z);
        }
}

}  // namespace

void AllocateFieldSurface(FieldSurface* surface)
{
    surface->vertices.assign(SurfaceVertexCapacity, Vector3{});
    surface->normals.assign(SurfaceVertexCapacity, Vector3{});
    surface->normalsView.assign(SurfaceVertexCapacity, Vector3{});
    surface->indices.assign(SurfaceIndexCapacity, 0);
    surface->vertexCount = 0;
    surface->indexCount = 0;
    surface->edgeCache = std::make_unique<SurfaceEdgeCacheType>();   // zero-filled: empty
}

FieldSurface AllocatedFieldSurface()
{
    FieldSurface surface;
    AllocateFieldSurface(&surface);
    return surface;
}

void FreeFieldSurface(FieldSurface* surface)
{
    *surface = FieldSurface{};
}

void ClearSurfaceOutput(FieldSurface& surface)
{
    surface.vertexCount = 0;
    surface.indexCount = 0;
    if (surface.edgeCache) EmptyEdgeCache(*surface.edgeCache);
}

void PolygonizeShapeField(ShapeField& field, FieldSurface& surface)
{
    if (surface.edgeCache) {
        PolygonizeShapeFieldIn(field, surface, *surface.edgeCache);
    } else {
        surface.vertexCount = 0;
        surface.indexCount = 0;
    }
}

void PolygonizeShapeFieldWith(ShapeField& field, FieldSurface& surface, EdgeVertexTable& cache)
{
    PolygonizeShapeFieldIn(field, surface, cache);
}

void PolygonizeShapeFieldWith(ShapeField& field, FieldSurface& surface, EdgeVertexHash& cache)
{
    PolygonizeShapeFieldIn(field, surface, cache);
}

void PolygonizeBox(ShapeField& field, FieldSurface& surface, int x0, int y0, int x1, int y1, int z)
{
    if (FieldReady(field) && surface.edgeCache)
        PolygonizeBoxIn(field, surface, *surface.edgeCache, x0, y0, x1, y1, z);
}

void PolygonizeCell(const ShapeField& field, FieldSurface& surface, int x, int y, int z)
{
    if (FieldReady(field) && surface.edgeCache && CellInGrid(x, y, z))
        PolygonizeCellIn(field, surface, *surface.edgeCache, x, y, z);
}

int32_t EmitEdgeVertex(const ShapeField& field, FieldSurface& surface, int x, int y, int z, int edge)
{
    if (!FieldReady(field) || !surface.edgeCache || !CellInGrid(x, y, z) || edge < 0 || edge > 11) return -1;
    const int base = FieldPointIndex(x, y, z);
    float value[8];
    for (int c = 0; c < 8; ++c) value[c] = field.values[base + CornerIndexOffsets[c]];
    if (SignBit(value[CellEdges[edge].from]) == SignBit(value[CellEdges[edge].to])) return -1;
    return EmitEdgeVertexIn(field, surface, *surface.edgeCache, x, y, z, value, edge);
}

Vector3 FieldGradient(const ShapeField& field, int x, int y, int z)
{
    if (!FieldReady(field)) return Vector3{0, 0, 0};
    return Vector3{FieldAt(field, WrapGrid(x - 1), y, z) - FieldAt(field, WrapGrid(x + 1), y, z),
                   FieldAt(field, x, WrapGrid(y - 1), z) - FieldAt(field, x, WrapGrid(y + 1), z),
                   FieldAt(field, x, y, WrapGrid(z - 1)) - FieldAt(field, x, y, WrapGrid(z + 1))};
}
