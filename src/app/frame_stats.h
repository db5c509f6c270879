// Per-scene frame statistics for --stats: frames drawn, first and last DemoTime, and the
// real time each frame took.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int SceneCount = 6;

extern int CurrentScene;   // 1..6 while a scene of the play sequence runs, else 0

// Marks the start of a scene's frame loop (the first frame's time starts here).
void BeginSceneFrames(int scene);
// Records one finished frame of the current scene drawn at the given DemoTime.
void RecordFrame(int32_t demoTime);
int FramesDrawn(int scene);
// One line per scene: number, frames, first and last DemoTime, ms per frame
// (mean, median, 99th percentile, max).
void PrintFrameStats(FILE* out);
