// The three credit bands: full-width strips just below the middle of the screen, each
// showing the next horizontal slice of the credits picture. The caller binds the picture,
// sets the blend mode and turns depth testing off before drawing one.
#pragma once

#include "gfx/render_interface.h"

// Rows of the credits picture, as fractions of its height, at each band's top edge; the
// next entry is its bottom edge. Three slices of (about) 100 texel rows of a 1024-row
// picture, written as these exact floats rather than multiples of 100/1024.
constexpr float CreditSliceEdges[4] = {0.0f, 0.09765f, 0.1953f, 0.29295f};

// Each band covers screen x -1..1 and y -0.3125..0 (the 75 rows below the centre line),
// u 0..0.625 of the picture, every corner in the given colour and alpha at view z -1.
// The texture argument is accepted for the callers' symmetry and not used.
void DrawCreditStripA(RenderInterface& render, float red, float green, float blue, float alpha, TextureId texture);   // DrawTriangle
void DrawCreditStripB(RenderInterface& render, float red, float green, float blue, float alpha, TextureId texture);   // DrawTriangle
void DrawCreditStripC(RenderInterface& render, float red, float green, float blue, float alpha, TextureId texture);   // DrawTriangleDualTexture
