// The play sequence's table of scenes.
#include "scenes/timeline.h"

#include <algorithm>

#include "scenes/frame_steps.h"
#include "scenes/scenes.h"

namespace {

const SceneRoutines* const PlayOrder[SceneCount] = {
    &OpeningSceneRoutines, &SlicedBallSceneRoutines,      &TwistingBallSceneRoutines,
    &CreditsSceneRoutines, &ImplicitSurfaceSceneRoutines, &ClosingSceneRoutines,
};

}  // namespace

const SceneRoutines& SceneRoutinesOf(SceneId scene)
{
    return *PlayOrder[static_cast<int>(scene)];
}

int32_t SceneStart(SceneId scene)
{
    const int i = static_cast<int>(scene);
    return i == 0 ? 0 : PlayOrder[i - 1]->end;
}

SceneId SceneAtTime(int32_t demoTime)
{
    int i = 0;
    while (i + 1 < SceneCount && demoTime >= PlayOrder[i]->end) ++i;
    return static_cast<SceneId>(i);
}

void SetUpScene(SceneId scene, Resources& resources) { SceneRoutinesOf(scene).setUp(resources); }
void ReleaseScene(SceneId scene) { SceneRoutinesOf(scene).release(); }

void EnterScene(SceneId scene, FrameContext& frame)
{
    SceneRoutinesOf(scene).enter(frame);
}

void LeaveScene(SceneId scene, FrameContext& frame) { SceneRoutinesOf(scene).leave(frame); }

int CarrySceneTo(SceneId scene, FrameContext& frame, int fixedFps)
{
    const SceneRoutines& routines = SceneRoutinesOf(scene);
    if (!routines.carry) return 0;
    const int32_t target = frame.demoTime;
    const double elapsed = frame.elapsedFrames;
    // Frame k of a play from 0 is drawn at floor(k × 1000 / fps), each standing for one
    // step of the clock; after it the scene advances with the next frame's time.
    const uint64_t fps = fixedFps > 0 ? static_cast<uint64_t>(fixedFps) : 60u;
    const double step = DesignedFrames(1.0 / static_cast<double>(fps));
    const auto timeOfFrame = [fps](uint64_t k) { return static_cast<int32_t>(k * 1000u / fps); };
    const uint64_t start = static_cast<uint64_t>(std::max<int32_t>(SceneStart(scene), 0));
    int replayed = 0;
    for (uint64_t k = (start * fps + 999u) / 1000u; timeOfFrame(k) < target; ++k, ++replayed) {
        frame.demoTime = timeOfFrame(k);
        frame.elapsedFrames = step;
        routines.carry(frame);
        frame.demoTime = timeOfFrame(k + 1);
        routines.advance(frame);
    }
    frame.demoTime = target;
    frame.elapsedFrames = elapsed;
    return replayed;
}
