// The processor's share of one frame of the credits scene (the crystal model of the data
// set) and of the closing scene's grid phase (the 16-strip lattice): everything the frame
// does up to the render interface, which here draws nothing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "model/3dsload.h"
#include "null_renderer.h"
#include "model/deform.h"
#include "model/mesh_load.h"
#include "pipeline/clip.h"
#include "scenes/closing.h"
#include "scenes/credits.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/timeline.h"
#include "shell/clock.h"

namespace {


// The scene's working storage, as its set-up makes it.
struct SceneStorage {
    NullRenderer renderer;
    RenderInterface* previous = Renderer;
    PolygonList list = AllocatePolygonList(50000);
    Camera camera{};
    Matrix matrix{};
    SceneStorage()
    {
        Renderer = &renderer;
        InitSceneCamera(&camera);
        SetScreenProjection(0.0f, 0.0f, 1.0f, 1.0f);
    }
    ~SceneStorage()
    {
        FreePolygonList(&list);
        Renderer = previous;
    }
};

std::string DataFile(const char* name)
{
    const char* dir = std::getenv("ZIRCON_DATA_DIR");
    return std::string(dir && *dir ? dir : "megadata") + "/" + name;
}

// Frames 1/60 s apart through the whole scene, over and over.
void BM_CreditsFrame(benchmark::State& state)
{
    Trace3dsChunks = false;
    if (LoadMesh3ds(&FrontMesh, DataFile("ting5.3ds").c_str(), "front") != ModelRead::Found || !FrontMesh.faceBlock) {
        state.SkipWithError("no ting5.3ds: set ZIRCON_DATA_DIR or run beside megadata/");
        return;
    }
    SceneStorage scene;
    float flashLevel = 0.0f;
    int frame = 0;
    for (auto _ : state) {
        DemoTime = 42000 + static_cast<int32_t>(frame * 1000LL / 60 % 12000);
        ++frame;
        DrawCreditsFrame(scene.list, scene.camera, scene.matrix, &flashLevel);
    }
    state.counters["vertices"] = FrontMesh.vertexBlock->count;
    state.counters["faces"] = FrontMesh.faceBlock->count;
    state.counters["triangles"] = benchmark::Counter(static_cast<double>(scene.renderer.triangles) / frame);
    FreeMesh(&FrontMesh);
}
BENCHMARK(BM_CreditsFrame)->Unit(benchmark::kMicrosecond);

void BM_LatticeFrame(benchmark::State& state)
{
    Mesh lattice;
    BuildLatticeMesh(&lattice, 16, 55.0f);
    SceneStorage scene;
    float distance = ClosingFarDistance;
    AnimationPhase = 0.0f;
    int frame = 0;
    for (auto _ : state) {
        DemoTime = 78000 + static_cast<int32_t>(frame * 1000LL / 60 % 12046);
        if (DemoTime < 78017) {   // the scene again from its start
            distance = ClosingFarDistance;
            AnimationPhase = 0.0f;
        }
        ++frame;
        DrawLatticeFrame(lattice, scene.list, scene.camera, scene.matrix, &distance);
        AdvancePhase(&AnimationPhase, 0.009);
    }
    state.counters["vertices"] = lattice.vertexBlock->count;
    state.counters["faces"] = lattice.faceBlock->count;
    state.counters["triangles"] = benchmark::Counter(static_cast<double>(scene.renderer.triangles) / frame);
    FreeMesh(&lattice);
}
BENCHMARK(BM_LatticeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
