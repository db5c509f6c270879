// The player's clock: demo time, elapsed time and play time from one steady source.
#include "app/demo_clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "scenes/frame_steps.h"

double RealSteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void RealSleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

namespace {

int32_t TimeSinceAnchor(const DemoClock& clock)
{
    // Whole milliseconds from the frame count, so no rounding error accumulates.
    if (clock.fixedFps > 0) return static_cast<int32_t>(clock.framesSinceAnchor * 1000u / static_cast<uint64_t>(clock.fixedFps));
    return static_cast<int32_t>(std::floor((clock.now() + clock.showLeadSeconds - clock.anchorSeconds) * 1000.0));
}

}  // namespace

DemoClock StartDemoClock(SteadySecondsSource now, int fixedFps, int32_t demoTime, int latencyMs)
{
    DemoClock clock;
    clock.now = now;
    clock.fixedFps = fixedFps;
    clock.playStartSeconds = now();
    SeekDemoClock(&clock, demoTime, latencyMs);
    RefreshDemoClock(&clock);
    return clock;
}

void SeekDemoClock(DemoClock* clock, int32_t demoTime, int latencyMs)
{
    // Paused, nothing is heard until play resumes: the held time is the target itself.
    clock->anchorTime = clock->paused ? demoTime : demoTime - latencyMs;
    clock->anchorSeconds = clock->now();
    clock->pausedSince = clock->anchorSeconds;
    clock->framesSinceAnchor = 0;
    clock->demoTime = clock->anchorTime;
}

void SteerDemoClock(DemoClock* clock, double heardMs, double heardAt)
{
    if (clock->fixedFps > 0 || clock->paused) return;
    const double shownAt = clock->now() + clock->showLeadSeconds;
    const double musicMs = heardMs + (shownAt - heardAt) * 1000.0;
    const double clockMs = clock->anchorTime + (shownAt - clock->anchorSeconds) * 1000.0;
    const double error = musicMs - clockMs;
    if (std::fabs(error) > SteerLimitMs) return;
    // A tenth of the difference a frame: the output's jitter is smoothed away.
    const double step = std::clamp(0.1 * error, -MaxSteerMsPerFrame, MaxSteerMsPerFrame);
    clock->anchorSeconds -= step / 1000.0;
}

void PauseDemoClock(DemoClock* clock, bool paused)
{
    if (paused == clock->paused) return;
    clock->paused = paused;
    const double now = clock->now();
    if (paused) {
        clock->pausedSince = now;
        return;
    }
    // Run on as if the pause had not been: the anchor and the last refresh move on by
    // its length, so the next frame's time and elapsed time leave it out.
    clock->anchorSeconds += now - clock->pausedSince;
    clock->lastRefresh += now - clock->pausedSince;
}

void CountPresentedFrame(DemoClock* clock)
{
    ++clock->framesPresented;
    if (!clock->paused) ++clock->framesSinceAnchor;
}

void RefreshDemoClock(DemoClock* clock)
{
    if (clock->paused) return;
    const double now = clock->now();
    clock->demoTime = clock->anchorTime + TimeSinceAnchor(*clock);
    if (clock->fixedFps > 0) clock->elapsedSeconds = 1.0 / clock->fixedFps;
    else clock->elapsedSeconds = clock->refreshed ? now - clock->lastRefresh : 0.0;
    clock->lastRefresh = now;
    clock->refreshed = true;
}

double ElapsedDesignedFrames(const DemoClock& clock) { return clock.paused ? 0.0 : StepDesignedFrames(clock); }

double StepDesignedFrames(const DemoClock& clock) { return DesignedFrames(clock.elapsedSeconds); }

int64_t PlayTimeMs(const DemoClock& clock)
{
    if (clock.fixedFps > 0) return static_cast<int64_t>(clock.framesPresented * 1000 / static_cast<uint64_t>(clock.fixedFps));
    return static_cast<int64_t>((clock.now() - clock.playStartSeconds) * 1000.0);
}
