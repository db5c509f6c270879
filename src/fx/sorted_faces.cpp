// The face-list drawers: straight or clipped, single or dual texture, with or without culling.
#include "fx/sorted_faces.h"

#include "gfx/render_interface.h"
#include "pipeline/clip.h"

float FaceFacing(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    return (b.x * a.y - a.x * b.y) * c.z + (b.z * a.x - b.x * a.z) * c.y + (a.z * b.y - a.y * b.z) * c.x;
}

namespace {

// The walk shared by the single-texture drawers.
template <bool SkipBackFaces>
void DrawSingleTexture(const PolygonList& list, int32_t count)
{
    ForEachListedFace(list, count, [](ScreenVertex* a, ScreenVertex* b, ScreenVertex* c) {
        if (SkipBackFaces && !(FaceFacing(*a, *b, *c) > 0.0f)) return;
        if (NoneFlagged(*a, *b, *c))
            Renderer->DrawTriangle(*a, *b, *c);
        else
            DrawClippedTriangle(a, b, c, ClipRight);
    });
}

}  // namespace

void DrawSortedFaces(const PolygonList& list, int32_t count)
{
    DrawSingleTexture<false>(list, count);
}

void DrawSortedFrontFaces(const PolygonList& list, int32_t count)
{
    DrawSingleTexture<true>(list, count);
}

void DrawSortedFacesCulled(const PolygonList& list, int32_t count)
{
    ForEachListedFace(list, count, [](ScreenVertex* a, ScreenVertex* b, ScreenVertex* c) {
        if (!(FaceFacing(*a, *b, *c) > 0.0f)) return;
        if (NoneFlagged(*a, *b, *c))
            Renderer->DrawTriangleDualTexture(*a, *b, *c);
        else
            DrawClippedTriangleDualTexture(a, b, c, ClipRight);
    });
}
