// The second scene's processor work per frame on the data set's ball: deform, transform,
// project, hide, sort, slice, build and sort the band, and every draw call, into a render
// interface that draws nothing. The ball is $ZIRCON_DATA_DIR/ball2420.3ds, or
// megadata/ball2420.3ds in the working directory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "null_renderer.h"
#include "fx/cut_band.h"
#include "fx/plane_slice.h"
#include "gfx/render_interface.h"
#include "model/3dsload.h"
#include "model/mesh_load.h"
#include "scenes/resources.h"
#include "scenes/sliced_ball.h"
#include "scenes/timeline.h"
#include "shell/clock.h"

namespace {


bool LoadBall()
{
    if (BallMeshA.faceBlock) return true;
    const char* dir = std::getenv("ZIRCON_DATA_DIR");
    const std::string path = std::string(dir && *dir ? dir : "megadata") + "/ball2420.3ds";
    Trace3dsChunks = false;
    return LoadMesh3ds(&BallMeshA, path.c_str(), "GeoSphere0") == ModelRead::Found;
}

// Frames at 60 per second through the whole scene, beats included, over and over.
void BM_SlicedBallFrame(benchmark::State& state)
{
    if (!LoadBall()) {
        state.SkipWithError("no ball2420.3ds: set ZIRCON_DATA_DIR or run beside megadata/");
        return;
    }
    NullRenderer renderer;
    RenderInterface* previous = Renderer;
    Renderer = &renderer;
    SlicedBallScene scene;
    SetUpSlicedBallScene(&scene);
    int frame = 0;
    int64_t edges = 0;
    for (auto _ : state) {
        DemoTime = OpeningSceneEnd + static_cast<int32_t>(frame * 1000LL / 60);
        if (DemoTime >= SlicedBallSceneEnd) {
            frame = 0;
            DemoTime = OpeningSceneEnd;
        }
        ++frame;
        DrawSlicedBallFrame(scene);
        edges += scene.cutEdges.count;
        benchmark::ClobberMemory();
    }
    FinishSlicedBallScene(&scene);
    Renderer = previous;
    state.counters["faces"] = BallMeshA.faceBlock->count;
    state.counters["cut_edges"] = benchmark::Counter(static_cast<double>(edges), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SlicedBallFrame)->Unit(benchmark::kMicrosecond);

// The wobble's share: three double-precision sines per vertex.
void BM_SlicedBallRadialFactors(benchmark::State& state)
{
    if (!LoadBall()) {
        state.SkipWithError("no ball2420.3ds: set ZIRCON_DATA_DIR or run beside megadata/");
        return;
    }
    const VertexBlock& rest = *BallMeshA.restBlock;
    std::vector<float> factors(rest.count);
    float a = 0.0f;
    for (auto _ : state) {
        ComputeRadialFactors(rest, a, factors.data());
        a += 0.0016f;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * rest.count);
}
BENCHMARK(BM_SlicedBallRadialFactors)->Unit(benchmark::kMicrosecond);

}  // namespace
