// Translucent pictures with lettering and emblems: the loading sign, the credits, the
// greetings and the round design of the spinning squares. Clear pixels have opacity 0.
#include <cmath>
#include <string>

#include "pictures/emblem.h"
#include "pictures/lettering.h"
#include "pictures/noise.h"
#include "pictures/palette.h"
#include "pictures/picture_catalogue.h"
#include "pictures/shapes.h"

namespace {

constexpr float kPi = 3.14159265f;

// Paints one line of text centred on centreX with its baseline at `baseline`: a soft
// glow of `glowColour`, then the letters shaded from frost (top) to `lower` (bottom).
void PaintLine(Picture& p, const std::string& text, const TextStyle& style, int centreX, int baseline,
               Colour lower, Colour glowColour, float glow)
{
    Mask m = RenderText(text, style, 10);
    int x = centreX - m.width / 2 + int(style.tracking / 2), y = baseline - m.baseline;
    if (glow > 0) {
        Mask g = m;
        BlurMask(g, 3);
        GlowMask(p, g, x, y, glowColour, glow);
    }
    PaintMask(p, m, x, y, 1.0f, [&](float, float v) { return Mix(palette::Frost, lower, SmoothStep(0.3f, 0.8f, v)); });
}

// A rounded translucent panel from (x0, y0) to (x1, y1) with a thin glowing border.
void PaintPanel(Picture& p, float x0, float y0, float x1, float y1, float radius, float opacity)
{
    Vec2 c{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f};
    float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    for (int y = int(y0) - 2; y <= int(y1) + 2; ++y) {
        for (int x = int(x0) - 2; x <= int(x1) + 2; ++x) {
            float dx = std::fabs(x + 0.5f - c.x) - hx, dy = std::fabs(y + 0.5f - c.y) - hy;
            float d = std::hypot(std::fmax(dx, 0.0f), std::fmax(dy, 0.0f)) + std::fmin(std::fmax(dx, dy), 0.0f) - radius;
            float fill = Coverage(d);
            if (fill > 0) BlendPixel(p, x, y, Mix(palette::Abyss, palette::Midnight, float(y - y0) / (y1 - y0)), fill * opacity);
            float border = Coverage(std::fabs(d + 1.0f) - 0.6f);
            if (border > 0) AddLight(p, x, y, palette::Ice, border * 0.7f);
        }
    }
}

}  // namespace

Picture PaintLoading()
{
    Picture p = MakePicture(256, 256, palette::Abyss, 0.0f);
    PaintEmblem(p, 128, 92, 58, 1.0f);
    TextStyle word;
    word.font = "DejaVuSans-Bold.ttf";
    word.pixelSize = 30;
    word.tracking = 5;
    PaintLine(p, "loading", word, 128, 190, palette::Ice, palette::Zircon, 1.0f);
    // Three dots that read as "please wait".
    for (int i = 0; i < 3; ++i) {
        Vec2 c{114.0f + 14 * i, 210};
        for (int y = 204; y < 217; ++y) {
            for (int x = int(c.x) - 6; x <= int(c.x) + 6; ++x) {
                float k = Coverage(std::hypot(x + 0.5f - c.x, y + 0.5f - c.y) - 2.6f);
                BlendPixel(p, x, y, Mix(palette::Ice, palette::Frost, i / 2.0f), k * (0.5f + 0.25f * i));
            }
        }
    }
    TextStyle small;
    small.font = "DejaVuSansCondensed.ttf";
    small.pixelSize = 13;
    small.tracking = 3;
    PaintLine(p, "zircon megademo", small, 128, 240, palette::Zircon, palette::Zircon, 0.0f);
    ClampPicture(p);
    return p;
}

