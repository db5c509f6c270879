// Whole frames of one scene as the player plays them, into a render interface that draws
// nothing: the player from the scene's start to its end on the fixed 60 fps clock, round
// and round, with the data set's meshes ($ZIRCON_DATA_DIR, or megadata/ in the working
// directory).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/player.h"
#include "model/mesh_load.h"
#include "null_renderer.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "shell/window.h"

// The data set's three meshes, read once. The textures stay NoTexture, which a render
// interface that draws nothing never looks at. Null when a model could not be read.
inline Resources* BenchResources()
{
    static Resources resources{};
    static const bool loaded = [] {
        const char* dir = std::getenv("ZIRCON_DATA_DIR");
        const std::string folder = std::string(dir && *dir ? dir : "megadata") + "/";
        const std::string ball = folder + "ball2420.3ds", crystal = folder + "ting5.3ds";
        return LoadMesh3ds(&resources.ball, ball.c_str(), "GeoSphere0") == ModelRead::Found &&
               LoadMesh3ds(&resources.crystal, crystal.c_str(), "front") == ModelRead::Found;
    }();
    return loaded ? &resources : nullptr;
}

// The player started at a scene's start; Frame() plays one frame, and once the scene's
// end is reached starts it again.
class SceneFrames {
public:
    NullRenderer null;

    SceneFrames(SceneId scene, Resources& resources) : scene_(scene), resources_(resources)
    {
        MarkMainWindowOpen();   // no window: the pump finds no events
        Begin();
    }
    ~SceneFrames()
    {
        player_.reset();
        ResetWindowState();
    }
    SceneFrames(const SceneFrames&) = delete;
    SceneFrames& operator=(const SceneFrames&) = delete;

    void Frame()
    {
        if (player_->PlayFrame()) return;
        player_->Begin(SceneStart(scene_));
        player_->PlayFrame();
    }

    const Player& ThePlayer() const { return *player_; }

private:
    void Begin()
    {
        PlayerSettings settings;
        settings.render = &null;
        settings.resources = &resources_;
        settings.fixedFps = 60;
        settings.keyboard = false;
        settings.untilMs = SceneEnd(scene_);
        player_.reset(new Player(settings));
        player_->Begin(SceneStart(scene_));
    }

    SceneId scene_;
    Resources& resources_;
    std::unique_ptr<Player> player_;
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
