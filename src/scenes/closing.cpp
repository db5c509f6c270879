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
#include "scenes/frame_pace.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"
#include "shell/clock.h"

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

    if (demoTime > 88913) *distance = ClosingMiddleDistance;
    if (demoTime > 89298) *distance = ClosingNearDistance;

    BuildViewMatrix(matrix, *camera);
    // The lattice sits right of and above the centre while the camera is far, and is
    // centred once it is near: +500, +200 at 1200; +250, +100 at 1000; 0, 0 at 800.
    const double g = static_cast<double>(*distance) - 1200.0;
    matrix->m[3] = static_cast<float>(matrix->m[3] + (1.25 * g + 500.0));
    matrix->m[7] = static_cast<float>(matrix->m[7] + (0.5 * g + 200.0));
}

void DrawLatticeFrame(Mesh& lattice, PolygonList& list, Camera& camera, Matrix& matrix, float* distance)
{
    Renderer->BindTexture(VortexTexture);
    DrawBackgroundLower(1.0f, 1.0f, 1.0f, VortexTexture);
    Renderer->BindTexture(GridTexture);
    Renderer->SetBlendMode(BlendMode::Additive);
    PlaceClosingView(&camera, &matrix, AnimationPhase, distance, DemoTime);
    TransformAndProjectMesh(lattice, matrix, camera);
    DrawSortedFaces(list, SortMeshFaces(lattice, list, DepthOrder::FarFirst));
}

namespace {

// The scene's working state, written only by the routines below.
struct ClosingScene {
    Mesh lattice;
    PolygonList list;
    Camera camera{};
    Matrix matrix{};
    float distance = ClosingFarDistance;
    float fadeLevel = 1.0f;
    bool lastFrameInGrid = true;   // whether the frame just drawn was a grid frame
} g_scene;

void SetUpClosing()
{
    g_scene.list = AllocatePolygonList(50000);
    BuildLatticeMesh(&g_scene.lattice, 16, 55.0f);
    InitSceneCamera(&g_scene.camera);
}

void EnterClosing()
{
    SetScreenProjection(0.0f, 0.0f, 1.0f, 1.0f);
    // Off for the whole scene: the lattice is added, not depth-tested.
    Renderer->SetDepthTest(false);
    // The background's corners carry alpha 0, so under the alpha blending the previous
    // scene leaves behind the first frame would show no picture, a one-frame flash of
    // black. Additive, the mode of every later frame, shows it on the cleared frame.
    Renderer->SetBlendMode(BlendMode::Additive);
    AnimationPhase = 0.0f;
    g_scene.distance = ClosingFarDistance;
    g_scene.fadeLevel = 1.0f;
}

// Grid phase until 90046. Then the fade: the white picture, full brightness on its first
// frame and 0.01 darker per designed frame on each further one until the level is 0 or
// just below (at most one step below); its frames take the new DemoTime before they are
// presented.
FrameFinish DrawClosingFrame(int32_t demoTime, double frames)
{
    ClosingScene& scene = g_scene;
    scene.lastFrameInGrid = demoTime < ClosingGridPhaseEnd;
    if (scene.lastFrameInGrid) {
        DrawLatticeFrame(scene.lattice, scene.list, scene.camera, scene.matrix, &scene.distance);
        return FrameFinish::PresentThenTime;
    }
    Renderer->BindTexture(WhiteFlashTexture);
    DrawBackgroundWhole(scene.fadeLevel, scene.fadeLevel, scene.fadeLevel, WhiteFlashTexture);
    if (scene.fadeLevel > 0.0f) scene.fadeLevel = FallBy(scene.fadeLevel, 0.01, frames, -0.01);
    return FrameFinish::TimeThenPresent;
}

void AdvanceClosing(double frames)
{
    if (g_scene.lastFrameInGrid) AdvancePhase(&AnimationPhase, ScaledStep(0.009, frames));
}

void ReleaseClosing()
{
    FreePolygonList(&g_scene.list);
    FreeMesh(&g_scene.lattice);
}

}  // namespace

const SceneRoutines ClosingSceneRoutines = {
    "closing", ClosingSceneEnd, SetUpClosing, EnterClosing, DrawClosingFrame, AdvanceClosing, nullptr, ReleaseClosing,
};
