#include "fx/background.h"

namespace {

// Corners from the bottom-left counter-clockwise; the picture's first row is at the top.
void DrawBackgroundWindow(float red, float green, float blue, TextureId texture, float vTop, float vBottom)
{
    static const float X[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    static const float Y[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    static const float U[4] = {0.0f, 0.625f, 0.625f, 0.0f};
    const float V[4] = {vBottom, vBottom, vTop, vTop};
    ScreenVertex corner[4] = {};
    for (int i = 0; i < 4; ++i) {
        corner[i].screenX = X[i];
        corner[i].screenY = Y[i];
        corner[i].z = 0.0f;
        corner[i].u = U[i];
        corner[i].v = V[i];
        corner[i].red = red;
        corner[i].green = green;
        corner[i].blue = blue;
    }
    Renderer->BindTexture(texture);
    Renderer->DrawTriangleAffine(corner[0], corner[1], corner[2]);
    Renderer->DrawTriangleAffine(corner[0], corner[2], corner[3]);
}

}  // namespace

void DrawBackgroundLower(float red, float green, float blue, TextureId texture)
{
    DrawBackgroundWindow(red, green, blue, texture, 0.5f, 0.96875f);
}

void DrawBackgroundUpper(float red, float green, float blue, TextureId texture)
{
    DrawBackgroundWindow(red, green, blue, texture, 0.0f, 0.46875f);
}
