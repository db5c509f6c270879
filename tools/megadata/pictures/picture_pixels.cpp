#include "pictures/picture_pixels.h"

#include <algorithm>

Picture MakePicture(int width, int height, Colour fill, float alpha)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.rgba.resize(size_t(width) * height * 4);
    for (size_t i = 0; i < p.rgba.size(); i += 4) {
        p.rgba[i] = fill.r;
        p.rgba[i + 1] = fill.g;
        p.rgba[i + 2] = fill.b;
        p.rgba[i + 3] = alpha;
    }
    return p;
}

Colour Mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour c, float k) { return {c.r * k, c.g * k, c.b * k}; }

Colour Add(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

void BlendPixel(Picture& p, int x, int y, Colour c, float k)
{
    if (x < 0 || y < 0 || x >= p.width || y >= p.height || k <= 0) return;
    k = std::min(k, 1.0f);
    float* px = PixelAt(p, x, y);
    // Straight-alpha "over": the new opacity and the colour weighted by it.
    float a = px[3];
    float outA = k + a * (1 - k);
    if (outA <= 0) return;
    px[0] = (c.r * k + px[0] * a * (1 - k)) / outA;
    px[1] = (c.g * k + px[1] * a * (1 - k)) / outA;
    px[2] = (c.b * k + px[2] * a * (1 - k)) / outA;
    px[3] = outA;
}

void AddLight(Picture& p, int x, int y, Colour c, float k)
{
    if (x < 0 || y < 0 || x >= p.width || y >= p.height || k <= 0) return;
    float* px = PixelAt(p, x, y);
    float a = px[3];
    // Premultiply, add, and un-premultiply so a glow on a clear pixel stays its own colour.
    float pr = px[0] * a + c.r * k, pg = px[1] * a + c.g * k, pb = px[2] * a + c.b * k;
    float outA = std::min(1.0f, std::max({a, pr, pg, pb}));
    if (outA <= 0) return;
    px[0] = pr / outA;
    px[1] = pg / outA;
    px[2] = pb / outA;
    px[3] = outA;
}

void PastePicture(Picture& dst, const Picture& src, int x0, int y0)
{
    for (int y = 0; y < src.height; ++y) {
        int dy = y0 + y;
        if (dy < 0 || dy >= dst.height) continue;
        for (int x = 0; x < src.width; ++x) {
            int dx = x0 + x;
            if (dx < 0 || dx >= dst.width) continue;
            std::copy_n(PixelAt(src, x, y), 4, PixelAt(dst, dx, dy));
        }
    }
}

void ClampPicture(Picture& p)
{
    for (float& v : p.rgba) v = std::min(1.0f, std::max(0.0f, v));
}

float Clamp01(float x) { return std::min(1.0f, std::max(0.0f, x)); }

float SmoothStep(float e0, float e1, float x)
{
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
