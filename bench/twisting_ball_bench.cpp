// The twisting-ball scene's two own steps on the data set's ball, as a frame of the scene
// leaves it: the environment map with its seam sharing, and the wobble factors. The whole
// frame is in bench_scenes.
#include <optional>
#include <vector>

#include "fx/environment_map.h"
#include "scene_frames.h"
#include "scenes/twisting_ball.h"

namespace {

// The scene after one frame at its start in *frames; false (the benchmark skipped) without data.
bool BallAfterOneFrame(benchmark::State& state, std::optional<SceneFrames>* frames)
{
    Resources* resources = BenchResources();
    if (!resources) {
        state.SkipWithError("no ball2420.3ds: set ZIRCON_DATA_DIR or run beside megadata/");
        return false;
    }
    frames->emplace(SceneId::TwistingBall, *resources);
    (*frames)->Frame();
    return true;
}

// Face normals, sums and coordinates, then the seam sharing.
void BM_EnvironmentMapBall(benchmark::State& state)
{
    std::optional<SceneFrames> frames;
    if (!BallAfterOneFrame(state, &frames)) return;
    const TwistingBallScene& scene = frames->ThePlayer().Scenes().twistingBall;
    VertexBlock& block = *scene.ball.vertexBlock;
    const FaceBlock& faces = *scene.ball.faceBlock;
    EnvironmentMapSums sums;
    AllocateEnvironmentMapSums(&sums);
    for (auto _ : state) {
        ApplyEnvironmentMap(sums, block.screen, faces.faces, block.count, faces.count);
        ShareEnvironmentCoords(block.screen, scene.seamCopies);
        benchmark::ClobberMemory();
    }
    FreeEnvironmentMapSums(&sums);
    state.SetItemsProcessed(state.iterations() * faces.count);
}
BENCHMARK(BM_EnvironmentMapBall)->Unit(benchmark::kMicrosecond);

// Six sines and cosines a frame, then products and sums per vertex.
void BM_RadialFactorsBall(benchmark::State& state)
{
    std::optional<SceneFrames> frames;
    if (!BallAfterOneFrame(state, &frames)) return;
    const TwistingBallScene& scene = frames->ThePlayer().Scenes().twistingBall;
    std::vector<float> factors(scene.waveOffsets.size());
    float phase = 3.5f;
    for (auto _ : state) {
        WaveFactorsFromOffsets(scene.waveOffsets, phase, factors.data());
        AdvancePhase(&phase, 0.0017);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(factors.size()));
}
BENCHMARK(BM_RadialFactorsBall)->Unit(benchmark::kMicrosecond);

}  // namespace
