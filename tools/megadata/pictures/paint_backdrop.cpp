// The backdrop: the opening title picture and the calm picture behind the credits.
#include <cmath>

#include "pictures/emblem.h"
#include "pictures/lettering.h"
#include "pictures/noise.h"
#include "pictures/palette.h"
#include "pictures/picture_catalogue.h"
#include "pictures/shapes.h"

namespace {

constexpr float kPi = 3.14159265f;

// Sky gradient with a glowing horizon at row `horizon` and a dark floor beneath it.
void PaintSky(Picture& p, float horizon, Colour glow, int seed)
{
    for (int y = 0; y < p.height; ++y) {
        float t = float(y) / float(p.height);
        float h = float(y) - horizon;
        for (int x = 0; x < p.width; ++x) {
            Colour c = Mix(palette::Abyss, palette::Midnight, SmoothStep(0.0f, 0.62f, t));
            float band = std::exp(-h * h / (h < 0 ? 5000.0f : 900.0f));
            c = Add(c, Scale(glow, 0.30f * band));
            if (h > 0) c = Mix(c, palette::Abyss, SmoothStep(0.0f, 140.0f, h) * 0.75f);
            float n = Fbm(x / 96.0f, y / 96.0f, 64, 64, 4, seed);
            c = Add(c, Scale(palette::Violet, 0.06f * n * (1 - t)));
            float* px = PixelAt(p, x, y);
            px[0] = c.r;
            px[1] = c.g;
            px[2] = c.b;
        }
    }
}

// Perspective floor lines from the vanishing point (vx, horizon) down to the bottom:
// one-pixel lines every 40 floor units across and along, fading into the distance.
void PaintFloorGrid(Picture& p, float vx, float horizon, Colour c, float strength)
{
    for (int y = int(horizon) + 1; y < p.height; ++y) {
        float depth = float(y) + 0.5f - horizon;       // grows toward the viewer
        float rowPhase = 4000.0f / depth / 40.0f;      // floor distance in line spacings
        float rowRate = 4000.0f / (40.0f * depth * depth);
        float rowDist = std::fabs(rowPhase - std::round(rowPhase)) / rowRate;
        float rowK = Coverage(rowDist - 0.5f) * (1.0f - SmoothStep(0.3f, 1.0f, rowRate));
        float colRate = 60.0f / (40.0f * depth);
        for (int x = 0; x < p.width; ++x) {
            float colPhase = (float(x) + 0.5f - vx) * colRate;
            float colDist = std::fabs(colPhase - std::round(colPhase)) / colRate;
            float colK = Coverage(colDist - 0.5f);
            float side = 1.0f - 0.6f * SmoothStep(0.0f, 420.0f, std::fabs(float(x) - vx));
            float fade = SmoothStep(0.0f, 110.0f, depth) * side;
            AddLight(p, x, y, c, std::max(colK, rowK) * fade * strength);
        }
    }
}

// Thin glints: bright dots with a small cross, scattered by the seed, kept out of the
// rectangle (kx0, ky0)-(kx1, ky1).
void PaintStars(Picture& p, int count, int seed, float kx0, float ky0, float kx1, float ky1, float maxY)
{
    Rng rng{uint32_t(seed) * 2654435761u + 1};
    for (int i = 0; i < count; ++i) {
        float x = NextRange(rng, 0, float(p.width)), y = NextRange(rng, 0, maxY);
        float b = NextRange(rng, 0.15f, 1.0f);
        b = b * b;
        if (x > kx0 && x < kx1 && y > ky0 && y < ky1) continue;
        Colour c = Mix(palette::Ice, palette::Frost, NextUnit(rng));
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                float d2 = float(dx * dx + dy * dy);
                float k = std::exp(-d2 * 1.2f);
                if (dx == 0 || dy == 0) k += 0.35f * std::exp(-d2 * 0.18f) * b;
                AddLight(p, int(x) + dx, int(y) + dy, c, k * b);
            }
        }
    }
}

