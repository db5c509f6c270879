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
