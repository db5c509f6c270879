// A few lines of text on a dark translucent box, drawn over the finished picture: the
// viewer's overlay of time, scene and frame figures. The font is built into the program:
// 5 × 7 pixel glyphs for digits, letters (lower case drawn with the upper-case shapes),
// space and . : / - % ( ) , =; any other character leaves a blank of one glyph's width.
//
// Positions are normalised device coordinates of the picture (-1..1, y up), so the text
// scales with the window. Font pixels are square in the 640 × 480 picture: a glyph
// height of k · 7/240 (k screen pixels per font pixel at 640 × 480) draws the sharpest.
#pragma once

#include <cstdint>
#include <memory>

#include "fx/screen_rect.h"
#include "gfx/render_interface.h"
#include "image/image.h"

constexpr int GlyphColumns = 5;
constexpr int GlyphRows = 7;

// One character's shape: rows from the top, bit 4 the leftmost column.
struct Glyph {
    char character;
    uint8_t rows[GlyphRows];
};

// The font, in the order of its cells in the atlas (left to right, then down).
constexpr int FontGlyphCount = 45;
extern const Glyph FontGlyphs[FontGlyphCount];

// The glyph drawn for c, or nullptr for a blank.
const Glyph* FindGlyph(char c);

// The atlas: 64 × 64 texels of 8 × 8 cells, FontGlyphs[i] in cell i with its top-left
// texel at (cell x + 1, cell y + 1), then a cell of solid white last (cell 63). White ink
// of alpha 255 on transparent black; every cell's first row and column and its last two
// columns stay clear, so no sample at a glyph's edge reaches a neighbour's ink.
constexpr int FontAtlasSize = 64;
constexpr int FontCellSize = 8;
std::unique_ptr<Image> BuildFontAtlas();

// Builds the atlas and uploads it once; call at load time. NoTexture when the atlas's
// memory cannot be had.
TextureId CreateTextOverlayFont(RenderInterface& render);

struct TextPlacement {
    float left, top;     // the box's top-left corner
    float glyphHeight;   // height of a capital letter (seven font pixels)
};

// The box drawn behind text: two font pixels of margin around the lines, glyphs 6 font
// pixels apart, lines 9. Lines end at '\n'; a final '\n' starts no new line. Empty text
// (or a null pointer) has an empty box (left = right, top = bottom, at the placement's corner).
ScreenRect TextBox(const char* text, const TextPlacement& at);

// Draws the box (black, alpha 0.6) and the text in white over whatever the frame holds.
// Allocates nothing. The glyphs are sampled nearest-neighbour and added to the darkened
// box, so they stay crisp and full white over any scene.
//
// Leaves: depth test off; unit 0 active with the font bound (modulating), its filters
// nearest; unit 1 bound to NoTexture; blending on, adding source to destination
// (BlendMode::AdditiveNearest).
void DrawTextLines(RenderInterface& render, TextureId font, const char* text, const TextPlacement& at);