// A long crystal shard: a thin diamond from a to b, shaded along its ridge.
void PaintShard(Picture& p, Vec2 a, Vec2 b, float width, Colour c, float opacity)
{
    Vec2 mid{(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f};
    float dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    Vec2 n{-dy / len * width, dx / len * width};
    Vec2 left{mid.x + n.x, mid.y + n.y}, right{mid.x - n.x, mid.y - n.y};
    Vec2 corners[4] = {a, left, b, right};
    int x0 = int(std::fmin(std::fmin(a.x, b.x), std::fmin(left.x, right.x))) - 2;
    int x1 = int(std::fmax(std::fmax(a.x, b.x), std::fmax(left.x, right.x))) + 2;
    int y0 = int(std::fmin(std::fmin(a.y, b.y), std::fmin(left.y, right.y))) - 2;
    int y1 = int(std::fmax(std::fmax(a.y, b.y), std::fmax(left.y, right.y))) + 2;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Vec2 q{x + 0.5f, y + 0.5f};
            float k = Coverage(SdConvexPolygon(q, corners, 4));
            if (k <= 0) continue;
            // Which side of the ridge a-b: one face catches the light, the other not.
            float side = (q.x - a.x) * n.x + (q.y - a.y) * n.y;
            float along = ((q.x - a.x) * dx + (q.y - a.y) * dy) / (len * len);
            float lit = side > 0 ? 0.85f : 0.35f;
            Colour shade = Mix(Scale(c, lit), palette::Frost, 0.35f * (1 - along) * (side > 0));
            AddLight(p, x, y, shade, k * opacity);
        }
    }
}

// Big lettering with a gradient fill, a glow and a mirrored reflection on the floor.
void PaintTitle(Picture& p, const std::string& text, const TextStyle& style, int centreX, int baseline,
                float reflectionTop)
{
    Mask m = RenderText(text, style, 28);
    int x = centreX - m.width / 2, y = baseline - m.baseline;
    Mask glow = m;
    BlurMask(glow, 9);
    GlowMask(p, glow, x, y, palette::Zircon, 1.3f);
    Mask halo = m;
    BlurMask(halo, 3);
    GlowMask(p, halo, x, y, palette::Ice, 0.45f);
    float capTop = float(m.baseline) - style.pixelSize * 0.73f * style.stretchY;
    PaintMask(p, m, x, y, 1.0f, [&](float, float v) {
        float row = v * float(m.height);
        float t = (row - capTop) / (float(m.baseline) - capTop);  // 0 at cap height, 1 at baseline
        Colour c = t < 0.5f ? Mix(palette::Frost, palette::Ice, t * 2) : Mix(palette::Zircon, palette::Ice, (t - 0.5f) * 1.4f);
        if (std::fabs(t - 0.5f) < 0.02f) c = palette::Frost;  // the chrome seam
        return c;
    });
    if (reflectionTop <= 0) return;
    // The reflection: rows mirrored about the baseline, fading with distance.
    for (int my = 0; my < m.baseline; ++my) {
        int dy = int(reflectionTop) + 6 + (m.baseline - my);
        float fade = 0.13f * (1.0f - float(m.baseline - my) / float(m.baseline - capTop + 8));
        if (fade <= 0) continue;
        for (int mx = 0; mx < m.width; ++mx) {
            float k = m.coverage[size_t(my) * m.width + mx] * fade;
            AddLight(p, x + mx, dy, palette::Zircon, k);
        }
    }
}

