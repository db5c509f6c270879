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
void DrawSingleTexture(RenderInterface& render, const ScreenProjection& projection, const PolygonList& list, int32_t count)
{
    ForEachListedFace(list, count, [&render, &projection](ScreenVertex* a, ScreenVertex* b, ScreenVertex* c) {
        if (SkipBackFaces && !(FaceFacing(*a, *b, *c) > 0.0f)) return;
        if (NoneFlagged(*a, *b, *c))
            render.DrawTriangle(*a, *b, *c);
        else
            DrawClippedTriangle(render, projection, a, b, c, ClipRight);
    });
}

}  // namespace

void DrawSortedFaces(RenderInterface& render, const ScreenProjection& projection, const PolygonList& list, int32_t count)
{
    DrawSingleTexture<false>(render, projection, list, count);
}

void DrawSortedFrontFaces(RenderInterface& render, const ScreenProjection& projection, const PolygonList& list, int32_t count)
{
    DrawSingleTexture<true>(render, projection, list, count);
}

void DrawSortedFacesCulled(RenderInterface& render, const ScreenProjection& projection, const PolygonList& list, int32_t count)
{
    ForEachListedFace(list, count, [&render, &projection](ScreenVertex* a, ScreenVertex* b, ScreenVertex* c) {
        if (!(FaceFacing(*a, *b, *c) > 0.0f)) return;
        if (NoneFlagged(*a, *b, *c))
            render.DrawTriangleDualTexture(*a, *b, *c);
        else
            DrawClippedTriangleDualTexture(render, projection, a, b, c, ClipRight);
    });
}
