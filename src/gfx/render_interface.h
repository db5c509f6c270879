// The one object through which the program draws: OpenGL 1.1 immediate mode plus two
// multitexture entry points, behind 17 operations in a fixed table order.
//
// Conventions: both GL matrices stay identity, so screen x and y are normalised device
// coordinates (-1..1, y up). Depth is sent as w = 1/z with z the view distance, tested
// GL_GEQUAL against a buffer cleared to 0, so the nearer surface wins; w is also the
// fourth texture coordinate of the perspective-correct submitters. Each primitive is
// one glBegin/glEnd pair; nothing is batched, cached, saved or restored. The state a draw
// sees is whatever the preceding state calls accumulated.
#pragma once

#include <cstdint>

#include "gfx/screen_vertex.h"

class Image;

// A GL texture name handed out by CreateTexture. A type of its own, so that a texture id
// and a count or a mode can never be swapped silently.
struct TextureId {
    uint32_t name = 0;
};
inline bool operator==(TextureId a, TextureId b) { return a.name == b.name; }
inline bool operator!=(TextureId a, TextureId b) { return a.name != b.name; }

// GL's default texture, which has no image: bound on a unit, it leaves that unit without
// a usable texture (BindSecondTexture(NoTexture) returns to plain single texturing).
constexpr TextureId NoTexture{0};

// Sets of GL state chosen by SetBlendMode. The numbers are fixed; a value without an
// entry changes nothing. "Resets the texture matrix" acts on the active unit.
enum class BlendMode : int {
    OpaqueBilinear = 2,                 // no blending, bilinear filters; resets the texture matrix
    AdditiveKeepingTextureMatrix = 3,   // adds source to destination; texture matrix untouched
    MultiplyDestination = 6,            // destination times source colour, plus source times (1 - alpha)
    Additive = 9,                       // adds source to destination; resets the texture matrix
    AlphaBlend = 10,                    // source over destination by source alpha, bilinear filters
    DualTextureAlphaBlend = 15,         // both units textured, alpha blending; leaves unit 1 active
    LitSphereMapAdded = 16,             // lit unit 0 plus a sphere-mapped unit 1, added by alpha; unit 1 active
    DualTextureAlphaBlendToo = 17,      // the same state as DualTextureAlphaBlend
    OpaqueTrilinear = 20,               // no blending, mipmapped minification; magnification untouched
    OpaqueNearest = 64,                 // no blending, nearest-neighbour filters
};

class RenderInterface {
public:
    RenderInterface();
    virtual ~RenderInterface() = default;

    // Depth testing (GL_GEQUAL against 1/z) on or off.
    virtual void SetDepthTest(bool enabled);
    // Level 0 of an existing texture again from the image, alpha dropped.
    virtual void UpdateTexture(TextureId id, const Image& image);
    // A new mipmapped texture, left bound on the active unit.
    virtual TextureId CreateTexture(const Image& image);
    // Perspective-correct textured, coloured triangle with depth.
    virtual void DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2,
                              const ScreenVertex& p3);
    // Textured, coloured triangle without perspective correction, at depth 0.
    virtual void DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
                                    const ScreenVertex& p3);
    // Triangle with texture coordinates on both units (u, v and u2, v2), with depth.
    virtual void DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                         const ScreenVertex& p3);
    // Perspective-correct textured, coloured quadrilateral with depth.
    virtual void DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2,
                          const ScreenVertex& p3, const ScreenVertex& p4);
    virtual void BindTexture(TextureId id);         // on unit 0, which stays active
    virtual void BindSecondTexture(TextureId id);   // on unit 1, which stays active
    virtual void ClearFrame();                      // black, depth 0
    virtual void PresentFrame();
    virtual void SetBlendMode(BlendMode mode);

    // The GL texture name most recently handed out by CreateTexture.
    uint32_t NextTextureId;
};

// The process-wide interface, set once by the demo driver.
extern RenderInterface* Renderer;

// Texture names start above this value, clear of any the GL implementation uses itself.
constexpr uint32_t FirstTextureIdBase = 1000;
