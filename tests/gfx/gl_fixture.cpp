#include "gl_fixture.h"

#include <dlfcn.h>
#include <link.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "shell/report.h"
#include "shell/window.h"
#include "gfx/device.h"
#include "platform/platform.h"

// The GL driver is loaded with the context and unloaded at exit, before the leak check:
// what its globals held would then be reported as leaks from an unknown module, which no
// suppression can name. Pinned, the driver keeps its globals and so its allocations.
static int PinDriverLibrary(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium") || std::strstr(name, "libLLVM")))
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

RenderInterface* RenderTest::renderer_ = nullptr;

namespace {

std::unique_ptr<RenderInterface> TestDevice;
PFNGLACTIVETEXTUREARBPROC ActiveTexture = nullptr;   // looked up once the context exists

// Releases the interface, the device, the context and the window once every test has
// run, so that the leak check at exit sees nothing the tests made.
class ContextRelease : public ::testing::Environment {
public:
    void TearDown() override
    {
        TestDevice.reset();
        CloseDevice();
        PlatformDestroyWindow();
    }
};

::testing::Environment* const Release = ::testing::AddGlobalTestEnvironment(new ContextRelease);

}  // namespace

void RenderTest::SetUpTestSuite()
{
    if (renderer_) return;   // one window and context for the whole program
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "these tests draw on an X display: set DISPLAY";
    DialogsEnabled = false;
    MainWindowOptions options;
    options.desktopWindow = true;
    options.hidden = false;
    ASSERT_TRUE(CreateMainWindow(options));
    DeviceRequest request;
    request.display = DisplayUse::Window;
    DeviceResult result;
    std::string failure;
    TestDevice = OpenDevice(request, &result, &failure);
    ASSERT_NE(TestDevice, nullptr) << failure;
    dl_iterate_phdr(PinDriverLibrary, nullptr);
    ActiveTexture = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(PlatformGLProcAddress("glActiveTextureARB"));
    renderer_ = TestDevice.get();
}

void RenderTest::ActiveUnit(int unit)
{
    ActiveTexture(GL_TEXTURE0_ARB + unit);
}

void RenderTest::SetUp()
{
    ASSERT_NE(renderer_, nullptr);
    for (int unit : {1, 0}) {
        ActiveUnit(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        if (unit == 0) glEnable(GL_TEXTURE_2D); else glDisable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_MODULATE);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

bool Enabled(GLenum capability)
{
    return glIsEnabled(capability) == GL_TRUE;
}

GLint Integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

UnitState ReadUnit()
{
    UnitState u;
    u.texture2D = Enabled(GL_TEXTURE_2D);
    u.binding = Integer(GL_TEXTURE_BINDING_2D);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &u.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &u.magFilter);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &u.envMode);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, &u.combineRgb);
    u.genS = Enabled(GL_TEXTURE_GEN_S);
    u.genT = Enabled(GL_TEXTURE_GEN_T);
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &u.genModeS);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &u.genModeT);
    GLfloat m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    u.identityMatrix = true;
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) u.identityMatrix = false;
    return u;
}

}  // namespace

GLState ReadGLState()
{
    GLState s;
    s.activeUnit = Integer(GL_ACTIVE_TEXTURE_ARB) - GL_TEXTURE0_ARB;
    for (int unit = 0; unit < 2; ++unit) {
        ActiveTexture(GL_TEXTURE0_ARB + unit);
        s.unit[unit] = ReadUnit();
    }
    ActiveTexture(GL_TEXTURE0_ARB + s.activeUnit);
    s.blend = Enabled(GL_BLEND);
    s.blendSrc = Integer(GL_BLEND_SRC);
    s.blendDst = Integer(GL_BLEND_DST);
    s.lighting = Enabled(GL_LIGHTING);
    s.light0 = Enabled(GL_LIGHT0);
    s.depthTest = Enabled(GL_DEPTH_TEST);
    return s;
}

