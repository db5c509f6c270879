#include "gfx/render_interface.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

#include "gfx/device.h"
#include "gfx/gl_extensions.h"
#include "image/image.h"

RenderInterface* Renderer = nullptr;

namespace glext {
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
}

RenderInterface::RenderInterface() : NextTextureId(FirstTextureIdBase) {}

void RenderInterface::SetDepthTest(bool enabled)
{
    if (enabled)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

// Bind, repeat wrapping and bilinear filters on the active unit (steps shared by
// texture creation and update).
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

void RenderInterface::UpdateTexture(TextureId id, const Image& image)
{
    BindForUpload(id);
    // A size GL 1.1 would refuse leaves the texture as it was, as it did there.
    if (!SidesArePowersOfTwo(image)) return;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, image.Width(), image.Height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.Pixels());
}

TextureId RenderInterface::CreateTexture(const Image& image)
{
    NextTextureId = NextTextureId + 1;
    const TextureId id{NextTextureId};
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

void RenderInterface::DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2,
                                   const ScreenVertex& p3)
{
    const float w1 = 1.0f / p1.z, w2 = 1.0f / p2.z, w3 = 1.0f / p3.z;
    glBegin(GL_TRIANGLES);
    EmitPerspectiveVertex(p1, w1);
    EmitPerspectiveVertex(p2, w2);
    EmitPerspectiveVertex(p3, w3);
    glEnd();
}

void RenderInterface::DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
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

void RenderInterface::DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                              const ScreenVertex& p3)
{
    const float w[3] = {1.0f / p1.z, 1.0f / p2.z, 1.0f / p3.z};
    const ScreenVertex* p[3] = {&p1, &p2, &p3};
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; ++i) {
        glColor4f(p[i]->red, p[i]->green, p[i]->blue, p[i]->alpha);
        glext::glMultiTexCoord2fARB(GL_TEXTURE0_ARB, p[i]->u, p[i]->v);
        glext::glMultiTexCoord2fARB(GL_TEXTURE1_ARB, p[i]->u2, p[i]->v2);
        glVertex3f(p[i]->screenX, p[i]->screenY, w[i]);
    }
    glEnd();
}

void RenderInterface::DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2,
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

void RenderInterface::BindTexture(TextureId id)
{
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    glBindTexture(GL_TEXTURE_2D, id.name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void RenderInterface::BindSecondTexture(TextureId id)
{
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    glBindTexture(GL_TEXTURE_2D, id.name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void RenderInterface::ClearFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderInterface::PresentFrame()
{
    DevicePresent();
}

static void ResetTextureMatrix()
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

static void SetFilters(GLint minFilter, GLint magFilter)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

// Texturing plus alpha blending on the active unit (one pass of modes 15 and 17).
static void EnableAlphaBlendedUnit()
{
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    ResetTextureMatrix();
}

void RenderInterface::SetBlendMode(BlendMode mode)
{
    switch (mode) {
    case BlendMode::OpaqueBilinear:
        glEnable(GL_TEXTURE_2D);
        SetFilters(GL_LINEAR, GL_LINEAR);
        glDisable(GL_BLEND);
        ResetTextureMatrix();
        break;
    case BlendMode::AdditiveKeepingTextureMatrix:
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        break;
    case BlendMode::MultiplyDestination:
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_COLOR);
        ResetTextureMatrix();
        break;
    case BlendMode::Additive:
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        ResetTextureMatrix();
        break;
    case BlendMode::AlphaBlend:
        SetFilters(GL_LINEAR, GL_LINEAR);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        ResetTextureMatrix();
        break;
    case BlendMode::DualTextureAlphaBlend:
    case BlendMode::DualTextureAlphaBlendToo:
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
        EnableAlphaBlendedUnit();
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        EnableAlphaBlendedUnit();
        break;
    case BlendMode::LitSphereMapAdded:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        break;
    case BlendMode::OpaqueTrilinear:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        ResetTextureMatrix();
        break;
    case BlendMode::OpaqueNearest:
        glEnable(GL_TEXTURE_2D);
        SetFilters(GL_NEAREST, GL_NEAREST);
        glDisable(GL_BLEND);
        ResetTextureMatrix();
        break;
    default:
        break;   // modes without an entry change nothing
    }
}
