// The text overlay drawn on a real context over a coloured frame, after a scene left
// both texture units busy: every font pixel read back, the box around it, the state left.
#include "gl_fixture.h"

#include <algorithm>
#include <cstdlib>

#include "fx/text_overlay.h"

namespace {

constexpr const char* Text = "Time 12.5 s\nfps=60 (16.7 ms)\nScene: 3/6 -8%,";

// The box's top-left corner at window pixel (20, 24) from the top-left, two window
// pixels per font pixel in both directions.
constexpr float BoxLeft = -1.0f + 20.0f / 320.0f;
constexpr float BoxTop = 1.0f - 24.0f / 240.0f;
constexpr float GlyphHeight = 14.0f / 240.0f;
constexpr int BoxX = 20, BoxY = 24;

// The frame a scene would leave: orange everywhere, unit 1 textured in red and active.
constexpr int BackgroundRgb[3] = {204, 128, 51};

class TextOverlayDraw : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        if (font_ == NoTexture) font_ = CreateTextOverlayFont(*renderer_);
        ASSERT_NE(font_, NoTexture);
        const TextureId white = renderer_->CreateTexture(*MakeImage(4, 4, [](int, int) { return 0xFFFFFFFFu; }));
        const TextureId red = renderer_->CreateTexture(*MakeImage(4, 4, [](int, int) { return 0xFF000080u; }));
        renderer_->ClearFrame();
        renderer_->SetDepthTest(false);
        renderer_->BindTexture(white);
        renderer_->SetBlendMode(BlendMode::OpaqueNearest);
        ScreenVertex corner[4];
        FillRectCorners(corner, {-1, -1, 1, 1}, {0, 1, 0, 1}, 1.0f,
                        {BackgroundRgb[0] / 255.0f, BackgroundRgb[1] / 255.0f, BackgroundRgb[2] / 255.0f, 1.0f});
        renderer_->DrawQuad(corner[0], corner[1], corner[2], corner[3]);
        renderer_->BindSecondTexture(red);
        renderer_->SetBlendMode(BlendMode::OpaqueBothUnits);
        renderer_->SetDepthTest(true);
    }
    void TearDown() override { renderer_->PresentFrame(); }

    // Pixel (x, y) counted from the top-left corner of the 640 × 480 window.
    static Rgba Pixel(int x, int y) { return ReadBackPixel(x, 479 - y); }

    static TextureId font_;
};

TextureId TextOverlayDraw::font_ = NoTexture;

bool IsWhite(const Rgba& p)
{
    return p.r == 255 && p.g == 255 && p.b == 255;
}

// The background under black at alpha 0.6.
bool IsBox(const Rgba& p)
{
    auto near = [](int value, int background) { return std::abs(value - background * 0.4) <= 2; };
    return near(p.r, BackgroundRgb[0]) && near(p.g, BackgroundRgb[1]) && near(p.b, BackgroundRgb[2]);
}

bool IsBackground(const Rgba& p)
{
    return p.r == BackgroundRgb[0] && p.g == BackgroundRgb[1] && p.b == BackgroundRgb[2];
}

}  // namespace

TEST_F(TextOverlayDraw, EveryFontPixelShowsWhiteOnTheDarkBoxAndTheFrameOutsideIsUntouched)
{
    DrawTextLines(*renderer_, font_, Text, {BoxLeft, BoxTop, GlyphHeight});

    // Each character's 6 × 9 font pixels (ink, the gap right of it and the two rows
    // under it), sampled at the middle of the window pixel at each font pixel's top-left.
    int line = 0, column = 0, longest = 0;
    for (const char* c = Text; *c; ++c) {
        if (*c == '\n') {
            ++line;
            column = 0;
            continue;
        }
        const Glyph* glyph = FindGlyph(*c);
        for (int row = 0; row < 9; ++row) {
            for (int col = 0; col < 6; ++col) {
                const bool ink = glyph && row < GlyphRows && col < GlyphColumns &&
                                 (glyph->rows[row] >> (GlyphColumns - 1 - col) & 1);
                const int x = BoxX + 2 * (2 + 6 * column + col), y = BoxY + 2 * (2 + 9 * line + row);
                for (int dy : {0, 1}) {
                    for (int dx : {0, 1}) {
                        const Rgba p = Pixel(x + dx, y + dy);
                        ASSERT_TRUE(ink ? IsWhite(p) : IsBox(p))
                            << "'" << *c << "' font pixel " << col << ", " << row << " at window pixel "
                            << x + dx << ", " << y + dy << ": " << p.r << " " << p.g << " " << p.b;
                    }
                }
            }
        }
        longest = std::max(longest, ++column);
    }
    ASSERT_EQ(longest, 16);
    // The box: 2 + 16 × 6 - 1 + 2 = 99 font pixels wide, 2 + 3 × 9 - 2 + 2 = 29 high.
    const int right = BoxX + 2 * 99, bottom = BoxY + 2 * 29;
    for (int x : {BoxX, BoxX + 1, BoxX + 2, right - 1}) {
        EXPECT_TRUE(IsBox(Pixel(x, BoxY + 30))) << x;
        EXPECT_TRUE(IsBox(Pixel(x, bottom - 1))) << x;
    }
    for (int x : {BoxX - 1, right, 600}) EXPECT_TRUE(IsBackground(Pixel(x, BoxY + 30))) << x;
    for (int y : {BoxY - 1, bottom, 400}) EXPECT_TRUE(IsBackground(Pixel(BoxX + 50, y))) << y;
}

TEST_F(TextOverlayDraw, LeavesDepthTestOffAdditiveBlendingAndTheNearestFilteredFontOnUnitZero)
{
    GLState expected = ReadGLState();
    DrawTextLines(*renderer_, font_, "A", {BoxLeft, BoxTop, GlyphHeight});
    expected.activeUnit = 0;
    expected.depthTest = false;
    expected.blend = true;
    expected.blendSrc = expected.blendDst = GL_ONE;
    expected.unit[0].texture2D = true;
    expected.unit[0].binding = static_cast<GLint>(font_.name);
    expected.unit[0].minFilter = expected.unit[0].magFilter = GL_NEAREST;
    expected.unit[0].envMode = GL_MODULATE;
    expected.unit[0].identityMatrix = true;
    expected.unit[1].binding = 0;
    const GLState actual = ReadGLState();
    // Unit 1's filters are those of GL's default texture now bound there, not state the draw set.
    expected.unit[1].minFilter = actual.unit[1].minFilter;
    expected.unit[1].magFilter = actual.unit[1].magFilter;
    ExpectSameState(expected, actual);
}

TEST_F(TextOverlayDraw, DrawsNothingForEmptyText)
{
    DrawTextLines(*renderer_, font_, "", {BoxLeft, BoxTop, GlyphHeight});
    DrawTextLines(*renderer_, font_, nullptr, {BoxLeft, BoxTop, GlyphHeight});
    for (int x : {BoxX, BoxX + 5, BoxX + 40})
        for (int y : {BoxY, BoxY + 5}) EXPECT_TRUE(IsBackground(Pixel(x, y))) << x << ", " << y;
}
