#include "pictures/lettering.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Decodes the next code point of UTF-8 text at i (advancing i); bad bytes read as '?'.
uint32_t NextCodePoint(const std::string& s, size_t& i)
{
    unsigned char c = s[i++];
    if (c < 0x80) return c;
    int extra = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : -1;
    if (extra < 0) return '?';
    uint32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k) cp = (cp << 6) | (s[i++] & 0x3F);
    return cp;
}

struct PlacedGlyph {
    int left, top, width, height;
    std::vector<unsigned char> pixels;
};

}  // namespace

namespace {
std::string g_missingFont;
}  // namespace

const std::string& MissingFont() { return g_missingFont; }

std::string FontFolder()
{
    const char* env = std::getenv("ZIRCON_FONT_DIR");
    return env && *env ? std::string(env) + "/" : "/usr/share/fonts/truetype/dejavu/";
}

Mask RenderText(const std::string& text, const TextStyle& style, int pad)
{
    Mask mask;
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return mask;
    FT_Face face;
    if (FT_New_Face(library, (FontFolder() + style.font).c_str(), 0, &face) != 0) {
        g_missingFont = FontFolder() + style.font;
        FT_Done_FreeType(library);
        return mask;
    }
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(style.pixelSize * 64)), 72, 72);
    FT_Matrix stretch = {0x10000, 0, 0, FT_Fixed(std::lround(style.stretchY * 65536.0))};
    FT_Set_Transform(face, &stretch, nullptr);

    std::vector<PlacedGlyph> glyphs;
    long pen = 0;  // 26.6 fixed point
    FT_UInt previous = 0;
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (size_t i = 0; i < text.size();) {
        FT_UInt index = FT_Get_Char_Index(face, NextCodePoint(text, i));
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern);
            pen += kern.x;
        }
        previous = index;
        // Unhinted outlines: large display lettering keeps its designed shapes.
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        PlacedGlyph g;
        g.left = int(pen >> 6) + slot->bitmap_left;
        g.top = -slot->bitmap_top;
        g.width = int(slot->bitmap.width);
        g.height = int(slot->bitmap.rows);
        g.pixels.resize(size_t(g.width) * g.height);
        for (int r = 0; r < g.height; ++r) {
            std::copy_n(slot->bitmap.buffer + r * slot->bitmap.pitch, g.width, &g.pixels[size_t(r) * g.width]);
        }
        if (g.width > 0 && g.height > 0) {
            minX = std::min(minX, g.left);
            maxX = std::max(maxX, g.left + g.width);
            minY = std::min(minY, g.top);
            maxY = std::max(maxY, g.top + g.height);
        }
        pen += slot->advance.x + long(std::lround(style.tracking * 64));
        glyphs.push_back(std::move(g));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (minX > maxX) return mask;

    mask.pad = pad;
    mask.width = maxX - minX + 2 * pad;
    mask.height = maxY - minY + 2 * pad;
    mask.baseline = pad - minY;
    mask.coverage.assign(size_t(mask.width) * mask.height, 0.0f);
    for (const PlacedGlyph& g : glyphs) {
        for (int r = 0; r < g.height; ++r) {
            for (int c = 0; c < g.width; ++c) {
                int x = g.left - minX + pad + c, y = g.top - minY + pad + r;
                float& dst = mask.coverage[size_t(y) * mask.width + x];
                dst = std::min(1.0f, dst + g.pixels[size_t(r) * g.width + c] / 255.0f);
            }
        }
    }
    return mask;
}

void BlurMask(Mask& mask, int radius)
{
    if (radius <= 0 || mask.width == 0) return;
    std::vector<float> tmp(mask.coverage.size());
    const float norm = 1.0f / float(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < mask.height; ++y) {
            for (int x = 0; x < mask.width; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) {
                    int xx = std::clamp(x + k, 0, mask.width - 1);
                    s += mask.coverage[size_t(y) * mask.width + xx];
                }
                tmp[size_t(y) * mask.width + x] = s * norm;
            }
        }
        for (int y = 0; y < mask.height; ++y) {
            for (int x = 0; x < mask.width; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) {
                    int yy = std::clamp(y + k, 0, mask.height - 1);
                    s += tmp[size_t(yy) * mask.width + x];
                }
                mask.coverage[size_t(y) * mask.width + x] = s * norm;
            }
        }
    }
}

int InkWidth(const Mask& mask) { return mask.width - 2 * mask.pad; }

void GlowMask(Picture& p, const Mask& m, int x, int y, Colour c, float strength)
{
    for (int my = 0; my < m.height; ++my) {
        for (int mx = 0; mx < m.width; ++mx) {
            float k = m.coverage[size_t(my) * m.width + mx] * strength;
            if (k > 0) AddLight(p, x + mx, y + my, c, k);
        }
    }
}
