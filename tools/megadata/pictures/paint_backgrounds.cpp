// Full-screen backgrounds: rings of light (tori) and swirls (vortex), two screens each.
#include <cmath>

#include "pictures/noise.h"
#include "pictures/palette.h"
#include "pictures/picture_catalogue.h"

namespace {

constexpr float kPi = 3.14159265f;

struct RingSet {
    float cx, cy;        // centre on the screen
    float tilt;          // vertical squash of the rings (1 = circles)
    Colour inner, outer;
    int seed;
};

// Concentric glowing rings, each shaded like a torus lit from above, over a radial
// glow and soft rays; the rings grow fainter outward.
Picture PaintRings(const RingSet& s)
{
    Picture p = MakePicture(kScreenWidth, kScreenHeight, palette::Abyss);
    const float radii[] = {70, 118, 172, 236, 310, 396, 490};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = x + 0.5f - s.cx, dy = (y + 0.5f - s.cy) / s.tilt;
            float r = std::hypot(dx, dy), a = std::atan2(dy, dx);
            float t = Clamp01(r / 560.0f);
            Colour c = Mix(Mix(s.inner, s.outer, SmoothStep(0.0f, 0.55f, t)), palette::Abyss, SmoothStep(0.35f, 1.0f, t));
            c = Scale(c, 0.55f);
            float rays = std::pow(0.5f + 0.5f * std::cos(a * 12.0f + 2.0f * Fbm(r / 90.0f, 0, 32, 2, 2, s.seed)), 5.0f);
            c = Add(c, Scale(s.outer, rays * 0.10f * (1 - t)));
            for (int i = 0; i < 7; ++i) {
                float d = r - radii[i];
                float width = 5.0f + i * 2.2f;
                float body = std::exp(-d * d / (2 * width * width));
                // Upper half of each tube catches the light (lit from above).
                float light = 0.6f + 0.4f * (-dy / (r + 1e-3f));
                float fade = 1.0f - i / 8.0f;
                float shimmer = 0.75f + 0.25f * ValueNoise(a * 12.0f / kPi + 24, float(i), 24, 64, s.seed + i);
                c = Add(c, Scale(Mix(s.outer, palette::Ice, light * 0.5f), body * 0.42f * fade * light * shimmer));
                float rim = std::exp(-(d + width * 0.5f) * (d + width * 0.5f) / 3.0f);
                c = Add(c, Scale(palette::Frost, rim * 0.25f * fade * light));
            }
            float grain = Fbm(x / 40.0f, y / 40.0f, 64, 64, 3, s.seed + 9);
            c = Add(c, Scale(palette::Violet, 0.05f * grain));
            Store(p, x, y, c, PixelAt(p, x, y)[3]);
        }
    }
    ClampPicture(p);
    return p;
}

struct Swirl {
    float cx, cy;
    float twist;      // how far the arms wind per unit of log radius
    int arms;
    float brightness;
    bool ember;       // violet-to-amber arms instead of blue-to-ice
    int seed;
};

// A vortex: logarithmic spiral arms round a bright eye, broken up by noise.
Picture PaintSwirl(const Swirl& s)
{
    Picture p = MakePicture(kScreenWidth, kScreenHeight, palette::Abyss);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = x + 0.5f - s.cx, dy = y + 0.5f - s.cy;
            float r = std::hypot(dx, dy) + 1.0f, a = std::atan2(dy, dx);
            float lr = std::log(r);
            float phase = a + s.twist * lr;
            // Eight noise cells per turn, so the noise meets itself where the angle wraps.
            float turb = Fbm(phase * 4 / kPi + 8, lr * 3.0f, 8, 64, 4, s.seed);
            float arm = 0.5f + 0.5f * std::cos(float(s.arms) * phase + 3.0f * turb);
            arm = std::pow(arm, 2.2f);
            float fine = 0.5f + 0.5f * std::cos(float(s.arms * 3) * phase + 6.0f * turb + lr * 2);
            float eye = std::exp(-r / 38.0f);
            float body = std::exp(-r / 260.0f);
            float t = Clamp01(0.25f + 0.55f * arm * body + 0.3f * eye + 0.08f * fine * body);
            Colour c = s.ember ? EmberRamp(t * 0.85f) : ZirconRamp(t);
            c = Scale(c, s.brightness * (0.55f + 0.45f * body));
            c = Add(c, Scale(palette::Frost, eye * 0.5f * s.brightness));
            Store(p, x, y, c, PixelAt(p, x, y)[3]);
        }
    }
    ClampPicture(p);
    return p;
}

}  // namespace

Picture PaintToriRadial()
{
    Picture p = MakePicture(1024, 1024, palette::Abyss);
    // Above: behind the melting shapes, which sit right of the middle.
    PastePicture(p, PaintRings({404, 236, 0.82f, palette::Violet, palette::Zircon, 3}), 0, 0);
    // Below: behind the sliced ball, which sits left of the middle.
    PastePicture(p, PaintRings({168, 240, 0.9f, palette::Zircon, palette::Violet, 7}), 0, kLowerScreenRow);
    return p;
}

Picture PaintVortex()
{
    Picture p = MakePicture(1024, 1024, palette::Abyss);
    // Above: behind the twisting ball in the middle of the screen.
    PastePicture(p, PaintSwirl({320, 240, 2.2f, 3, 1.0f, false, 13}), 0, 0);
    // Below: darker, so the additive lattice drawn over it stays readable.
    PastePicture(p, PaintSwirl({320, 250, -1.7f, 4, 0.55f, true, 17}), 0, kLowerScreenRow);
    return p;
}
