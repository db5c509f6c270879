// Plane slice: hiding the vertices beyond a plane, cutting the faces that cross it, and
// recording the cuts.
#include "fx/plane_slice.h"

#include <utility>

#include "fx/sorted_faces.h"
#include "gfx/render_interface.h"
#include "pipeline/clip.h"

namespace {

// d = -(P·N): the plane is N·X = d.
float PlaneConstant(const Vector3& p, const Vector3& n)
{
    return -(p.x * n.x) - p.y * n.y - p.z * n.z;
}

// N·X summed z first, the order of the hidden test, so that the cut uses the very sums
// that decided which vertices are hidden.
float AlongNormal(float x, float y, float z, const Vector3& n)
{
    return z * n.z + x * n.x + y * n.y;
}

bool IsHidden(const ScreenVertex* v)
{
    return (v->clipFlags & ClipHidden) != 0;
}

// The point where edge from-to meets the plane: X = from + t·(from - to) with
// t = -(N·from - d) / N·(from - to), in position and every attribute. The hidden bits make
// one end beyond the plane and the other not, so N·(from - to) is not 0 for them; should
// it be 0 all the same (bits set by other means on an edge parallel to the plane), t is
// taken as 0 and X is `from`, rather than a point at infinity.
ScreenVertex PlaneCrossing(const ScreenVertex& from, const ScreenVertex& to, const Vector3& n, float d)
{
    const float denominator = AlongNormal(from.x - to.x, from.y - to.y, from.z - to.z, n);
    const float t = denominator != 0.0f ? -(AlongNormal(from.x, from.y, from.z, n) - d) / denominator : 0.0f;
    auto along = [t](float f, float g) { return f + t * (f - g); };
    ScreenVertex x{};
    x.x = along(from.x, to.x);
    x.y = along(from.y, to.y);
    x.z = along(from.z, to.z);
    x.u = along(from.u, to.u);
    x.v = along(from.v, to.v);
    x.u2 = along(from.u2, to.u2);
    x.v2 = along(from.v2, to.v2);
    x.red = along(from.red, to.red);
    x.green = along(from.green, to.green);
    x.blue = along(from.blue, to.blue);
    x.alpha = along(from.alpha, to.alpha);
    return x;
}

// The fields of a cut point that the edge list keeps.
void StoreCutPoint(const ScreenVertex& point, ScreenVertex* record)
{
    record->x = point.x;
    record->y = point.y;
    record->z = point.z;
    record->u = point.u;
    record->v = point.v;
    record->u2 = point.u2;
    record->v2 = point.v2;
}

// Appends an edge unless the list is full; a full list keeps the edges it has.
void RecordCutEdge(CutEdges& cut, const ScreenVertex& first, const ScreenVertex& second)
{
    if (cut.count < 0 || cut.count >= static_cast<int32_t>(cut.edges.size())) return;
    StoreCutPoint(first, &cut.edges[cut.count].first);
    StoreCutPoint(second, &cut.edges[cut.count].second);
    ++cut.count;
}

}  // namespace

void AllocateCutEdges(CutEdges* cut)
{
    cut->edges.assign(CutEdgeCapacity, CutEdge{});
    cut->count = 0;
}

void FreeCutEdges(CutEdges* cut)
{
    *cut = CutEdges{};
}

void HideVerticesBeyondPlane(const Vector3& planeVector, const Vector3& normal, ScreenVertex* vertices,
                             int32_t count, int32_t sign)
{
    const float h = PlaneConstant(planeVector, normal) * static_cast<float>(sign);
    for (int32_t i = 0; i < count; ++i) {
        ScreenVertex& v = vertices[i];
        if (AlongNormal(v.x, v.y, v.z, normal) > h) v.clipFlags |= ClipHidden;
    }
}

void DrawSortedFacesSliced(RenderInterface& render, const ScreenProjection& projection, CutEdges& cut, const PolygonList& list, int32_t count, const Vector3& planeVector,
                           const Vector3& normal)
{
    cut.count = 0;
    ForEachListedFace(list, count, [&](ScreenVertex* a, ScreenVertex* b, ScreenVertex* c) {
        if (NoneFlagged(*a, *b, *c)) {
            render.DrawTriangleDualTexture(*a, *b, *c);
        } else {
            SliceTriangle(render, projection, cut, a, b, c, planeVector, normal);
            DrawClippedTriangleDualTexture(render, projection, a, b, c, ClipRight);
        }
    });
}

void SliceTriangle(RenderInterface& render, const ScreenProjection& projection, CutEdges& cut, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                   const Vector3& planeVector, const Vector3& normal)
{
    const float d = PlaneConstant(planeVector, normal);
    // Vertices in front first. These three exchanges (not a sort) are the fixed order:
    // which vertex ends up where decides the winding and the order of the new points.
    if (!IsHidden(b)) std::swap(a, b);
    if (!IsHidden(c)) std::swap(b, c);
    if (!IsHidden(b)) std::swap(a, b);

    if (IsHidden(a)) return;   // all three beyond the plane
    if (IsHidden(b)) {
        // Only a in front: the kept part is the corner at a.
        ScreenVertex x1 = PlaneCrossing(*b, *a, normal, d);
        ScreenVertex x2 = PlaneCrossing(*c, *a, normal, d);
        RecordCutEdge(cut, x1, x2);
        EmitTriangleDualTexture(render, projection, a, &x1, &x2);
    } else if (IsHidden(c)) {
        // a and b in front: the kept part is a quadrilateral, drawn as two triangles.
        ScreenVertex x1 = PlaneCrossing(*b, *c, normal, d);
        ScreenVertex x2 = PlaneCrossing(*a, *c, normal, d);
        RecordCutEdge(cut, x2, x1);
        EmitTriangleDualTexture(render, projection, &x2, &x1, a);
        EmitTriangleDualTexture(render, projection, a, &x1, b);
    }
}
