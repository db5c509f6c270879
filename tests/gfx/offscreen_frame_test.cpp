// Frame read-back and the kept frame on offscreen frames of other sizes than the window,
// with and without multisampling, and a kept frame drawn back after the size changed.
// A program of its own: offscreen frames, once used, stay in use.
#include "gl_fixture.h"

#include <string>

#include "gfx/frame_target.h"

namespace {

class OffscreenFrameTest : public RenderTest {
protected:
    void UseFrames(int width, int height, int samples)
    {
        std::string error;
        ASSERT_TRUE(UseOffscreenFrames(width, height, samples, &error)) << error;
    }
    void Read(std::vector<uint8_t>* bgra)
    {
        renderer_->ReadFrame(bgra, &width_, &height_);
    }
    int width_ = 0, height_ = 0;
};

TEST_F(OffscreenFrameTest, ReadFrameHasTheFramesSizeTopRowFirst)
{
    UseFrames(1000, 562, 0);
    renderer_->ClearFrame();
    renderer_->SetBlendMode(BlendMode::OpaqueNearest);
    renderer_->BindTexture(NoTexture);
    // The upper half of the picture white: 749 × 562 centred, so columns 125..873.
    renderer_->DrawQuad(Vertex(-1, 0, 1), Vertex(1, 0, 1), Vertex(1, 1, 1), Vertex(-1, 1, 1));
    std::vector<uint8_t> bgra;
    Read(&bgra);
    ASSERT_EQ(width_, 1000);
    ASSERT_EQ(height_, 562);
    ASSERT_EQ(bgra.size(), size_t{1000 * 562 * 4});
    EXPECT_EQ(FramePixel(bgra, 1000, 500, 0).r, 255);        // top row, inside the picture
    EXPECT_EQ(FramePixel(bgra, 1000, 500, 280).g, 255);
    EXPECT_EQ(FramePixel(bgra, 1000, 500, 281).g, 0);        // lower half: black
    EXPECT_EQ(FramePixel(bgra, 1000, 500, 561).b, 0);
    EXPECT_EQ(FramePixel(bgra, 1000, 124, 0).r, 0);          // the bars
    EXPECT_EQ(FramePixel(bgra, 1000, 125, 0).r, 255);
    EXPECT_EQ(FramePixel(bgra, 1000, 873, 0).r, 255);
    EXPECT_EQ(FramePixel(bgra, 1000, 874, 0).r, 0);
    renderer_->PresentFrame();
}

TEST_F(OffscreenFrameTest, KeptFrameComesBackByteForByteAtOtherSizesAndSamples)
{
    for (int samples : {0, 4}) {
        SCOPED_TRACE(samples);
        UseFrames(1000, 562, samples);
        DrawTestPicture(renderer_);
        std::vector<uint8_t> drawn, back;
        Read(&drawn);
        renderer_->KeepFrame();
        renderer_->ClearFrame();
        renderer_->DrawKeptFrame();
        Read(&back);
        EXPECT_EQ(width_, 1000);
        EXPECT_TRUE(back == drawn);
        renderer_->PresentFrame();
        // Presented, kept frames stay: a later frame shows it again.
        renderer_->ClearFrame();
        renderer_->DrawKeptFrame();
        Read(&back);
        EXPECT_TRUE(back == drawn);
        renderer_->PresentFrame();
    }
}

TEST_F(OffscreenFrameTest, KeptFrameFillsThePictureAreaOfAFrameOfAnotherSize)
{
    UseFrames(800, 600, 0);
    DrawTestPicture(renderer_);
    std::vector<uint8_t> kept, back;
    Read(&kept);
    renderer_->KeepFrame();
    renderer_->PresentFrame();

    UseFrames(500, 300, 0);   // picture area 400 × 300 from column 50: half the kept size
    renderer_->ClearFrame();
    renderer_->DrawKeptFrame();
    Read(&back);
    ASSERT_EQ(width_, 500);
    int mismatches = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            // Nearest of the kept 2 × 2 pixels that the pixel covers.
            const Rgba got = FramePixel(back, 500, 50 + x, y);
            bool found = false;
            for (int dy = 0; dy < 2 && !found; ++dy)
                for (int dx = 0; dx < 2 && !found; ++dx) {
                    const Rgba k = FramePixel(kept, 800, 2 * x + dx, 2 * y + dy);
                    found = k.r == got.r && k.g == got.g && k.b == got.b;
                }
            if (!found) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(FramePixel(back, 500, 49, 150).r, 0);   // the bars stay black
    EXPECT_EQ(FramePixel(back, 500, 450, 150).g, 0);
    renderer_->PresentFrame();
}

}  // namespace
