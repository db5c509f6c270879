// GL11RenderInterface: the render interface on OpenGL 1.1 immediate mode.
#include "gfx/gl11_render_interface.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <cstring>
#include <initializer_list>

#include "gfx/device.h"
#include "gfx/frame_target.h"
#include "image/image.h"
#include "platform/platform.h"

namespace {
// The two multitexture entry points, looked up by Initialise; null before.
PFNGLACTIVETEXTUREARBPROC ActiveTexture = nullptr;
PFNGLMULTITEXCOORD2FARBPROC MultiTexCoord2f = nullptr;
}  // namespace

// The kept picture's texture: a name CreateTexture never hands out.
constexpr GLuint KeptFrameTexture = FirstTextureIdBase;

bool GL11RenderInterface::Initialise()
{
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions && std::strstr(extensions, "GL_ARB_multitexture")) {
        ActiveTexture = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(
            PlatformGLProcAddress("glActiveTextureARB"));
        MultiTexCoord2f = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(
            PlatformGLProcAddress("glMultiTexCoord2fARB"));
    }
    if (!ActiveTexture || !MultiTexCoord2f) return false;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
    ActiveTexture(GL_TEXTURE1_ARB);
    ActiveTexture(GL_TEXTURE0_ARB);
    return true;
}

void GL11RenderInterface::SetDepthTest(bool enabled)
{
    if (enabled)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

// Bind, repeat wrapping and bilinear filters on the active unit.
static void BindForUpload(TextureId id)
{
    glBindTexture(GL_TEXTURE_2D, id.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

// OpenGL 1.1 took texture images only with sides that are powers of two; today's GL takes
// any size, which would give a level 0 that no longer matches the mipmap levels below it.
static bool SidesArePowersOfTwo(const Image& image)
{
    auto powerOfTwo = [](int n) { return n > 0 && (n & (n - 1)) == 0; };
    return powerOfTwo(image.Width()) && powerOfTwo(image.Height());
}

TextureId GL11RenderInterface::CreateTexture(const Image& image)
{
    const TextureId id{++nextTextureId_};
    BindForUpload(id);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, image.Width(), image.Height(), GL_RGBA,
                      GL_UNSIGNED_BYTE, image.Pixels());
    // Level 0 again from the image itself. For other sizes GLU scaled the image to powers
    // of two and its level 0 stays, so the mipmap chain stays complete.
    if (SidesArePowersOfTwo(image))
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.Width(), image.Height(), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image.Pixels());
    return id;
}

// One vertex of the perspective-correct submitters: (u·w, v·w, 0, w) divides back to
// (u, v) per fragment, and w = 1/z is also the depth.
static inline void EmitPerspectiveVertex(const ScreenVertex& p, float w)
{
    glColor4f(p.red, p.green, p.blue, p.alpha);
    glTexCoord4f(p.u * w, p.v * w, 0.0f, w);
    glVertex3f(p.screenX, p.screenY, w);
}

void GL11RenderInterface::DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2,
                                   const ScreenVertex& p3)
{
    const float w1 = 1.0f / p1.z, w2 = 1.0f / p2.z, w3 = 1.0f / p3.z;
    glBegin(GL_TRIANGLES);
    EmitPerspectiveVertex(p1, w1);
    EmitPerspectiveVertex(p2, w2);
    EmitPerspectiveVertex(p3, w3);
    glEnd();
}

void GL11RenderInterface::DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
                                         const ScreenVertex& p3)
{
    glBegin(GL_TRIANGLES);
    for (const ScreenVertex* p : {&p1, &p2, &p3}) {
        glColor4f(p->red, p->green, p->blue, p->alpha);
        glTexCoord2f(p->u, p->v);
        glVertex3f(p->screenX, p->screenY, 0.0f);
    }
    glEnd();
}

void GL11RenderInterface::DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                              const ScreenVertex& p3)
{
    const float w[3] = {1.0f / p1.z, 1.0f / p2.z, 1.0f / p3.z};
    const ScreenVertex* p[3] = {&p1, &p2, &p3};
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; ++i) {
        glColor4f(p[i]->red, p[i]->green, p[i]->blue, p[i]->alpha);
        MultiTexCoord2f(GL_TEXTURE0_ARB, p[i]->u, p[i]->v);
        MultiTexCoord2f(GL_TEXTURE1_ARB, p[i]->u2, p[i]->v2);
        glVertex3f(p[i]->screenX, p[i]->screenY, w[i]);
    }
    glEnd();
}

void GL11RenderInterface::DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2,
                               const ScreenVertex& p3, const ScreenVertex& p4)
{
    const float w1 = 1.0f / p1.z, w2 = 1.0f / p2.z, w3 = 1.0f / p3.z, w4 = 1.0f / p4.z;
    glBegin(GL_QUADS);
    EmitPerspectiveVertex(p1, w1);
    EmitPerspectiveVertex(p2, w2);
    EmitPerspectiveVertex(p3, w3);
    EmitPerspectiveVertex(p4, w4);
    glEnd();
}

