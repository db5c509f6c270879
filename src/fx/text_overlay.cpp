#include "fx/text_overlay.h"

#include <algorithm>

const Glyph FontGlyphs[FontGlyphCount] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}},
};

namespace {

constexpr int CellsPerRow = FontAtlasSize / FontCellSize;
constexpr int SolidCell = CellsPerRow * CellsPerRow - 1;
static_assert(FontGlyphCount < SolidCell, "the glyphs and the solid cell fit the atlas");

// Layout in font pixels.
constexpr int Margin = 2;
constexpr int Advance = GlyphColumns + 1;
constexpr int LineAdvance = GlyphRows + 2;
// Width over height of one font pixel in normalised coordinates: square in 640 × 480.
constexpr float PixelWidthPerHeight = 480.0f / 640.0f;

constexpr CornerColour BoxColour = {0.0f, 0.0f, 0.0f, 0.6f};
constexpr CornerColour InkColour = {1.0f, 1.0f, 1.0f, 1.0f};

int GlyphIndex(const Glyph* glyph)
{
    return static_cast<int>(glyph - FontGlyphs);
}

// Lines and the longest line's length in characters. Each '\n' ends a line; so does the
// end of the text, unless the line there is empty.
void MeasureText(const char* text, int* lines, int* longest)
{
    *lines = 0;
    *longest = 0;
    int length = 0;
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == '\n') {
            ++*lines;
            length = 0;
        } else {
            *longest = std::max(*longest, ++length);
        }
    }
    if (length > 0) ++*lines;
}

// Texture window of a cell's 6 × 8 texels from its top-left corner: the glyph with the
// clear column right of it and the clear row above it.
TextureWindow CellWindow(int cell)
{
    const float texel = 1.0f / FontAtlasSize;
    const float left = static_cast<float>(cell % CellsPerRow * FontCellSize) * texel;
    const float top = static_cast<float>(cell / CellsPerRow * FontCellSize) * texel;
    return {left, left + Advance * texel, top + (GlyphRows + 1) * texel, top};
}

void DrawRect(RenderInterface& render, const ScreenRect& rect, const TextureWindow& window, const CornerColour& colour)
{
    ScreenVertex corner[4];
    FillRectCorners(corner, rect, window, 1.0f, colour);
    render.DrawQuad(corner[0], corner[1], corner[2], corner[3]);
}

}  // namespace

const Glyph* FindGlyph(char c)
{
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const Glyph& glyph : FontGlyphs)
        if (glyph.character == c) return &glyph;
    return nullptr;
}

std::unique_ptr<Image> BuildFontAtlas()
{
    std::unique_ptr<Image> atlas(new Image(FontAtlasSize, FontAtlasSize, &FormatXRGB8888, FontAtlasSize));
    if (!atlas->Pixels()) return nullptr;
    for (int y = 0; y < FontAtlasSize; ++y)
        for (int x = 0; x < FontAtlasSize; ++x) atlas->SetPixel(x, y, 0, 0, 0, 0);
    auto cellX = [](int cell) { return cell % CellsPerRow * FontCellSize; };
    auto cellY = [](int cell) { return cell / CellsPerRow * FontCellSize; };
    for (int i = 0; i < FontGlyphCount; ++i)
        for (int row = 0; row < GlyphRows; ++row)
            for (int column = 0; column < GlyphColumns; ++column)
                if (FontGlyphs[i].rows[row] >> (GlyphColumns - 1 - column) & 1)
                    atlas->SetPixel(cellX(i) + 1 + column, cellY(i) + 1 + row, 255, 255, 255, 255);
    for (int y = 0; y < FontCellSize; ++y)
        for (int x = 0; x < FontCellSize; ++x)
            atlas->SetPixel(cellX(SolidCell) + x, cellY(SolidCell) + y, 255, 255, 255, 255);
    return atlas;
}

TextureId CreateTextOverlayFont(RenderInterface& render)
{
    const std::unique_ptr<Image> atlas = BuildFontAtlas();
    return atlas ? render.CreateTexture(*atlas) : NoTexture;
}

ScreenRect TextBox(const char* text, const TextPlacement& at)
{
    int lines = 0, longest = 0;
    MeasureText(text, &lines, &longest);
    if (lines == 0) return {at.left, at.top, at.left, at.top};
    const float unitY = at.glyphHeight / GlyphRows;
    const float unitX = unitY * PixelWidthPerHeight;
    const float width = (2 * Margin + std::max(longest * Advance - 1, 0)) * unitX;
    const float height = (2 * Margin + lines * LineAdvance - 2) * unitY;
    return {at.left, at.top - height, at.left + width, at.top};
}

void DrawTextLines(RenderInterface& render, TextureId font, const char* text, const TextPlacement& at)
{
    const ScreenRect box = TextBox(text, at);
    if (box.top == box.bottom) return;   // no text, or none at all (null)

    render.SetDepthTest(false);
    render.BindSecondTexture(NoTexture);
    render.BindTexture(font);
    // The box samples the middle of the solid cell, where bilinear filtering gives white.
    render.SetBlendMode(BlendMode::AlphaBlendBilinear);
    const TextureWindow solid = CellWindow(SolidCell);
    const float middleU = solid.uLeft + 0.5f * FontCellSize / FontAtlasSize;
    const float middleV = solid.vTop + 0.5f * FontCellSize / FontAtlasSize;
    DrawRect(render, box, {middleU, middleU, middleV, middleV}, BoxColour);

    render.SetBlendMode(BlendMode::AdditiveNearest);   // on the font itself
    const float unitY = at.glyphHeight / GlyphRows;
    const float unitX = unitY * PixelWidthPerHeight;
    int line = 0, column = 0;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            ++line;
            column = 0;
            continue;
        }
        const Glyph* glyph = FindGlyph(*c);
        if (glyph) {
            // The cell window starts one font pixel left of and above the ink.
            const float left = at.left + static_cast<float>(Margin - 1 + column * Advance) * unitX;
            const float top = at.top - static_cast<float>(Margin - 1 + line * LineAdvance) * unitY;
            const ScreenRect cell = {left, top - (GlyphRows + 1) * unitY, left + Advance * unitX, top};
            DrawRect(render, cell, CellWindow(GlyphIndex(glyph)), InkColour);
        }
        ++column;
    }
}