Picture PaintTitleScreen()
{
    Picture p = MakePicture(kScreenWidth, kScreenHeight, palette::Abyss);
    const float horizon = 318;
    PaintSky(p, horizon, palette::Zircon, 11);
    // Rays from behind the title.
    for (int y = 0; y < int(horizon); ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = x - 320.0f, dy = y - 215.0f, r = std::hypot(dx, dy);
            float a = std::atan2(dy, dx);
            float rays = std::pow(0.5f + 0.5f * std::cos(a * 18.0f), 6.0f) * 0.6f +
                         std::pow(0.5f + 0.5f * std::cos(a * 7.0f + 1.3f), 8.0f) * 0.5f;
            float fall = std::exp(-r / 210.0f) * SmoothStep(0.0f, 60.0f, r);
            float edge = SmoothStep(horizon, horizon - 60, float(y));
            AddLight(p, x, y, Mix(palette::Zircon, palette::Violet, 0.3f), rays * fall * edge * 0.55f);
            AddLight(p, x, y, palette::Zircon, std::exp(-r * r / (2 * 150.0f * 150.0f)) * 0.22f);
        }
    }
    PaintFloorGrid(p, 320, horizon, palette::Ice, 0.32f);
    PaintStars(p, 120, 5, 70, 120, 570, 330, horizon - 10);

    // Shards fanning in from the corners, kept clear of the lettering.
    Rng rng{97};
    for (int i = 0; i < 18; ++i) {
        bool left = i % 2 == 0;
        float baseX = left ? NextRange(rng, -40, 90) : NextRange(rng, 550, 680);
        float baseY = NextRange(rng, 20, 300);
        float len = NextRange(rng, 60, 170);
        float ang = (left ? -0.9f : kPi + 0.9f) + NextRange(rng, -0.7f, 0.7f);
        Vec2 a{baseX, baseY}, b{baseX + std::cos(ang) * len, baseY + std::sin(ang) * len};
        Colour c = NextUnit(rng) < 0.3f ? palette::Violet : palette::Zircon;
        PaintShard(p, a, b, NextRange(rng, 6, 16), c, NextRange(rng, 0.25f, 0.55f));
    }

    TextStyle title;
    title.font = "DejaVuSans-Bold.ttf";
    title.pixelSize = 108;
    title.tracking = 8;
    PaintTitle(p, "ZIRCON", title, 320, 262, horizon);

    TextStyle sub;
    sub.font = "DejaVuSans-ExtraLight.ttf";
    sub.pixelSize = 40;
    sub.tracking = 22;
    Mask m = RenderText("megademo", sub, 12);
    Mask glow = m;
    BlurMask(glow, 4);
    int x = 320 - m.width / 2 + 11, y = 306 - m.baseline;
    GlowMask(p, glow, x, y, palette::Ice, 0.9f);
    PaintMask(p, m, x, y, 1.0f, [](float, float) { return palette::Frost; });
    // A thin rule above the subtitle ties the two lines together.
    for (int xx = 150; xx < 490; ++xx) {
        float fade = 1.0f - std::fabs(xx - 320.0f) / 170.0f;
        AddLight(p, xx, 274, palette::Ice, 0.55f * fade);
        AddLight(p, xx, 275, palette::Zircon, 0.3f * fade);
    }
    ClampPicture(p);
    return p;
}

Picture PaintCreditsScreen()
{
    Picture p = MakePicture(kScreenWidth, kScreenHeight, palette::Abyss);
    const float horizon = 360;
    PaintSky(p, horizon, palette::Violet, 23);
    // Aurora curtains in the upper half: vertical folds whose brightness wanders.
    for (int y = 0; y < int(horizon); ++y) {
        for (int x = 0; x < p.width; ++x) {
            float fold = Fbm(x / 70.0f, y / 260.0f, 64, 64, 3, 31);
            float curtain = std::pow(0.5f + 0.5f * std::sin(x / 23.0f + fold * 9.0f), 3.0f);
            float height = SmoothStep(20, 120, float(y)) * (1 - SmoothStep(150, 330, float(y)));
            Colour c = Mix(palette::Zircon, palette::Violet, Fbm(x / 200.0f, 0.5f, 64, 4, 2, 5));
            AddLight(p, x, y, c, curtain * height * 0.16f);
        }
    }
    PaintFloorGrid(p, 320, horizon, palette::Violet, 0.28f);
    PaintStars(p, 90, 41, -1, -1, -1, -1, horizon - 30);
    // A darker vignette keeps the eye on the middle.
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = (x - 320.0f) / 400.0f, dy = (y - 240.0f) / 300.0f;
            float v = 1.0f - 0.45f * SmoothStep(0.5f, 1.2f, std::sqrt(dx * dx + dy * dy));
            float* px = PixelAt(p, x, y);
            for (int c = 0; c < 3; ++c) px[c] *= v;
        }
    }
    ClampPicture(p);
    return p;
}

}  // namespace

Picture PaintBackdrop()
{
    Picture p = MakePicture(1024, 1024, palette::Abyss);
    PastePicture(p, PaintCreditsScreen(), 0, 0);
    PastePicture(p, PaintTitleScreen(), 0, kLowerScreenRow);
    return p;
}
