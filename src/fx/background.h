// Full-screen backgrounds: a 640 × 480 window of a 1024 × 1024 texture drawn as two
// affine triangles straight in screen coordinates, modulated by a colour. The texture
// holds two pictures: the upper at texel rows 0-479, the lower at rows 512-991. The
// caller sets the blend mode and depth state; the texture stays bound afterwards.
#pragma once

#include "gfx/render_interface.h"

// The lower picture (u 0..0.625, v 0.5..0.96875).
void DrawBackgroundLower(float red, float green, float blue, TextureId texture);
// The upper picture (u 0..0.625, v 0..0.46875).
void DrawBackgroundUpper(float red, float green, float blue, TextureId texture);
