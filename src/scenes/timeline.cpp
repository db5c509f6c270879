// The play sequence's table of scenes.
#include "scenes/timeline.h"

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
    BeginSceneFrames(static_cast<int>(scene) + 1);
    SceneRoutinesOf(scene).enter(frame);
}

void LeaveScene(SceneId scene, FrameContext& frame) { SceneRoutinesOf(scene).leave(frame); }
