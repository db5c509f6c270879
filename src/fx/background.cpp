// Full-screen pictures: the two background windows and the whole texture.
#include "fx/background.h"

#include "fx/screen_rect.h"

namespace {

constexpr ScreenRect WholeScreen = {-1.0f, -1.0f, 1.0f, 1.0f};

// The whole screen at depth 0 showing the given texture window, in one colour; the
// picture's first row is at the top. Alpha stays 0: the modes these are drawn under do
// not read it.
void FillPictureCorners(ScreenVertex corner[4], float red, float green, float blue, const TextureWindow& window)
{
    FillRectCorners(corner, WholeScreen, window, 0.0f, CornerColour{red, green, blue, 0.0f});
}

void DrawBackgroundWindow(RenderInterface& render, float red, float green, float blue, TextureId texture, float vTop, float vBottom)
{
    ScreenVertex corner[4];
    FillPictureCorners(corner, red, green, blue, TextureWindow{0.0f, 0.625f, vBottom, vTop});
    render.BindTexture(texture);
    SubmitRectTriangles(render, corner, &RenderInterface::DrawTriangleAffine);
}

}  // namespace

void DrawBackgroundLower(RenderInterface& render, float red, float green, float blue, TextureId texture)
{
    DrawBackgroundWindow(render, red, green, blue, texture, 0.5f, 0.96875f);
}

void DrawBackgroundUpper(RenderInterface& render, float red, float green, float blue, TextureId texture)
{
    DrawBackgroundWindow(render, red, green, blue, texture, 0.0f, 0.46875f);
}

void DrawBackgroundWhole(RenderInterface& render, float red, float green, float blue, TextureId texture)
{
    ScreenVertex corner[4];
    FillPictureCorners(corner, red, green, blue, TextureWindow{0.0f, 1.0f, 1.0f, 0.0f});
    render.BindTexture(texture);
    render.SetBlendMode(BlendMode::OpaqueNearest);
    SubmitRectTriangles(render, corner, &RenderInterface::DrawTriangleAffine);
}
