// Overlays and plain panels: the scrolling noise layers, the lattice panel and the
// closing white picture. The noise layers repeat seamlessly because they scroll.
#include <cmath>

#include "pictures/emblem.h"
#include "pictures/noise.h"
#include "pictures/palette.h"
#include "pictures/picture_catalogue.h"

Picture PaintVertNoise()
{
    Picture p = MakePicture(256, 256);
    // Each column gets a streak strength and width of its own; along the column the
    // streak swells and fades with slow noise that repeats every 256 rows.
    for (int x = 0; x < 256; ++x) {
        float pick = HashUnit(x, 0, 401);
        float strength = pick > 0.86f ? 0.12f + 0.3f * (pick - 0.86f) / 0.14f : 0.0f;
        for (int y = 0; y < 256; ++y) {
            float neighbour = 0;
            for (int dx = -1; dx <= 1; dx += 2) {
                float q = HashUnit((x + dx + 256) % 256, 0, 401);
                if (q > 0.93f) neighbour += 0.1f;
            }
            float swell = SmoothStep(0.35f, 0.8f, Fbm(float(x) * 3.7f, y / 32.0f, 1024, 8, 3, 409));
            float grain = HashUnit(x, y, 419) * 0.04f;
            float alpha = Clamp01((strength + neighbour) * swell + grain);
            Colour c = Mix(palette::Ice, palette::Frost, HashUnit(x, 1, 401));
            Store(p, x, y, c, alpha * 0.85f);
        }
    }
    return p;
}

Picture PaintLineNoise()
{
    Picture p = MakePicture(256, 256);
    // Thin scan lines every third row, with a few brighter lines that flicker along x.
    for (int y = 0; y < 256; ++y) {
        float pick = HashUnit(0, y, 503);
        float bright = pick > 0.92f ? 0.2f + 0.35f * (pick - 0.92f) / 0.08f : 0.0f;
        Colour tint = Mix(palette::Ice, palette::Orchid, HashUnit(1, y, 503) * 0.5f);
        for (int x = 0; x < 256; ++x) {
            float scan = (y % 3 == 0) ? 0.07f : 0.0f;
            float flicker = SmoothStep(0.3f, 0.75f, Fbm(x / 32.0f, float(y) * 5.3f, 8, 2048, 3, 509));
            float alpha = Clamp01(scan + bright * flicker + HashUnit(x, y, 521) * 0.03f);
            Store(p, x, y, Mix(tint, palette::Frost, flicker * 0.4f), alpha);
        }
    }
    return p;
}

Picture PaintGrid()
{
    Picture p = MakePicture(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            // Distance to the nearest edge in texels, measured from the outer border.
            float d = std::fmin(std::fmin(x + 0.5f, 127.5f - x), std::fmin(y + 0.5f, 127.5f - y));
            // Dim on its own: the lattice stacks 16 panels deep and adds them all up.
            float core = 0.45f * std::exp(-d / 1.3f);
            float halo = 0.10f * std::exp(-d / 5.0f);
            // The corners burn hotter where two rims meet.
            float corner = std::exp(-(std::fmin(x, 127 - x) + std::fmin(y, 127 - y)) / 8.0f) * 0.25f;
            Colour c = Add(Scale(Mix(palette::Ice, palette::Frost, 0.3f), core), Add(Scale(palette::Zircon, halo), Scale(palette::Orchid, corner)));
            Store(p, x, y, c, 1.0f);
        }
    }
    ClampPicture(p);
    return p;
}

Picture PaintWhiteFlash()
{
    Picture p = MakePicture(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            float dx = (x - 127.5f) / 128.0f, dy = (y - 127.5f) / 128.0f;
            float r = std::sqrt(dx * dx + dy * dy);
            // White in the middle, a breath of ice toward the corners.
            Colour c = Mix(Colour{1, 1, 1}, palette::Frost, SmoothStep(0.2f, 1.4f, r));
            Store(p, x, y, Mix(c, palette::Ice, 0.18f * SmoothStep(0.8f, 1.4f, r)), 1.0f);
        }
    }
    // A faint emblem, a last signature in the light.
    Picture ghost = MakePicture(256, 256, {}, 0.0f);
    PaintEmblem(ghost, 128, 128, 70, 1.0f);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const float* g = PixelAt(ghost, x, y);
            if (g[3] <= 0) continue;
            float* px = PixelAt(p, x, y);
            for (int c = 0; c < 3; ++c) px[c] -= g[3] * 0.10f * (1.0f - g[c] * 0.5f);
        }
    }
    ClampPicture(p);
    return p;
}
