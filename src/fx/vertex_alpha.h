// One alpha for every vertex record of a mesh, so its next drawing is translucent under
// an alpha-blending mode.
#pragma once

#include <cstdint>

#include "gfx/screen_vertex.h"

// Sets the alpha of count consecutive records and nothing else; count <= 0 does nothing.
void SetVertexAlpha(ScreenVertex* vertices, int32_t count, float alpha);
