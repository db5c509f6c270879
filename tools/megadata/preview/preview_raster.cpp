#include "preview/preview_raster.h"

#include <png.h>

#include <algorithm>
#include <cmath>

#include "pictures/picture_pixels.h"
#include "pictures/png_write.h"

PreviewTexture LoadPreviewTexture(const std::string& path)
{
    PreviewTexture t;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return t;
    bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return t;
    t.width = int(image.width);
    t.height = int(image.height);
    t.rgba.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) t.rgba[i] = bytes[i] / 255.0f;
    for (size_t i = 3; i < t.rgba.size(); i += 4) t.rgba[i] = hasAlpha ? 1.0f - t.rgba[i] : 0.0f;
    return t;
}

namespace {

void Sample(const PreviewTexture& t, float u, float v, bool nearest, float out[4])
{
    float x = u * t.width - 0.5f, y = v * t.height - 0.5f;
    auto texel = [&](int xi, int yi, int c) {
        xi = ((xi % t.width) + t.width) % t.width;
        yi = ((yi % t.height) + t.height) % t.height;
        return t.rgba[(size_t(yi) * t.width + xi) * 4 + c];
    };
    if (nearest) {
        int xi = int(std::floor(x + 0.5f)), yi = int(std::floor(y + 0.5f));
        for (int c = 0; c < 4; ++c) out[c] = texel(xi, yi, c);
        return;
    }
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    for (int c = 0; c < 4; ++c) {
        float top = texel(x0, y0, c) * (1 - fx) + texel(x0 + 1, y0, c) * fx;
        float bottom = texel(x0, y0 + 1, c) * (1 - fx) + texel(x0 + 1, y0 + 1, c) * fx;
        out[c] = top * (1 - fy) + bottom * fy;
    }
}

}  // namespace

Frame MakeFrame()
{
    Frame f;
    f.rgb.assign(size_t(f.width) * f.height * 3, 0.0f);
    f.depth.assign(size_t(f.width) * f.height, 0.0f);
    return f;
}

void DrawTriangle(Frame& f, const RasterState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c)
{
    const RasterVertex* v[3] = {&a, &b, &c};
    float px[3], py[3];
    for (int i = 0; i < 3; ++i) {
        px[i] = (v[i]->x + 1) * 0.5f * f.width;
        py[i] = (1 - v[i]->y) * 0.5f * f.height;
    }
    float area = (px[1] - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (py[1] - py[0]);
    if (area == 0 || !std::isfinite(area)) return;
    int x0 = std::max(0, int(std::floor(std::min({px[0], px[1], px[2]}))));
    int x1 = std::min(f.width - 1, int(std::ceil(std::max({px[0], px[1], px[2]}))));
    int y0 = std::max(0, int(std::floor(std::min({py[0], py[1], py[2]}))));
    int y1 = std::min(f.height - 1, int(std::ceil(std::max({py[0], py[1], py[2]}))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float cx = x + 0.5f, cy = y + 0.5f;
            float w0 = ((px[1] - cx) * (py[2] - cy) - (px[2] - cx) * (py[1] - cy)) / area;
            float w1 = ((px[2] - cx) * (py[0] - cy) - (px[0] - cx) * (py[2] - cy)) / area;
            float w2 = 1 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            float depth = w0 * a.w + w1 * b.w + w2 * c.w;
            size_t at = size_t(y) * f.width + x;
            if (s.depthTest && depth < f.depth[at]) continue;
            float u, tv;
            if (s.perspective) {
                float q = depth;
                u = (w0 * a.u * a.w + w1 * b.u * b.w + w2 * c.u * c.w) / q;
                tv = (w0 * a.v * a.w + w1 * b.v * b.w + w2 * c.v * c.w) / q;
            } else {
                u = w0 * a.u + w1 * b.u + w2 * c.u;
                tv = w0 * a.v + w1 * b.v + w2 * c.v;
            }
            float col[4] = {w0 * a.r + w1 * b.r + w2 * c.r, w0 * a.g + w1 * b.g + w2 * c.g,
                            w0 * a.b + w1 * b.b + w2 * c.b, w0 * a.a + w1 * b.a + w2 * c.a};
            for (float& k : col) k = std::clamp(k, 0.0f, 1.0f);
            float tex[4] = {1, 1, 1, 1};
            if (s.texture && s.texture->width > 0) Sample(*s.texture, u, tv, s.nearest, tex);
            float src[4] = {tex[0] * col[0], tex[1] * col[1], tex[2] * col[2], tex[3] * col[3]};
            float* dst = &f.rgb[at * 3];
            for (int k = 0; k < 3; ++k) {
                if (s.blend == Blend::Opaque) dst[k] = src[k];
                else if (s.blend == Blend::Additive) dst[k] = std::min(1.0f, dst[k] + src[k]);
                else dst[k] = src[k] * src[3] + dst[k] * (1 - src[3]);
            }
            if (s.depthTest) f.depth[at] = depth;
        }
    }
}

bool WriteFrame(const Frame& f, const std::string& path)
{
    Picture p = MakePicture(f.width, f.height);
    for (size_t i = 0; i < size_t(f.width) * f.height; ++i) {
        for (int k = 0; k < 3; ++k) p.rgba[i * 4 + k] = f.rgb[i * 3 + k];
    }
    return WritePng(path, p, PngKind::Opaque);
}

ViewMatrix LookAt(Vec3f pos, Vec3f target, float rollDegrees)
{
    float dx = target.x - pos.x, dy = target.y - pos.y, dz = target.z - pos.z;
    float len = std::sqrt(dx * dx + dy * dy + dz * dz);
    float yaw = -std::atan2(dx, dz), pitch = std::asin(dy / len), roll = rollDegrees * -0.017452778f;
    float sy = std::sin(yaw), cy = std::cos(yaw), sp = std::sin(pitch), cp = std::cos(pitch);
    float sr = std::sin(roll), cr = std::cos(roll);
    ViewMatrix m{};
    float r[3][3] = {{sy * sp * sr + cy * cr, cp * sr, sy * cr - cy * sp * sr},
                     {sy * sp * cr - cy * sr, cp * cr, -cy * sp * cr - sy * sr},
                     {-sy * cp, sp, cy * cp}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m.m[i][j] = r[i][j];
        m.m[i][3] = -(r[i][0] * pos.x + r[i][1] * pos.y + r[i][2] * pos.z);
    }
    // The scenes scale the two screen axes by the focal factor.
    for (int j = 0; j < 4; ++j) {
        m.m[0][j] *= kFocal;
        m.m[1][j] *= kFocal;
    }
    return m;
}

Vec3f Transform(const ViewMatrix& m, Vec3f p)
{
    return {m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2] * p.z + m.m[0][3],
            m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2] * p.z + m.m[1][3],
            m.m[2][0] * p.x + m.m[2][1] * p.y + m.m[2][2] * p.z + m.m[2][3]};
}
