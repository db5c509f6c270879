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
    EXPECT_NE(first, 0u);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(renderer_->NextTextureId, second);
    EXPECT_TRUE(glIsTexture(first));
    EXPECT_TRUE(glIsTexture(second));
}

TEST_F(TextureTest, PowerOfTwoImageIsLevelZeroExactlyWithMipmapsBelow)
{
    const std::unique_ptr<Image> image = MakeImage(8, 4, Distinct);
    const TextureId id = renderer_->CreateTexture(*image);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(id));

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
    EXPECT_EQ(bound, static_cast<GLint>(id));
    ActiveUnit(0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(TextureTest, UpdateReplacesLevelZeroWithoutAlpha)
{
    const TextureId id = renderer_->CreateTexture(*MakeImage(4, 4, Distinct));
    const std::unique_ptr<Image> update = MakeImage(4, 4, [](int x, int y) {
        return static_cast<uint32_t>((x * 60) << 24 | (y * 60) << 16 | 0x9000 | (x + y) * 10);
    });
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    renderer_->UpdateTexture(id, *update);

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(id));
    EXPECT_EQ(LevelValue(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB8);
    EXPECT_EQ(LevelValue(1, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);   // other levels stay
    const std::vector<uint8_t> level0 = LevelPixels(0, 4, 4);
    for (size_t i = 0; i < level0.size(); ++i)
        EXPECT_EQ(level0[i], i % 4 == 3 ? 255 : update->Pixels()[i]) << "byte " << i;
    EXPECT_EQ(TextureValue(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
}

}  // namespace
