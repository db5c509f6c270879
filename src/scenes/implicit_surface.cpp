#include "scenes/scenes.h"
#include "scenes/timeline.h"

// Not drawn yet: the slot keeps its place and end time in the play sequence.
int PlayImplicitSurfaceScene()
{
    return RunFrameLoop(ImplicitSurfaceSceneEnd, [] {}, [] {});
}
