// Preview pictures of the data set as the demo's scenes show it. The scene set-ups
// (cameras, deformations, blend modes, texture windows) follow the scene code; depth
// sorting is replaced by a depth buffer and the exact slice band by a simpler one.
#include "preview/preview.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "models3ds/tds_read.h"
#include "preview/preview_raster.h"

namespace {


struct EngineMesh {
    std::vector<Vec3f> rest;                 // engine coordinates
    std::vector<TexCoord> uv;                // as the engine stores them (v negated)
    std::vector<std::array<uint16_t, 3>> faces;
};

// The mesh as the demo builds it from the file: (-x, z, y) and (u, -v).
EngineMesh LoadEngineMesh(const std::string& path, const std::string& name)
{
    TdsReadResult r = ReadTdsObject(ReadFileBytes(path), name);
    EngineMesh m;
    for (const Vec3f& p : r.points) m.rest.push_back({-p.x, p.z, p.y});
    m.uv.assign(m.rest.size(), {0, 0});
    for (size_t i = 0; i < r.texCoords.size() && i < m.uv.size(); ++i) m.uv[i] = {r.texCoords[i].u, -r.texCoords[i].v};
    m.faces = r.faces;
    return m;
}

struct ViewVertex {
    Vec3f p;               // view space
    float u = 0, v = 0;
    float r = 1, g = 1, b = 1, a = 1;
};

ViewVertex Lerp(const ViewVertex& a, const ViewVertex& b, float t)
{
    ViewVertex o;
    o.p = {a.p.x + (b.p.x - a.p.x) * t, a.p.y + (b.p.y - a.p.y) * t, a.p.z + (b.p.z - a.p.z) * t};
    o.u = a.u + (b.u - a.u) * t;
    o.v = a.v + (b.v - a.v) * t;
    o.r = a.r + (b.r - a.r) * t;
    o.g = a.g + (b.g - a.g) * t;
    o.b = a.b + (b.b - a.b) * t;
    o.a = a.a + (b.a - a.a) * t;
    return o;
}

RasterVertex Project(const ViewVertex& v)
{
    float w = 1.0f / v.p.z;
    return {v.p.x * w, -v.p.y * w, w, v.u, v.v, v.r, v.g, v.b, v.a};
}

// Clips a view-space triangle at z = 1 (the renderer clips at the side planes; near
// geometry here only matters for the light band) and draws it.
void DrawView(Frame& f, const RasterState& s, const ViewVertex& a, const ViewVertex& b, const ViewVertex& c)
{
    const float nearZ = 1.0f;
    std::vector<ViewVertex> in = {a, b, c}, out;
    for (size_t i = 0; i < in.size(); ++i) {
        const ViewVertex& p = in[i];
        const ViewVertex& q = in[(i + 1) % in.size()];
        bool pin = p.p.z >= nearZ, qin = q.p.z >= nearZ;
        if (pin) out.push_back(p);
        if (pin != qin) out.push_back(Lerp(p, q, (nearZ - p.p.z) / (q.p.z - p.p.z)));
    }
    for (size_t i = 1; i + 1 < out.size(); ++i) DrawTriangle(f, s, Project(out[0]), Project(out[i]), Project(out[i + 1]));
}

// The engine's back-face test: drawn when c · (b × a) > 0 in view space.
bool FacesViewer(const Vec3f& a, const Vec3f& b, const Vec3f& c)
{
    float k = (b.x * a.y - a.x * b.y) * c.z + (b.z * a.x - b.x * a.z) * c.y + (a.z * b.y - a.y * b.z) * c.x;
    return k > 0;
}

// Face order by summed depth: nearest first (front to back) or farthest first.
std::vector<size_t> SortFaces(const std::vector<ViewVertex>& v, const std::vector<std::array<uint16_t, 3>>& faces, bool frontToBack)
{
    std::vector<std::pair<float, size_t>> keyed;
    for (size_t i = 0; i < faces.size(); ++i) {
        float key = v[faces[i][0]].p.z + v[faces[i][1]].p.z + v[faces[i][2]].p.z;
        keyed.push_back({frontToBack ? key : -key, i});
    }
    std::stable_sort(keyed.begin(), keyed.end());
    std::vector<size_t> order;
    for (auto& k : keyed) order.push_back(k.second);
    return order;
}

// A full-screen 640 × 480 window of a background texture (the lower or upper screen),
// or the whole texture.
enum class Window { Lower, Upper, Whole };
void DrawBackground(Frame& f, const PreviewTexture& t, Window w, float level, Blend blend, bool nearest)
{
    float uMax = w == Window::Whole ? 1.0f : 0.625f;
    float vTop = w == Window::Lower ? 0.5f : 0.0f;
    float vBottom = w == Window::Lower ? 0.96875f : w == Window::Upper ? 0.46875f : 1.0f;
    RasterVertex c0{-1, -1, 0, 0, vBottom, level, level, level, 1}, c1{1, -1, 0, uMax, vBottom, level, level, level, 1};
    RasterVertex c2{1, 1, 0, uMax, vTop, level, level, level, 1}, c3{-1, 1, 0, 0, vTop, level, level, level, 1};
    RasterState s{&t, blend, false, false, nearest};
    DrawTriangle(f, s, c0, c1, c2);
    DrawTriangle(f, s, c0, c2, c3);
}

// A scrolling full-screen layer: texture window offset and scaled, alpha blended.
void DrawOverlay(Frame& f, const PreviewTexture& t, float ou, float ov, float scale, float alpha)
{
    RasterVertex c0{-1, -1, 1, ou * scale, ov * scale, 1, 1, 1, alpha};
    RasterVertex c1{1, -1, 1, (ou + 1) * scale, ov * scale, 1, 1, 1, alpha};
    RasterVertex c2{1, 1, 1, (ou + 1) * scale, (ov + 1) * scale, 1, 1, 1, alpha};
    RasterVertex c3{-1, 1, 1, ou * scale, (ov + 1) * scale, 1, 1, 1, alpha};
    RasterState s{&t, Blend::Alpha, false, false, false};
    DrawTriangle(f, s, c0, c1, c2);
    DrawTriangle(f, s, c0, c2, c3);
}

// A texel window of a texture placed in the 1278 × 958 layout space, alpha blended.
void DrawScreenQuad(Frame& f, const PreviewTexture& t, float x, float y, float scale, float alpha)
{
    float left = x * 0.0015649452f - 1 + 0.00078125f, right = left + 255 * scale * 0.0015625f;
    float top = 1 - y * 0.0020876827f - 0.0010416667f, bottom = top - 255 * scale * 0.0020833334f;
    RasterVertex tl{left, top, 1, 0, 0, 1, 1, 1, alpha}, tr{right, top, 1, 1, 0, 1, 1, 1, alpha};
    RasterVertex br{right, bottom, 1, 1, 1, 1, 1, 1, alpha}, bl{left, bottom, 1, 0, 1, 1, 1, 1, alpha};
    RasterState s{&t, Blend::Alpha, false, false, false};
    DrawTriangle(f, s, tl, tr, br);
    DrawTriangle(f, s, tl, br, bl);
}

// One of the three credit bands, 75 pixels high just below the middle of the screen.
void DrawCreditBand(Frame& f, const PreviewTexture& t, int band, float alpha)
{
    const float v[4] = {0.0f, 0.09765f, 0.1953f, 0.29295f};
    RasterVertex c0{-1, -0.3125f, 1, 0, v[band + 1], 1, 1, 1, alpha}, c1{1, -0.3125f, 1, 0.625f, v[band + 1], 1, 1, 1, alpha};
    RasterVertex c2{1, 0, 1, 0.625f, v[band], 1, 1, 1, alpha}, c3{-1, 0, 1, 0, v[band], 1, 1, 1, alpha};
    RasterState s{&t, Blend::Alpha, false, false, false};
    DrawTriangle(f, s, c0, c1, c2);
    DrawTriangle(f, s, c0, c2, c3);
}

std::vector<ViewVertex> ToView(const ViewMatrix& m, const std::vector<Vec3f>& positions, const std::vector<TexCoord>& uv)
{
    std::vector<ViewVertex> v(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        v[i].p = Transform(m, positions[i]);
        v[i].u = uv[i].u;
        v[i].v = uv[i].v;
    }
    return v;
}

struct Textures {
    std::map<std::string, PreviewTexture> byName;
    const PreviewTexture& operator[](const std::string& n) { return byName[n]; }
};

void SlicedBall(Frame& f, Textures& tex, const EngineMesh& ball, int demoTime, float pulse)
{
    DrawBackground(f, tex["tori_radial_bg1024.png"], Window::Lower, 1, Blend::Opaque, true);
    float a = float(demoTime - 18000) * 0.0001f;
    std::vector<Vec3f> pos(ball.rest.size());
    for (size_t i = 0; i < pos.size(); ++i) {
        Vec3f r = ball.rest[i];
        float k = 1 + 0.25f * (std::sin(16 * a + r.x / 26.0f) + std::sin(23 * a + r.y / 36.0f)) + 0.215f * std::sin(26 * a + r.z / 26.0f);
        pos[i] = {r.x * k, r.y * k, r.z * k};
    }
    ViewMatrix m = LookAt({800 * std::sin(4 * a), 800 * std::cos(4 * a), 100}, {0, 0, 0}, 0);
    m.m[0][3] -= 250.0f;
    float planeZ = m.m[2][3] - 100.0f;
    std::vector<ViewVertex> v = ToView(m, pos, ball.uv);
    RasterState solid{&tex["radialmap.png"], Blend::Opaque, true, false, false};
    std::vector<std::pair<ViewVertex, ViewVertex>> rim;
    for (size_t fi : SortFaces(v, ball.faces, true)) {
        ViewVertex c[3] = {v[ball.faces[fi][0]], v[ball.faces[fi][1]], v[ball.faces[fi][2]]};
        int hidden = 0;
        for (const ViewVertex& x : c) hidden += x.p.z > planeZ;
        if (hidden == 0) {
            DrawView(f, solid, c[0], c[1], c[2]);
            continue;
        }
        if (hidden == 3) continue;
        // Keep the part in front of the plane and remember where the face was cut.
        std::vector<ViewVertex> kept, cut;
        for (int i = 0; i < 3; ++i) {
            const ViewVertex& p = c[i];
            const ViewVertex& q = c[(i + 1) % 3];
            bool pin = p.p.z <= planeZ, qin = q.p.z <= planeZ;
            if (pin) kept.push_back(p);
            if (pin != qin) {
                ViewVertex x = Lerp(p, q, (planeZ - p.p.z) / (q.p.z - p.p.z));
                kept.push_back(x);
                cut.push_back(x);
            }
        }
        for (size_t i = 1; i + 1 < kept.size(); ++i) DrawView(f, solid, kept[0], kept[i], kept[i + 1]);
        if (cut.size() == 2) rim.push_back({cut[0], cut[1]});
    }
    RasterState band{&tex["radialmap.png"], Blend::Additive, false, true, false};
    for (auto& e : rim) {
        ViewVertex a0 = e.first, b0 = e.second, c0 = a0, d0 = b0;
        c0.p.z -= pulse;
        d0.p.z -= pulse;
        c0.r = c0.g = c0.b = 0;
        d0.r = d0.g = d0.b = 0;
        DrawView(f, band, a0, b0, c0);
        DrawView(f, band, c0, b0, d0);
    }
    float ov = std::sin(2 * a);
    DrawOverlay(f, tex["vertnoise.png"], 0, ov, 1, 1);
    DrawOverlay(f, tex["vertnoise.png"], 0, -ov, 1, 1);
}

void TwistingBall(Frame& f, Textures& tex, const EngineMesh& ball, int demoTime)
{
    DrawBackground(f, tex["vortex_kasser1024.png"], Window::Upper, 1, Blend::Opaque, false);
    float a = float(demoTime) * 0.0001f + 0.5f;
    float twist = 2 * std::sin(4 * a);
    std::vector<Vec3f> pos(ball.rest.size());
    for (size_t i = 0; i < pos.size(); ++i) {
        Vec3f r = ball.rest[i];
        float k = 1 + 0.25f * (std::sin(16 * a + r.x / 56.0f) + std::cos(17 * a + r.y / 47.0f)) + 0.3f * std::cos(15 * a + r.z / 65.0f);
        float x = r.x * k, y = r.y * k, z = r.z * k;
        float e = std::sin(twist + 0.007f * std::sqrt(x * x + y * y + z * z));
        float a1 = e + 0.7f * twist, a2 = e + 0.6f * twist, a3 = e + 0.5f * twist;
        float x1 = x * std::cos(a2) - z * std::sin(a2), z1 = z * std::cos(a2) + x * std::sin(a2);
        float x2 = x1 * std::cos(a3) + y * std::sin(a3), y1 = y * std::cos(a3) - x1 * std::sin(a3);
        float y2 = y1 * std::cos(a1) + z1 * std::sin(a1), z2 = z1 * std::cos(a1) - y1 * std::sin(a1);
        pos[i] = {x2, y2, z2};
    }
    ViewMatrix m = LookAt({600 * std::sin(a), 600 * std::sin(a), 600 * std::cos(2 * a)}, {0, 0, 0}, 0);
    std::vector<ViewVertex> v = ToView(m, pos, ball.uv);
    // Environment mapping: mean of the face normals round each vertex.
    std::vector<Vec3f> sum(v.size(), {0, 0, 0});
    std::vector<int> count(v.size(), 0);
    for (const auto& face : ball.faces) {
        Vec3f p0 = v[face[0]].p, p1 = v[face[1]].p, p2 = v[face[2]].p;
        Vec3f e1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z}, e2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
        Vec3f n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        float l = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (l <= 0) continue;
        for (uint16_t i : face) {
            sum[i] = {sum[i].x + n.x / l, sum[i].y + n.y / l, sum[i].z + n.z / l};
            ++count[i];
        }
    }
    for (size_t i = 0; i < v.size(); ++i) {
        float c = count[i] ? 1.0f / float(count[i]) : 1.0f;
        v[i].u = (c * sum[i].y + 1) * 0.5f;
        v[i].v = (c * sum[i].x + 1) * 0.5f;
    }
    RasterState s{&tex["envmap2.png"], Blend::Opaque, true, false, false};
    for (size_t fi : SortFaces(v, ball.faces, true)) {
        const auto& face = ball.faces[fi];
        if (!FacesViewer(v[face[0]].p, v[face[1]].p, v[face[2]].p)) continue;
        DrawView(f, s, v[face[0]], v[face[1]], v[face[2]]);
    }
}

