// The pace of the steps the scenes take once per frame (a fade's increment, a decay, a
// beat's leap, a stepped phase). They are written for a frame of 1000/60 ms; a frame
// that took another time scales them by its elapsed time counted in those designed frames:
//   - an added step is multiplied by it;
//   - a per-frame factor is raised to its power;
//   - a beat window adds step × frames for each frame drawn inside it, so what it adds
//     is in proportion to the time spent in the window (the window itself stays an
//     interval of DemoTime).
// With the fixed 60 fps clock every frame is exactly one designed frame, and each rule
// gives the unscaled step bit for bit.
#pragma once

constexpr double DesignedFrameSeconds = 1.0 / 60.0;
// A frame that took longer (a stall, a dragged window) advances the steps by at most this.
constexpr double LongestFrameStepSeconds = 0.1;

// Elapsed seconds as designed frames, between 0 and 6 (the longest step).
double DesignedFrames(double elapsedSeconds);

inline double ScaledStep(double stepPerFrame, double frames)
{
    return stepPerFrame * frames;
}
// factor^frames; exactly the factor for one frame.
double ScaledFactor(double factorPerFrame, double frames);
// What a beat window adds in a frame drawn at the given time relation.
inline double StepInWindow(double stepPerFrame, bool insideWindow, double frames)
{
    return insideWindow ? stepPerFrame * frames : 0.0;
}
// value − step × frames, but not below `lowest`. Callers put `lowest` at or below where
// the designed fall of whole steps ends, so steps of one frame are never cut short; a
// long frame then cannot overshoot further than one designed step would.
float FallBy(float value, double stepPerFrame, double frames, double lowest);
