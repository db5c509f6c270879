// The context the program draws on: double-buffered, with a depth buffer deep enough for
// 1/z depths, and the initial state the render interface relies on.
#include "gl_fixture.h"

#include "platform/platform.h"

namespace {

TEST_F(RenderTest, ContextIsDoubleBufferedWithAtLeast24DepthBits)
{
    PlatformGLInfo info{};
    PlatformGLContextInfo(&info);
    EXPECT_TRUE(info.doubleBuffered);
    EXPECT_GE(info.depthBits, 24);
    EXPECT_GE(info.colorBits, 24);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 24);
}

TEST_F(RenderTest, InitialStateClearsToBlackAndZeroDepthWithGreaterOrEqualTest)
{
    GLfloat clearColour[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    for (float c : clearColour) EXPECT_EQ(c, 0.0f);
    GLfloat clearDepth = 1.0f;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    EXPECT_EQ(clearDepth, 0.0f);
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_GEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_SMOOTH));
}

}  // namespace
