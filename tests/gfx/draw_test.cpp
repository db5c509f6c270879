// What the draw operations put in the back buffer: perspective-correct texturing, per-
// vertex alpha, the 1/z depth rule and clipping, and the second unit left on.
#include "gl_fixture.h"

#include <cmath>

namespace {

class DrawTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        white_ = renderer_->CreateTexture(*MakeImage(2, 2, [](int, int) { return 0xFFFFFFFFu; }));
        renderer_->BindTexture(white_);
        renderer_->SetDepthTest(true);
        renderer_->ClearFrame();
    }
    void TearDown() override { renderer_->PresentFrame(); }

    // Normalised device coordinates of a pixel's centre.
    static float CentreX(int column) { return Centre(column, 0, 2); }
    static float CentreY(int row) { return Centre(row, 1, 3); }
    static float Centre(int pixel, int origin, int size)
    {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        return (pixel - viewport[origin] + 0.5f) / viewport[size] * 2.0f - 1.0f;
    }

    // A rectangle of one colour at one depth.
    void Rectangle(float x0, float y0, float x1, float y1, float z, float red, float green, float blue)
    {
        ScreenVertex p[4] = {Vertex(x0, y0, z), Vertex(x1, y0, z), Vertex(x1, y1, z), Vertex(x0, y1, z)};
        for (ScreenVertex& v : p) {
            v.red = red;
            v.green = green;
            v.blue = blue;
        }
        renderer_->DrawQuad(p[0], p[1], p[2], p[3]);
    }

    Rgba Centre(float x0, float y0, float x1, float y1)
    {
        return ReadBackPixel(PixelColumn((x0 + x1) / 2), PixelRow((y0 + y1) / 2));
    }

    TextureId white_ = NoTexture;
};

// Column i of the 16-texel-wide picture has red 16·i + 8.
uint32_t Columns(int x, int)
{
    return static_cast<uint32_t>((x * 16 + 8) << 24 | (255 - x * 16) << 16 | 0xFF);
}

