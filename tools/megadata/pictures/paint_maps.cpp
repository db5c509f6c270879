// Maps wrapped onto geometry: the two reflection maps, the ball's radial map and the
// translucent skin of the credits model.
#include <algorithm>
#include <cmath>

#include "pictures/noise.h"
#include "pictures/palette.h"
#include "pictures/picture_catalogue.h"
#include "pictures/shapes.h"

namespace {

constexpr float kTwoPi = 6.28318531f;

// Distance from a to b on a circle of circumference 1.
float WrapDelta(float a, float b)
{
    float d = a - b;
    return d - std::round(d);
}

// Brightness of a soft-edged rectangle (a studio softbox) centred at (cx, cy) with half
// sizes (hx, hy), on a texture that repeats in both directions.
float Softbox(float u, float v, float cx, float cy, float hx, float hy, float soft)
{
    float dx = std::fabs(WrapDelta(u, cx)) - hx, dy = std::fabs(WrapDelta(v, cy)) - hy;
    float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return std::exp(-outside * outside / (soft * soft)) * (dx < 0 && dy < 0 ? 1.0f : 0.85f);
}

}  // namespace

Picture PaintEnvMap()
{
    Picture p = MakePicture(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            float u = (x + 0.5f) / 256.0f, v = (y + 0.5f) / 256.0f;
            // A horizon that repeats: bright sky band fading to a dark floor band.
            float sky = 0.5f + 0.5f * std::cos(kTwoPi * v);
            Colour c = Mix(palette::Abyss, palette::Zircon, 0.25f + 0.55f * sky * sky);
            c = Add(c, Scale(palette::Violet, 0.18f * (1 - sky)));
            float k = 0;
            k += Softbox(u, v, 0.18f, 0.12f, 0.10f, 0.05f, 0.03f);
            k += Softbox(u, v, 0.62f, 0.05f, 0.06f, 0.11f, 0.03f);
            k += 0.7f * Softbox(u, v, 0.42f, 0.58f, 0.16f, 0.012f, 0.02f);
            k += 0.55f * Softbox(u, v, 0.86f, 0.44f, 0.015f, 0.2f, 0.015f);
            k += 0.4f * Softbox(u, v, 0.05f, 0.8f, 0.05f, 0.05f, 0.05f);
            float streak = Fbm(u * 4, v * 32, 4, 32, 3, 51);
            c = Add(c, Scale(palette::Ice, 0.12f * streak * sky));
            c = Mix(c, palette::Frost, Clamp01(k));
            Store(p, x, y, c);
        }
    }
    ClampPicture(p);
    return p;
}

Picture PaintEnvMap2()
{
    Picture p = MakePicture(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            // Columns follow the normal's vertical component (left = facing up), rows
            // its horizontal one: sky on the left, floor on the right.
            float nu = (x + 0.5f) / 128.0f - 1.0f, nv = (y + 0.5f) / 128.0f - 1.0f;
            float rho = std::hypot(nu, nv);
            float horizon = nu + 0.12f * nv;
            Colour sky = Mix(palette::Frost, palette::Zircon, SmoothStep(-1.0f, 0.0f, horizon));
            Colour floor = Mix(palette::Midnight, palette::Abyss, SmoothStep(0.0f, 0.9f, horizon));
            Colour c = horizon < 0 ? sky : floor;
            c = Add(c, Scale(palette::Ice, 0.6f * std::exp(-horizon * horizon * 300.0f)));
            // Floor reflections of the lights, faint and stretched.
            if (horizon > 0) c = Add(c, Scale(palette::Violet, 0.25f * std::exp(-std::pow(nv - 0.3f, 2.0f) * 12.0f) * (1 - horizon)));
            float k = 0;
            k += Softbox(x / 256.0f, y / 256.0f, 0.22f, 0.24f, 0.09f, 0.07f, 0.02f);
            k += 0.9f * Softbox(x / 256.0f, y / 256.0f, 0.3f, 0.74f, 0.14f, 0.025f, 0.015f);
            k += 0.5f * Softbox(x / 256.0f, y / 256.0f, 0.5f, 0.5f, 0.04f, 0.04f, 0.04f);
            c = Mix(c, palette::Frost, Clamp01(k));
            // Fresnel rim: grazing normals reflect more of the bright surroundings.
            c = Add(c, Scale(palette::Ice, 0.45f * SmoothStep(0.75f, 1.05f, rho)));
            Store(p, x, y, c);
        }
    }
    ClampPicture(p);
    return p;
}

Picture PaintRadialMap()
{
    Picture p = MakePicture(256, 256);
    for (int y = 0; y < 256; ++y) {
        float v = (y + 0.5f) / 256.0f;  // pole to pole
        for (int x = 0; x < 256; ++x) {
            float u = (x + 0.5f) / 256.0f;  // once round: every pattern repeats a whole number of times
            float bands = 0.5f + 0.5f * std::cos(kTwoPi * v * 5.0f + 1.2f * std::sin(kTwoPi * u * 3.0f));
            float meridians = std::pow(0.5f + 0.5f * std::cos(kTwoPi * u * 24.0f), 10.0f);
            float fine = 0.5f + 0.5f * std::cos(kTwoPi * u * 96.0f);
            float ring = std::exp(-std::pow(std::fabs(WrapDelta(v * 5.0f, 0.5f)) * 18.0f, 2.0f));
            float noise = Fbm(u * 16, v * 16, 16, 16, 3, 71);
            // Saturated and not too bright: the light band adds many layers of this.
            Colour c = Mix(ZirconRamp(0.3f + 0.4f * bands), EmberRamp(0.35f + 0.4f * bands), SmoothStep(0.3f, 0.8f, noise));
            c = Scale(c, 0.8f);
            c = Add(c, Scale(palette::Ice, 0.3f * meridians + 0.05f * fine));
            c = Add(c, Scale(palette::Frost, 0.35f * ring));
            Store(p, x, y, c);
        }
    }
    ClampPicture(p);
    return p;
}

Picture PaintOndTexture()
{
    Picture p = MakePicture(512, 512);
    // Plane waves with whole numbers of crests across the picture interfere, bent by a
    // little noise; their sum is drawn as contour lines, like light on a film of oil.
    // The skin is most opaque on the lines and lets the backdrop through between them.
    // Everything repeats every 512 texels, so the skin wraps without a seam.
    const int waves[4][2] = {{3, 1}, {-1, 4}, {2, -3}, {5, 2}};
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            float warp = Fbm(x / 128.0f, y / 128.0f, 4, 4, 3, 87) - 0.5f;
            float sum = 0;
            for (const auto& w : waves) {
                sum += std::cos(kTwoPi * float(w[0] * x + w[1] * y) / 512.0f + 4.0f * warp);
            }
            sum *= 0.75f;
            float level = sum / 6.0f + 0.5f;                  // 0..1
            float contour = level * 7.0f;
            float line = std::exp(-std::pow((contour - std::round(contour)) * 5.0f, 2.0f));
            float brushed = Fbm(x / 128.0f, y / 4.0f, 4, 128, 3, 83);
            Colour c = Mix(ZirconRamp(0.3f + 0.5f * level), EmberRamp(0.4f + 0.4f * level), SmoothStep(0.55f, 0.95f, level) * 0.6f);
            c = Add(c, Scale(palette::Ice, 0.08f * brushed));
            c = Mix(c, palette::Frost, 0.65f * line);
            float alpha = 0.5f + 0.2f * level + 0.3f * line;
            Store(p, x, y, c, alpha);
        }
    }
    ClampPicture(p);
    return p;
}
