// Frame read-back and the kept frame in the window: byte-identical pictures, and every
// state the other operations accumulate left as it was.
#include "gl_fixture.h"

#include <cstring>

#include "gfx/gl11_render_interface.h"

namespace {

using KeptFrameTest = RenderTest;

// The GL state beside GLState that the kept frame touches on its way.
struct Frame {
    GLint viewport[4];
    GLint matrixMode;
    GLfloat projection[16], modelview[16];
};

Frame ReadFrameState()
{
    Frame f;
    glGetIntegerv(GL_VIEWPORT, f.viewport);
    glGetIntegerv(GL_MATRIX_MODE, &f.matrixMode);
    glGetFloatv(GL_PROJECTION_MATRIX, f.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, f.modelview);
    return f;
}

// Unit 1 textured with coordinates of its own, to be drawn in `mode` after the picture.
void DrawSecondLayer(RenderInterface* renderer, BlendMode mode)
{
    renderer->BindSecondTexture(renderer->CreateTexture(*MakeImage(4, 4, [](int x, int y) {
        return static_cast<uint32_t>((x * 60) << 24 | (y * 60) << 16 | 0x80 << 8 | (x + y) * 30);
    })));
    renderer->SetBlendMode(mode);
    ScreenVertex p[3] = {Vertex(-0.6f, -0.9f, 0.5f, 0.1f, 0.1f), Vertex(0.9f, 0.2f, 0.5f, 0.8f, 0.3f),
                         Vertex(-0.4f, 0.6f, 0.5f, 0.4f, 0.9f)};
    for (ScreenVertex& v : p) {
        v.u2 = v.u * 2;
        v.v2 = v.v * 3;
        v.alpha = 0.7f;
    }
    renderer->DrawTriangleDualTexture(p[0], p[1], p[2]);
    renderer->DrawTriangle(p[2], p[1], Vertex(0.95f, 0.95f, 0.4f, 0.3f, 0.6f));
}

TEST_F(KeptFrameTest, ReadFrameIsTheWholeWindowTopRowFirst)
{
    DrawTestPicture(renderer_);
    std::vector<uint8_t> bgra;
    int width = 0, height = 0;
    renderer_->ReadFrame(&bgra, &width, &height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    ASSERT_EQ(bgra.size(), size_t{640 * 480 * 4});
    for (auto [x, y] : {std::pair{0, 0}, {639, 0}, {17, 400}, {320, 240}, {639, 479}}) {
        const Rgba expected = ReadBackPixel(x, 479 - y);
        const Rgba actual = FramePixel(bgra, width, x, y);
        EXPECT_EQ(actual.r, expected.r) << x << "," << y;
        EXPECT_EQ(actual.g, expected.g) << x << "," << y;
        EXPECT_EQ(actual.b, expected.b) << x << "," << y;
    }
    renderer_->PresentFrame();
}

TEST_F(KeptFrameTest, KeptClearedAndDrawnBackIsTheSameFrameByteForByte)
{
    DrawTestPicture(renderer_);
    std::vector<uint8_t> drawn, back, cleared;
    int width = 0, height = 0;
    renderer_->ReadFrame(&drawn, &width, &height);
    renderer_->KeepFrame();
    renderer_->ClearFrame();
    renderer_->ReadFrame(&cleared, &width, &height);
    ASSERT_NE(cleared, drawn);   // the picture is not black
    renderer_->DrawKeptFrame();
    renderer_->ReadFrame(&back, &width, &height);
    EXPECT_TRUE(back == drawn);
    renderer_->PresentFrame();
}

TEST_F(KeptFrameTest, KeepingAndDrawingBackLeavesEveryStateAsItWas)
{
    for (BlendMode mode : {BlendMode::OpaqueBilinear, BlendMode::OpaqueNearest, BlendMode::OpaqueTrilinearMinFilter,
                           BlendMode::OpaqueBothUnits, BlendMode::AlphaBlendBilinear, BlendMode::AdditiveFiltersKept,
                           BlendMode::AdditiveNearest}) {
        SCOPED_TRACE(static_cast<int>(mode));
        SetUp();
        DrawTestPicture(renderer_);
        DrawSecondLayer(renderer_, mode);
        renderer_->SetDepthTest(mode != BlendMode::OpaqueNearest);
        const GLState state = ReadGLState();
        const Frame frame = ReadFrameState();
        renderer_->KeepFrame();
        ExpectSameState(state, ReadGLState());
        renderer_->DrawKeptFrame();
        ExpectSameState(state, ReadGLState());
        const Frame after = ReadFrameState();
        EXPECT_EQ(std::memcmp(&frame, &after, sizeof frame), 0) << "viewport, matrix mode or matrices";
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        renderer_->PresentFrame();
    }
}

TEST_F(KeptFrameTest, DrawingGoesOnAfterTheKeptFrameAsWithoutIt)
{
    for (BlendMode mode : {BlendMode::AdditiveFiltersKept, BlendMode::OpaqueBothUnits, BlendMode::AlphaBlendBilinear}) {
        SCOPED_TRACE(static_cast<int>(mode));
        std::vector<uint8_t> without, with;
        int width = 0, height = 0;
        SetUp();
        DrawTestPicture(renderer_);
        DrawSecondLayer(renderer_, mode);
        renderer_->ReadFrame(&without, &width, &height);
        renderer_->PresentFrame();

        SetUp();
        DrawTestPicture(renderer_);
        renderer_->KeepFrame();
        renderer_->DrawKeptFrame();
        DrawSecondLayer(renderer_, mode);
        renderer_->ReadFrame(&with, &width, &height);
        renderer_->PresentFrame();
        EXPECT_TRUE(with == without);
    }
}

TEST_F(KeptFrameTest, NothingKeptDrawsNothing)
{
    DrawTestPicture(renderer_);
    std::vector<uint8_t> before, after;
    int width = 0, height = 0;
    renderer_->ReadFrame(&before, &width, &height);
    GL11RenderInterface fresh;   // has kept nothing
    fresh.DrawKeptFrame();
    renderer_->ReadFrame(&after, &width, &height);
    EXPECT_TRUE(before == after);
    renderer_->PresentFrame();
}

}  // namespace
