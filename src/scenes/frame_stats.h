// Frame statistics for --stats: per scene the frames drawn, their DemoTimes, the real time
// each frame took and how much of it went to drawing (the render interface's calls, which
// is where the rasteriser and the present run) rather than to our own CPU work; once per
// run the start-up times and the peak resident memory. Switched off, recording costs one
// test per frame and nothing is stored or allocated.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr int SceneCount = 6;

// Off by default; the entry point turns statistics on for --stats.
void EnableFrameStats(bool on);
bool FrameStatsOn();

// Marks the start of a scene's frame loop at nowSeconds on the player's steady clock (the
// first frame's time starts here).
void BeginSceneFrames(int scene, double nowSeconds);
// Records one finished frame of the current scene drawn at the given DemoTime and
// finished at nowSeconds on the same clock, when statistics are on.
void RecordFrame(int32_t demoTime, double nowSeconds);
// Adds time spent inside a render-interface call to the frame under way.
void AddDrawingTime(double milliseconds);
int FramesDrawn(int scene);

// Moments of the start-up, in milliseconds since the process started.
enum class StartupMark { LoadingScreenShown, FirstSceneFrame };
void MarkStartup(StartupMark mark);
// Milliseconds since the process started (its first static initialisation).
double MillisecondsSinceProcessStart();

// One present of a scene frame: when it was made on the player's steady clock, the DemoTime
// of the frame it showed (the last one RecordFrame was given), when that frame was ready
// against the slot it was due in (negative: early), how long it waited to be presented,
// and the pacing period in force (0: none, or vsync).
struct PresentMark {
    double atSeconds = 0;
    int32_t demoTime = 0;
    double readyMs = 0;
    double waitedMs = 0;
    double periodSeconds = 0;
};
// Records a present made at nowSeconds, when statistics are on and a scene frame was
// recorded before it.
void RecordPresent(double nowSeconds, double readyMs, double waitedMs, double periodSeconds);
const std::vector<PresentMark>& PresentMarks();

// Per-scene figures, derived from what was recorded.
struct SceneFigures {
    int frames = 0;
    int32_t firstTime = 0, lastTime = 0;
    double meanMs = 0, medianMs = 0, p99Ms = 0, worstMs = 0;
    double drawingShare = 0;   // 0..1 of the scene's frame time spent in render-interface calls
};
SceneFigures FiguresOfScene(int scene);

// The whole play sequence in real time: frames presented per second of it and the CPU
// time (user and system) the process used per second of demo. Set by the driver.
struct PlayFigures {
    int frames = 0;
    double realSeconds = 0, demoSeconds = 0, cpuSeconds = 0;
    // In pixels as the program reads them when play begins: the display in the mode it
    // then runs in, and the window's drawable (0 when unknown).
    int displayWidth = 0, displayHeight = 0, drawableWidth = 0, drawableHeight = 0;
};
void SetPlayFigures(const PlayFigures& figures);

// The table for a person; the same figures as JSON for scripts, which also lists every
// present as [ms since the first present, DemoTime, ms ready after its slot, ms waited],
// one a line, and the pacing period of the last one. peakResidentKb from the
// operating system (0 when unknown).
void PrintFrameStats(FILE* out, long peakResidentKb);
bool WriteFrameStatsJson(const std::string& path, long peakResidentKb);
