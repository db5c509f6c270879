// The second scene's steps: a wobbling ball left of the screen centre, seen from a
// circling camera, cut by a plane facing the viewer 100 units in front of its centre so
// that only the near cap is drawn; the rim of the cut throws an additive band of light
// toward the viewer that shoots out longer on three beats. Two layers of scrolling noise
// lie over everything.
#pragma once

#include <cstdint>
#include <vector>

#include "fx/cut_band.h"
#include "fx/plane_slice.h"
#include "model/mesh.h"
#include "pipeline/polygon_list.h"
#include "pipeline/vector_math.h"
#include "scenes/scene_kit.h"

// The band's length at rest and when kicked, and its decay per designed frame.
constexpr float PulseRestLength = 550.0f;
constexpr float PulseKickLength = 800.0f;

// The beats that kick the band (open windows of DemoTime).
constexpr TimeWindow PulseBeats[] = {{21038, 21500}, {24052, 24500}, {27047, 27500}};

// How far left of the screen centre the ball sits, in view-space units.
constexpr double BallShiftLeft = 250.0;
// How far in front of the ball's centre the slicing plane lies.
constexpr double SliceDepthInFront = 100.0;

// The scene's working state, made at set-up and kept for the whole scene; written only
// by its routines.
struct SlicedBallScene {
    Mesh ball;                          // its own copy of resources.ball, deformed each frame
    PolygonList list;
    Camera camera{};
    Matrix view{};
    float pulseLength = PulseRestLength;
    std::vector<float> radialFactors;   // one per vertex of the ball
    CutEdges cutEdges;                  // where this frame's slice cut the ball
    CutBand band;                       // the glowing rim built on those edges
};

// Once per frame: a kicked band shrinks by 10 per designed frame (frames, frame_steps.h),
// never below rest length; then inside a beat window a band at or below rest length is
// kicked to 800. At 560 it thus drops to 550 and is kicked again in the same frame.
void UpdatePulseLength(float* length, int32_t demoTime, double frames);

// Factor i of the wobble at phase a from rest position i:
// 1 + 0.25·(sin(16a + x/26) + sin(23a + y/36)) + 0.215·sin(26a + z/26), the products with
// a in float, the rest in double, each result stored as a float.
void WobbleFactorsFromRest(const VertexBlock& rest, float a, float* factors);

// The eye on a circle of radius 800 in the plane z = 100 round the ball at the origin.
void PlaceCircleCamera(Camera* camera, float a);

// The slicing plane's vector P for the shifted view matrix m (normal (0, 0, 1)): the
// plane z = m23 - 100 in view space, 100 units in front of the ball's centre.
Vector3 SlicePlaneVector(const Matrix& m);

// The scene's routines: set-up copies resources.ball and allocates the polygon list, the
// camera and one factor per vertex of the ball; entry sets the emission projection,
// the pulse at rest and the ball's render state; each frame draws the background, the
// sliced ball, the band and the two overlays at the frame's phase (demoTime - 18000) ×
// 0.0001.