void ExpectSameState(const GLState& expected, const GLState& actual)
{
    EXPECT_EQ(expected.activeUnit, actual.activeUnit) << "active unit";
    for (int i = 0; i < 2; ++i) {
        const UnitState& e = expected.unit[i];
        const UnitState& a = actual.unit[i];
        SCOPED_TRACE("unit " + std::to_string(i));
        EXPECT_EQ(e.texture2D, a.texture2D) << "GL_TEXTURE_2D";
        EXPECT_EQ(e.binding, a.binding) << "binding";
        EXPECT_EQ(e.minFilter, a.minFilter) << "min filter";
        EXPECT_EQ(e.magFilter, a.magFilter) << "mag filter";
        EXPECT_EQ(e.envMode, a.envMode) << "env mode";
        EXPECT_EQ(e.combineRgb, a.combineRgb) << "combine rgb";
        EXPECT_EQ(e.genS, a.genS) << "GL_TEXTURE_GEN_S";
        EXPECT_EQ(e.genT, a.genT) << "GL_TEXTURE_GEN_T";
        EXPECT_EQ(e.genModeS, a.genModeS) << "gen mode S";
        EXPECT_EQ(e.genModeT, a.genModeT) << "gen mode T";
        EXPECT_EQ(e.identityMatrix, a.identityMatrix) << "texture matrix identity";
    }
    EXPECT_EQ(expected.blend, actual.blend) << "GL_BLEND";
    EXPECT_EQ(expected.blendSrc, actual.blendSrc) << "blend source";
    EXPECT_EQ(expected.blendDst, actual.blendDst) << "blend destination";
    EXPECT_EQ(expected.lighting, actual.lighting) << "GL_LIGHTING";
    EXPECT_EQ(expected.light0, actual.light0) << "GL_LIGHT0";
    EXPECT_EQ(expected.depthTest, actual.depthTest) << "GL_DEPTH_TEST";
}

std::unique_ptr<Image> MakeImage(int width, int height, uint32_t (*pixel)(int x, int y))
{
    std::unique_ptr<Image> image(new Image(width, height, &FormatXRGB8888, width * 4));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixel(x, y);   // 0xRRGGBBAA
            uint8_t* out = image->Pixels() + static_cast<size_t>(y) * width * 4 + 4 * x;
            out[0] = static_cast<uint8_t>(p >> 24);
            out[1] = static_cast<uint8_t>(p >> 16);
            out[2] = static_cast<uint8_t>(p >> 8);
            out[3] = static_cast<uint8_t>(p);
        }
    }
    return image;
}

Rgba ReadBackPixel(int x, int y)
{
    uint8_t p[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

int PixelColumn(float ndcX)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[0] + static_cast<int>(std::floor((ndcX + 1.0f) * 0.5f * viewport[2]));
}

int PixelRow(float ndcY)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[1] + static_cast<int>(std::floor((ndcY + 1.0f) * 0.5f * viewport[3]));
}

ScreenVertex Vertex(float screenX, float screenY, float z, float u, float v)
{
    ScreenVertex p{};
    p.z = z;
    p.screenX = screenX;
    p.screenY = screenY;
    p.red = p.green = p.blue = p.alpha = 1.0f;
    p.u = u;
    p.v = v;
    return p;
}

void DrawTestPicture(RenderInterface* renderer)
{
    renderer->ClearFrame();
    renderer->SetDepthTest(true);
    renderer->BindTexture(renderer->CreateTexture(*MakeImage(16, 16, [](int x, int y) {
        return static_cast<uint32_t>((x * 16 + 5) << 24 | (y * 16 + 9) << 16 | ((x ^ y) * 15) << 8 | 0xFF);
    })));
    renderer->SetBlendMode(BlendMode::OpaqueNearest);
    renderer->DrawQuad(Vertex(-1, -1, 2, 0, 1), Vertex(1, -1, 2, 1, 1), Vertex(1, 1, 2, 1, 0), Vertex(-1, 1, 2, 0, 0));
    renderer->SetBlendMode(BlendMode::AlphaBlendBilinear);
    ScreenVertex p[3] = {Vertex(-0.9f, -0.8f, 1, 0.1f, 0.2f), Vertex(0.7f, -0.3f, 1, 0.9f, 0.4f),
                         Vertex(-0.2f, 0.9f, 1, 0.5f, 0.95f)};
    p[0].green = 0.2f;
    p[1].blue = 0.1f;
    p[2].red = 0.3f;
    for (ScreenVertex& v : p) v.alpha = 0.6f;
    renderer->DrawTriangle(p[0], p[1], p[2]);
}

Rgba FramePixel(const std::vector<uint8_t>& bgra, int width, int x, int y)
{
    const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
    return {p[2], p[1], p[0], p[3]};
}
