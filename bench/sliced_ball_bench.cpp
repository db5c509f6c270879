// The second scene's wobble on the data set's ball: three double-precision sines per
// vertex. The whole frame is in bench_scenes.
#include <vector>

#include "scene_frames.h"
#include "scenes/sliced_ball.h"

namespace {

void BM_SlicedBallRadialFactors(benchmark::State& state)
{
    Resources* resources = BenchResources();
    if (!resources) {
        state.SkipWithError("no ball2420.3ds: set ZIRCON_DATA_DIR or run beside megadata/");
        return;
    }
    const VertexBlock& rest = *resources->ball.restBlock;
    std::vector<float> factors(rest.count);
    float a = 0.0f;
    for (auto _ : state) {
        WobbleFactorsFromRest(rest, a, factors.data());
        a += 0.0016f;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * rest.count);
}
BENCHMARK(BM_SlicedBallRadialFactors)->Unit(benchmark::kMicrosecond);

}  // namespace