void GL11RenderInterface::BindTexture(TextureId id)
{
    ActiveTexture(GL_TEXTURE0_ARB);
    glBindTexture(GL_TEXTURE_2D, id.name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void GL11RenderInterface::BindSecondTexture(TextureId id)
{
    ActiveTexture(GL_TEXTURE1_ARB);
    glBindTexture(GL_TEXTURE_2D, id.name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void GL11RenderInterface::ClearFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GL11RenderInterface::PresentFrame()
{
    DevicePresent();
}

void GL11RenderInterface::ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height)
{
    ReadFinishedFrameBgra(bgra, width, height);
}

static void SetFilters(GLint minFilter, GLint magFilter)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

// Blending on with the given function.
static void BlendBy(GLenum source, GLenum destination)
{
    glEnable(GL_BLEND);
    glBlendFunc(source, destination);
}

void GL11RenderInterface::SetBlendMode(BlendMode mode)
{
    if (mode == BlendMode::OpaqueBothUnits) {
        ActiveTexture(GL_TEXTURE0_ARB);
        glEnable(GL_TEXTURE_2D);
        ActiveTexture(GL_TEXTURE1_ARB);
    }
    glEnable(GL_TEXTURE_2D);
    switch (mode) {
    case BlendMode::OpaqueBilinear:
        SetFilters(GL_LINEAR, GL_LINEAR);
        glDisable(GL_BLEND);
        break;
    case BlendMode::OpaqueNearest:
        SetFilters(GL_NEAREST, GL_NEAREST);
        glDisable(GL_BLEND);
        break;
    case BlendMode::OpaqueTrilinearMinFilter:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glDisable(GL_BLEND);
        break;
    case BlendMode::OpaqueBothUnits:
        glDisable(GL_BLEND);
        break;
    case BlendMode::AlphaBlendBilinear:
        SetFilters(GL_LINEAR, GL_LINEAR);
        BlendBy(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMode::AdditiveFiltersKept:
        BlendBy(GL_ONE, GL_ONE);
        break;
    case BlendMode::AdditiveNearest:
        SetFilters(GL_NEAREST, GL_NEAREST);
        BlendBy(GL_ONE, GL_ONE);
        break;
    }
}

static int PowerOfTwoAtLeast(int n)
{
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

void GL11RenderInterface::KeepFrame()
{
    int width = 0, height = 0;
    CurrentFrameSize(&width, &height);
    const int textureWidth = PowerOfTwoAtLeast(width), textureHeight = PowerOfTwoAtLeast(height);
    keptWidth_ = keptHeight_ = 0;
    if (width <= 0 || height <= 0 || textureWidth > maxTextureSize_ || textureHeight > maxTextureSize_) return;

    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    ActiveTexture(GL_TEXTURE0_ARB);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glPushAttrib(GL_PIXEL_MODE_BIT);
    glBindTexture(GL_TEXTURE_2D, KeptFrameTexture);
    if (textureWidth != keptTextureWidth_ || textureHeight != keptTextureHeight_) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        keptTextureWidth_ = textureWidth;
        keptTextureHeight_ = textureHeight;
    }
    BeginFrameCopy();
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    EndFrameCopy();
    glPopAttrib();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    ActiveTexture(static_cast<GLenum>(active));
    keptWidth_ = width;
    keptHeight_ = height;
    glGetIntegerv(GL_VIEWPORT, keptArea_);
}

// Loads identity into the current matrix after saving it.
static void PushIdentity(GLenum mode)
{
    glMatrixMode(mode);
    glPushMatrix();
    glLoadIdentity();
}

static void PopMatrix(GLenum mode)
{
    glMatrixMode(mode);
    glPopMatrix();
}

void GL11RenderInterface::DrawKeptFrame()
{
    if (keptWidth_ <= 0) return;
    int width = 0, height = 0;
    CurrentFrameSize(&width, &height);
    const bool sameSize = width == keptWidth_ && height == keptHeight_;

    GLint active = 0, matrixMode = 0, bound[2] = {0, 0};
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    for (int unit : {1, 0}) {
        ActiveTexture(GL_TEXTURE0_ARB + unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound[unit]);
    }
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT |
                 GL_POLYGON_BIT);
    ActiveTexture(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    ActiveTexture(GL_TEXTURE0_ARB);
    PushIdentity(GL_TEXTURE);
    PushIdentity(GL_PROJECTION);
    PushIdentity(GL_MODELVIEW);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_POLYGON_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, KeptFrameTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    // The same size: the whole frame, texel centre on pixel centre. Another size: the kept
    // picture area into the frame's (the viewport as it is).
    GLint area[4] = {0, 0, keptWidth_, keptHeight_};
    if (sameSize) glViewport(0, 0, width, height);
    else std::memcpy(area, keptArea_, sizeof area);
    const float s0 = static_cast<float>(area[0]) / keptTextureWidth_;
    const float t0 = static_cast<float>(area[1]) / keptTextureHeight_;
    const float s1 = static_cast<float>(area[0] + area[2]) / keptTextureWidth_;
    const float t1 = static_cast<float>(area[1] + area[3]) / keptTextureHeight_;
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(s1, t0);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(s1, t1);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(s0, t1);
    glVertex2f(-1.0f, 1.0f);
    glEnd();

    PopMatrix(GL_MODELVIEW);
    PopMatrix(GL_PROJECTION);
    PopMatrix(GL_TEXTURE);
    glPopAttrib();
    for (int unit : {1, 0}) {
        ActiveTexture(GL_TEXTURE0_ARB + unit);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound[unit]));
    }
    ActiveTexture(static_cast<GLenum>(active));
    glMatrixMode(static_cast<GLenum>(matrixMode));
}
