// Triangle clipping against the four side planes of the view pyramid, and emission of
// the pieces to the render interface.
//
// Conventions: view space looks along +z, y up. The side planes are x = z (right, bit 1),
// x = -z (left, 2), y = z (top, 4) and y = -z (bottom, 8); "outside plane p" means the
// record's ClipFlags has bit p (see classify.h for the rule). Planes are taken in the
// order 1, 2, 4, 8; each one at most doubles the pieces, so one triangle yields at most
// 16. There is no near or far plane: whatever survives the four side planes lies in
// front of the eye. Emission writes screen x = scaleX·x/z + offsetX and screen
// y = offsetY - scaleY·y/z of the screen projection into each record (the records handed
// in included), then draws through the render interface it is given. New vertices live
// on the stack; nothing is allocated.
#pragma once

#include <cstdint>

#include "gfx/screen_vertex.h"

class RenderInterface;

// Smallest edge extent used as a divisor, in place of an exact 0.
constexpr float ClipEdgeGuard = 0.000001f;

// Emission projection of the clippers: screen x := scaleX·x/z + offsetX, screen
// y := offsetY - scaleY·y/z. Its default is the render interface's own screen (ViewToScreen).
struct ScreenProjection {
    float offsetX = 0.0f, offsetY = 0.0f, scaleX = 1.0f, scaleY = 1.0f;
};
// View space onto the render interface's screen: the projection every scene draws with.
constexpr ScreenProjection ViewToScreen{};

// Emission, the last step of the clippers and of any effect that makes triangles of its
// own: screen x and y of a, b and c are recomputed from their view x, y, z with the
// projection handed in, then the triangle goes to DrawTriangle (single texture, perspective
// correct) or DrawTriangleDualTexture. No clipping and no flag test happen here.
void EmitTriangle(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c);
void EmitTriangleDualTexture(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c);

// Recomputes v's ClipFlags from its view x, y, z by the rule of ProjectMeshVertices.
void ComputeClipFlags(ScreenVertex* v);

// out := the point of line a-b on side plane `plane` (1, 2, 4 or 8), with colour, alpha
// and both texture pairs interpolated to it. Screen fields and ClipFlags of out are not
// set. Any other plane value copies a into out.
void ClipEdge(const ScreenVertex& a, const ScreenVertex& b, ScreenVertex* out, int32_t plane);

// Clips triangle a, b, c against the side planes from firstPlane on and draws every
// piece with DrawTriangle. firstPlane 1 clips against all four; values below 1 count as
// 1, and a value between two plane bits starts at the next higher one.
void DrawClippedTriangle(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                         int32_t firstPlane);

// The same, drawing with DrawTriangleDualTexture, and dropping the triangle outright
// when any of its vertices carries ClipHidden.
void DrawClippedTriangleDualTexture(RenderInterface& render, const ScreenProjection& projection, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                                    int32_t firstPlane);
