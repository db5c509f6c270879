// The overlay font's table and atlas, and the box its text takes.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "fx/text_overlay.h"

TEST(TextOverlayFont, HoldsDigitsCapitalsAndPunctuationEachAsADistinctFiveByFiveOrLessShape)
{
    std::string characters;
    std::set<std::string> shapes;
    for (const Glyph& glyph : FontGlyphs) {
        characters += glyph.character;
        int ink = 0;
        for (uint8_t row : glyph.rows) {
            EXPECT_EQ(row >> GlyphColumns, 0) << glyph.character << " is wider than 5 columns";
            ink |= row;
        }
        EXPECT_NE(ink, 0) << glyph.character << " draws nothing";
        shapes.insert(std::string(reinterpret_cast<const char*>(glyph.rows), GlyphRows));
    }
    EXPECT_EQ(characters, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ.:/-%(),=");
    EXPECT_EQ(shapes.size(), static_cast<size_t>(FontGlyphCount)) << "two characters look the same (0 and O?)";
}

TEST(TextOverlayFont, LowerCaseSharesTheCapitalsAndOtherCharactersAreBlank)
{
    for (char c = 'a'; c <= 'z'; ++c) {
        ASSERT_NE(FindGlyph(c), nullptr) << c;
        EXPECT_EQ(FindGlyph(c), FindGlyph(static_cast<char>(c - 'a' + 'A'))) << c;
    }
    EXPECT_EQ(FindGlyph('7')->character, '7');
    EXPECT_EQ(FindGlyph('=')->character, '=');
    for (char c : {' ', '#', '_', '\t', '\0', '\x7f', static_cast<char>(0xE9)})
        EXPECT_EQ(FindGlyph(c), nullptr) << int(c);
}

// Every texel of the atlas: ink exactly where the glyph's bits are, in its cell one texel
// in from the top-left; the solid cell white; everything else clear, so that a sample at
// a glyph cell's edge never picks up a neighbour's ink.
TEST(TextOverlayFont, AtlasHoldsEachGlyphInItsCellWithClearEdgesAndOneSolidCell)
{
    const std::unique_ptr<Image> atlas = BuildFontAtlas();
    ASSERT_NE(atlas, nullptr);
    ASSERT_EQ(atlas->Width(), 64);
    ASSERT_EQ(atlas->Height(), 64);
    const int cells = FontAtlasSize / FontCellSize;
    for (int y = 0; y < FontAtlasSize; ++y) {
        for (int x = 0; x < FontAtlasSize; ++x) {
            const int cell = y / FontCellSize * cells + x / FontCellSize;
            const int column = x % FontCellSize - 1, row = y % FontCellSize - 1;
            bool ink = cell == cells * cells - 1;
            if (cell < FontGlyphCount && column >= 0 && column < GlyphColumns && row >= 0 && row < GlyphRows)
                ink = FontGlyphs[cell].rows[row] >> (GlyphColumns - 1 - column) & 1;
            uint8_t r = 1, g = 1, b = 1, a = 1;
            atlas->GetPixel(x, y, &r, &g, &b, &a);
            const int expected = ink ? 255 : 0;
            ASSERT_TRUE(r == expected && g == expected && b == expected && a == expected)
                << "texel " << x << ", " << y << ": " << int(r) << " " << int(g) << " " << int(b) << " " << int(a);
        }
    }
}

TEST(TextOverlayFont, BoxFitsTheLongestLineAndEveryLineWithAMarginOfTwoFontPixels)
{
    // 7 font pixels = 0.07, so a font pixel is 0.01 high and 0.0075 wide.
    const TextPlacement at = {-0.5f, 0.5f, 0.07f};
    auto expectBox = [&](const char* text, int columns, int rows) {
        const ScreenRect box = TextBox(text, at);
        EXPECT_FLOAT_EQ(box.left, -0.5f) << text;
        EXPECT_FLOAT_EQ(box.top, 0.5f) << text;
        EXPECT_NEAR(box.right, -0.5f + columns * 0.0075f, 1e-6f) << text;
        EXPECT_NEAR(box.bottom, 0.5f - rows * 0.01f, 1e-6f) << text;
    };
    // Width: 2 + 6 per character - 1 + 2; height: 2 + 9 per line - 2 + 2.
    expectBox("12 fps", 39, 11);
    expectBox("A\nlonger\n#?", 39, 29);
    expectBox("A\nlonger\n", 39, 20);   // a final line break starts no line
    expectBox("\n", 4, 11);              // one empty line
    for (const char* nothing : {"", static_cast<const char*>(nullptr)}) {
        const ScreenRect box = TextBox(nothing, at);
        EXPECT_EQ(box.left, box.right);
        EXPECT_EQ(box.top, box.bottom);
    }
}