TEST_F(DrawTest, QuadWithCornersAtDifferentDepthsMapsPerspectiveCorrectly)
{
    renderer_->BindTexture(renderer_->CreateTexture(*MakeImage(16, 4, Columns)));
    renderer_->SetBlendMode(BlendMode::OpaqueNearest);   // nearest texel: the colour names the column
    // Left edge at z = 1, right edge at z = 4; u runs 0..1 from left to right.
    const ScreenVertex p1 = Vertex(-0.8f, -0.8f, 1.0f, 0, 0), p2 = Vertex(0.8f, -0.8f, 4.0f, 1, 0);
    const ScreenVertex p3 = Vertex(0.8f, 0.8f, 4.0f, 1, 1), p4 = Vertex(-0.8f, 0.8f, 1.0f, 0, 1);
    renderer_->DrawQuad(p1, p2, p3, p4);

    int checked = 0;
    for (int row : {PixelRow(-0.78f), PixelRow(0.0f), PixelRow(0.78f)}) {
        for (int column = PixelColumn(-0.79f); column <= PixelColumn(0.79f); column += 3) {
            // Screen-linear w and u·w, divided per pixel: the projective mapping.
            const double t = (CentreX(column) + 0.8) / 1.6;
            const double u = (0.25 * t) / (1.0 - 0.75 * t);
            const double texel = u * 16.0;
            if (std::fabs(texel - std::round(texel)) < 0.1) continue;   // too near a texel edge
            const Rgba got = ReadBackPixel(column, row);
            EXPECT_EQ(got.r, static_cast<int>(texel) * 16 + 8) << "column " << column << " row " << row;
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
    // The affine mapping would give texel 8 in the middle; the perspective one gives 3.
    EXPECT_EQ(ReadBackPixel(PixelColumn(0.0f), PixelRow(0.0f)).r, 3 * 16 + 8);
}

TEST_F(DrawTest, EachCornerOfATriangleKeepsItsOwnAlpha)
{
    renderer_->SetBlendMode(BlendMode::AlphaBlendBilinear);
    ScreenVertex p[3] = {Vertex(-0.9f, -0.9f, 1.0f), Vertex(0.9f, -0.9f, 1.0f), Vertex(0.0f, 0.9f, 1.0f)};
    const float alpha[3] = {0.0f, 0.5f, 1.0f};
    for (int i = 0; i < 3; ++i) p[i].alpha = alpha[i];
    renderer_->DrawTriangle(p[0], p[1], p[2]);

    // White over black: the grey level is the interpolated alpha.
    for (float sx : {-0.8f, -0.4f, 0.0f, 0.4f, 0.8f}) {
        for (float sy : {-0.85f, -0.5f, 0.0f, 0.5f, 0.8f}) {
            const int column = PixelColumn(sx), row = PixelRow(sy);
            const double x = CentreX(column), y = CentreY(row);
            // Barycentric weights of corners 1 and 2 (corner 0 takes the rest).
            const double l2 = (y + 0.9) / 1.8;
            const double l1 = (x + 0.9 - 0.9 * l2) / 1.8;
            const double l0 = 1.0 - l1 - l2;
            if (l0 < 0.02 || l1 < 0.02 || l2 < 0.02) continue;   // outside or on an edge
            const double expected = 255.0 * (0.5 * l1 + 1.0 * l2);
            const Rgba got = ReadBackPixel(column, row);
            EXPECT_NEAR(got.r, expected, 2.0) << sx << ", " << sy;
            EXPECT_NEAR(got.g, expected, 2.0) << sx << ", " << sy;
        }
    }
}

TEST_F(DrawTest, NearerSurfaceWinsWhateverTheOrder)
{
    renderer_->SetBlendMode(BlendMode::OpaqueBilinear);
    // Near red drawn first, far green second.
    Rectangle(-0.9f, -0.5f, -0.5f, 0.5f, 2.0f, 1, 0, 0);
    Rectangle(-0.9f, -0.5f, -0.5f, 0.5f, 4.0f, 0, 1, 0);
    // Far green first, near red second.
    Rectangle(-0.4f, -0.5f, 0.0f, 0.5f, 4.0f, 0, 1, 0);
    Rectangle(-0.4f, -0.5f, 0.0f, 0.5f, 2.0f, 1, 0, 0);
    // Equal depth: the later one passes the GL_GEQUAL test.
    Rectangle(0.1f, -0.5f, 0.5f, 0.5f, 3.0f, 1, 0, 0);
    Rectangle(0.1f, -0.5f, 0.5f, 0.5f, 3.0f, 0, 0, 1);
    // Without perspective, depth 0: behind everything already drawn.
    ScreenVertex a = Vertex(-0.95f, -0.6f, 2.0f), b = Vertex(0.6f, -0.6f, 2.0f), c = Vertex(-0.95f, 0.6f, 2.0f);
    a.red = b.red = c.red = 0;
    renderer_->DrawTriangleAffine(a, b, c);

    EXPECT_EQ(Centre(-0.9f, -0.5f, -0.5f, 0.5f).r, 255);
    EXPECT_EQ(Centre(-0.9f, -0.5f, -0.5f, 0.5f).g, 0);
    EXPECT_EQ(Centre(-0.4f, -0.5f, 0.0f, 0.5f).r, 255);
    EXPECT_EQ(Centre(-0.4f, -0.5f, 0.0f, 0.5f).g, 0);
    EXPECT_EQ(Centre(0.1f, -0.5f, 0.5f, 0.5f).b, 255);
    EXPECT_EQ(Centre(0.1f, -0.5f, 0.5f, 0.5f).r, 0);
    // Where nothing was drawn before, the depth-0 triangle shows (cyan).
    const Rgba open = ReadBackPixel(PixelColumn(-0.93f), PixelRow(0.55f));
    EXPECT_EQ(open.r, 0);
    EXPECT_EQ(open.g, 255);
}

TEST_F(DrawTest, TrianglesWithZBetweenMinusOneAndOneAreClippedAway)
{
    renderer_->SetBlendMode(BlendMode::OpaqueBilinear);
    for (float z : {0.5f, -0.5f, 0.99f}) {
        renderer_->DrawTriangle(Vertex(-0.8f, -0.8f, z), Vertex(0.8f, -0.8f, z), Vertex(0.0f, 0.8f, z));
        const Rgba got = ReadBackPixel(PixelColumn(0.0f), PixelRow(0.0f));
        EXPECT_EQ(got.r + got.g + got.b, 0) << "z " << z;
    }
    renderer_->DrawTriangle(Vertex(-0.8f, -0.8f, 1.5f), Vertex(0.8f, -0.8f, 1.5f), Vertex(0.0f, 0.8f, 1.5f));
    EXPECT_EQ(ReadBackPixel(PixelColumn(0.0f), PixelRow(0.0f)).g, 255);
}

TEST_F(DrawTest, UnitOneStaysOnAfterBothUnitsUntilTextureZeroIsBound)
{
    const TextureId red = renderer_->CreateTexture(*MakeImage(2, 2, [](int, int) { return 0xFF0000FFu; }));
    renderer_->BindTexture(white_);
    renderer_->BindSecondTexture(red);
    renderer_->SetBlendMode(BlendMode::OpaqueBothUnits);
    renderer_->DrawTriangle(Vertex(-0.8f, -0.8f, 2.0f), Vertex(0.0f, -0.8f, 2.0f), Vertex(-0.4f, 0.8f, 2.0f));
    const Rgba modulated = ReadBackPixel(PixelColumn(-0.4f), PixelRow(-0.2f));
    EXPECT_EQ(modulated.r, 255);
    EXPECT_EQ(modulated.g, 0);

    renderer_->BindSecondTexture(NoTexture);
    renderer_->DrawTriangle(Vertex(0.0f, -0.8f, 2.0f), Vertex(0.8f, -0.8f, 2.0f), Vertex(0.4f, 0.8f, 2.0f));
    const Rgba plain = ReadBackPixel(PixelColumn(0.4f), PixelRow(-0.2f));
    EXPECT_EQ(plain.r, 255);
    EXPECT_EQ(plain.g, 255);
}

}  // namespace
