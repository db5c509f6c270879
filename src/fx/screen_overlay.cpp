#include "fx/screen_overlay.h"

void DrawScreenOverlay(RenderInterface& render, float offsetU, float offsetV, float scale, float red, float green, float blue,
                       float alpha, TextureId texture)
{
    render.SetDepthTest(false);
    render.BindTexture(texture);
    render.SetBlendMode(BlendMode::AlphaBlendBilinear);

    static const float X[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    static const float Y[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    static const float DU[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    static const float DV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    ScreenVertex corner[4] = {};
    for (int i = 0; i < 4; ++i) {
        corner[i].screenX = X[i];
        corner[i].screenY = Y[i];
        // The same depth at every corner makes the perspective-correct mapping linear.
        corner[i].z = -1.0f;
        corner[i].u = (offsetU + DU[i]) * scale;
        corner[i].v = (offsetV + DV[i]) * scale;
        corner[i].red = red;
        corner[i].green = green;
        corner[i].blue = blue;
        corner[i].alpha = alpha;
    }
    render.DrawTriangle(corner[0], corner[1], corner[2]);
    render.DrawTriangle(corner[0], corner[2], corner[3]);
}
