// Axis-aligned rectangles drawn straight in screen coordinates as two triangles: the
// corner records the full-screen pictures and the credit bands are built from.
#pragma once

#include "gfx/render_interface.h"

// Normalised device coordinates, y up.
struct ScreenRect {
    float left, bottom, right, top;
};

// The texture coordinates at the rectangle's edges.
struct TextureWindow {
    float uLeft, uRight;
    float vBottom, vTop;
};

struct CornerColour {
    float red, green, blue, alpha;
};

// Fills corner[0..3] from the bottom-left counter-clockwise (bottom-left, bottom-right,
// top-right, top-left) at view z viewZ, all in one colour. Every other field is 0.
void FillRectCorners(ScreenVertex corner[4], const ScreenRect& rect, const TextureWindow& window, float viewZ,
                     const CornerColour& colour);

// One of the render interface's three-vertex submitters.
using TriangleSubmitter = void (RenderInterface::*)(const ScreenVertex&, const ScreenVertex&,
                                                    const ScreenVertex&);

// Submits (corner 0, 1, 2) and then (corner 0, 2, 3) through the given submitter.
void SubmitRectTriangles(RenderInterface& render, const ScreenVertex corner[4], TriangleSubmitter submit);
