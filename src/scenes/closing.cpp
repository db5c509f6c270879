#include "scenes/scenes.h"
#include "scenes/timeline.h"

// Not drawn yet: the slot keeps its two phases and end times in the play sequence.
int PlayClosingScene()
{
    if (RunFrameLoop(ClosingGridPhaseEnd, [] {}, [] {})) return 1;
    return RunFrameLoop(ClosingSceneEnd, [] {}, [] {});
}
