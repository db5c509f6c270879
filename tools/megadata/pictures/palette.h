// The data set's one palette: deep blue-black, zircon blue, ice cyan, frost white, with
// violet and a warm amber accent. Every picture takes its colours from here.
#pragma once

#include "pictures/picture_pixels.h"

namespace palette {
constexpr Colour Abyss{0.012f, 0.016f, 0.045f};
constexpr Colour Midnight{0.035f, 0.060f, 0.160f};
constexpr Colour Zircon{0.080f, 0.380f, 0.820f};
constexpr Colour Ice{0.420f, 0.880f, 1.000f};
constexpr Colour Frost{0.900f, 0.965f, 1.000f};
constexpr Colour Violet{0.420f, 0.200f, 0.760f};
constexpr Colour Orchid{0.820f, 0.360f, 0.860f};
constexpr Colour Amber{1.000f, 0.690f, 0.300f};
}  // namespace palette

// The main ramp, dark to light: abyss, midnight, zircon, ice, frost (t in 0..1).
Colour ZirconRamp(float t);
// The accent ramp: abyss, violet, orchid, amber, frost (t in 0..1).
Colour EmberRamp(float t);
