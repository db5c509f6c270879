// The six scenes of the play sequence, in play order, as the timeline's table holds them,
// and the record of their states that the player owns and hands to every routine.
#pragma once

#include "scenes/closing.h"
#include "scenes/credits.h"
#include "scenes/implicit_surface.h"
#include "scenes/opening.h"
#include "scenes/sliced_ball.h"
#include "scenes/timeline.h"
#include "scenes/twisting_ball.h"

// Each scene's state, written only by that scene's routines.
struct SceneStates {
    OpeningScene opening;
    SlicedBallScene slicedBall;
    TwistingBallScene twistingBall;
    CreditsScene credits;
    ImplicitSurfaceScene implicitSurface;
    ClosingScene closing;
    uint32_t storageMade = 0;   // a bit per scene (1 << SceneId) whose working storage is made
};

extern const SceneRoutines OpeningSceneRoutines;          // picture fade-in, ends at 17950
extern const SceneRoutines SlicedBallSceneRoutines;       // ends at 30000
extern const SceneRoutines TwistingBallSceneRoutines;     // ends at 42000
extern const SceneRoutines CreditsSceneRoutines;          // ends at 54000
extern const SceneRoutines ImplicitSurfaceSceneRoutines;  // ends at 78000
extern const SceneRoutines ClosingSceneRoutines;          // grid until 90046, fade until 94000
