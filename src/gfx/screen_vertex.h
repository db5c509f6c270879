// The per-vertex record that the pipeline fills every frame and the render interface
// draws from: view position, projected position, clip classification, colour, two
// texture coordinate pairs and alpha. 14 fields of 32 bits each, in this order.
#pragma once

#include <cstddef>
#include <cstdint>

struct ScreenVertex {
    float x, y, z;             // view space; z is the distance in front of the eye
    float screenX, screenY;    // normalised device coordinates, y up
    int32_t clipFlags;         // ClipFlags bits
    float red, green, blue;    // 0..1
    float u, v;                // first texture unit
    float u2, v2;              // second texture unit
    float alpha;               // 0..1
};

static_assert(sizeof(ScreenVertex) == 56, "ScreenVertex is 14 fields of 32 bits");
static_assert(offsetof(ScreenVertex, z) == 8, "field 2");
static_assert(offsetof(ScreenVertex, screenX) == 12, "field 3");
static_assert(offsetof(ScreenVertex, clipFlags) == 20, "field 5");
static_assert(offsetof(ScreenVertex, red) == 24, "field 6");
static_assert(offsetof(ScreenVertex, u) == 36, "field 9");
static_assert(offsetof(ScreenVertex, u2) == 44, "field 11");
static_assert(offsetof(ScreenVertex, alpha) == 52, "field 13");

// Clip classification bits against the 90-degree view pyramid |x| <= z, |y| <= z.
enum ClipFlags : int32_t {
    ClipRight = 1,     // outside x = z
    ClipLeft = 2,      // outside x = -z
    ClipTop = 4,       // outside y = z
    ClipBottom = 8,    // outside y = -z
    ClipBehind = 16,   // z <= 0
    ClipFar = 32,      // z > 4500
    ClipHidden = 64,   // set by effects: drop this vertex's triangles in the dual-texture clipper
};
