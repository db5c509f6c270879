// Whole frames of one scene as the player steps them, into a render interface that draws
// nothing: the scene's own routines on the data set's meshes ($ZIRCON_DATA_DIR, or
// megadata/ in the working directory), 60 frames a second from its start to its end,
// round and round.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "model/mesh_load.h"
#include "null_renderer.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"

// The data set's three meshes, read once. The textures stay NoTexture, which a render
// interface that draws nothing never looks at. Null when a model could not be read.
inline Resources* BenchResources()
{
    static Resources resources{};
    static const bool loaded = [] {
        const char* dir = std::getenv("ZIRCON_DATA_DIR");
        const std::string ball = std::string(dir && *dir ? dir : "megadata") + "/ball2420.3ds";
        const std::string front = std::string(dir && *dir ? dir : "megadata") + "/ting5.3ds";
        return LoadMesh3ds(&resources.ballA, ball.c_str(), "GeoSphere0") == ModelRead::Found &&
               LoadMesh3ds(&resources.ballB, ball.c_str(), "GeoSphere0") == ModelRead::Found &&
               LoadMesh3ds(&resources.front, front.c_str(), "front") == ModelRead::Found;
    }();
    return loaded ? &resources : nullptr;
}

// A scene set up and entered at its start; Frame() draws and advances one frame.
class SceneFrames {
public:
    NullRenderer null;

    SceneFrames(SceneId scene, Resources& resources)
        : scene_(scene), routines_(SceneRoutinesOf(scene)), start_(SceneStart(scene)), resources_(resources)
    {
        SetUpScene(scene_, resources_);
        Enter();
    }
    ~SceneFrames()
    {
        FrameContext frame = Context();
        LeaveScene(scene_, frame);
        ReleaseScene(scene_);
    }
    SceneFrames(const SceneFrames&) = delete;
    SceneFrames& operator=(const SceneFrames&) = delete;

    void Frame()
    {
        FrameContext frame = Context();
        routines_.drawFrame(frame);
        ++frames_;
        demoTime_ = start_ + static_cast<int32_t>(frames_ * 1000 / 60);
        FrameContext finished = Context();
        routines_.advance(finished);
        if (demoTime_ < routines_.end) return;
        LeaveScene(scene_, finished);
        Enter();
    }

private:
    FrameContext Context() { return FrameContext{demoTime_, 1.0, null, resources_, phase_}; }
    void Enter()
    {
        frames_ = 0;
        demoTime_ = start_;
        phase_ = AnimationPhaseAtStart;
        FrameContext frame = Context();
        EnterScene(scene_, frame);
    }

    SceneId scene_;
    const SceneRoutines& routines_;
    int32_t start_;
    Resources& resources_;
    int64_t frames_ = 0;
    int32_t demoTime_ = 0;
    float phase_ = AnimationPhaseAtStart;
};

// The benchmark body: every iteration one frame; counts the triangles handed over per frame.
inline void RunSceneFrames(benchmark::State& state, SceneId scene)
{
    Resources* resources = BenchResources();
    if (!resources) {
        state.SkipWithError("no ball2420.3ds or ting5.3ds: set ZIRCON_DATA_DIR or run beside megadata/");
        return;
    }
    SceneFrames frames(scene, *resources);
    for (auto _ : state) {
        frames.Frame();
        benchmark::ClobberMemory();
    }
    state.counters["triangles"] =
        benchmark::Counter(static_cast<double>(frames.null.triangles), benchmark::Counter::kAvgIterations);
}
