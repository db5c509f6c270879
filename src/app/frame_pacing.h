// Real-time play presents frames in step with the display: with vsync where the driver
// offers it, else by waiting before each swap so that frames come no faster than the
// display's refresh rate (60 Hz when unknown). --max-fps N sets another cap, 0 none.
#pragma once

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

// Waits (sleeps; never spins) until the next present is due under the process's pacing;
// returns the milliseconds waited.
double WaitForPresentSlot();
// Sets the process's pacing to the given rate (0: none).
void StartPresentPacing(double framesPerSecond);
