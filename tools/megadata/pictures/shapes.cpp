#include "pictures/shapes.h"

#include <algorithm>
#include <cmath>

float SdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth)
{
    float px = p.x - a.x, py = p.y - a.y, bx = b.x - a.x, by = b.y - a.y;
    float len2 = bx * bx + by * by;
    float h = len2 > 0 ? std::clamp((px * bx + py * by) / len2, 0.0f, 1.0f) : 0.0f;
    float dx = px - bx * h, dy = py - by * h;
    return std::sqrt(dx * dx + dy * dy) - halfWidth;
}

float SdRing(Vec2 p, Vec2 c, float radius, float halfWidth)
{
    float d = std::hypot(p.x - c.x, p.y - c.y);
    return std::fabs(d - radius) - halfWidth;
}

float SdRegularPolygon(Vec2 p, Vec2 c, int n, float r, float a0)
{
    Vec2 corners[32];
    n = std::min(n, 32);
    for (int i = 0; i < n; ++i) {
        float a = a0 + 6.28318531f * float(i) / float(n);
        corners[i] = {c.x + r * std::cos(a), c.y + r * std::sin(a)};
    }
    return SdConvexPolygon(p, corners, n);
}

float SdConvexPolygon(Vec2 p, const Vec2* v, int n)
{
    // Largest signed distance to the edge lines is exact inside and a good bound outside.
    float area = 0;
    for (int i = 0; i < n; ++i) {
        const Vec2& a = v[i];
        const Vec2& b = v[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    float sign = area >= 0 ? 1.0f : -1.0f;
    float inside = -1e30f;
    float outside = 1e30f;
    bool out = false;
    for (int i = 0; i < n; ++i) {
        Vec2 a = v[i], b = v[(i + 1) % n];
        float ex = b.x - a.x, ey = b.y - a.y;
        float len = std::sqrt(ex * ex + ey * ey);
        if (len <= 0) continue;
        // Outward normal for the polygon's winding.
        float nx = sign * ey / len, ny = -sign * ex / len;
        float d = (p.x - a.x) * nx + (p.y - a.y) * ny;
        inside = std::max(inside, d);
        if (d > 0) out = true;
        outside = std::min(outside, SdSegment(p, a, b, 0));
    }
    return out ? outside : inside;
}

float Coverage(float d, float px) { return std::clamp(0.5f - d / px, 0.0f, 1.0f); }
