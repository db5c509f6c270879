// The one object through which the program draws, with one implementation per back end
// (GL11RenderInterface, WebGL2RenderInterface) and stand-ins for tests and benchmarks.
//
// Conventions: screen x and y are normalised device coordinates (-1..1, y up) inside the
// frame's picture area. Depth is sent as w = 1/z with z the view distance, tested
// GL_GEQUAL against a buffer cleared to 0, so the nearer surface wins. The state a draw
// sees is whatever the preceding state calls accumulated, with GL 1.1's meaning: texture
// units, filters, environments and blend functions as SetBlendMode documents them.
#pragma once

#include <cstdint>
#include <vector>

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
    virtual ~RenderInterface() = default;

    // Depth testing (GL_GEQUAL against 1/z) on or off.
    virtual void SetDepthTest(bool enabled) = 0;
    // Level 0 of an existing texture again from the image, alpha dropped.
    virtual void UpdateTexture(TextureId id, const Image& image) = 0;
    // A new mipmapped texture, left bound on the active unit. Names are handed out one
    // after another, the first FirstTextureIdBase + 1.
    virtual TextureId CreateTexture(const Image& image) = 0;
    // Perspective-correct textured, coloured triangle with depth.
    virtual void DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2,
                              const ScreenVertex& p3) = 0;
    // Textured, coloured triangle without perspective correction, at depth 0.
    virtual void DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
                                    const ScreenVertex& p3) = 0;
    // Triangle with texture coordinates on both units (u, v and u2, v2), with depth.
    virtual void DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                         const ScreenVertex& p3) = 0;
    // Perspective-correct textured, coloured quadrilateral with depth.
    virtual void DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2,
                          const ScreenVertex& p3, const ScreenVertex& p4) = 0;
    virtual void BindTexture(TextureId id) = 0;         // on unit 0, which stays active
    virtual void BindSecondTexture(TextureId id) = 0;   // on unit 1, which stays active
    virtual void ClearFrame() = 0;                      // black, depth 0
    virtual void PresentFrame() = 0;
    virtual void SetBlendMode(BlendMode mode) = 0;

    // The frame drawn so far, before it is shown: BGRA, top row first, at the frame's
    // own size (*bgra is resized to width × height × 4).
    virtual void ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height) = 0;
    // Copies the frame drawn so far into a picture of the interface's own (no handed-out
    // texture name), replacing the one kept before.
    virtual void KeepFrame() = 0;
    // Covers the frame with the kept picture: pixel for pixel while the frame has the
    // kept size (so ClearFrame, DrawKeptFrame, PresentFrame shows the kept frame byte for
    // byte), else its picture area scaled into the frame's. No blending, no depth test;
    // nothing without a kept picture. Both leave every state the other operations
    // accumulate as they found it.
    virtual void DrawKeptFrame() = 0;
};

// Texture names start above this value, clear of any the GL implementation uses itself.
constexpr uint32_t FirstTextureIdBase = 1000;
