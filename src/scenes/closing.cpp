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
void PlaceClosingView(Camera* camera, Matrix* matrix, float t, float cameraDistance, float shiftDistance)
{
    AimCamera(camera, static_cast<float>(800.0 * std::sin(static_cast<double>(t))),
              static_cast<float>(800.0 * std::sin(1.6 * t)), cameraDistance, 0.0f, 0.0f, 0.0f, 0.0f);
    BuildViewMatrix(matrix, *camera);
    // The lattice sits right of and above the centre while the camera is far, and is
    // centred once it is near: +500, +200 at 1200; +250, +100 at 1000; 0, 0 at 800.
    const double g = static_cast<double>(shiftDistance) - 1200.0;
    matrix->m[3] = static_cast<float>(matrix->m[3] + (1.25 * g + 500.0));
    matrix->m[7] = static_cast<float>(matrix->m[7] + (0.5 * g + 200.0));
}

void StepClosingDistance(float* distance, int32_t demoTime)
{
    if (demoTime > 88913) *distance = ClosingMiddleDistance;
    if (demoTime > 89298) *distance = ClosingNearDistance;
}

namespace {

// One grid frame: the lower vortex picture in the blend mode in force (additive: the
// scene's entry and every frame set it), then the lattice.
// A grid frame: the camera at cameraDistance, the lattice shifted by the carried distance.
void DrawLatticeFrame(ClosingScene& scene, const FrameContext& frame, const SceneTextures& textures, float phase,
                      float cameraDistance)
{
    RenderInterface& render = frame.render;
    render.BindTexture(textures.swirlsBackground);
    DrawBackgroundLower(render, 1.0f, 1.0f, 1.0f, textures.swirlsBackground);
    render.BindTexture(textures.latticePanel);
    render.SetBlendMode(BlendMode::AdditiveFiltersKept);
    PlaceClosingView(&scene.camera, &scene.matrix, phase, cameraDistance, scene.distance);
    TransformAndProjectMesh(scene.lattice, scene.matrix, scene.camera);
    DrawSortedFaces(render, frame.projection, scene.list, SortMeshFaces(scene.lattice, scene.list, DepthOrder::FarFirst));
}

void SetUpClosing(ClosingScene& scene, const Resources&)
{
    scene.list = AllocatePolygonList(50000);
    BuildLatticeMesh(&scene.lattice, 16, 55.0f);
    InitSceneCamera(&scene.camera);
}

void EnterClosing(ClosingScene& scene, FrameContext& frame)
{
    // Off for the whole scene: the lattice is added, not depth-tested.
    frame.render.SetDepthTest(false);
    // The background's corners carry alpha 0, so under the alpha blending the previous
    // scene leaves behind the first frame would show no picture, a one-frame flash of
    // black. Additive, the mode of every later frame, shows it on the cleared frame.
    frame.render.SetBlendMode(BlendMode::AdditiveFiltersKept);
    scene.phase = 0.0f;
    scene.distance = ClosingFarDistance;
    scene.fadeLevel = 1.0f;
}

// A grid frame's step of the camera's distance, or a fade frame's step of the level.
void CarryClosing(ClosingScene& scene, FrameContext& frame)
{
    scene.lastFrameInGrid = frame.demoTime < ClosingGridPhaseEnd;
    if (scene.lastFrameInGrid) StepClosingDistance(&scene.distance, frame.demoTime);
    else if (scene.fadeLevel > 0.0f)
        scene.fadeLevel = FallBy(scene.fadeLevel, ClosingFadeStep, frame.elapsedFrames, -ClosingFadeStep);
}

void DrawClosingFrame(ClosingScene& scene, FrameContext& frame)
{
    const SceneTextures& textures = frame.resources.textures;
    if (frame.demoTime < ClosingGridPhaseEnd) {
        const float cameraDistance = scene.distance;   // the step shows in the shift first
        CarryClosing(scene, frame);
        DrawLatticeFrame(scene, frame, textures, scene.phase, cameraDistance);
        return;
    }
    frame.render.BindTexture(textures.whiteFlash);
    DrawBackgroundWhole(frame.render, scene.fadeLevel, scene.fadeLevel, scene.fadeLevel, textures.whiteFlash);
    CarryClosing(scene, frame);
}

void AdvanceClosing(ClosingScene& scene, FrameContext& frame)
{
    if (scene.lastFrameInGrid) AdvancePhase(&scene.phase, ScaledStep(ClosingPhaseStep, frame.elapsedFrames));
}

void ReleaseClosing(ClosingScene& scene)
{
    FreePolygonList(&scene.list);
    FreeMesh(&scene.lattice);
}

// The fade's frames are shown at the time after them.
bool ClosingTakesTimeFirst(const ClosingScene& scene) { return !scene.lastFrameInGrid; }

using Closing = RoutinesOn<&SceneStates::closing>;

}  // namespace

const SceneRoutines ClosingSceneRoutines = {
    .setUp = Closing::SetUp<SetUpClosing>,
    .enter = Closing::Frame<EnterClosing>,
    .drawFrame = Closing::Frame<DrawClosingFrame>,
    .carry = Closing::Frame<CarryClosing>,
    .advance = Closing::Frame<AdvanceClosing>,
    .release = Closing::Release<ReleaseClosing>,
    .timeFirst = Closing::TimeFirst<ClosingTakesTimeFirst>,
};
