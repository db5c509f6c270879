// The Zircon emblem: a brilliant-cut gem seen from above (an octagonal girdle, a
// smaller table rotated by half a facet, star facets between) inside a thin ring.
#pragma once

#include "pictures/picture_pixels.h"
#include "pictures/shapes.h"

struct EmblemSample {
    float gem = 0;     // coverage of the gem body
    float facet = 0;   // brightness of the facet under the point, 0..1
    float lines = 0;   // coverage of the facet edges and the girdle outline
    float ring = 0;    // coverage of the surrounding ring
};

// Samples the emblem at p in emblem units: the ring has radius 1; px is the size of one
// output pixel in those units (for anti-aliasing).
EmblemSample SampleEmblem(Vec2 p, float px);

// Paints the emblem centred at (cx, cy) with the given radius in pixels, lit in the
// zircon ramp, with `opacity` overall; 2 × 2 samples per pixel.
void PaintEmblem(Picture& p, float cx, float cy, float radius, float opacity);
