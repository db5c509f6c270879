// Clip classification of one view-space point against the 90-degree view pyramid
// (|x| <= z, |y| <= z). The one rule behind both ProjectMeshVertices and
// ComputeClipFlags, so the two always agree bit for bit.
//
// In front of the eye (z > 0) a point on a side plane counts as outside it. Behind the
// eye (z <= 0, or z not a number) the point is flagged behind and always outside the
// right or the left plane, so the clipper cuts it away before anything is drawn.
#pragma once

#include <cstdint>

#include "gfx/screen_vertex.h"

// Beyond this view depth a point carries ClipFar; it is a classification, not a plane.
constexpr float FarClassifyDepth = 4500.0f;

// ClipFlags bits of the view-space point (x, y, z); never sets ClipHidden.
inline int32_t ClassifyViewPoint(float x, float y, float z)
{
    // Written as flat comparisons so the per-vertex loop runs without branches. In front,
    // "x > 0 and x >= z" reduces to "x >= z" because z > 0 (likewise for the other
    // three tests). Behind, "x < 0 ? (2 + (x > z)) : (1 + 2·(x < -z))" splits into one
    // expression per bit. NaN coordinates fail every comparison, as in the nested form.
    const bool front = z > 0.0f;
    int32_t flags = z > FarClassifyDepth ? ClipFar : 0;
    if (front) {
        flags |= (x >= z ? ClipRight : 0) | (-x >= z ? ClipLeft : 0) |
                 (y >= z ? ClipTop : 0) | (-y >= z ? ClipBottom : 0);
    } else {
        const bool xNegative = x < 0.0f;
        const bool yNegative = y < 0.0f;
        flags |= ClipBehind | (!xNegative || x > z ? ClipRight : 0) |
                 (xNegative || x < -z ? ClipLeft : 0) | (!yNegative || y > z ? ClipTop : 0) |
                 (yNegative || y < -z ? ClipBottom : 0);
    }
    return flags;
}
