// Slicing a transformed mesh with a plane in view space: what lies beyond the plane is
// not drawn, faces that cross it are cut exactly along it, and every cut is recorded as
// a segment (CutEdge) for the cut band to build on in the same frame.
//
// The plane is given by a normal N and a vector P: it is the set of points X with
// N·X = d, where d = -(P·N), so it passes through -P (callers pass the negated plane
// point). A point is beyond the plane when N·X > d; a point on the plane stays in front.
//
// Each frame, after ProjectMeshVertices and the sort of the mesh's polygon list:
//   HideVerticesBeyondPlane   sets ClipHidden on every vertex beyond the plane;
//   DrawSortedFacesSliced     draws unflagged faces straight, cuts crossing faces with
//                             SliceTriangle, and sends every flagged face to the
//                             dual-texture clipper (which drops faces with a hidden
//                             vertex and clips faces that only cross a side plane).
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/screen_vertex.h"
#include "pipeline/polygon_list.h"
#include "pipeline/vector_math.h"

class RenderInterface;
struct ScreenProjection;

// The two points where one sliced face meets the plane. Of each record SliceTriangle
// writes only x, y, z, u, v, u2 and v2; the other fields keep what the list held.
struct CutEdge {
    ScreenVertex first;
    ScreenVertex second;
};

// At most one edge is recorded per face. A frame that cuts more faces than this keeps
// the first CutEdgeCapacity edges; the kept parts of every face are drawn all the same.
constexpr int32_t CutEdgeCapacity = 5000;

// The edges of the current frame, rewritten from index 0 by DrawSortedFacesSliced (which
// resets the count) and SliceTriangle (which records and counts); read by the cut band.
// The slicing scene owns one, sized once by AllocateCutEdges; an unallocated record
// keeps no edge.
struct CutEdges {
    std::vector<CutEdge> edges;   // CutEdgeCapacity records once allocated
    int32_t count = 0;
};

void AllocateCutEdges(CutEdges* cut);
void FreeCutEdges(CutEdges* cut);

// Sets ClipHidden on each of the count records with z·N.z + x·N.x + y·N.y > h, where
// h = -(P·N)·sign (the sign scales the plane constant only). Clears no bit.
void HideVerticesBeyondPlane(const Vector3& planeVector, const Vector3& normal, ScreenVertex* vertices,
                             int32_t count, int32_t sign);

// Walks entries 0 .. count - 1 (clamped to the list) in list order: faces whose three
// ClipFlags are 0 go to DrawTriangleDualTexture; every other face goes to SliceTriangle
// and then to DrawClippedTriangleDualTexture from plane 1. Starts the edge list afresh.
void DrawSortedFacesSliced(RenderInterface& render, const ScreenProjection& projection, CutEdges& cut, const PolygonList& list, int32_t count, const Vector3& planeVector,
                           const Vector3& normal);

// Draws the part of triangle a, b, c in front of the plane, judged by the ClipHidden bits,
// and records in cut where it meets the plane. One vertex in front: one triangle; two in
// front: two triangles; none or three in front: nothing. The new vertices are interpolated
// in position, colour, alpha and both texture pairs, and emitted unclipped (screen x, y
// from view x, y, z). The records passed in get their screen fields rewritten by emission.
void SliceTriangle(RenderInterface& render, const ScreenProjection& projection, CutEdges& cut, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                   const Vector3& planeVector, const Vector3& normal);
