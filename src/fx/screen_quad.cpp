#include "fx/screen_quad.h"

#include "gfx/render_interface.h"

namespace {

constexpr float TexelToTexture = 0.003921569f;   // 1/255
constexpr float LayoutToNdcX = 0.0015649452f;    // nearest float to 1/639
constexpr float HalfPixelX = 0.00078125f;        // 1/1280
constexpr float LayoutToNdcY = 0.0020876827f;    // nearest float to 1/479
constexpr double HalfPixelY = 0.0010416666666666667;   // 1/960
constexpr float WidthToNdc = 0.0015625f;         // 1/640
constexpr float HeightToNdc = 0.0020833334f;     // 1/480

void SetCorner(ScreenVertex* v, float x, float y, float s, float t, float alpha)
{
    v->screenX = x;
    v->screenY = y;
    // DrawQuad divides by the view depth; 1.0 keeps the texture mapping plain linear.
    v->z = 1.0f;
    v->red = v->green = v->blue = 1.0f;
    v->u = v->u2 = s;
    v->v = v->v2 = t;
    v->alpha = alpha;
}

}  // namespace

void DrawScreenQuad(RenderInterface& render, ScreenVertex* block, float texelLeft, float texelTop, float texelRight,
                    float texelBottom, float x, float y, float scaleX, float scaleY, float alpha)
{
    float s0 = texelLeft * TexelToTexture;
    float t0 = texelTop * TexelToTexture;
    float s1 = texelRight * TexelToTexture;
    float t1 = texelBottom * TexelToTexture;

    float left = x * LayoutToNdcX - 1.0f + HalfPixelX;
    float right = left + (texelRight - texelLeft) * scaleX * WidthToNdc;
    float top = static_cast<float>(1.0f - y * LayoutToNdcY - HalfPixelY);
    float bottom = top - (texelBottom - texelTop) * scaleY * HeightToNdc;

    if (left > 1.0f || right < -1.0f || top < -1.0f || bottom > 1.0f) return;   // wholly off screen

    // Cut at the screen edges, shortening the texture window in proportion; each width or
    // height is taken just before its own step.
    if (left < -1.0f) {
        float w = right - left;
        s0 = s0 + (s1 - s0) * (-1.0f - left) / w;
        left = -1.0f;
    }
    if (top > 1.0f) {
        float h = top - bottom;
        t0 = t0 + (t1 - t0) * (top - 1.0f) / h;
        top = 1.0f;
    }
    if (right > 1.0f) {
        float w = right - left;
        s1 = s1 - (s1 - s0) * (right - 1.0f) / w;
        right = 1.0f;
    }
    if (bottom < -1.0f) {
        float h = top - bottom;
        t1 = t1 - (t1 - t0) * (-1.0f - bottom) / h;
        bottom = -1.0f;
    }

    SetCorner(&block[0], left, top, s0, t0, alpha);
    SetCorner(&block[1], right, top, s1, t0, alpha);
    SetCorner(&block[2], right, bottom, s1, t1, alpha);
    SetCorner(&block[3], left, bottom, s0, t1, alpha);
    render.DrawQuad(block[0], block[1], block[2], block[3]);
}
