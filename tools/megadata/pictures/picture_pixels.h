// A picture being painted: straight (not premultiplied) RGBA floats in 0..1, row 0 at
// the top. Alpha is opacity here; the PNG writer turns it into the file's convention.
#pragma once

#include <cstddef>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;   // width × height × 4
};

// A picture of the given size filled with one colour and opacity.
Picture MakePicture(int width, int height, Colour fill = {}, float alpha = 1.0f);

// Pointer to the four floats of pixel (x, y); no bounds check.
inline float* PixelAt(Picture& p, int x, int y) { return &p.rgba[(std::size_t(y) * p.width + x) * 4]; }
inline const float* PixelAt(const Picture& p, int x, int y) { return &p.rgba[(std::size_t(y) * p.width + x) * 4]; }

// Sets pixel (x, y) to colour c with the given opacity.
inline void Store(Picture& p, int x, int y, Colour c, float alpha = 1.0f)
{
    float* px = PixelAt(p, x, y);
    px[0] = c.r;
    px[1] = c.g;
    px[2] = c.b;
    px[3] = alpha;
}

// Straight linear blend of two colours.
Colour Mix(Colour a, Colour b, float t);
Colour Scale(Colour c, float k);
Colour Add(Colour a, Colour b);

// Paints colour c over pixel (x, y) with coverage k (0..1), opacity included.
void BlendPixel(Picture& p, int x, int y, Colour c, float k);
// Adds light to the colour of pixel (x, y); opacity rises with the light added.
void AddLight(Picture& p, int x, int y, Colour c, float k);

// Copies src into dst with its top-left corner at (x0, y0), clipped to dst.
void PastePicture(Picture& dst, const Picture& src, int x0, int y0);

// Clamps every channel into 0..1.
void ClampPicture(Picture& p);

// Smooth step between edges e0 and e1.
float SmoothStep(float e0, float e1, float x);
float Clamp01(float x);
