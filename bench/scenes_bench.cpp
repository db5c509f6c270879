// The processor's share of one frame of each scene: everything the frame does up to the
// render interface, which here draws nothing.
#include "scene_frames.h"

namespace {

void BM_SceneFrame(benchmark::State& state, SceneId scene) { RunSceneFrames(state, scene); }

BENCHMARK_CAPTURE(BM_SceneFrame, opening, SceneId::Opening)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SceneFrame, sliced_ball, SceneId::SlicedBall)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SceneFrame, twisting_ball, SceneId::TwistingBall)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SceneFrame, credits, SceneId::Credits)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SceneFrame, implicit_surface, SceneId::ImplicitSurface)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SceneFrame, closing, SceneId::Closing)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// A start or seek at the last frame before a scene's end: the player sets the scenes up,
// lands there (each scene before drawn unseen for two frames, the scene's carried state
// replayed from its start) and draws the frame. `baseline` lands at 0, where nothing is
// replayed: the difference is what a seek costs.
void BM_LandAtSceneEnd(benchmark::State& state, int scene)
{
    Resources* resources = BenchResources();
    if (!resources) {
        state.SkipWithError("the data set's models could not be read");
        return;
    }
    const int32_t time = scene < 0 ? 0 : SceneEnd(static_cast<SceneId>(scene)) - 17;
    NullRenderer null;
    MarkMainWindowOpen();
    for (auto _ : state) {
        PlayerSettings settings;
        settings.render = &null;
        settings.resources = resources;
        settings.fixedFps = 60;
        settings.keyboard = false;
        Player player(settings);
        player.Begin(time);
        player.PlayFrame();
    }
    ResetWindowState();
}

BENCHMARK_CAPTURE(BM_LandAtSceneEnd, baseline, -1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LandAtSceneEnd, opening, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LandAtSceneEnd, sliced_ball, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LandAtSceneEnd, twisting_ball, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LandAtSceneEnd, credits, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LandAtSceneEnd, implicit_surface, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LandAtSceneEnd, closing, 5)->Unit(benchmark::kMillisecond);

}  // namespace
