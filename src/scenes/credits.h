// The credits scene's record and its motion, as functions of its phase t and its flash
// level.
#pragma once

#include <cstdint>
#include <vector>

#include "model/mesh.h"
#include "pipeline/polygon_list.h"
#include "pipeline/vector_math.h"

class RenderInterface;
struct TextureId;

// Phase 0 falls on the first credit: t = (DemoTime - 45046) × 0.0001.
constexpr int32_t CreditsPhaseOrigin = 45046;

// The swaying camera: target (30, 30, 0), roll 180 degrees, position
// (100 sin 1.5t, 100 sin 1.3t + 200, 100 sin 2.1t - 500 + 200 sin(1.57 × flashLevel)).
// The last term jolts the camera towards the model on each beat.
void PlaceCreditsCamera(Camera* camera, float t, float flashLevel);

// The model's alpha, 0.1 sin 13t + 0.8.
float CreditsModelAlpha(float t);

// The flash level at DemoTime after `frames` designed frames: raised on the beats
// (45038-45500, 48038-48500, 51038-51500, open), else decaying by 0.01 a designed frame.
void UpdateCreditFlash(float* flashLevel, int32_t demoTime, double frames);
// The credits of one frame, after the overlays: depth test off, alpha blending, the
// credits picture bound, and each band whose window holds DemoTime (45038-48000,
// 48038-51000, 51038-54000, open) drawn white at the flash level as alpha.
void DrawCreditBands(RenderInterface& render, TextureId credits, float flashLevel, int32_t demoTime);

// The scene's working state, written only by its routines.
struct CreditsScene {
    // Its own copy of resources.crystal: each frame sets the next frame's alpha, and entry
    // starts again from the loaded alphas.
    Mesh model;
    PolygonList list;
    Camera camera{};
    Matrix matrix{};
    float flashLevel = 0.0f;
};

// The scene's routines. Each frame draws the backdrop, then its copy of
// resources.crystal through the pipeline (nearest faces first, back faces dropped) with
// the camera at the previous frame's flash level, sets the model's next alpha, and
// draws the line-noise layers and the credit bands.
