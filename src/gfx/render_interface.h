// The one object through which the program draws: OpenGL 1.1 immediate mode plus two
// multitexture entry points, behind 17 operations in a fixed table order.
//
// Conventions: both GL matrices stay identity, so screen x and y are normalised device
// coordinates (-1..1, y up). Depth is sent as w = 1/z with z the view distance, tested
// GL_GEQUAL against a buffer cleared to 0, so the nearer surface wins; w is also the
// fourth texture coordinate of the perspective-correct submitters. Each primitive is
// one glBegin/glEnd pair; nothing is batched, cached, saved or restored.
#pragma once

#include <cstdint>

#include "pipeline/screen_vertex.h"

class Image;

using TextureId = uint32_t;

// Blend modes of SetBlendMode; values without an entry change nothing.
enum BlendMode : int {
    BlendOpaqueBilinear = 2,
    BlendAdditive = 3,
    BlendMultiply = 6,
    BlendAdditiveReset = 9,
    BlendAlpha = 10,
    BlendDualAlpha = 15,
    BlendLitSphereMap = 16,
    BlendDualAlphaB = 17,
    BlendOpaqueTrilinear = 20,
    BlendOpaqueNearest = 64,
};

class RenderInterface {
public:
    RenderInterface();
    virtual ~RenderInterface() = default;

    // Table order is part of the interface.
    virtual void SetRenderState(int kind, int value);                               // 1
    virtual void UpdateTexture(TextureId id, const Image& image);                   // 2
    virtual TextureId CreateTexture(const Image& image);                            // 3
    virtual void DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2,
                              const ScreenVertex& p3);                              // 4
    virtual void DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
                                    const ScreenVertex& p3);                        // 5
    virtual void DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                         const ScreenVertex& p3);                   // 6
    virtual void ReservedA(int a, int b, int c);                                    // 7
    virtual void DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2,
                          const ScreenVertex& p3, const ScreenVertex& p4);          // 8
    virtual void BindTexture(TextureId id);                                         // 9
    virtual void BindSecondTexture(TextureId id);                                   // 10
    virtual void ReservedB(int value);                                              // 11
    virtual void ReservedC(int value);                                              // 12
    virtual void ReservedD(int value);                                              // 13
    virtual void ClearFrame();                                                      // 14
    virtual void PresentFrame();                                                    // 15
    virtual void SetBlendMode(int mode);                                            // 16
    virtual void ReservedE(int value);                                              // 17

    // The GL texture name most recently handed out by CreateTexture.
    uint32_t NextTextureId;
};

// The process-wide interface, set once by the demo driver.
extern RenderInterface* Renderer;

// Texture names start above this value, clear of any the GL implementation uses itself.
constexpr uint32_t FirstTextureIdBase = 1000;
