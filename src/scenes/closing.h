// The closing scene's grid-phase frame and its view: the circling camera, its distance
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
// (800 sin t, 800 sin 1.6t, *distance), looking at the origin, roll 0; then *distance
// steps in by DemoTime; then the matrix is the camera's scaled look-at matrix with
// 1.25g + 500 added to its x translation and 0.5g + 200 to its y translation, g the new
// distance minus 1200. So on the frame of a step the camera still uses the old distance
// while the shift already uses the new one.
void PlaceClosingView(Camera* camera, Matrix* matrix, float t, float* distance, int32_t demoTime);

// One grid frame's drawing at DemoTime with phase AnimationPhase: the lower vortex
// picture in the blend mode in force (additive: the scene's set-up and every frame set
// it), then the lattice added over it through the pipeline, farthest faces first. The list, camera and matrix are the scene's working
// storage; the camera set up by InitSceneCamera.
void DrawLatticeFrame(Mesh& lattice, PolygonList& list, Camera& camera, Matrix& matrix, float* distance);
