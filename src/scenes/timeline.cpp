// The play sequence's table of scenes and the steps of one frame.
#include "scenes/timeline.h"

#include "gfx/render_interface.h"
#include "scenes/frame_pace.h"
#include "scenes/scenes.h"
#include "shell/clock.h"
#include "shell/window.h"

float AnimationPhase = AnimationPhaseAtStart;

namespace {

const SceneRoutines* const PlayOrder[SceneCount] = {
    &OpeningSceneRoutines, &SlicedBallSceneRoutines,      &TwistingBallSceneRoutines,
    &CreditsSceneRoutines, &ImplicitSurfaceSceneRoutines, &ClosingSceneRoutines,
};

void Call(void (*routine)())
{
    if (routine) routine();
}

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

void SetUpScene(SceneId scene) { Call(SceneRoutinesOf(scene).setUp); }
void ReleaseScene(SceneId scene) { Call(SceneRoutinesOf(scene).release); }

void EnterScene(SceneId scene)
{
    BeginSceneFrames(static_cast<int>(scene) + 1);
    Call(SceneRoutinesOf(scene).enter);
}

void LeaveScene(SceneId scene) { Call(SceneRoutinesOf(scene).leave); }

bool FrameLoopShouldStop(int32_t endTime, bool* quit)
{
    *quit = PumpMessages();
    return *quit || DemoTime >= endTime;
}

void FinishFrame(FrameFinish order)
{
    RecordFrame(DemoTime);
    if (order == FrameFinish::TimeThenPresent) RefreshDemoTime();
    Renderer->PresentFrame();
    Renderer->ClearFrame();
    if (order == FrameFinish::PresentThenTime) RefreshDemoTime();
}

void PlaySceneFrame(const SceneRoutines& scene)
{
    FinishFrame(scene.drawFrame(DemoTime, FrameSteps()));
    // The steps of the frame just finished.
    if (scene.advance) scene.advance(FrameSteps());
}

bool PlaySceneFrames(const SceneRoutines& scene)
{
    bool quit = false;
    while (!FrameLoopShouldStop(scene.end, &quit)) PlaySceneFrame(scene);
    return quit;
}

int PlaySceneAlone(SceneId scene)
{
    SetUpScene(scene);
    EnterScene(scene);
    const bool quit = PlaySceneFrames(SceneRoutinesOf(scene));
    LeaveScene(scene);
    ReleaseScene(scene);
    return quit ? 1 : 0;
}
