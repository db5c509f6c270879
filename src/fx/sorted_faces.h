// The face-list drawers: walk a sorted polygon list and hand each triangle to the render
// interface, straight when none of its vertices is flagged, through the side-plane
// clipper otherwise.
//
//   drawer                  back faces          unflagged                  flagged
//   DrawSortedFaces         drawn               DrawTriangle               DrawClippedTriangle from plane 1
//   DrawSortedFrontFaces    skipped (k <= 0)    DrawTriangle               DrawClippedTriangle from plane 1
//   DrawSortedFacesCulled   skipped (k <= 0)    DrawTriangleDualTexture    DrawClippedTriangleDualTexture from plane 1
//
// None binds a texture or sets a blend mode or depth state: the caller does. Each walks
// entries 0 .. count - 1 (count clamped to the list), in list order, and allocates nothing.
#pragma once

#include <cstdint>

#include "pipeline/polygon_list.h"

class RenderInterface;
struct ScreenProjection;

// The orientation of face a, b, c seen from the eye: the triple product c · (b × a) of the
// view-space positions, as nine products in a fixed order. Positive when the vertices run
// one way round as seen from the eye; 0 when the face is seen edge-on.
float FaceFacing(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);

// True when no vertex of the face needs clipping, hiding or any other care.
inline bool NoneFlagged(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    return (a.clipFlags | b.clipFlags | c.clipFlags) == 0;
}

// The walk the drawers share: visit(a, b, c) with the three records of each entry
// 0 .. count - 1 (count clamped to the list), in list order.
template <typename Visit>
void ForEachListedFace(const PolygonList& list, int32_t count, Visit&& visit)
{
    const int32_t n = PolygonListCount(list, count);
    for (int32_t i = 0; i < n; ++i) {
        Face* face = list.entries[i].face;
        visit(face->vertex[0], face->vertex[1], face->vertex[2]);
    }
}

void DrawSortedFaces(RenderInterface& render, const ScreenProjection& projection, const PolygonList& list, int32_t count);
void DrawSortedFrontFaces(RenderInterface& render, const ScreenProjection& projection, const PolygonList& list, int32_t count);
void DrawSortedFacesCulled(RenderInterface& render, const ScreenProjection& projection, const PolygonList& list, int32_t count);