void Credits(Frame& f, Textures& tex, const EngineMesh& front, int demoTime, float flash, int band)
{
    DrawBackground(f, tex["backdropbg_megademo1024.png"], Window::Upper, 1, Blend::Opaque, true);
    float t = float(demoTime - 45046) * 0.0001f;
    Vec3f eye{100 * std::sin(1.5f * t), 100 * std::sin(1.3f * t) + 200,
              100 * std::sin(2.1f * t) - 500 + 200 * std::sin(1.57f * flash)};
    ViewMatrix m = LookAt(eye, {30, 30, 0}, 180);
    std::vector<ViewVertex> v = ToView(m, front.rest, front.uv);
    for (ViewVertex& x : v) x.a = 0.1f * std::sin(13 * t) + 0.8f;
    RasterState s{&tex["ondtexture512.png"], Blend::Alpha, true, true, false};
    for (size_t fi : SortFaces(v, front.faces, true)) {
        const auto& face = front.faces[fi];
        if (!FacesViewer(v[face[0]].p, v[face[1]].p, v[face[2]].p)) continue;
        DrawView(f, s, v[face[0]], v[face[1]], v[face[2]]);
    }
    const PreviewTexture& lines = tex["linenoise.png"];
    DrawOverlay(f, lines, std::sin(3 * t) + t, 0, 0.4f * std::sin(23 * t) + 1, 0.2f * std::sin(33 * t) + 0.6f);
    DrawOverlay(f, lines, std::sin(-3 * t) - t, 0, 0.4f * std::sin(-23 * t) + 1, 0.2f * std::sin(-33 * t) + 0.6f);
    if (band >= 0) DrawCreditBand(f, tex["credits1024.png"], band, flash);
}

