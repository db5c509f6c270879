// Every blend mode, render state and reserved operation, read back from GL.
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

// The state each mode leaves, from the state before it.
GLState AfterBlendMode(int mode, GLState s)
{
    UnitState& active = s.unit[s.activeUnit];
    switch (mode) {
    case 2:
        active.texture2D = true;
        active.minFilter = active.magFilter = GL_LINEAR;
        s.blend = false;
        active.identityMatrix = true;
        break;
    case 3:
        active.texture2D = true;
        s.blend = true;
        s.blendSrc = s.blendDst = GL_ONE;
        break;
    case 6:
        active.texture2D = true;
        s.blend = true;
        s.blendSrc = GL_ONE_MINUS_SRC_ALPHA;
        s.blendDst = GL_SRC_COLOR;
        active.identityMatrix = true;
        break;
    case 9:
        active.texture2D = true;
        s.blend = true;
        s.blendSrc = s.blendDst = GL_ONE;
        active.identityMatrix = true;
        break;
    case 10:
        active.minFilter = active.magFilter = GL_LINEAR;
        active.texture2D = true;
        s.blend = true;
        s.blendSrc = GL_SRC_ALPHA;
        s.blendDst = GL_ONE_MINUS_SRC_ALPHA;
        active.identityMatrix = true;
        break;
    case 15:
    case 17:
        for (UnitState& unit : s.unit) {
            unit.texture2D = true;
            unit.identityMatrix = true;
        }
        s.blend = true;
        s.blendSrc = GL_SRC_ALPHA;
        s.blendDst = GL_ONE_MINUS_SRC_ALPHA;
        s.activeUnit = 1;
        break;
    case 16:
        s.blend = true;
        s.blendSrc = GL_SRC_ALPHA;
        s.blendDst = GL_ONE;
        s.lighting = s.light0 = true;
        s.unit[0].envMode = GL_MODULATE;
        s.unit[0].texture2D = true;
        s.unit[1].texture2D = true;
        s.unit[1].envMode = GL_COMBINE_ARB;
        s.unit[1].combineRgb = GL_ADD;
        s.unit[1].genModeS = s.unit[1].genModeT = GL_SPHERE_MAP;
        s.unit[1].genS = s.unit[1].genT = true;
        s.activeUnit = 1;
        break;
    case 20:
        active.minFilter = GL_LINEAR_MIPMAP_LINEAR;
        active.texture2D = true;
        s.blend = false;
        active.identityMatrix = true;
        break;
    case 64:
        active.texture2D = true;
        active.minFilter = active.magFilter = GL_NEAREST;
        s.blend = false;
        active.identityMatrix = true;
        break;
    default:
        break;
    }
    return s;
}

class BlendModeTest : public StateTest, public ::testing::WithParamInterface<int> {};

TEST_P(BlendModeTest, LeavesTheStateOfItsRow)
{
    const int mode = GetParam();
    for (Start start : {Start::Quiet, Start::Busy}) {
        for (int unit : {0, 1}) {
            SCOPED_TRACE(std::string(start == Start::Quiet ? "quiet" : "busy") + ", unit " +
                         std::to_string(unit) + " active");
            Prepare(start, unit);
            const GLState before = ReadGLState();
            renderer_->SetBlendMode(static_cast<BlendMode>(mode));
            ExpectSameState(AfterBlendMode(mode, before), ReadGLState());
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, BlendModeTest, ::testing::Values(2, 3, 6, 9, 10, 15, 16, 17, 20, 64));

TEST_F(StateTest, NumbersWithoutAModeChangeNothing)
{
    for (Start start : {Start::Quiet, Start::Busy}) {
        Prepare(start, start == Start::Busy ? 1 : 0);
        const GLState before = ReadGLState();
        for (int mode : {0, 4, 100, 1, 65, -2, 5, 63}) renderer_->SetBlendMode(static_cast<BlendMode>(mode));
        ExpectSameState(before, ReadGLState());
    }
}

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

TEST(BlendModeNumbers, AreTheFixedOnes)
{
    EXPECT_EQ(static_cast<int>(BlendMode::OpaqueBilinear), 2);
    EXPECT_EQ(static_cast<int>(BlendMode::AdditiveKeepingTextureMatrix), 3);
    EXPECT_EQ(static_cast<int>(BlendMode::MultiplyDestination), 6);
    EXPECT_EQ(static_cast<int>(BlendMode::Additive), 9);
    EXPECT_EQ(static_cast<int>(BlendMode::AlphaBlend), 10);
    EXPECT_EQ(static_cast<int>(BlendMode::DualTextureAlphaBlend), 15);
    EXPECT_EQ(static_cast<int>(BlendMode::LitSphereMapAdded), 16);
    EXPECT_EQ(static_cast<int>(BlendMode::DualTextureAlphaBlendToo), 17);
    EXPECT_EQ(static_cast<int>(BlendMode::OpaqueTrilinear), 20);
    EXPECT_EQ(static_cast<int>(BlendMode::OpaqueNearest), 64);
}

TEST_F(StateTest, AfterModeFifteenModeTwoActsOnUnitOne)
{
    Prepare(Start::Quiet, 0);
    renderer_->SetBlendMode(BlendMode::DualTextureAlphaBlend);
    renderer_->SetBlendMode(BlendMode::OpaqueBilinear);
    const GLState s = ReadGLState();
    EXPECT_EQ(s.activeUnit, 1);
    EXPECT_EQ(s.unit[1].binding, static_cast<GLint>(texture_[1].name));
    EXPECT_EQ(s.unit[1].minFilter, GL_LINEAR);
    EXPECT_EQ(s.unit[1].magFilter, GL_LINEAR);
    EXPECT_TRUE(s.unit[1].texture2D);
    EXPECT_EQ(s.unit[0].minFilter, GL_NEAREST_MIPMAP_NEAREST);
    EXPECT_EQ(s.unit[0].magFilter, GL_NEAREST);
}

}  // namespace
