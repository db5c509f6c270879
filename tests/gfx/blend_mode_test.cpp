// Every blend state and the depth switch, read back from GL.
#include "gl_fixture.h"


namespace {

// Two starting points, so that every switch a mode makes shows: the quiet one has
// everything off, the busy one everything on.
enum class Start { Quiet, Busy };

class StateTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        const std::unique_ptr<Image> image = MakeImage(4, 4, [](int, int) { return 0x808080FFu; });
        for (int unit : {0, 1}) {
            ActiveUnit(unit);
            texture_[unit] = renderer_->CreateTexture(*image);
        }
    }

    void Prepare(Start start, int activeUnit)
    {
        const bool busy = start == Start::Busy;
        for (int unit : {0, 1}) {
            ActiveUnit(unit);
            glBindTexture(GL_TEXTURE_2D, texture_[unit].name);
            if (busy) glEnable(GL_TEXTURE_2D); else glDisable(GL_TEXTURE_2D);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, busy ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, busy ? GL_LINEAR : GL_NEAREST);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, busy ? GL_BLEND : GL_DECAL);
            glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_REPLACE);
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
            if (busy) glEnable(GL_TEXTURE_GEN_S); else glDisable(GL_TEXTURE_GEN_S);
            glMatrixMode(GL_TEXTURE);
            glLoadIdentity();
            glScalef(2.0f, 3.0f, 1.0f);
            glMatrixMode(GL_MODELVIEW);
        }
        if (busy) glEnable(GL_BLEND); else glDisable(GL_BLEND);
        glBlendFunc(busy ? GL_DST_COLOR : GL_ZERO, busy ? GL_ONE_MINUS_DST_ALPHA : GL_ZERO);
        if (busy) glEnable(GL_LIGHTING); else glDisable(GL_LIGHTING);
        ActiveUnit(activeUnit);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    TextureId texture_[2] = {NoTexture, NoTexture};
};

// The state each blend state leaves, from the state before it: texturing on for the
// active unit, its filters and blending; nothing else (environments, texture generation,
// texture matrices, lighting) changes.
GLState AfterBlendMode(BlendMode mode, GLState s)
{
    if (mode == BlendMode::OpaqueBothUnits) {
        s.unit[0].texture2D = true;
        s.activeUnit = 1;
    }
    UnitState& active = s.unit[s.activeUnit];
    active.texture2D = true;
    auto blendBy = [&s](GLint source, GLint destination) {
        s.blend = true;
        s.blendSrc = source;
        s.blendDst = destination;
    };
    switch (mode) {
    case BlendMode::OpaqueBilinear:
        active.minFilter = active.magFilter = GL_LINEAR;
        s.blend = false;
        break;
    case BlendMode::OpaqueNearest:
        active.minFilter = active.magFilter = GL_NEAREST;
        s.blend = false;
        break;
    case BlendMode::OpaqueTrilinearMinFilter:
        active.minFilter = GL_LINEAR_MIPMAP_LINEAR;
        s.blend = false;
        break;
    case BlendMode::OpaqueBothUnits:
        s.blend = false;
        break;
    case BlendMode::AlphaBlendBilinear:
        active.minFilter = active.magFilter = GL_LINEAR;
        blendBy(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMode::AdditiveFiltersKept:
        blendBy(GL_ONE, GL_ONE);
        break;
    case BlendMode::AdditiveNearest:
        active.minFilter = active.magFilter = GL_NEAREST;
        blendBy(GL_ONE, GL_ONE);
        break;
    }
    return s;
}

class BlendModeTest : public StateTest, public ::testing::WithParamInterface<BlendMode> {};

TEST_P(BlendModeTest, LeavesTheStateOfItsRow)
{
    const BlendMode mode = GetParam();
    for (Start start : {Start::Quiet, Start::Busy}) {
        for (int unit : {0, 1}) {
            SCOPED_TRACE(std::string(start == Start::Quiet ? "quiet" : "busy") + ", unit " +
                         std::to_string(unit) + " active");
            Prepare(start, unit);
            const GLState before = ReadGLState();
            renderer_->SetBlendMode(mode);
            ExpectSameState(AfterBlendMode(mode, before), ReadGLState());
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, BlendModeTest,
                         ::testing::Values(BlendMode::OpaqueBilinear, BlendMode::OpaqueNearest,
                                           BlendMode::OpaqueTrilinearMinFilter, BlendMode::OpaqueBothUnits,
                                           BlendMode::AlphaBlendBilinear, BlendMode::AdditiveFiltersKept,
                                           BlendMode::AdditiveNearest));

TEST_F(StateTest, DepthTestFollowsItsSwitch)
{
    renderer_->SetDepthTest(true);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    renderer_->SetDepthTest(false);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    renderer_->SetDepthTest(false);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    renderer_->SetDepthTest(true);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

// Filters named by a state land on the active unit's texture: after OpaqueBothUnits that
// is unit 1's, and unit 0's texture keeps its own.
TEST_F(StateTest, AfterBothUnitsFiltersActOnUnitOne)
{
    Prepare(Start::Quiet, 0);
    renderer_->SetBlendMode(BlendMode::OpaqueBothUnits);
    renderer_->SetBlendMode(BlendMode::AdditiveNearest);
    const GLState s = ReadGLState();
    EXPECT_EQ(s.activeUnit, 1);
    EXPECT_EQ(s.unit[1].binding, static_cast<GLint>(texture_[1].name));
    EXPECT_EQ(s.unit[1].minFilter, GL_NEAREST);
    EXPECT_EQ(s.unit[1].magFilter, GL_NEAREST);
    EXPECT_TRUE(s.unit[0].texture2D);
    EXPECT_TRUE(s.unit[1].texture2D);
    EXPECT_EQ(s.unit[0].minFilter, GL_NEAREST_MIPMAP_NEAREST);
    EXPECT_EQ(s.unit[0].magFilter, GL_NEAREST);
}

}  // namespace
