#include "pipeline/clip.h"

#include <cmath>

#include "gfx/render_interface.h"
#include "pipeline/classify.h"

void ComputeClipFlags(ScreenVertex* v)
{
    v->clipFlags = ClassifyViewPoint(v->x, v->y, v->z);
}

// Depth of the crossing of the line through a and b with the plane u = z (sign +1) or
// u = -z (sign -1), where u is the plane's own axis (x or y). Along the line
// z = b.z + k·(u - b.u) with k = dz/du; setting u = sign·z gives
// z' = (b.z - k·b.u) / (1 - sign·k).
static float CrossingDepth(float aU, float bU, float bZ, float dz, float sign)
{
    float du = bU - aU;
    if (du == 0.0f) du = ClipEdgeGuard;
    const float k = dz / du;
    const float denominator = 1.0f - sign * k;
    // A line parallel to the plane has no crossing; it can only reach here with both
    // ends within rounding of the plane, so b's depth is as good as any.
    if (denominator == 0.0f) return bZ;
    return (bZ - k * bU) / denominator;
}

// Factor s with out = a + (a - b)·s, i.e. s = -t for the usual edge parameter t. It is
// read off the coordinate that changes most along the edge: the depth when the edge
// recedes at least as fast as it crosses sideways, else the plane's own axis. Reading it
// off the depth alone would give 0 on an edge of constant depth and put the new vertex
// at a's place in the other coordinate and in every attribute.
static float EdgeFactor(float aU, float bU, float outU, float aZ, float bZ, float outZ)
{
    const float dz = bZ - aZ;
    const float du = bU - aU;
    if (std::fabs(dz) >= std::fabs(du)) {
        return (aZ - outZ) / (dz == 0.0f ? ClipEdgeGuard : dz);
    }
    return (aU - outU) / du;
}

static float Lerp(float a, float b, float s)
{
    return a + (a - b) * s;
}

void ClipEdge(const ScreenVertex& a, const ScreenVertex& b, ScreenVertex* out, int32_t plane)
{
    const float dz = b.z - a.z;
    float s;
    if (plane == ClipRight || plane == ClipLeft) {
        const float sign = plane == ClipRight ? 1.0f : -1.0f;
        const float z = CrossingDepth(a.x, b.x, b.z, dz, sign);
        out->z = z;
        out->x = sign * z;
        s = EdgeFactor(a.x, b.x, out->x, a.z, b.z, z);
        out->y = Lerp(a.y, b.y, s);
    } else if (plane == ClipTop || plane == ClipBottom) {
        const float sign = plane == ClipTop ? 1.0f : -1.0f;
        const float z = CrossingDepth(a.y, b.y, b.z, dz, sign);
        out->z = z;
        out->y = sign * z;
        s = EdgeFactor(a.y, b.y, out->y, a.z, b.z, z);
        out->x = Lerp(a.x, b.x, s);
    } else {
        *out = a;
        return;
    }
    out->red = Lerp(a.red, b.red, s);
    out->green = Lerp(a.green, b.green, s);
    out->blue = Lerp(a.blue, b.blue, s);
    out->alpha = Lerp(a.alpha, b.alpha, s);
    out->u = Lerp(a.u, b.u, s);
    out->v = Lerp(a.v, b.v, s);
    out->u2 = Lerp(a.u2, b.u2, s);
    out->v2 = Lerp(a.v2, b.v2, s);
}

// Writes the emission projection into the record's screen fields.
static void ProjectForEmission(const ScreenProjection& projection, ScreenVertex* v)
{
    const float r = 1.0f / v->z;
    v->screenX = (projection.scaleX * v->x) * r + projection.offsetX;
    v->screenY = projection.offsetY - (projection.scaleY * v->y) * r;
}

static void ProjectTriangleForEmission(const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b,
                                       ScreenVertex* c)
{
    ProjectForEmission(projection, a);
    ProjectForEmission(projection, b);
    ProjectForEmission(projection, c);
}

void EmitTriangle(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c)
{
    ProjectTriangleForEmission(projection, a, b, c);
    render.DrawTriangle(*a, *b, *c);
}

void EmitTriangleDualTexture(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c)
{
    ProjectTriangleForEmission(projection, a, b, c);
    render.DrawTriangleDualTexture(*a, *b, *c);
}

// New vertex on edge from-to at plane p, classified for the planes still to come.
static ScreenVertex SplitEdge(const ScreenVertex& from, const ScreenVertex& to, int32_t p)
{
    ScreenVertex out{};
    ClipEdge(from, to, &out, p);
    ComputeClipFlags(&out);
    return out;
}

// p is a plane bit 1, 2, 4 or 8, or 16 once all four are passed.
template <bool DualTexture>
static void ClipTriangle(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c, int32_t p)
{
    bool outA, outB, outC;
    for (;;) {
        if (DualTexture && ((a->clipFlags | b->clipFlags | c->clipFlags) & ClipHidden)) return;
        if (p > ClipBottom) {
            if (DualTexture)
                EmitTriangleDualTexture(render, projection, a, b, c);
            else
                EmitTriangle(render, projection, a, b, c);
            return;
        }
        outA = (a->clipFlags & p) != 0;
        outB = (b->clipFlags & p) != 0;
        outC = (c->clipFlags & p) != 0;
        if (outA && outB && outC) return;
        if (outA || outB || outC) break;
        p <<= 1;   // untouched by this plane
    }
    const int32_t next = p << 1;

    if (outA + outB + outC == 2) {
        // One inside: keep the corner at the inside vertex.
        ScreenVertex* in = outC ? (outA ? b : a) : c;
        ScreenVertex* out1 = outC ? (outA ? a : b) : a;
        ScreenVertex* out2 = outC ? c : b;
        ScreenVertex e1 = SplitEdge(*in, *out1, p);
        ScreenVertex e2 = SplitEdge(*in, *out2, p);
        ClipTriangle<DualTexture>(render, projection, in, &e1, &e2, next);
        return;
    }

    // One outside: the remaining quadrilateral l1, i1, l2 (plus i2) as two triangles.
    ScreenVertex* out = outA ? a : (outB ? b : c);
    ScreenVertex* in1 = outA ? b : (outB ? c : a);
    ScreenVertex* in2 = outA ? c : (outB ? a : b);
    ScreenVertex l1 = SplitEdge(*out, *in2, p);
    ClipTriangle<DualTexture>(render, projection, &l1, in1, in2, next);
    ScreenVertex l2 = SplitEdge(*out, *in1, p);
    ClipTriangle<DualTexture>(render, projection, &l1, in1, &l2, next);
}

// Planes below firstPlane count as passed.
static int32_t NormalisedFirstPlane(int32_t firstPlane)
{
    int32_t p = ClipRight;
    while (p < firstPlane && p <= ClipBottom) p <<= 1;
    return p;
}

void DrawClippedTriangle(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                         int32_t firstPlane)
{
    ClipTriangle<false>(render, projection, a, b, c, NormalisedFirstPlane(firstPlane));
}

void DrawClippedTriangleDualTexture(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                                    int32_t firstPlane)
{
    ClipTriangle<true>(render, projection, a, b, c, NormalisedFirstPlane(firstPlane));
}
