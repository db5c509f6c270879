// The player's one clock: the demo time of the frame under way, the time since the
// previous frame, the play time that --keys scripts count in, pause and seek. Real time
// comes from a steady clock handed in (a fake one in tests); with a fixed rate of N
// frames a second, every presented frame is exactly 1000 / N ms of demo time.
#pragma once

#include <cstdint>

// Seconds on a steady clock: the real one, or a test's.
using SteadySecondsSource = double (*)();
double RealSteadySeconds();
// Waits about that many seconds: the real one sleeps, a test's moves its clock on.
using SleepFunction = void (*)(double seconds);
void RealSleep(double seconds);

struct DemoClock {
    SteadySecondsSource now = RealSteadySeconds;
    int fixedFps = 0;               // > 0: the fixed-rate clock of that many frames a second

    int32_t demoTime = 0;           // ms: the time the frame under way is drawn at
    // Real clock: seconds from a refresh until the frame it begins is halfway through its
    // time on screen; the frame is drawn at that moment's time. Set by the player.
    double showLeadSeconds = 0;
    double elapsedSeconds = 0;      // between the last two refreshes (exactly 1 / fixedFps when fixed)
    bool paused = false;

    // Demo time is anchorTime plus what ran since the anchor: fixed, floor(frames × 1000 /
    // fps); real, the steady seconds since anchorSeconds, less the time spent paused.
    int32_t anchorTime = 0;
    double anchorSeconds = 0;
    uint64_t framesSinceAnchor = 0;
    double pausedSince = 0;
    double lastRefresh = 0;
    bool refreshed = false;

    // Play time: from the start of play, through pauses and seeks.
    double playStartSeconds = 0;
    uint64_t framesPresented = 0;
};

// A clock for play starting at demoTime: demo time is demoTime - latencyMs now and
// reaches demoTime when sound started now is heard.
DemoClock StartDemoClock(SteadySecondsSource now, int fixedFps, int32_t demoTime, int latencyMs);
// Moves the demo time (a seek): the frames after a seek to T fall at the times of those of
// a run started at T. Paused, the clock stays paused at T.
void SeekDemoClock(DemoClock* clock, int32_t demoTime, int latencyMs);
// Real clock, playing: moves demo time a little toward the music's, which is heardMs at
// steady second heardAt, so that the two cannot drift apart. The step is at most
// MaxSteerMsPerFrame, so demo time still grows at every frame; a difference over
// SteerLimitMs (music that stalled or ended) is left alone.
constexpr double MaxSteerMsPerFrame = 2.0;
constexpr double SteerLimitMs = 250.0;
void SteerDemoClock(DemoClock* clock, double heardMs, double heardAt);
// Holds demo time where it is, or lets it run on from there.
void PauseDemoClock(DemoClock* clock, bool paused);
// Counts a presented frame: play time, and the fixed-rate clock's demo time unless paused.
void CountPresentedFrame(DemoClock* clock);
// The demo time and the elapsed time for the next frame. Paused, both stay as they are.
void RefreshDemoClock(DemoClock* clock);

// The elapsed time of the frame under way in designed frames: 0 while paused.
double ElapsedDesignedFrames(const DemoClock& clock);
// The last step of the clock in designed frames, paused or not: what a frame drawn at the
// held time stands for.
double StepDesignedFrames(const DemoClock& clock);
// Play time in ms: frames × 1000 / fps with the fixed-rate clock, else steady time.
int64_t PlayTimeMs(const DemoClock& clock);
