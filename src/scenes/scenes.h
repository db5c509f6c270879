// The six scenes of the play sequence, in play order, as the timeline's table holds them.
// Each scene's state lives in its own unit and is written only by its routines.
#pragma once

#include "scenes/timeline.h"

extern const SceneRoutines OpeningSceneRoutines;          // picture fade-in, ends at 17950
extern const SceneRoutines SlicedBallSceneRoutines;       // ends at 30000
extern const SceneRoutines TwistingBallSceneRoutines;     // ends at 42000
extern const SceneRoutines CreditsSceneRoutines;          // ends at 54000
extern const SceneRoutines ImplicitSurfaceSceneRoutines;  // ends at 78000
extern const SceneRoutines ClosingSceneRoutines;          // grid until 90046, fade until 94000
