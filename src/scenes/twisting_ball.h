// The twisting-ball scene's record and pieces: its timing rules and the radial wobble.
#pragma once

#include <cstdint>
#include <vector>

#include "fx/environment_map.h"
#include "model/mesh.h"
#include "pipeline/polygon_list.h"
#include "pipeline/vector_math.h"
#include "scenes/scene_kit.h"

class RenderInterface;

// Beats of the music on which the whole animation leaps forward.
constexpr TimeWindow TwistingBallBeats[] = {{33038, 33500}, {36038, 36500}, {39038, 39500}};
// Added to the phase offset per designed frame spent inside a beat window (0.33 over a
// 462 ms window at any frame rate).
constexpr double BeatLeapPerFrame = 0.012;

// The frame's phase: demoTime × 0.0001 + phaseOffset + 0.5, summed in double precision and
// rounded to a float once.
float TwistingBallPhase(int32_t demoTime, float phaseOffset);

// Inside a beat window phaseOffset grows by BeatLeapPerFrame × frames (double sum, stored
// as a float); elsewhere it stays. Called after the frame's phase has been taken.
void AddBeatLeap(float* phaseOffset, int32_t demoTime, double frames);

// The part of the three wave angles that belongs to one vertex (x/56, y/47 and z/65 of its
// rest position), as sines and cosines: constant, so taken once at set-up.
struct WaveOffsets {
    double sinX, cosX, sinY, cosY, sinZ, cosZ;
};
std::vector<WaveOffsets> MakeWaveOffsets(const Mesh& ball);

// factors[i] := 1 + 0.25·(sin(16A + x/56) + cos(17A + y/47)) + 0.3·cos(15A + z/65) for each
// vertex, with (x, y, z) its rest position, in double precision and stored as floats.
void WaveFactorsFromOffsets(const std::vector<WaveOffsets>& offsets, float phase, float* factors);

// The scene's state: made at set-up, used by every frame, released at the end; written
// only by its routines.
struct TwistingBallScene {
    Mesh ball;   // its own copy of resources.ball, texture coordinates scaled by 4; deformed each frame
    PolygonList list;
    Camera camera{};
    Matrix matrix{};
    float phaseOffset = 0.0f;
    std::vector<WaveOffsets> waveOffsets;   // one per vertex of the ball
    std::vector<float> radialFactors;       // one per vertex of the ball, rewritten each frame
    CoincidentVertices seamCopies;          // the ball's vertices held twice or more at one point
    EnvironmentMapSums mapSums;             // scratch of the environment map, zero between frames
};

// The scene's routines. Set-up in order: its copy of resources.ball, polygon list of
// 20000 entries, wave offsets, camera; phase offset 0; the copy's texture coordinates
// scaled by 4 (its second pair keeps that from now on); the polygon list built once;
// the ball's coincident vertices found. Entry: screen projection; depth test on,
// BlendMode::OpaqueBothUnits; phase offset 0. Each frame draws the vortex background, then the ball
// wobbled and twisted from rest at the frame's phase, seen from the swinging camera,
// environment-mapped (one value for all copies of a point) and drawn front to back with
// back faces dropped; then it takes the beat leap. Leaving binds no second texture.