void ImplicitSurfaceDecor(Frame& f, Textures& tex, float phase, float greetsAlpha)
{
    DrawBackground(f, tex["tori_radial_bg1024.png"], Window::Upper, 1, Blend::Opaque, true);
    const PreviewTexture& design = tex["torusdesign.png"];
    RasterState s{&design, Blend::Alpha, false, true, false};
    for (int k = 0; k < 2; ++k) {
        float depth = 4 * std::sin((k ? 4.7f : 4.3f) * phase) + 10, angle = (k ? -5.0f : 6.0f) * phase;
        ViewVertex c[4];
        const float corner[4][2] = {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        RasterVertex r[4];
        for (int i = 0; i < 4; ++i) {
            float x = corner[i][0] * std::cos(angle) - corner[i][1] * std::sin(angle);
            float y = corner[i][0] * std::sin(angle) + corner[i][1] * std::cos(angle);
            r[i] = {-0.5f + x / depth, -y / depth, 1 / depth, uv[i][0], uv[i][1], 1, 1, 1, 1};
            (void)c;
        }
        DrawTriangle(f, s, r[0], r[1], r[2]);
        DrawTriangle(f, s, r[0], r[3], r[2]);
    }
    DrawScreenQuad(f, tex["greets.png"], 700, 200, 2, greetsAlpha);
}

void Lattice(Frame& f, Textures& tex, float phase, float distance)
{
    DrawBackground(f, tex["vortex_kasser1024.png"], Window::Lower, 1, Blend::Opaque, false);
    // The lattice of 16 strips, 55 apart, per axis: 48 square panels.
    const int n = 16;
    const float s = 55, lo = -8 * s, hi = 8 * s;
    std::vector<Vec3f> pos;
    std::vector<TexCoord> uv;
    std::vector<std::array<uint16_t, 3>> faces;
    for (int axis = 0; axis < 3; ++axis) {
        for (int i = 0; i < n; ++i) {
            float h = (float(i - 8) + 0.5f) * s;
            Vec3f q[4];
            if (axis == 0) { q[0] = {h, lo, lo}; q[1] = {h, lo, hi}; q[2] = {h, hi, hi}; q[3] = {h, hi, lo}; }
            if (axis == 1) { q[0] = {lo, h, lo}; q[1] = {hi, h, lo}; q[2] = {hi, h, hi}; q[3] = {lo, h, hi}; }
            if (axis == 2) { q[0] = {lo, lo, h}; q[1] = {lo, hi, h}; q[2] = {hi, hi, h}; q[3] = {hi, lo, h}; }
            uint16_t base = uint16_t(pos.size());
            const TexCoord t[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int k = 0; k < 4; ++k) {
                pos.push_back(q[k]);
                uv.push_back(t[k]);
            }
            faces.push_back({base, uint16_t(base + 1), uint16_t(base + 2)});
            faces.push_back({uint16_t(base + 2), uint16_t(base + 3), base});
        }
    }
    ViewMatrix m = LookAt({800 * std::sin(phase), 800 * std::sin(1.6f * phase), distance}, {0, 0, 0}, 0);
    float g = distance - 1200;
    m.m[0][3] += 1.25f * g + 500;
    m.m[1][3] += 0.5f * g + 200;
    std::vector<ViewVertex> v = ToView(m, pos, uv);
    RasterState st{&tex["grid128.png"], Blend::Additive, false, true, false};
    for (size_t fi : SortFaces(v, faces, false)) DrawView(f, st, v[faces[fi][0]], v[faces[fi][1]], v[faces[fi][2]]);
}

}  // namespace

