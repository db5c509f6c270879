// When frames are presented. Real-time play presents frames in step with the display: with vsync where the driver
// offers it and it waits, else by waiting before each swap so that frames come no faster
// than the display's refresh rate (60 Hz when unknown). --max-fps N sets another cap, 0
// none.
#pragma once

#include "app/demo_clock.h"

// Frames a second to hold presents to: 0 for none (vsync does it, or no cap).
//   maxFps      --max-fps (-1 when not given)
//   fixedClock  the fixed-rate clock is in use (repeatable runs go as fast as they can)
//   vsyncOn     the driver accepted vsync
//   refreshHz   the display's refresh rate, 0 when unknown
double PacedFrameRate(int maxFps, bool fixedClock, bool vsyncOn, int refreshHz);

// A schedule of presents one period apart.
struct PresentPacing {
    double periodSeconds = 0;   // 0: no pacing
    double nextDue = 0;         // steady-clock seconds at which the next present is due
    bool started = false;
};

// Seconds to wait before presenting at time `now` (steady-clock seconds), moving the
// schedule on by one frame. A frame that is late presents at once; one late by more
// than a period starts the schedule over from now instead of hurrying later frames;
// one less late keeps to the schedule.
double TakePresentSlot(PresentPacing* pacing, double now);

// Presents made with vsync on, watched for a driver that accepts vsync and then does not
// wait (Wine; drivers set to force it off): its presents come faster than the display
// refreshes.
struct VsyncWatch {
    double refreshHz = 60;
    double windowStart = 0;   // steady-clock seconds of the first present of the window
    int presents = 0;         // presents in the window so far
};
constexpr int VsyncWatchPresents = 30;   // presents in one window
// Counts a present at `now`; true once a whole window of presents came more than a
// quarter faster than the refresh rate. A slow window (heavy frames) proves nothing and
// the next one is watched.
bool VsyncDoesNotWait(VsyncWatch* watch, double now);

// The present schedule the player keeps: the pacing of presents and, while vsync is on,
// the watch on it.
struct PresentSchedule {
    PresentPacing pacing;
    bool watchingVsync = false;
    VsyncWatch vsyncWatch;
};

// A schedule at the given rate (0: none). vsyncRefreshHz: vsync is on for a display of
// that refresh rate (0 when unknown), and is watched; -1: vsync is off.
PresentSchedule StartPresentSchedule(double framesPerSecond, int vsyncRefreshHz = -1);
// Waits (sleeps; never spins) until the next present is due on the steady clock `now`;
// returns the milliseconds waited. With vsync on and found not to wait, turns it off and
// paces to the refresh rate from then on.
double WaitForPresentSlot(PresentSchedule* schedule, SteadySecondsSource now, SleepFunction sleep);
