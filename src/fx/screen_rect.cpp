// Corner records and the two-triangle submission of screen-space rectangles.
#include "fx/screen_rect.h"

void FillRectCorners(ScreenVertex corner[4], const ScreenRect& rect, const TextureWindow& window, float viewZ,
                     const CornerColour& colour)
{
    const float x[4] = {rect.left, rect.right, rect.right, rect.left};
    const float y[4] = {rect.bottom, rect.bottom, rect.top, rect.top};
    const float u[4] = {window.uLeft, window.uRight, window.uRight, window.uLeft};
    const float v[4] = {window.vBottom, window.vBottom, window.vTop, window.vTop};
    for (int i = 0; i < 4; ++i) {
        corner[i] = ScreenVertex{};
        corner[i].screenX = x[i];
        corner[i].screenY = y[i];
        corner[i].z = viewZ;
        corner[i].u = u[i];
        corner[i].v = v[i];
        corner[i].red = colour.red;
        corner[i].green = colour.green;
        corner[i].blue = colour.blue;
        corner[i].alpha = colour.alpha;
    }
}

void SubmitRectTriangles(RenderInterface& render, const ScreenVertex corner[4], TriangleSubmitter submit)
{
    (render.*submit)(corner[0], corner[1], corner[2]);
    (render.*submit)(corner[0], corner[2], corner[3]);
}
