// Texture creation and update, read back from GL.
#include "gl_fixture.h"

#include <cstring>

namespace {

using TextureTest = RenderTest;

uint32_t Distinct(int x, int y)
{
    return static_cast<uint32_t>((x * 31 + 7) << 24 | (y * 47 + 3) << 16 | (x * y * 13) << 8 | (x + y * 8) * 5);
}

std::vector<uint8_t> LevelPixels(int level, int width, int height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0xEE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

GLint LevelValue(int level, GLenum name)
{
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

GLint TextureValue(GLenum name)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

TEST_F(TextureTest, TexturesInARowGetConsecutiveNonZeroIds)
{
    const std::unique_ptr<Image> image = MakeImage(2, 2, Distinct);
    const TextureId first = renderer_->CreateTexture(*image);
    const TextureId second = renderer_->CreateTexture(*image);
    EXPECT_GT(first.name, FirstTextureIdBase);
    EXPECT_EQ(second.name, first.name + 1);
    EXPECT_TRUE(glIsTexture(first.name));
    EXPECT_TRUE(glIsTexture(second.name));
}

TEST_F(TextureTest, PowerOfTwoImageIsLevelZeroExactlyWithMipmapsBelow)
{
    const std::unique_ptr<Image> image = MakeImage(8, 4, Distinct);
    const TextureId id = renderer_->CreateTexture(*image);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(id.name));

    EXPECT_EQ(LevelValue(0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(LevelValue(0, GL_TEXTURE_HEIGHT), 4);
    EXPECT_EQ(LevelValue(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    const std::vector<uint8_t> level0 = LevelPixels(0, 8, 4);
    EXPECT_EQ(0, std::memcmp(level0.data(), image->Pixels(), level0.size()));
    EXPECT_EQ(LevelValue(1, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(LevelValue(3, GL_TEXTURE_WIDTH), 1);

    EXPECT_EQ(TextureValue(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TextureValue(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(TextureValue(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureValue(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

TEST_F(TextureTest, CreationActsOnTheActiveUnit)
{
    ActiveUnit(1);
    const TextureId id = renderer_->CreateTexture(*MakeImage(2, 2, Distinct));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(id.name));
    ActiveUnit(0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

// An amber picture of 96 × 80 texels: sides that are not powers of two.
uint32_t Amber(int, int) { return 0xE0902000u; }

TEST_F(TextureTest, OddSizedPictureKeepsACompleteMipmapChain)
{
    renderer_->CreateTexture(*MakeImage(96, 80, Amber));
    const GLint width = LevelValue(0, GL_TEXTURE_WIDTH), height = LevelValue(0, GL_TEXTURE_HEIGHT);
    // GLU's scaled level 0 stays: powers of two, and level 1 half of it.
    EXPECT_EQ(width & (width - 1), 0) << width;
    EXPECT_EQ(height & (height - 1), 0) << height;
    EXPECT_EQ(LevelValue(1, GL_TEXTURE_WIDTH), width / 2);
    EXPECT_EQ(LevelValue(1, GL_TEXTURE_HEIGHT), height / 2);
    EXPECT_EQ(LevelValue(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
}

// The picture drawn over most of the screen after the given blend states: amber, never the plain
// white of an incomplete texture.
class OddSizedPictureDraw : public RenderTest, public ::testing::WithParamInterface<std::vector<BlendMode>> {};

TEST_P(OddSizedPictureDraw, ShowsThePictureUnderAMipmappingFilter)
{
    const TextureId id = renderer_->CreateTexture(*MakeImage(96, 80, Amber));
    renderer_->BindTexture(id);
    renderer_->SetDepthTest(false);
    for (BlendMode mode : GetParam()) renderer_->SetBlendMode(mode);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    renderer_->ClearFrame();
    // Large and small: magnified on screen, and minified into a corner.
    const ScreenVertex big[4] = {Vertex(-0.9f, -0.9f, 1, 0, 0), Vertex(0.5f, -0.9f, 1, 1, 0),
                                 Vertex(0.5f, 0.5f, 1, 1, 1), Vertex(-0.9f, 0.5f, 1, 0, 1)};
    renderer_->DrawQuad(big[0], big[1], big[2], big[3]);
    const ScreenVertex small[4] = {Vertex(0.7f, 0.7f, 1, 0, 0), Vertex(0.8f, 0.7f, 1, 1, 0),
                                   Vertex(0.8f, 0.8f, 1, 1, 1), Vertex(0.7f, 0.8f, 1, 0, 1)};
    renderer_->DrawQuad(small[0], small[1], small[2], small[3]);
    for (float at : {-0.2f, 0.75f}) {
        const Rgba p = ReadBackPixel(PixelColumn(at), PixelRow(at));
        EXPECT_NEAR(p.r, 0xE0, 2) << at;
        EXPECT_NEAR(p.g, 0x90, 2) << at;
        EXPECT_NEAR(p.b, 0x20, 2) << at;
    }
    renderer_->PresentFrame();
}

// OpaqueTrilinearMinFilter sets the mipmapping filter; the state that leaves filters alone keeps it.
INSTANTIATE_TEST_SUITE_P(
    EveryModeDrawingWithMipmaps, OddSizedPictureDraw,
    ::testing::Values(std::vector<BlendMode>{BlendMode::OpaqueTrilinearMinFilter},
                      std::vector<BlendMode>{BlendMode::OpaqueTrilinearMinFilter, BlendMode::AdditiveFiltersKept}));

}  // namespace
