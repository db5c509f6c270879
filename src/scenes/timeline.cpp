#include "scenes/timeline.h"

#include "shell/clock.h"
#include "scenes/frame_stats.h"
#include "shell/window.h"
#include "gfx/render_interface.h"
#include "scenes/scenes.h"

float AnimationPhase = 3.14f;

bool FrameLoopShouldStop(int32_t endTime, int* result)
{
    if (PumpMessages()) {
        *result = 1;
        return true;
    }
    if (DemoTime >= endTime) {
        *result = 0;
        return true;
    }
    return false;
}

void FinishFrame(FrameFinish order)
{
    RecordFrame(DemoTime);
    if (order == FrameFinish::TimeThenPresent) RefreshDemoTime();
    Renderer->PresentFrame();
    Renderer->ClearFrame();
    if (order == FrameFinish::PresentThenTime) RefreshDemoTime();
}

void PlaySequence()
{
    // The driver reads no result: every scene runs, and after a quit each returns at
    // its first check.
    void (*const scenes[SceneCount])() = {
        [] { PlayOpeningScene(); },        [] { PlaySlicedBallScene(); },
        [] { PlayTwistingBallScene(); },   [] { PlayCreditsScene(); },
        [] { PlayImplicitSurfaceScene(); }, [] { PlayClosingScene(); },
    };
    for (int i = 0; i < SceneCount; ++i) {
        BeginSceneFrames(i + 1);
        scenes[i]();
    }
    CurrentScene = 0;
}
