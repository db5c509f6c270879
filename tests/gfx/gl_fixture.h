// One GL context per test program, made the way the demo makes it, and the helpers the
// render-interface tests share: a known starting state, a read-back of the GL state the
// interface touches, textures from images, vertices and pixels.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/render_interface.h"
#include "image/image.h"

// Per texture unit: enable, binding, the bound texture's filters, environment, texgen
// and whether the texture matrix is identity.
struct UnitState {
    bool texture2D = false;
    GLint binding = 0;
    GLint minFilter = 0;
    GLint magFilter = 0;
    GLint envMode = 0;
    GLint combineRgb = 0;
    bool genS = false;
    bool genT = false;
    GLint genModeS = 0;
    GLint genModeT = 0;
    bool identityMatrix = false;
};

struct GLState {
    int activeUnit = 0;
    UnitState unit[2];
    bool blend = false;
    GLint blendSrc = 0;
    GLint blendDst = 0;
    bool lighting = false;
    bool light0 = false;
    bool depthTest = false;
};

// Reads the state; leaves the active unit as it found it.
GLState ReadGLState();
// Field by field, with names in the failure messages.
void ExpectSameState(const GLState& expected, const GLState& actual);

// A 4-byte-per-pixel image laid out as the PNG loader lays it; pixel(x, y) gives its bytes.
std::unique_ptr<Image> MakeImage(int width, int height, uint32_t (*pixel)(int x, int y));

struct Rgba {
    int r, g, b, a;
};
// One pixel of the back buffer; (0, 0) is the bottom-left corner.
Rgba ReadBackPixel(int x, int y);
// Window pixel whose centre is nearest to the normalised device coordinates.
int PixelColumn(float ndcX);
int PixelRow(float ndcY);

// A draw vertex: screen position, view depth, white, opaque, the given texture coordinates.
ScreenVertex Vertex(float screenX, float screenY, float z, float u = 0, float v = 0);

// The render interface on its context, with both units, blending, lighting, texgen and
// the texture matrices put back to a plain state before each test: unit 0 active with
// texturing on, unit 1 off, both bound to texture 0 and modulating, depth test on.
class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void ActiveUnit(int unit);   // raw GL, for setting up a case

    static RenderInterface* renderer_;
};

// A picture over the whole picture area: a 16 × 16 texture of distinct texels at nearest
// filtering, then an alpha-blended coloured triangle nearer. Ends in AlphaBlend with the
// texture bound on unit 0.
void DrawTestPicture(RenderInterface* renderer);
// The pixel at column x, row y (0 the top) of a BGRA frame of the given width.
Rgba FramePixel(const std::vector<uint8_t>& bgra, int width, int x, int y);
