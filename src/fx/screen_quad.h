// A rectangular window of the bound texture drawn as an untransformed screen rectangle.
//
// Layout space: x from 0 (left edge) to 1278 (right), y from 0 (top) to 958 (bottom),
// about half a pixel per unit. Texel coordinates run 0..255 over the whole texture.
// The caller binds the texture and sets blending and depth state first.
#pragma once

#include "gfx/screen_vertex.h"

class RenderInterface;

// Fills block[0..3] (top-left, top-right, bottom-right, bottom-left) and draws them with
// DrawQuad. The rectangle is (texelRight - texelLeft) × scaleX layout units wide and
// (texelBottom - texelTop) × scaleY high, with its top-left corner at (x, y); parts off
// screen are cut away together with the matching part of the texture window.
void DrawScreenQuad(RenderInterface& render, ScreenVertex* block, float texelLeft, float texelTop, float texelRight,
                    float texelBottom, float x, float y, float scaleX, float scaleY, float alpha);
