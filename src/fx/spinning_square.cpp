// The spinning textured square.
#include "fx/spinning_square.h"

#include <cmath>

#include "gfx/render_interface.h"

void DrawSpinningSquare(RenderInterface& render, const Camera& camera, float offsetX, float offsetY, float halfSize, float depth,
                        float angle)
{
    const float h = halfSize;
    const float cornerX[4] = {-h, h, h, -h};
    const float cornerY[4] = {-h, -h, h, h};
    const float cornerU[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    const float cornerV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    const float c = std::cos(angle), s = std::sin(angle);
    const float w = 1.0f / depth;

    ScreenVertex corner[4] = {};
    for (int i = 0; i < 4; ++i) {
        const float x = cornerX[i] * c - cornerY[i] * s;
        const float y = cornerX[i] * s + cornerY[i] * c;
        ScreenVertex& v = corner[i];
        v.x = x;
        v.y = y;
        v.z = depth;
        // View y up, screen y inverted as in the projection of the mesh pipeline.
        v.screenX = offsetX + w * x * camera.projectionScaleX;
        v.screenY = offsetY - w * y * camera.projectionScaleY;
        v.red = v.green = v.blue = 1.0f;
        v.alpha = 1.0f;
        v.u = cornerU[i];
        v.v = cornerV[i];
    }
    render.DrawTriangle(corner[0], corner[1], corner[2]);
    render.DrawTriangle(corner[0], corner[3], corner[2]);
}
