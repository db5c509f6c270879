#include "app/frame_stats.h"

#include <algorithm>
#include <chrono>
#include <vector>

int CurrentScene = 0;

namespace {

struct SceneStats {
    int frames = 0;
    int32_t firstTime = 0;
    int32_t lastTime = 0;
    std::vector<float> frameMs;
};

SceneStats g_stats[SceneCount + 1];
std::chrono::steady_clock::time_point g_lastMark;

bool ValidScene(int scene) { return scene >= 1 && scene <= SceneCount; }

}  // namespace

void BeginSceneFrames(int scene)
{
    CurrentScene = scene;
    g_lastMark = std::chrono::steady_clock::now();
}

void RecordFrame(int32_t demoTime)
{
    if (!ValidScene(CurrentScene)) return;
    auto now = std::chrono::steady_clock::now();
    SceneStats& s = g_stats[CurrentScene];
    if (s.frames == 0) s.firstTime = demoTime;
    s.lastTime = demoTime;
    ++s.frames;
    s.frameMs.push_back(std::chrono::duration<float, std::milli>(now - g_lastMark).count());
    g_lastMark = now;
}

int FramesDrawn(int scene) { return ValidScene(scene) ? g_stats[scene].frames : 0; }

void PrintFrameStats(FILE* out)
{
    for (int scene = 1; scene <= SceneCount; ++scene) {
        SceneStats& s = g_stats[scene];
        std::vector<float> ms = s.frameMs;
        std::sort(ms.begin(), ms.end());
        float mean = 0, median = 0, p99 = 0, max = 0;
        if (!ms.empty()) {
            for (float v : ms) mean += v;
            mean /= static_cast<float>(ms.size());
            median = ms[ms.size() / 2];
            p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
            max = ms.back();
        }
        std::fprintf(out,
                     "scene %d: frames %d, demo time %d..%d ms, frame ms mean %.2f median %.2f p99 %.2f max %.2f\n",
                     scene, s.frames, s.firstTime, s.lastTime, mean, median, p99, max);
    }
    std::fflush(out);
}
