// The opening scene's record and timing: the title picture fades in from black by a fixed
// step per designed frame (frame_steps.h), then flares with one additive copy after the
// first flare time and a second after the second.
#pragma once

#include <cstdint>

// The fade-in's step per designed frame.
constexpr double OpeningFadeStep = 0.002;
// After these demo times one more additive copy of the picture is drawn.
constexpr int32_t OpeningFirstFlare = 17100;
constexpr int32_t OpeningSecondFlare = 17250;

// The scene's state, written only by its routines.
struct OpeningScene {
    float brightness = 0.0f;   // 0 on entry; the picture's colour, grown after each frame's first copy
};
