// When frames are presented. Real-time play presents frames in step with the display: with vsync where the driver
// offers it and it waits, else by waiting before each swap so that frames come no faster
// than the display's refresh rate (60 Hz when unknown). --max-fps N sets another cap, 0
// none.
#pragma once

#include "app/demo_clock.h"

class FrameStats;

// Frames a second to hold presents to: 0 for none (vsync does it, or no cap).
//   maxFps      --max-fps (-1 when not given)
//   fixedClock  the fixed-rate clock is in use (repeatable runs go as fast as they can)
//   vsyncOn     the driver accepted vsync
//   refreshHz   the display's refresh rate, 0 when unknown
double PacedFrameRate(int maxFps, bool fixedClock, bool vsyncOn, int refreshHz);

// A schedule of presents on a grid of slots one period apart, as a display shows frames
// only at its refreshes.
struct PresentPacing {
    double periodSeconds = 0;   // 0: no pacing
    double nextDue = 0;         // steady-clock seconds of the next slot
    bool started = false;       // the grid starts at the first present
    // Of the last slot taken: seconds from the slot that was next until the frame was
    // ready (negative when early), and whole slots skipped because it was too late.
    double readyAfterSlot = 0;
    int slotsSkipped = 0;
};

// How late after its slot, in periods, a frame still presents at once in it.
constexpr double PresentLateTolerance = 0.25;

// Seconds to wait before presenting at time `now` (steady-clock seconds), moving the
// schedule on to the slot after the one taken. A frame ready before its slot waits for it;
// one ready less than PresentLateTolerance periods after it presents at once and the slots
// keep their beat (so waking late costs no rate); one later waits for the next slot it can
// make, skipping those it missed. So presents are always a whole number of periods apart,
// within the tolerance, and never bunch to catch up.
double TakePresentSlot(PresentPacing* pacing, double now);
// The steady-clock second of the slot a frame ready at readyAt is presented in, by the
// rule above, without taking it (readyAt itself before the first present); `skipped`, when
// given, receives the slots it misses. What a clock that draws each frame at its present
// time predicts from.
double SlotForFrameReadyAt(const PresentPacing& pacing, double readyAt, int* skipped = nullptr);

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
// paces to the refresh rate from then on. The present that follows at once is counted in
// `stats`, when given, at the end of the wait.
double WaitForPresentSlot(PresentSchedule* schedule, SteadySecondsSource now, SleepFunction sleep,
                          FrameStats* stats = nullptr);
