// A small software rasteriser that draws the way the demo's renderer does: triangles
// in normalised device coordinates with 1/z depth (greater-or-equal test), textures
// that repeat, modulated by vertex colour, and the blend modes the scenes use.
#pragma once

#include <string>
#include <vector>

#include "models3ds/tds_model.h"

// A texture as the demo holds it: RGBA floats, alpha already inverted back to opacity.
struct PreviewTexture {
    int width = 0, height = 0;
    std::vector<float> rgba;
};

// Loads a PNG as the demo's loader does (alpha inverted; files without alpha get 0).
PreviewTexture LoadPreviewTexture(const std::string& path);

struct RasterVertex {
    float x = 0, y = 0;      // normalised device coordinates, y up
    float w = 1;             // 1/z: depth and perspective factor
    float u = 0, v = 0;
    float r = 1, g = 1, b = 1, a = 1;
};

enum class Blend { Opaque, Additive, Alpha };

struct RasterState {
    const PreviewTexture* texture = nullptr;
    Blend blend = Blend::Opaque;
    bool depthTest = false;
    bool perspective = true;
    bool nearest = false;
};

struct Frame {
    int width = 640, height = 480;
    std::vector<float> rgb;     // width × height × 3
    std::vector<float> depth;   // cleared to 0: nearer is larger
};

Frame MakeFrame();
// Draws one triangle.
void DrawTriangle(Frame& f, const RasterState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c);
// Writes the frame as an opaque PNG.
bool WriteFrame(const Frame& f, const std::string& path);

// The engine's camera maths: the view matrix of a camera (rows 0-2 of a 3 × 4 affine
// matrix) scaled by the focal factor, and the projection of a view-space point.
struct ViewMatrix {
    float m[3][4];
};
ViewMatrix LookAt(Vec3f position, Vec3f target, float rollDegrees);
Vec3f Transform(const ViewMatrix& m, Vec3f p);
inline constexpr float kFocal = 1.6976631f;
