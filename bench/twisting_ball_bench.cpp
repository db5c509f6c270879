// The twisting-ball scene's processor work per frame on the real ball of the data set
// ($ZIRCON_DATA_DIR/ball2420.3ds, or megadata/ in the working directory): the whole frame
// into a render interface that draws nothing, and its two new steps alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "null_renderer.h"
#include "fx/environment_map.h"
#include "gfx/render_interface.h"
#include "model/3dsload.h"
#include "model/mesh_load.h"
#include "scenes/scene_kit.h"
#include "scenes/twisting_ball.h"

namespace {


// The data set's ball, loaded into a mesh of the caller's.
bool LoadBall(Mesh* mesh)
{
    const char* dir = std::getenv("ZIRCON_DATA_DIR");
    const std::string path = std::string(dir && *dir ? dir : "megadata") + "/ball2420.3ds";
    Trace3dsChunks = false;
    return LoadMesh3ds(mesh, path.c_str(), "GeoSphere0") == ModelRead::Found;
}

// The scene set up on its own copy of the ball, drawing into a NullRenderer.
struct BallScene {
    Mesh ball;
    NullRenderer null;
    RenderInterface* previous = Renderer;
    TwistingBall scene;
    bool loaded = false;

    BallScene()
    {
        Renderer = &null;
        loaded = LoadBall(&ball);
        if (loaded) SetUpTwistingBall(&scene, &ball);
    }
    ~BallScene()
    {
        ReleaseTwistingBall(&scene);
        Renderer = previous;
        FreeMesh(&ball);
    }
    bool Ready(benchmark::State& state)
    {
        if (!loaded) state.SkipWithError("no ball2420.3ds: set ZIRCON_DATA_DIR or run beside megadata/");
        return loaded;
    }
};

// DemoTime of the i-th measured frame: 60 fps steps through the whole scene, beats included.
int32_t SceneTime(int64_t i)
{
    return 30000 + static_cast<int32_t>((i * 1000 / 60) % 12000);
}

// Deform, twist, camera, transform, project, environment map, keys, sort, culling and
// emission of the visible faces (clipped where they cross the view's edges).
void BM_TwistingBallFrame(benchmark::State& state)
{
    BallScene s;
    if (!s.Ready(state)) return;
    int64_t frame = 0;
    for (auto _ : state) {
        DrawTwistingBallFrame(&s.scene, SceneTime(frame++));
        benchmark::ClobberMemory();
    }
    state.counters["faces"] = s.ball.faceBlock->count;
    state.counters["drawn_per_frame"] = double(s.null.triangles) / double(state.iterations());
}
BENCHMARK(BM_TwistingBallFrame)->Unit(benchmark::kMicrosecond);

// The environment map alone (face normals, sums, coordinates) and the seam sharing after
// it, on the ball as a frame of the scene leaves it.
void BM_EnvironmentMapBall(benchmark::State& state)
{
    BallScene s;
    if (!s.Ready(state)) return;
    DrawTwistingBallFrame(&s.scene, 36200);
    VertexBlock& block = *s.ball.vertexBlock;
    const FaceBlock& faces = *s.ball.faceBlock;
    for (auto _ : state) {
        ApplyEnvironmentMap(s.scene.mapSums, block.screen, faces.faces, block.count, faces.count);
        ShareEnvironmentCoords(block.screen, s.scene.seamCopies);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * faces.count);
}
BENCHMARK(BM_EnvironmentMapBall)->Unit(benchmark::kMicrosecond);

// The per-vertex wobble factors alone: six sines and cosines a frame, then products and
// sums per vertex.
void BM_RadialFactorsBall(benchmark::State& state)
{
    BallScene s;
    if (!s.Ready(state)) return;
    std::vector<float> factors(s.scene.waveOffsets.size());
    float phase = 3.5f;
    for (auto _ : state) {
        ComputeRadialFactors(s.scene.waveOffsets, phase, factors.data());
        AdvancePhase(&phase, 0.0017);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(factors.size()));
}
BENCHMARK(BM_RadialFactorsBall)->Unit(benchmark::kMicrosecond);

}  // namespace
