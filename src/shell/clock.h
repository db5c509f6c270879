// The demo clock. DemoTime is written by the clock's own functions only: RefreshDemoTime
// once per frame (the player's frame finish) and SetDemoClock at the start and on a seek.
#pragma once

#include <cstdint>

extern uint32_t DemoStartTick;   // tick count taken right after the music started
extern int32_t DemoTime;         // milliseconds since then (unsigned difference, stored signed)

// Milliseconds, wrapping at 2^32. Real time, or the fixed-rate clock when one is in use.
uint32_t DemoClockTicks();

// From now on the tick count advances by 1000 / framesPerSecond per presented frame:
// tick = base + floor(frames × 1000 / framesPerSecond), whatever drawing takes.
void UseFixedFrameClock(int framesPerSecond);
bool FixedFrameClockInUse();
// Sets the demo clock so that DemoTime is demoTime - latencyMs now and demoTime once the
// sound started now is heard (a seek, a start late in the demo).
void SetDemoClock(int32_t demoTime, int latencyMs);
// Counts one presented frame for the fixed-rate clock.
void CountPresentedFrame();

// DemoTime := tick count - DemoStartTick, noting how long it has been since the previous
// refresh for FrameSeconds.
void RefreshDemoTime();
// Seconds between the last two refreshes of DemoTime, at full precision rather than whole
// milliseconds: exactly 1.0 / N with the fixed-rate clock of N frames a second; from the
// steady clock otherwise (0 before the second refresh).
double FrameSeconds();
