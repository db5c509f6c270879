#include "models3ds/sculpt.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

Vec3f Sub(Vec3f a, Vec3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3f Add(Vec3f a, Vec3f b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3f Scale(Vec3f a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float Dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3f Cross(Vec3f a, Vec3f b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Vec3f Normalised(Vec3f a)
{
    float l = std::sqrt(Dot(a, a));
    return l > 0 ? Scale(a, 1.0f / l) : a;
}

// Adds the triangle a, b, c with its own three vertices and texture coordinates, wound
// so that its normal points away from `inside`.
void AddTriangle(TdsMesh& m, Vec3f a, Vec3f b, Vec3f c, TexCoord ta, TexCoord tb, TexCoord tc, Vec3f inside)
{
    Vec3f n = Cross(Sub(b, a), Sub(c, a));
    Vec3f centre = Scale(Add(Add(a, b), c), 1.0f / 3.0f);
    if (Dot(n, Sub(centre, inside)) < 0) {
        std::swap(b, c);
        std::swap(tb, tc);
    }
    uint16_t base = uint16_t(m.vertices.size());
    m.vertices.insert(m.vertices.end(), {a, b, c});
    m.texCoords.insert(m.texCoords.end(), {ta, tb, tc});
    m.faces.push_back({base, uint16_t(base + 1), uint16_t(base + 2)});
}

// Planar texture coordinates for a flat facet: its own axes, scaled to the texture,
// shifted by `offset` so that neighbouring facets show different parts of the skin.
TexCoord FacetCoord(Vec3f p, Vec3f origin, Vec3f e1, Vec3f e2, TexCoord offset)
{
    Vec3f d = Sub(p, origin);
    return {offset.u + Dot(d, e1) / 320.0f, offset.v + Dot(d, e2) / 320.0f};
}

// Rotation of p about Z by angle a, then about Y by tilt, then moved to `at`.
Vec3f Place(Vec3f p, float a, float tilt, Vec3f at)
{
    Vec3f q{p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a), p.z};
    Vec3f r{q.x * std::cos(tilt) + q.z * std::sin(tilt), q.y, -q.x * std::sin(tilt) + q.z * std::cos(tilt)};
    return Add(r, at);
}

// A zircon crystal: a square prism with bevelled edges and a four-sided pyramid at
// each end, standing on Z before it is turned and placed.
void AddCrystal(TdsMesh& m, float halfWidth, float halfHeight, float cap, float turn, float tilt, Vec3f at, int seed)
{
    // The octagonal section: long faces with narrow bevels between them.
    // Long face k is centred at angle k·90°; the bevels take `bevel` radians off each
    // of its ends.
    const float bevel = 0.16f;
    Vec3f ring[8];
    for (int i = 0; i < 8; ++i) {
        float a = kPi / 2 * float(i / 2) + (i % 2 ? 1.0f : -1.0f) * (kPi / 4 - bevel);
        float r = halfWidth / std::cos(kPi / 4 - bevel);
        ring[i] = {r * std::cos(a), r * std::sin(a), 0};
    }
    Vec3f top{0, 0, halfHeight + cap}, bottom{0, 0, -halfHeight - cap};
    auto at3 = [&](Vec3f p) { return Place(p, turn, tilt, at); };
    Vec3f centre = at3({0, 0, 0});
    for (int i = 0; i < 8; ++i) {
        Vec3f a = ring[i], b = ring[(i + 1) % 8];
        Vec3f a0 = at3({a.x, a.y, -halfHeight}), b0 = at3({b.x, b.y, -halfHeight});
        Vec3f a1 = at3({a.x, a.y, halfHeight}), b1 = at3({b.x, b.y, halfHeight});
        Vec3f e1 = Normalised(Sub(b0, a0)), e2 = Normalised(Sub(a1, a0));
        TexCoord off{0.13f * float(i + seed), 0.37f * float((i * 3 + seed) % 5)};
        auto tc = [&](Vec3f p) { return FacetCoord(p, a0, e1, e2, off); };
        AddTriangle(m, a0, b0, b1, tc(a0), tc(b0), tc(b1), centre);
        AddTriangle(m, a0, b1, a1, tc(a0), tc(b1), tc(a1), centre);
        for (int end = 0; end < 2; ++end) {
            Vec3f p = end ? a1 : a0, q = end ? b1 : b0, apex = at3(end ? top : bottom);
            Vec3f f1 = Normalised(Sub(q, p)), f2 = Normalised(Cross(Cross(f1, Sub(apex, p)), f1));
            TexCoord capOff{off.u + 0.5f, off.v + 0.21f * float(end + 1)};
            auto cc = [&](Vec3f x) { return FacetCoord(x, p, f1, f2, capOff); };
            AddTriangle(m, p, q, apex, cc(p), cc(q), cc(apex), centre);
        }
    }
}

// A closed ring in the XZ plane whose square section twists three half turns on the
// way round and swells three times; each side is a separate strip of the skin.
void AddTwistedRing(TdsMesh& m, float radius, int segments)
{
    const int twistQuarters = 6;  // must be even for the strips to meet themselves
    auto corner = [&](int j, int k) {
        float phi = 2 * kPi * float(j) / float(segments);
        float section = 22.0f + 9.0f * std::sin(3 * phi + 0.6f);
        float psi = phi * float(twistQuarters) / 4.0f + kPi / 2 * float(k) + kPi / 4;
        Vec3f radial{std::cos(phi), 0, std::sin(phi)};
        Vec3f centre = Scale(radial, radius);
        return Add(centre, Add(Scale(radial, section * std::cos(psi)), Vec3f{0, section * std::sin(psi), 0}));
    };
    for (int j = 0; j < segments; ++j) {
        float phi = 2 * kPi * (float(j) + 0.5f) / float(segments);
        Vec3f inside{radius * std::cos(phi), 0, radius * std::sin(phi)};
        for (int k = 0; k < 4; ++k) {
            // After a whole turn the section has turned by twistQuarters quarter turns,
            // so corner k of the last ring meets corner k + twistQuarters of the first.
            int shift = (j + 1 == segments) ? twistQuarters : 0;
            Vec3f a = corner(j, k), b = corner(j, k + 1);
            Vec3f c = corner(j + 1, k + shift), d = corner(j + 1, k + 1 + shift);
            float u0 = 3.0f * float(j) / float(segments), u1 = 3.0f * float(j + 1) / float(segments);
            // Across the strips v follows the twist, so the skin meets itself when the
            // strips change places at the end of the loop.
            float turn0 = 0.25f * float(twistQuarters) * float(j) / float(segments);
            float turn1 = 0.25f * float(twistQuarters) * float(j + 1) / float(segments);
            float v0 = 0.25f * float(k);
            AddTriangle(m, a, b, d, {u0, v0 + turn0}, {u0, v0 + 0.25f + turn0}, {u1, v0 + 0.25f + turn1}, inside);
            AddTriangle(m, a, d, c, {u0, v0 + turn0}, {u1, v0 + 0.25f + turn1}, {u1, v0 + turn1}, inside);
        }
    }
}

}  // namespace

TdsMesh BuildFrontSculpture()
{
    TdsMesh m;
    m.name = "front";
    m.material = "Ond";
    AddTwistedRing(m, 168.0f, 120);
    // The big crystal stands upright with an edge toward the viewer and leans a little;
    // two small ones break out at its foot.
    AddCrystal(m, 52.0f, 105.0f, 78.0f, kPi / 4, 0.12f, {0, 0, 8}, 0);
    AddCrystal(m, 24.0f, 40.0f, 36.0f, 0.3f, -0.75f, {-92, -10, -118}, 3);
    AddCrystal(m, 20.0f, 32.0f, 30.0f, -0.2f, 0.85f, {96, -6, -128}, 6);
    // The demo draws square pixels of view space onto a 4:3 screen, widening everything
    // by a third: the sculpture is made narrower so that it looks round there.
    for (Vec3f& v : m.vertices) v.x *= 0.78f;
    return m;
}

TdsScene FrontScene()
{
    TdsScene scene;
    scene.materials.push_back({"Ond", {{30, 40, 80}}, {{140, 200, 255}}, {{255, 255, 255}}, "ONDTEXTU.PNG"});
    scene.materials.push_back({"Halo", {{10, 10, 30}}, {{60, 40, 120}}, {{0, 0, 0}}, ""});
    scene.meshes.push_back(BuildFrontSculpture());
    // A flat disc behind the sculpture.
    TdsMesh back;
    back.name = "back";
    back.material = "Halo";
    const int n = 48;
    back.vertices.push_back({0, 80, 0});
    back.texCoords.push_back({0.5f, 0.5f});
    for (int i = 0; i < n; ++i) {
        float a = 2 * kPi * float(i) / float(n);
        back.vertices.push_back({230 * std::cos(a), 80, 230 * std::sin(a)});
        back.texCoords.push_back({0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)});
    }
    // Facing the front (-Y): counter-clockwise seen from there.
    for (int i = 0; i < n; ++i) back.faces.push_back({0, uint16_t(1 + i), uint16_t(1 + (i + 1) % n)});
    scene.meshes.push_back(back);
    scene.cameras.push_back({"Camera01", {0, -520, 180}, {0, 0, 0}, 0, 43.5f});
    scene.lights.push_back({"Omni01", {-300, -500, 400}, {1.0f, 0.95f, 0.9f}});
    return scene;
}
