// Per-scene frame statistics and start-up marks, recorded only with --stats.
#include "scenes/frame_stats.h"

#include "platform/file_system.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// Written by EnableFrameStats and BeginSceneFrames only.
bool g_enabled = false;
int g_scene = 0;   // the scene whose frames are recorded, 1..6

using Clock = std::chrono::steady_clock;

// Taken during static initialisation, before main: the process's start as near as it
// can be seen from inside.
const Clock::time_point g_processStart = Clock::now();

struct SceneStats {
    int frames = 0;
    int32_t firstTime = 0;
    int32_t lastTime = 0;
    std::vector<float> frameMs;
    double totalMs = 0;
    double drawingMs = 0;
};

// Written by RecordFrame, RecordPresent, AddDrawingTime, MarkStartup, SetPlayFigures and
// EnableFrameStats, on the player's thread.
SceneStats g_stats[SceneCount + 1];
double g_lastMarkSeconds = 0;   // on the player's clock
double g_drawingMs = 0;   // of the frame under way
double g_startup[2] = {-1, -1};
PlayFigures g_play;
int32_t g_lastRecordedTime = 0;
bool g_frameRecorded = false;   // a scene frame was recorded since statistics were turned on
std::vector<PresentMark> g_presents;

bool ValidScene(int scene) { return scene >= 1 && scene <= SceneCount; }

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

void EnableFrameStats(bool on)
{
    g_enabled = on;
    g_frameRecorded = false;
    g_presents.clear();
}
bool FrameStatsOn() { return g_enabled; }

double MillisecondsSinceProcessStart() { return Milliseconds(Clock::now() - g_processStart); }

void MarkStartup(StartupMark mark)
{
    double& slot = g_startup[static_cast<int>(mark)];
    if (g_enabled && slot < 0) slot = MillisecondsSinceProcessStart();
}

void BeginSceneFrames(int scene, double nowSeconds)
{
    g_scene = scene;
    if (!g_enabled) return;
    g_lastMarkSeconds = nowSeconds;
    g_drawingMs = 0;
}

void AddDrawingTime(double milliseconds)
{
    g_drawingMs += milliseconds;
}

void RecordFrame(int32_t demoTime, double nowSeconds)
{
    if (!g_enabled || !ValidScene(g_scene)) return;
    SceneStats& s = g_stats[g_scene];
    g_lastRecordedTime = demoTime;
    g_frameRecorded = true;
    if (s.frames == 0) s.firstTime = demoTime;
    s.lastTime = demoTime;
    ++s.frames;
    const double ms = (nowSeconds - g_lastMarkSeconds) * 1000.0;
    s.frameMs.push_back(static_cast<float>(ms));
    s.totalMs += ms;
    s.drawingMs += std::min(g_drawingMs, ms);
    g_drawingMs = 0;
    g_lastMarkSeconds = nowSeconds;
}

void RecordPresent(double nowSeconds, double readyMs, double waitedMs, double periodSeconds)
{
    if (!g_enabled || !g_frameRecorded) return;
    g_presents.push_back(PresentMark{nowSeconds, g_lastRecordedTime, readyMs, waitedMs, periodSeconds});
}

const std::vector<PresentMark>& PresentMarks() { return g_presents; }

int FramesDrawn(int scene) { return ValidScene(scene) ? g_stats[scene].frames : 0; }

SceneFigures FiguresOfScene(int scene)
{
    SceneFigures f;
    if (!ValidScene(scene)) return f;
    const SceneStats& s = g_stats[scene];
    f.frames = s.frames;
    f.firstTime = s.firstTime;
    f.lastTime = s.lastTime;
    if (s.frameMs.empty()) return f;
    std::vector<float> ms = s.frameMs;
    std::sort(ms.begin(), ms.end());
    f.meanMs = s.totalMs / static_cast<double>(ms.size());
    f.medianMs = ms[ms.size() / 2];
    f.p99Ms = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    f.worstMs = ms.back();
    f.drawingShare = s.totalMs > 0 ? s.drawingMs / s.totalMs : 0;
    return f;
}

void SetPlayFigures(const PlayFigures& figures) { g_play = figures; }

