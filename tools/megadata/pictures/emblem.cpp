#include "pictures/emblem.h"

#include <algorithm>
#include <cmath>

#include "pictures/palette.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kGirdle = 0.80f;   // circumradius of the octagonal outline
constexpr float kTable = 0.40f;    // circumradius of the central table

Vec2 Corner(float r, int i, float offset)
{
    float a = -kPi / 2 + offset + float(i) * kPi / 4;
    return {r * std::cos(a), r * std::sin(a)};
}

}  // namespace

EmblemSample SampleEmblem(Vec2 p, float px)
{
    EmblemSample s;
    Vec2 o{0, 0};
    float dGem = SdRegularPolygon(p, o, 8, kGirdle, -kPi / 2);
    s.gem = Coverage(dGem, px);
    s.ring = Coverage(SdRing(p, o, 1.0f, 0.035f), px);

    // Facet edges: girdle outline, table outline, and the star lines from each table
    // corner to its two neighbouring girdle corners.
    float w = 0.012f + px * 0.5f;
    float d = std::fabs(dGem) - w;
    d = std::min(d, std::fabs(SdRegularPolygon(p, o, 8, kTable, -kPi / 2 + kPi / 8)) - w);
    for (int i = 0; i < 8; ++i) {
        Vec2 t = Corner(kTable, i, kPi / 8);
        d = std::min(d, SdSegment(p, t, Corner(kGirdle, i, 0), w));
        d = std::min(d, SdSegment(p, t, Corner(kGirdle, i + 1, 0), w));
    }
    s.lines = Coverage(d, px) * s.gem;

    // Facet brightness: the table is bright, the crown facets alternate by direction
    // as if lit from the upper left.
    float r = std::hypot(p.x, p.y);
    float a = std::atan2(p.y, p.x);
    if (r < kTable * 0.92f) {
        s.facet = 0.78f + 0.12f * (-p.x - p.y);
    } else {
        int sector = int(std::floor((a + kPi) / (kPi / 8))) & 15;
        float light = std::cos(a + 2.4f);  // light from the upper left
        s.facet = std::clamp(0.45f + 0.35f * light + ((sector & 1) ? 0.12f : -0.12f), 0.0f, 1.0f);
    }
    return s;
}

void PaintEmblem(Picture& p, float cx, float cy, float radius, float opacity)
{
    int x0 = std::max(0, int(cx - radius - 2)), x1 = std::min(p.width - 1, int(cx + radius + 2));
    int y0 = std::max(0, int(cy - radius - 2)), y1 = std::min(p.height - 1, int(cy + radius + 2));
    float px = 1.0f / radius;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Colour sum{};
            float cover = 0;
            for (int sy = 0; sy < 2; ++sy) {
                for (int sx = 0; sx < 2; ++sx) {
                    Vec2 q{(x + 0.25f + 0.5f * sx - cx) / radius, (y + 0.25f + 0.5f * sy - cy) / radius};
                    EmblemSample e = SampleEmblem(q, px);
                    Colour body = ZirconRamp(0.35f + 0.6f * e.facet);
                    body = Mix(body, palette::Frost, e.lines * 0.9f);
                    float k = std::max(e.gem, e.ring);
                    Colour c = e.gem >= e.ring ? body : palette::Ice;
                    sum = Add(sum, Scale(c, k));
                    cover += k;
                }
            }
            if (cover <= 0) continue;
            BlendPixel(p, x, y, Scale(sum, 1.0f / cover), cover * 0.25f * opacity);
        }
    }
}
