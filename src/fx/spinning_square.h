// A square of the whole bound texture facing the viewer, spun about the view axis, at a
// view depth and shifted on the screen; projected with the camera's scales, no matrix.
#pragma once

#include "pipeline/vector_math.h"

class RenderInterface;

// Corners (-h, -h), (h, -h), (h, h), (-h, h), h = halfSize, rotated by angle (radians)
// and placed at view depth `depth`; screen x = offsetX + x'/depth × scale x, screen
// y = offsetY - y'/depth × scale y, so at angle 0 u grows rightward and v downward on
// the screen. Texture corners (0, 0), (1, 0), (1, 1), (0, 1); white, opaque. Drawn as
// two DrawTriangle calls, (1, 2, 3) and (1, 4, 3), unclipped. The caller binds the
// texture and sets blending and depth state.
void DrawSpinningSquare(RenderInterface& render, const Camera& camera, float offsetX, float offsetY, float halfSize, float depth,
                        float angle);