bool WritePreviews(const std::string& dir, std::string* error)
{
    Textures tex;
    const char* names[] = {"whiteflash.png", "loading.png", "envmap.png", "radialmap.png", "vertnoise.png",
                           "envmap2.png", "tori_radial_bg1024.png", "backdropbg_megademo1024.png", "linenoise.png",
                           "credits1024.png", "ondtexture512.png", "grid128.png", "vortex_kasser1024.png",
                           "torusdesign.png", "greets.png"};
    for (const char* n : names) {
        tex.byName[n] = LoadPreviewTexture(dir + "/" + n);
        if (tex.byName[n].width == 0) {
            if (error) *error = std::string("cannot read ") + dir + "/" + n + " (generate the data set first)";
            return false;
        }
    }
    EngineMesh ball = LoadEngineMesh(dir + "/ball2420.3ds", "GeoSphere0");
    EngineMesh front = LoadEngineMesh(dir + "/ting5.3ds", "front");

    struct Shot {
        const char* name;
        Frame frame;
    };
    std::vector<Shot> shots;
    auto shot = [&](const char* name) -> Frame& {
        shots.push_back({name, MakeFrame()});
        return shots.back().frame;
    };
    {
        Frame& f = shot("loading");
        DrawScreenQuad(f, tex["loading.png"], 1, 1, 2, 1);
    }
    DrawBackground(shot("opening"), tex["backdropbg_megademo1024.png"], Window::Lower, 1, Blend::Opaque, true);
    {
        Frame& f = shot("opening-flare");
        for (int k = 0; k < 3; ++k) DrawBackground(f, tex["backdropbg_megademo1024.png"], Window::Lower, 1, k ? Blend::Additive : Blend::Opaque, true);
    }
    SlicedBall(shot("sliced-ball"), tex, ball, 19500, 550);
    SlicedBall(shot("sliced-ball-kick"), tex, ball, 24100, 800);
    TwistingBall(shot("twisting-ball"), tex, ball, 33000);
    TwistingBall(shot("twisting-ball-2"), tex, ball, 39000);
    Credits(shot("credits-model"), tex, front, 43500, 0, -1);
    Credits(shot("credits-code"), tex, front, 45200, 0.99f, 0);
    Credits(shot("credits-graphics"), tex, front, 48300, 0.8f, 1);
    Credits(shot("credits-music"), tex, front, 51200, 0.95f, 2);
    ImplicitSurfaceDecor(shot("greetings"), tex, 0.9f, 0.98f);
    Lattice(shot("lattice"), tex, 30.0f, 1200);
    Lattice(shot("lattice-close"), tex, 31.0f, 800);
    DrawBackground(shot("final"), tex["whiteflash.png"], Window::Whole, 1, Blend::Opaque, true);
    for (const Shot& s : shots) {
        std::string path = dir + "/preview-" + s.name + ".png";
        if (!WriteFrame(s.frame, path)) {
            if (error) *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
