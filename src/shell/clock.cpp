#include "shell/clock.h"

#include "platform/platform.h"

uint32_t DemoStartTick = 0;
int32_t DemoTime = 0;

namespace {
int g_fixedFps = 0;
uint32_t g_fixedBase = 0;
uint64_t g_framesPresented = 0;
}

uint32_t GetTickCount()
{
    if (g_fixedFps <= 0) return PlatformTickCount();
    // Whole milliseconds from the frame count, so no rounding error accumulates.
    return g_fixedBase + static_cast<uint32_t>(g_framesPresented * 1000u / static_cast<uint64_t>(g_fixedFps));
}

void UseFixedFrameClock(int framesPerSecond)
{
    g_fixedFps = framesPerSecond;
    g_fixedBase = PlatformTickCount();
    g_framesPresented = 0;
}

bool FixedFrameClockInUse() { return g_fixedFps > 0; }

void CountPresentedFrame() { ++g_framesPresented; }
