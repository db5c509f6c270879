// The screen-space picture quad on a real context: where it lands, and which part of
// its texture shows when it is cut at the screen edge.
#include "gl_fixture.h"

#include "fx/screen_quad.h"

namespace {

// Texel (x, y) of a 256 × 256 picture holds red = x, green = y (0xRRGGBBAA): a pixel
// tells which texel it shows.
uint32_t TexelCoordinates(int x, int y)
{
    return static_cast<uint32_t>(x) << 24 | static_cast<uint32_t>(y) << 16 | 0xFFu;
}

class ScreenQuadDraw : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        picture_ = renderer_->CreateTexture(*MakeImage(256, 256, TexelCoordinates));
        renderer_->SetDepthTest(false);
        renderer_->ClearFrame();
        renderer_->BindTexture(picture_);
        renderer_->SetBlendMode(BlendMode::OpaqueNearest);   // nearest texels: each pixel shows exactly one
    }
    void TearDown() override { renderer_->PresentFrame(); }

    // Pixel (x, y) counted from the top-left corner of the 640 × 480 window.
    static Rgba Pixel(int x, int y) { return ReadBackPixel(x, 479 - y); }

    TextureId picture_ = NoTexture;
    ScreenVertex block_[4] = {};
};

TEST_F(ScreenQuadDraw, LoadingLayoutCoversPixelsOneTo255WithTheWholePicture)
{
    DrawScreenQuad(*renderer_, block_, 0, 0, 255, 255, 1, 1, 2, 2, 1.0f);
    // Covered from 0.75 to 255.75: pixel centres 1 .. 255 lie inside, 0 and 256 outside.
    EXPECT_EQ(Pixel(0, 100).r + Pixel(0, 100).g, 0);
    EXPECT_EQ(Pixel(100, 0).r + Pixel(100, 0).g, 0);
    EXPECT_EQ(Pixel(256, 100).r + Pixel(256, 100).g, 0);
    EXPECT_EQ(Pixel(100, 256).r + Pixel(100, 256).g, 0);
    // Pixel p shows texel floor((p + 0.5 - 0.75) / 255 × 256).
    for (int p : {1, 2, 64, 128, 200, 254, 255}) {
        const int texel = static_cast<int>((p + 0.5 - 0.75) / 255.0 * 256.0);
        EXPECT_NEAR(Pixel(p, 128).r, texel, 1) << p;
        EXPECT_NEAR(Pixel(128, p).g, texel, 1) << p;
    }
}

TEST_F(ScreenQuadDraw, StartingLeftOfTheScreenShowsTheRightPartOfThePicture)
{
    // From about 99.9 pixels left of the screen, 255 pixels wide: the picture's left 39 %
    // is off screen, so the screen's left edge shows texel column 100.
    DrawScreenQuad(*renderer_, block_, 0, 0, 255, 255, -200, 1, 2, 2, 1.0f);
    EXPECT_NEAR(Pixel(0, 128).r, 100, 1);
    EXPECT_NEAR(Pixel(100, 128).r, 200, 1);
    EXPECT_NEAR(Pixel(154, 128).r, 255, 1);
    EXPECT_EQ(Pixel(157, 128).r + Pixel(157, 128).g, 0);   // past the rectangle's right edge
    EXPECT_NEAR(Pixel(50, 10).g, 10, 1);                    // rows unchanged by the cut
}

TEST_F(ScreenQuadDraw, WhollyRightOfTheScreenLeavesItBlack)
{
    DrawScreenQuad(*renderer_, block_, 0, 0, 255, 255, 1300, 1, 2, 2, 1.0f);
    for (int x : {0, 320, 639})
        for (int y : {0, 240, 479}) EXPECT_EQ(Pixel(x, y).r + Pixel(x, y).g + Pixel(x, y).b, 0);
}

}  // namespace
