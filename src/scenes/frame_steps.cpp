#include "scenes/frame_steps.h"

#include <algorithm>
#include <cmath>

double DesignedFrames(double elapsedSeconds)
{
    // A quotient, not a product with 60: the fixed clock's 1.0 / 60 divided by the same
    // double is exactly 1.
    const double seconds = std::min(std::max(elapsedSeconds, 0.0), LongestFrameStepSeconds);
    return seconds / DesignedFrameSeconds;
}

double ScaledFactor(double factorPerFrame, double frames)
{
    return frames == 1.0 ? factorPerFrame : std::pow(factorPerFrame, frames);
}

float FallBy(float value, double stepPerFrame, double frames, double lowest)
{
    // Formed in double and stored as a float once, like every stepped value.
    return static_cast<float>(std::max(static_cast<double>(value) - stepPerFrame * frames, lowest));
}
