// The closing scene's record and its grid-phase view: the circling camera, its distance
// steps and the matrix shift that follows the distance.
#pragma once

#include <cstdint>

#include "model/mesh.h"
#include "pipeline/polygon_list.h"
#include "pipeline/vector_math.h"

// The camera's distance before the first step, and after each.
constexpr float ClosingFarDistance = 1200.0f;
constexpr float ClosingMiddleDistance = 1000.0f;   // once DemoTime > 88913
constexpr float ClosingNearDistance = 800.0f;      // once DemoTime > 89298

// One grid frame's camera and matrix at phase t. The camera sits at
// (800 sin t, 800 sin 1.6t, cameraDistance), looking at the origin, roll 0; the matrix is
// the camera's scaled look-at matrix with 1.25g + 500 added to its x translation and
// 0.5g + 200 to its y translation, g = shiftDistance - 1200. A grid frame places the
// camera at the distance before its step (StepClosingDistance) and shifts by the one
// after it, so on the frame of a step the two differ.
void PlaceClosingView(Camera* camera, Matrix* matrix, float t, float cameraDistance, float shiftDistance);
// The distance's steps by demo time: a grid frame's carried state.
void StepClosingDistance(float* distance, int32_t demoTime);

// The grid phase's step of the carried phase per designed frame.
constexpr double ClosingPhaseStep = 0.009;
// The fade's step down per designed frame.
constexpr double ClosingFadeStep = 0.01;

// The scene's working state, written only by its routines.
struct ClosingScene {
    Mesh lattice;
    PolygonList list;
    Camera camera{};
    Matrix matrix{};
    float distance = ClosingFarDistance;
    float fadeLevel = 1.0f;
    float phase = 0.0f;            // the carried phase of the grid frames: 0 on entry
    bool lastFrameInGrid = true;   // whether the frame just drawn was a grid frame
};

// The scene's routines. Entry sets the carried phase to 0.
// A grid frame (before ClosingGridPhaseEnd) draws the lower vortex picture additively,
// then the lattice added over it through the pipeline, farthest faces first, with the
// view of the carried phase; advancing after a grid frame steps that phase by
// ClosingPhaseStep per designed frame. A fade frame draws the white picture at the fade
// level, full on its first frame and ClosingFadeStep darker per designed frame on each
// further one until 0 or just below, and is shown at the time after it (the clock moves
// on before its present).
