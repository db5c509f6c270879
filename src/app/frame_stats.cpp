// Per-scene frame statistics and start-up marks, recorded only with --stats.
#include "app/frame_stats.h"

#include "platform/file_system.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Taken during static initialisation, before main: the process's start as near as it
// can be seen from inside.
const Clock::time_point ProcessStart = Clock::now();

bool ValidScene(int scene) { return scene >= 1 && scene <= SceneCount; }

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

double MillisecondsSinceProcessStart() { return Milliseconds(Clock::now() - ProcessStart); }

void FrameStats::MarkStartup(StartupMark mark)
{
    double& slot = startup_[static_cast<int>(mark)];
    if (slot < 0) slot = MillisecondsSinceProcessStart();
}

void FrameStats::BeginSceneFrames(int scene, double nowSeconds)
{
    scene_ = scene;
    lastMarkSeconds_ = nowSeconds;
    drawingMs_ = 0;
}

void FrameStats::AddDrawingTime(double milliseconds) { drawingMs_ += milliseconds; }

void FrameStats::RecordFrame(int32_t demoTime, double nowSeconds)
{
    if (!ValidScene(scene_)) return;
    SceneRecord& s = scenes_[scene_];
    lastRecordedTime_ = demoTime;
    frameRecorded_ = true;
    if (s.frames == 0) s.firstTime = demoTime;
    s.lastTime = demoTime;
    ++s.frames;
    const double ms = (nowSeconds - lastMarkSeconds_) * 1000.0;
    s.frameMs.push_back(static_cast<float>(ms));
    s.totalMs += ms;
    s.drawingMs += std::min(drawingMs_, ms);
    drawingMs_ = 0;
    lastMarkSeconds_ = nowSeconds;
}

void FrameStats::RecordPresent(double nowSeconds, double readyMs, double waitedMs, double periodSeconds)
{
    if (!frameRecorded_) return;
    presents_.push_back(PresentMark{nowSeconds, lastRecordedTime_, readyMs, waitedMs, periodSeconds});
}

int FrameStats::FramesDrawn(int scene) const { return ValidScene(scene) ? scenes_[scene].frames : 0; }

SceneFigures FrameStats::FiguresOfScene(int scene) const
{
    SceneFigures f;
    if (!ValidScene(scene)) return f;
    const SceneRecord& s = scenes_[scene];
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

double FrameStats::FrameRateReached() const { return play_.realSeconds > 0 ? play_.frames / play_.realSeconds : 0; }
double FrameStats::CpuPerDemoSecond() const
{
    return play_.demoSeconds > 0 ? play_.cpuSeconds / play_.demoSeconds : 0;
}

void FrameStats::Print(FILE* out, long peakResidentKb) const
{
    std::fprintf(out, "scene  frames  demo time (ms)   median ms  p99 ms  worst ms  our CPU  drawing\n");
    for (int scene = 1; scene <= SceneCount; ++scene) {
        const SceneFigures f = FiguresOfScene(scene);
        std::fprintf(out, "%5d  %6d  %6d..%-6d  %9.2f  %6.2f  %8.2f  %6.0f%%  %6.0f%%\n", scene, f.frames,
                     static_cast<int>(f.firstTime), static_cast<int>(f.lastTime), f.medianMs, f.p99Ms, f.worstMs,
                     f.frames ? 100 * (1 - f.drawingShare) : 0.0, 100 * f.drawingShare);
    }
    std::fprintf(out, "start-up: loading screen shown at %.0f ms, first scene frame at %.0f ms\n", startup_[0],
                 startup_[1]);
    std::fprintf(out, "peak resident memory: %.1f MB\n", peakResidentKb / 1024.0);
    std::fprintf(out, "frame rate reached: %.1f frames a second (%d frames in %.1f s)\n", FrameRateReached(),
                 play_.frames, play_.realSeconds);
    std::fprintf(out, "CPU time: %.3f s per second of demo (%.1f s over %.1f s of demo)\n", CpuPerDemoSecond(),
                 play_.cpuSeconds, play_.demoSeconds);
    std::fprintf(out, "display: %dx%d, drawn in a window of %dx%d pixels\n", play_.displayWidth,
                 play_.displayHeight, play_.drawableWidth, play_.drawableHeight);
    std::fflush(out);
}

bool FrameStats::WriteJson(const std::string& path, long peakResidentKb) const
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
    std::fprintf(out, "  ],\n  \"loading_screen_ms\": %.1f,\n  \"first_scene_frame_ms\": %.1f,\n", startup_[0],
                 startup_[1]);
    std::fprintf(out, "  \"frame_rate\": %.2f,\n  \"cpu_seconds_per_demo_second\": %.4f,\n", FrameRateReached(),
                 CpuPerDemoSecond());
    std::fprintf(out, "  \"display\": [%d, %d],\n  \"drawable\": [%d, %d],\n", play_.displayWidth,
                 play_.displayHeight, play_.drawableWidth, play_.drawableHeight);
    const double period = presents_.empty() ? 0 : presents_.back().periodSeconds;
    std::fprintf(out, "  \"present_period_ms\": %.4f,\n  \"presents\": [\n", period * 1000);
    for (size_t i = 0; i < presents_.size(); ++i) {
        const PresentMark& p = presents_[i];
        std::fprintf(out, "    [%.3f, %d, %.3f, %.3f]%s\n", (p.atSeconds - presents_[0].atSeconds) * 1000,
                     static_cast<int>(p.demoTime), p.readyMs, p.waitedMs, i + 1 < presents_.size() ? "," : "");
    }
    std::fprintf(out, "  ],\n  \"peak_resident_kb\": %ld\n}\n", peakResidentKb);
    return std::fclose(out) == 0;
}
