// Frame statistics for --stats: per scene the frames drawn, their DemoTimes, the real time
// each frame took and how much of it went to drawing (the render interface's calls, which
// is where the rasteriser and the present run) rather than to our own CPU work; once per
// run the start-up times and the peak resident memory. Without --stats there is no
// FrameStats, and recording costs one test per frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/demo_clock.h"
#include "scenes/timeline.h"

// One present of a scene frame: when it was made on the player's steady clock, the DemoTime
// of the frame it showed (the last one FrameStats::RecordFrame was given), when that frame was ready
// against the slot it was due in (negative: early), how long it waited to be presented,
// and the pacing period in force (0: none, or vsync).
struct PresentMark {
    double atSeconds = 0;
    int32_t demoTime = 0;
    double readyMs = 0;
    double waitedMs = 0;
    double periodSeconds = 0;
};

// Per-scene figures, derived from what was recorded.
struct SceneFigures {
    int frames = 0;
    int32_t firstTime = 0, lastTime = 0;
    double meanMs = 0, medianMs = 0, p99Ms = 0, worstMs = 0;
    double drawingShare = 0;   // 0..1 of the scene's frame time spent in render-interface calls
};

// The whole play sequence in real time: frames presented per second of it and the CPU
// time (user and system) the process used per second of demo. Set by the driver.
struct PlayFigures {
    int frames = 0;
    double realSeconds = 0, demoSeconds = 0, cpuSeconds = 0;
    // In pixels as the program reads them when play begins: the display in the mode it
    // then runs in, and the window's drawable (0 when unknown).
    int displayWidth = 0, displayHeight = 0, drawableWidth = 0, drawableHeight = 0;
};

// Moments of the start-up, in milliseconds since the process started.
enum class StartupMark { LoadingScreenShown, FirstSceneFrame };
// Milliseconds since the process started (its first static initialisation).
double MillisecondsSinceProcessStart();

// The statistics of one run, made by whoever runs with --stats and handed to what records
// into them (the player, its present schedule, the timing render interface, the start-up);
// a null FrameStats* everywhere means none are kept. Frame and present times are seconds
// on the player's steady clock; start-up marks are on the process's.
class FrameStats {
public:
    // The clock frames are timed on: the player's, handed in when its play begins (until
    // then the real steady clock).
    void UseClock(SteadySecondsSource now) { now_ = now; }
    double Now() const { return now_(); }
    // Marks the start of a scene's frame loop (scene 1..6) at nowSeconds: its first
    // frame's time counts from here.
    void BeginSceneFrames(int scene, double nowSeconds);
    // One finished frame of the current scene, drawn at demoTime and finished at nowSeconds.
    void RecordFrame(int32_t demoTime, double nowSeconds);
    // Time spent inside a render-interface call, added to the frame under way.
    void AddDrawingTime(double milliseconds);
    // A present made at nowSeconds; counted once a scene frame was recorded before it.
    void RecordPresent(double nowSeconds, double readyMs, double waitedMs, double periodSeconds);
    // The first time each mark is reached.
    void MarkStartup(StartupMark mark);
    // Set by the driver once play is over.
    void SetPlayFigures(const PlayFigures& figures) { play_ = figures; }

    int FramesDrawn(int scene) const;
    SceneFigures FiguresOfScene(int scene) const;
    const std::vector<PresentMark>& Presents() const { return presents_; }

    // The table for a person; the same figures as JSON for scripts, which also lists every
    // present as [ms since the first present, DemoTime, ms ready after its slot, ms
    // waited], one a line, and the pacing period of the last one. peakResidentKb from the
    // operating system (0 when unknown).
    void Print(FILE* out, long peakResidentKb) const;
    bool WriteJson(const std::string& path, long peakResidentKb) const;

private:
    struct SceneRecord {
        int frames = 0;
        int32_t firstTime = 0, lastTime = 0;
        std::vector<float> frameMs;
        double totalMs = 0, drawingMs = 0;
    };
    double FrameRateReached() const;
    double CpuPerDemoSecond() const;

    SceneRecord scenes_[SceneCount + 1];   // 1..6
    int scene_ = 0;                        // the scene whose frames are recorded, 1..6
    double lastMarkSeconds_ = 0;
    double drawingMs_ = 0;                 // of the frame under way
    double startup_[2] = {-1, -1};
    PlayFigures play_;
    int32_t lastRecordedTime_ = 0;
    bool frameRecorded_ = false;           // a scene frame was recorded
    std::vector<PresentMark> presents_;
    SteadySecondsSource now_ = RealSteadySeconds;
};