namespace {

double FrameRateReached() { return g_play.realSeconds > 0 ? g_play.frames / g_play.realSeconds : 0; }
double CpuPerDemoSecond() { return g_play.demoSeconds > 0 ? g_play.cpuSeconds / g_play.demoSeconds : 0; }

}  // namespace

void PrintFrameStats(FILE* out, long peakResidentKb)
{
    std::fprintf(out, "scene  frames  demo time (ms)   median ms  p99 ms  worst ms  our CPU  drawing\n");
    for (int scene = 1; scene <= SceneCount; ++scene) {
        const SceneFigures f = FiguresOfScene(scene);
        std::fprintf(out, "%5d  %6d  %6d..%-6d  %9.2f  %6.2f  %8.2f  %6.0f%%  %6.0f%%\n", scene, f.frames,
                     static_cast<int>(f.firstTime), static_cast<int>(f.lastTime), f.medianMs, f.p99Ms, f.worstMs,
                     f.frames ? 100 * (1 - f.drawingShare) : 0.0, 100 * f.drawingShare);
    }
    std::fprintf(out, "start-up: loading screen shown at %.0f ms, first scene frame at %.0f ms\n", g_startup[0],
                 g_startup[1]);
    std::fprintf(out, "peak resident memory: %.1f MB\n", peakResidentKb / 1024.0);
    std::fprintf(out, "frame rate reached: %.1f frames a second (%d frames in %.1f s)\n", FrameRateReached(),
                 g_play.frames, g_play.realSeconds);
    std::fprintf(out, "CPU time: %.3f s per second of demo (%.1f s over %.1f s of demo)\n", CpuPerDemoSecond(),
                 g_play.cpuSeconds, g_play.demoSeconds);
    std::fprintf(out, "display: %dx%d, drawn in a window of %dx%d pixels\n", g_play.displayWidth,
                 g_play.displayHeight, g_play.drawableWidth, g_play.drawableHeight);
    std::fflush(out);
}

bool WriteFrameStatsJson(const std::string& path, long peakResidentKb)
{
    FILE* out = PlatformOpenFile(path, "w");
    if (!out) return false;
    std::fprintf(out, "{\n  \"scenes\": [\n");
    for (int scene = 1; scene <= SceneCount; ++scene) {
        const SceneFigures f = FiguresOfScene(scene);
        std::fprintf(out,
                     "    {\"scene\": %d, \"frames\": %d, \"first_demo_time\": %d, \"last_demo_time\": %d, "
                     "\"mean_ms\": %.3f, \"median_ms\": %.3f, \"p99_ms\": %.3f, \"worst_ms\": %.3f, "
                     "\"cpu_share\": %.4f, \"drawing_share\": %.4f}%s\n",
                     scene, f.frames, static_cast<int>(f.firstTime), static_cast<int>(f.lastTime), f.meanMs,
                     f.medianMs, f.p99Ms, f.worstMs, f.frames ? 1 - f.drawingShare : 0.0, f.drawingShare,
                     scene < SceneCount ? "," : "");
    }
    std::fprintf(out, "  ],\n  \"loading_screen_ms\": %.1f,\n  \"first_scene_frame_ms\": %.1f,\n", g_startup[0],
                 g_startup[1]);
    std::fprintf(out, "  \"frame_rate\": %.2f,\n  \"cpu_seconds_per_demo_second\": %.4f,\n", FrameRateReached(),
                 CpuPerDemoSecond());
    std::fprintf(out, "  \"display\": [%d, %d],\n  \"drawable\": [%d, %d],\n", g_play.displayWidth,
                 g_play.displayHeight, g_play.drawableWidth, g_play.drawableHeight);
    const double period = g_presents.empty() ? 0 : g_presents.back().periodSeconds;
    std::fprintf(out, "  \"present_period_ms\": %.4f,\n  \"presents\": [\n", period * 1000);
    for (size_t i = 0; i < g_presents.size(); ++i) {
        const PresentMark& p = g_presents[i];
        std::fprintf(out, "    [%.3f, %d, %.3f, %.3f]%s\n", (p.atSeconds - g_presents[0].atSeconds) * 1000,
                     static_cast<int>(p.demoTime), p.readyMs, p.waitedMs, i + 1 < g_presents.size() ? "," : "");
    }
    std::fprintf(out, "  ],\n  \"peak_resident_kb\": %ld\n}\n", peakResidentKb);
    return std::fclose(out) == 0;
}
