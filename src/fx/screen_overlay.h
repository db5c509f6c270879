// A translucent full-screen texture layer over the finished image. The texture window
// is (offset, offset + 1) × scale in both directions, so a moving offset scrolls it;
// the texture repeats. The texture's first row is at the bottom of the screen.
#pragma once

#include "gfx/render_interface.h"

// Depth test off, texture bound, alpha blending (left so afterwards), then the layer.
void DrawScreenOverlay(RenderInterface& render, float offsetU, float offsetV, float scale, float red, float green, float blue,
                       float alpha, TextureId texture);
