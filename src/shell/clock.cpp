#include "shell/clock.h"

#include "platform/platform.h"

#include <chrono>

uint32_t DemoStartTick = 0;
int32_t DemoTime = 0;

namespace {
int g_fixedFps = 0;
uint32_t g_fixedBase = 0;
uint64_t g_framesPresented = 0;

using SteadyClock = std::chrono::steady_clock;
bool g_refreshed = false;            // a first refresh has been noted
SteadyClock::time_point g_lastRefresh;
double g_frameSeconds = 0.0;
}

uint32_t DemoClockTicks()
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

void SetDemoClock(int32_t demoTime, int latencyMs)
{
    // The fixed-rate clock counts afresh, so the frames after a seek to T fall at the
    // same times as those of a run started at T.
    if (g_fixedFps > 0) {
        g_fixedBase = DemoClockTicks();
        g_framesPresented = 0;
    }
    DemoStartTick = DemoClockTicks() + static_cast<uint32_t>(latencyMs) - static_cast<uint32_t>(demoTime);
    DemoTime = static_cast<int32_t>(DemoClockTicks() - DemoStartTick);
}

void CountPresentedFrame() { ++g_framesPresented; }

void RefreshDemoTime()
{
    DemoTime = static_cast<int32_t>(DemoClockTicks() - DemoStartTick);
    const SteadyClock::time_point now = SteadyClock::now();
    g_frameSeconds = g_refreshed ? std::chrono::duration<double>(now - g_lastRefresh).count() : 0.0;
    g_lastRefresh = now;
    g_refreshed = true;
}

double FrameSeconds()
{
    // Not the difference of two whole-millisecond ticks: at 60 frames a second those
    // alternate between 16 and 17 ms.
    if (g_fixedFps > 0) return 1.0 / g_fixedFps;
    return g_frameSeconds;
}
