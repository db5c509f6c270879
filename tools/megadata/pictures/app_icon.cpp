#include "pictures/app_icon.h"

#include <algorithm>
#include <cmath>

#include "pictures/palette.h"
#include "pictures/shapes.h"

namespace {

constexpr float kPi = 3.14159265f;

float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
Vec2 Polar(float r, float a) { return {r * std::cos(a), r * std::sin(a)}; }
float Cross(Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

bool InTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c)
{
    float d1 = Cross(a, b, p), d2 = Cross(b, c, p), d3 = Cross(c, a, p);
    bool negative = d1 < 0 || d2 < 0 || d3 < 0, positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

// The gem at one size, in pixels from the icon's centre (y down). The girdle is an
// octagon with flat top, bottom and sides at `girdle` from the centre; the table is an
// octagon turned by half a facet, a corner on each axis. The crown between them is cut
// into eight bezel facets (on a girdle side, apex at a table corner) and eight star
// facets (on a table side, apex at a girdle corner), as in the emblem.
struct Gem {
    float girdle = 0;     // apothem of the girdle, a whole number of pixels
    float outline = 0;    // width of the dark outline inside the girdle, whole pixels
    float table = 0;      // apothem of the table
    float line = 0;       // half width of the facet edges; 0 draws none
    Vec2 girdleCorner[8];
    Vec2 tableCorner[8];
};

Gem GemForSize(int size)
{
    Gem g;
    const float margin = std::max(1, size / 32);
    g.girdle = size * 0.5f - margin;
    g.outline = std::max(1.0f, std::round(size / 28.0f));
    const float girdleRadius = g.girdle / std::cos(kPi / 8);
    const float tableRadius = girdleRadius * 0.5f;
    g.table = tableRadius * std::cos(kPi / 8);
    g.line = size >= 48 ? size / 180.0f : 0.0f;
    for (int i = 0; i < 8; ++i) {
        g.girdleCorner[i] = Polar(girdleRadius, -kPi / 2 + kPi / 8 + i * kPi / 4);
        g.tableCorner[i] = Polar(tableRadius, -kPi / 4 + i * kPi / 4);
    }
    return g;
}

// Largest distance along the normals of a regular octagon whose first side faces angle a0.
float OctagonDistance(Vec2 p, float a0)
{
    float d = -1e30f;
    for (int k = 0; k < 8; ++k) d = std::max(d, Dot(p, Polar(1, a0 + k * kPi / 4)));
    return d;
}

// Brightness of a facet tilted toward its centroid c, lit from the upper left.
float Lit(Vec2 c, float base, float contrast)
{
    const Vec2 light{-0.70710678f, -0.70710678f};
    float len = std::hypot(c.x, c.y);
    return base + contrast * (len > 0 ? Dot(c, light) / len : 0.0f);
}

// The colour at p; false outside the gem.
bool SampleGem(const Gem& g, Vec2 p, Colour* out)
{
    const float girdleDistance = OctagonDistance(p, -kPi / 2);
    if (girdleDistance > g.girdle) return false;
    if (girdleDistance > g.girdle - g.outline) {
        *out = palette::Abyss;
        return true;
    }
    float shade = 0;
    float edge = 1e30f;   // distance to the nearest facet edge
    if (OctagonDistance(p, kPi / 8) <= g.table) {
        shade = 0.95f + 0.05f * Dot(p, {-0.7f, -0.7f}) / g.table;
    } else {
        shade = Lit(p, 0.5f, 0.2f);
        for (int i = 0; i < 8; ++i) {
            const Vec2 t = g.tableCorner[i], prev = g.tableCorner[(i + 7) % 8];
            const Vec2 a = g.girdleCorner[i], b = g.girdleCorner[(i + 1) % 8];
            if (InTriangle(p, t, a, b)) {
                shade = Lit({t.x + a.x + b.x, t.y + a.y + b.y}, 0.47f, 0.25f);
                break;
            }
            if (InTriangle(p, prev, t, a)) {
                shade = Lit({prev.x + t.x + a.x, prev.y + t.y + a.y}, 0.55f, 0.18f);
                break;
            }
        }
    }
    Colour c = ZirconRamp(shade);
    if (g.line > 0) {
        for (int i = 0; i < 8; ++i) {
            const Vec2 t = g.tableCorner[i];
            edge = std::min(edge, SdSegment(p, t, g.girdleCorner[i], g.line));
            edge = std::min(edge, SdSegment(p, t, g.girdleCorner[(i + 1) % 8], g.line));
            edge = std::min(edge, SdSegment(p, t, g.tableCorner[(i + 1) % 8], g.line));
        }
        // The girdle's bright rim just inside the outline.
        edge = std::min(edge, g.girdle - g.outline - girdleDistance - g.line * 2);
        if (edge <= 0) c = Mix(c, palette::Frost, 0.55f);
    }
    *out = c;
    return true;
}

}  // namespace

Picture PaintAppIcon(int size)
{
    Picture p = MakePicture(size, size, {}, 0.0f);
    const Gem gem = GemForSize(size);
    const int samples = size <= 64 ? 8 : 4;   // per side of a pixel
    const float half = size * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Colour sum{};
            int covered = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    Vec2 q{x + (sx + 0.5f) / samples - half, y + (sy + 0.5f) / samples - half};
                    Colour c;
                    if (!SampleGem(gem, q, &c)) continue;
                    sum = Add(sum, c);
                    ++covered;
                }
            }
            if (covered == 0) continue;
            Store(p, x, y, Scale(sum, 1.0f / covered), float(covered) / (samples * samples));
        }
    }
    ClampPicture(p);
    return p;
}

std::vector<unsigned char> IconPixels(const Picture& picture)
{
    std::vector<unsigned char> bytes(size_t(picture.width) * picture.height * 4);
    for (size_t i = 0; i < bytes.size(); i += 4) {
        const float* px = &picture.rgba[i];
        const long alpha = std::lround(Clamp01(px[3]) * 255.0f);
        for (int c = 0; c < 3; ++c) bytes[i + c] = alpha == 0 ? 0 : static_cast<unsigned char>(std::lround(Clamp01(px[c]) * 255.0f));
        bytes[i + 3] = static_cast<unsigned char>(alpha);
    }
    return bytes;
}
