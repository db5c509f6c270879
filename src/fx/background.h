// Full-screen pictures drawn as two affine triangles straight in screen coordinates at
// depth 0, modulated by a colour; the texture stays bound afterwards and no depth state
// is set. The backgrounds show a 640 × 480 window of a 1024 × 1024 texture that holds
// two pictures, the upper at texel rows 0-479 and the lower at rows 512-991; their caller
// sets the blend mode.
#pragma once

#include "gfx/render_interface.h"

// The lower picture (u 0..0.625, v 0.5..0.96875).
void DrawBackgroundLower(RenderInterface& render, float red, float green, float blue, TextureId texture);
// The upper picture (u 0..0.625, v 0..0.46875).
void DrawBackgroundUpper(RenderInterface& render, float red, float green, float blue, TextureId texture);
// The whole texture stretched over the screen, first row at the top, in BlendMode::OpaqueNearest
// (nearest texels, no blending), which stays in force afterwards.
void DrawBackgroundWhole(RenderInterface& render, float red, float green, float blue, TextureId texture);
