// The render interface on OpenGL 1.1 immediate mode plus two multitexture entry points.
// Both GL matrices stay identity (the projection may flip an offscreen frame), so screen
// coordinates go to GL as they are; w = 1/z is also the fourth texture coordinate of the
// perspective-correct submitters. Each primitive is one glBegin/glEnd pair; nothing is
// batched or cached, and only KeepFrame and DrawKeptFrame save and restore state.
#pragma once

#include <GL/gl.h>

#include "gfx/render_interface.h"

class GL11RenderInterface : public RenderInterface {
public:
    // Looks up the multitexture entry points on the current context; false when the
    // driver lacks GL_ARB_multitexture, and the interface cannot draw then.
    bool Initialise();

    void SetDepthTest(bool enabled) override;
    TextureId CreateTexture(const Image& image) override;
    void DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override;
    void DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override;
    void DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                 const ScreenVertex& p3) override;
    void DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3,
                  const ScreenVertex& p4) override;
    void BindTexture(TextureId id) override;
    void BindSecondTexture(TextureId id) override;
    void ClearFrame() override;
    void PresentFrame() override;
    void SetBlendMode(BlendMode mode) override;
    void ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height) override;
    void KeepFrame() override;
    void DrawKeptFrame() override;

private:
    uint32_t nextTextureId_ = FirstTextureIdBase;   // the name most recently handed out
    // The kept picture: a texture of sides that are powers of two holding the frame in
    // its lower left corner, the frame's size and its picture area (the viewport).
    GLint maxTextureSize_ = 0;   // the driver's, read once at Initialise
    int keptTextureWidth_ = 0, keptTextureHeight_ = 0;
    int keptWidth_ = 0, keptHeight_ = 0;
    GLint keptArea_[4] = {0, 0, 0, 0};
};
