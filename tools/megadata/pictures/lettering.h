// Lettering with FreeType and the DejaVu fonts: text becomes a coverage mask that the
// picture painters colour, outline and make glow.
#pragma once

#include <string>
#include <vector>

#include "pictures/picture_pixels.h"

struct TextStyle {
    std::string font = "DejaVuSans-Bold.ttf";  // a file of the DejaVu font folder
    float pixelSize = 32;                       // em height in pixels
    float tracking = 0;                         // extra pixels after every letter
    float stretchY = 1;                         // vertical scale (for pictures shown squeezed)
};

// Coverage 0..1, row 0 at the top, with the text's baseline at row `baseline` and a
// margin of `pad` clear pixels on every side.
struct Mask {
    int width = 0;
    int height = 0;
    int baseline = 0;
    int pad = 0;
    std::vector<float> coverage;
};

// Folder of the DejaVu TrueType fonts: $ZIRCON_FONT_DIR when set, else the system one.
std::string FontFolder();

// Renders UTF-8 text in one line; an empty mask when the font cannot be loaded.
Mask RenderText(const std::string& text, const TextStyle& style, int pad = 16);
// The font file that could not be loaded since the program started, or "" if none.
const std::string& MissingFont();

// Blurs the mask in place with three box passes of the given radius (about a Gaussian).
void BlurMask(Mask& mask, int radius);

// Width of the inked part of the mask (without padding), in pixels.
int InkWidth(const Mask& mask);

// Paints the mask onto the picture, its top-left corner at (x, y); the colour may vary
// over the mask through `shade`(u, v) with u, v in 0..1 across the mask.
template <typename Shade>
void PaintMask(Picture& p, const Mask& m, int x, int y, float opacity, Shade shade)
{
    for (int my = 0; my < m.height; ++my) {
        for (int mx = 0; mx < m.width; ++mx) {
            float k = m.coverage[size_t(my) * m.width + mx] * opacity;
            if (k <= 0) continue;
            BlendPixel(p, x + mx, y + my, shade(float(mx) / m.width, float(my) / m.height), k);
        }
    }
}

// Adds the mask as light of one colour (for glows), its top-left corner at (x, y).
void GlowMask(Picture& p, const Mask& m, int x, int y, Colour c, float strength);
