// The one object through which the program draws, with one implementation per back end
// (GL11RenderInterface, WebGL2RenderInterface) and stand-ins for tests and benchmarks.
//
// Conventions: screen x and y are normalised device coordinates (-1..1, y up) inside the
// frame's picture area. Depth is sent as w = 1/z with z the view distance, tested
// GL_GEQUAL against a buffer cleared to 0, so the nearer surface wins. The state a draw
// sees is whatever the preceding state calls accumulated, with GL 1.1's meaning: texture
// units, filters and blend functions as BlendMode documents them; the texture environment
// is GL_MODULATE on both units, and the texture matrix stays the identity.
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

// The blend states the scenes draw in, each set by one SetBlendMode call. Every state turns
// texturing on for the active unit and sets blending. Filters named in a state are set on
// the texture bound to the active unit (so on no picture while unit 1 is active with
// NoTexture); a state that names none leaves every texture's filters as they are. Only
// OpaqueBothUnits changes the active unit.
enum class BlendMode {
    OpaqueBilinear,              // blending off; bilinear filters
    OpaqueNearest,               // blending off; nearest-neighbour filters
    OpaqueTrilinearMinFilter,    // blending off; mipmapped linear minification, magnification kept
    OpaqueBothUnits,             // blending off; texturing on for units 0 and 1; leaves unit 1 active
    AlphaBlendBilinear,          // source over destination by source alpha; bilinear filters
    AdditiveFiltersKept,         // source added to destination
    AdditiveNearest,             // source added to destination; nearest-neighbour filters
};

class RenderInterface {
public:
    virtual ~RenderInterface() = default;

    // Depth testing (GL_GEQUAL against 1/z) on or off.
    virtual void SetDepthTest(bool enabled) = 0;
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