Picture PaintCredits()
{
    Picture p = MakePicture(1024, 1024, palette::Abyss, 0.0f);
    struct Credit {
        const char* role;
        const char* detail;
    };
    const Credit credits[3] = {
        {"CODE", "zircon  \xC2\xB7  pipeline, effects and timing"},
        {"GRAPHICS", "zircon  \xC2\xB7  pictures, models and lettering"},
        {"MUSIC", "zircon  \xC2\xB7  synthesis and sound"},
    };
    // Each band is shown 75 pixels high from 100 rows: letters are drawn 4/3 as tall so
    // they read in their true proportions on screen.
    const float stretch = 100.0f / 75.0f;
    for (int band = 0; band < 3; ++band) {
        int top = band * 100;
        // A dark strip behind the letters, fading out toward both ends and the band edges.
        for (int y = top + 4; y < top + 96; ++y) {
            float vy = 1.0f - SmoothStep(34.0f, 46.0f, std::fabs(y + 0.5f - (top + 50.0f)));
            for (int x = 0; x < 640; ++x) {
                float vx = 1.0f - SmoothStep(150.0f, 320.0f, std::fabs(x + 0.5f - 320.0f));
                BlendPixel(p, x, y, palette::Abyss, 0.55f * vx * vy);
            }
        }
        for (int x = 60; x < 580; ++x) {
            float fade = 1.0f - std::fabs(x + 0.5f - 320.0f) / 260.0f;
            AddLight(p, x, top + 8, palette::Ice, 0.6f * fade);
            AddLight(p, x, top + 91, palette::Ice, 0.6f * fade);
        }
        TextStyle role;
        role.font = "DejaVuSans-Bold.ttf";
        role.pixelSize = 40;
        role.tracking = 10;
        role.stretchY = stretch;
        PaintLine(p, credits[band].role, role, 320, top + 58, palette::Ice, palette::Zircon, 1.1f);
        TextStyle detail;
        detail.font = "DejaVuSans-ExtraLight.ttf";
        detail.pixelSize = 15;
        detail.tracking = 3;
        detail.stretchY = stretch;
        PaintLine(p, credits[band].detail, detail, 320, top + 82, palette::Frost, palette::Zircon, 0.5f);
    }
    ClampPicture(p);
    return p;
}

Picture PaintGreets()
{
    Picture p = MakePicture(256, 256, palette::Abyss, 0.0f);
    PaintPanel(p, 6, 6, 250, 250, 16, 0.72f);
    TextStyle head;
    head.font = "DejaVuSans-Bold.ttf";
    head.pixelSize = 27;
    head.tracking = 3;
    PaintLine(p, "greetings", head, 128, 44, palette::Ice, palette::Zircon, 1.0f);
    for (int x = 40; x < 216; ++x) AddLight(p, x, 56, palette::Ice, 0.7f * (1.0f - std::fabs(x - 128.0f) / 88.0f));
    const char* lines[] = {
        "to every coder, pixel artist",
        "and musician out there,",
        "to the organisers and",
        "the party people,",
        "to all who keep",
        "the demoscene alive!",
    };
    TextStyle body;
    body.font = "DejaVuSansCondensed.ttf";
    body.pixelSize = 16;
    body.tracking = 0.5f;
    for (int i = 0; i < 6; ++i) {
        PaintLine(p, lines[i], body, 128, 84 + i * 24, i >= 4 ? palette::Ice : palette::Frost, palette::Zircon, 0.0f);
    }
    PaintEmblem(p, 128, 226, 13, 1.0f);
    ClampPicture(p);
    return p;
}

Picture PaintTorusDesign()
{
    Picture p = MakePicture(256, 256, palette::Abyss, 0.0f);
    const Vec2 c{128, 128};
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            Vec2 q{x + 0.5f, y + 0.5f};
            float r = std::hypot(q.x - c.x, q.y - c.y), a = std::atan2(q.y - c.y, q.x - c.x);
            // Outer torus: a thick ring shaded like a tube lit from the upper left.
            float tube = Coverage(std::fabs(r - 112) - 9);
            if (tube > 0) {
                float across = (r - 112) / 9.0f;  // -1 inner edge .. 1 outer edge
                float light = 0.5f + 0.5f * std::cos(a + 2.4f);
                float shade = Clamp01(0.35f + 0.45f * (1 - across * across) + 0.3f * light);
                BlendPixel(p, x, y, ZirconRamp(0.4f + 0.6f * shade), tube * 0.85f);
            }
            // Ticks between the rings, every 7.5 degrees, longer every 45.
            float step = kPi / 24;
            float nearest = std::round(a / step) * step;
            float across = std::fabs(std::sin(a - nearest)) * r;
            int index = int(std::lround(a / step));
            float len = (index % 6 == 0) ? 14.0f : 7.0f;
            float tick = Coverage(across - 0.9f) * Coverage(std::fabs(r - 92) - len * 0.5f);
            if (tick > 0) BlendPixel(p, x, y, palette::Ice, tick * 0.8f);
            // Inner dashed ring turning the other way in the eye.
            float dash = std::cos(a * 16.0f) > -0.2f ? 1.0f : 0.0f;
            float ring = Coverage(std::fabs(r - 74) - 1.6f) * dash;
            if (ring > 0) BlendPixel(p, x, y, palette::Orchid, ring * 0.75f);
            float halo = std::exp(-std::pow((r - 112) / 16.0f, 2.0f)) * 0.35f;
            AddLight(p, x, y, palette::Zircon, halo);
        }
    }
    PaintEmblem(p, 128, 128, 62, 0.9f);
    ClampPicture(p);
    return p;
}
