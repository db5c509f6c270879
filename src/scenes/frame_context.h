// What the player hands each step of a scene for one frame: the time it is drawn at,
// how much time it stands for, where and with which projection to draw, what was loaded.
#pragma once

#include <cstdint>

#include "pipeline/clip.h"

class RenderInterface;
struct Resources;

struct FrameContext {
    int32_t demoTime;        // ms on the demo clock at which this frame is drawn
    double elapsedFrames;    // time since the previous frame in designed frames (frame_steps.h); 0 when held
    RenderInterface& render;
    const Resources& resources;   // as loaded: scenes draw their own copies of what they change
    ScreenProjection projection = ViewToScreen;   // view space onto the render interface's screen, for the clippers
};
