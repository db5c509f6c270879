// The closing scene: a lattice of glowing panels drawn additively over the vortex
// picture from a circling camera that closes in twice near the end; then the white
// picture fading to black until the demo ends.
#include "scenes/closing.h"

#include <cmath>

#include "fx/background.h"
#include "fx/sorted_faces.h"
#include "gfx/render_interface.h"
#include "model/deform.h"
#include "pipeline/clip.h"
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

// Double expressions (constants without a float suffix), each rounded to float once
// where it is stored.
void PlaceClosingView(Camera* camera, Matrix* matrix, float t, float* distance, int32_t demoTime)
{
    camera->positionX = static_cast<float>(800.0 * std::sin(static_cast<double>(t)));
    camera->positionY = static_cast<float>(800.0 * std::sin(1.6 * t));
    camera->positionZ = *distance;
    camera->targetX = 0.0f;
    camera->targetY = 0.0f;
    camera->targetZ = 0.0f;
    camera->roll = 0.0f;

    StepClosingDistance(distance, demoTime);

    BuildViewMatrix(matrix, *camera);
    // The lattice sits right of and above the centre while the camera is far, and is
    // centred once it is near: +500, +200 at 1200; +250, +100 at 1000; 0, 0 at 800.
    const double g = static_cast<double>(*distance) - 1200.0;
    matrix->m[3] = static_cast<float>(matrix->m[3] + (1.25 * g + 500.0));
    matrix->m[7] = static_cast<float>(matrix->m[7] + (0.5 * g + 200.0));
}

void StepClosingDistance(float* distance, int32_t demoTime)
{
    if (demoTime > 88913) *distance = ClosingMiddleDistance;
    if (demoTime > 89298) *distance = ClosingNearDistance;
}

namespace {

ClosingScene g_scene;   // written only by the routines below

// One grid frame: the lower vortex picture in the blend mode in force (additive: the
// scene's entry and every frame set it), then the lattice.
void DrawLatticeFrame(RenderInterface& render, const SceneTextures& textures, float phase, int32_t demoTime)
{
    ClosingScene& scene = g_scene;
    render.BindTexture(textures.swirlsBackground);
    DrawBackgroundLower(render, 1.0f, 1.0f, 1.0f, textures.swirlsBackground);
    render.BindTexture(textures.latticePanel);
    render.SetBlendMode(BlendMode::AdditiveFiltersKept);
    PlaceClosingView(&scene.camera, &scene.matrix, phase, &scene.distance, demoTime);
    TransformAndProjectMesh(scene.lattice, scene.matrix, scene.camera);
    DrawSortedFaces(render, scene.list, SortMeshFaces(scene.lattice, scene.list, DepthOrder::FarFirst));
}

void SetUpClosing(Resources&)
{
    g_scene.list = AllocatePolygonList(50000);
    BuildLatticeMesh(&g_scene.lattice, 16, 55.0f);
    InitSceneCamera(&g_scene.camera);
}

void EnterClosing(FrameContext& frame)
{
    SetScreenProjection(0.0f, 0.0f, 1.0f, 1.0f);
    // Off for the whole scene: the lattice is added, not depth-tested.
    frame.render.SetDepthTest(false);
    // The background's corners carry alpha 0, so under the alpha blending the previous
    // scene leaves behind the first frame would show no picture, a one-frame flash of
    // black. Additive, the mode of every later frame, shows it on the cleared frame.
    frame.render.SetBlendMode(BlendMode::AdditiveFiltersKept);
    frame.animationPhase = 0.0f;
    g_scene.distance = ClosingFarDistance;
    g_scene.fadeLevel = 1.0f;
}

// A grid frame's step of the camera's distance, or a fade frame's step of the level.
void CarryClosing(FrameContext& frame)
{
    ClosingScene& scene = g_scene;
    scene.lastFrameInGrid = frame.demoTime < ClosingGridPhaseEnd;
    if (scene.lastFrameInGrid) StepClosingDistance(&scene.distance, frame.demoTime);
    else if (scene.fadeLevel > 0.0f)
        scene.fadeLevel = FallBy(scene.fadeLevel, ClosingFadeStep, frame.elapsedFrames, -ClosingFadeStep);
}

FrameFinish DrawClosingFrame(FrameContext& frame)
{
    ClosingScene& scene = g_scene;
    const SceneTextures& textures = frame.resources.textures;
    scene.lastFrameInGrid = frame.demoTime < ClosingGridPhaseEnd;
    if (scene.lastFrameInGrid) {
        DrawLatticeFrame(frame.render, textures, frame.animationPhase, frame.demoTime);
        return FrameFinish::PresentThenTime;
    }
    frame.render.BindTexture(textures.whiteFlash);
    DrawBackgroundWhole(frame.render, scene.fadeLevel, scene.fadeLevel, scene.fadeLevel, textures.whiteFlash);
    CarryClosing(frame);
    return FrameFinish::TimeThenPresent;
}

void AdvanceClosing(FrameContext& frame)
{
    if (g_scene.lastFrameInGrid) AdvancePhase(&frame.animationPhase, ScaledStep(ClosingPhaseStep, frame.elapsedFrames));
}

void LeaveClosing(FrameContext&) {}

void ReleaseClosing()
{
    FreePolygonList(&g_scene.list);
    FreeMesh(&g_scene.lattice);
}

}  // namespace

const ClosingScene& ClosingSceneState()
{
    return g_scene;
}

const SceneRoutines ClosingSceneRoutines = {
    "closing",    ClosingSceneEnd, SetUpClosing,  EnterClosing,   DrawClosingFrame,
    CarryClosing, AdvanceClosing,  LeaveClosing,  ReleaseClosing,
};
