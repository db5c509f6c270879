// The second scene: the wobbling ball sliced open, with its band of light kicked on the
// beats.
#include "scenes/sliced_ball.h"

#include <cmath>

#include "fx/background.h"
#include "fx/cut_band.h"
#include "fx/plane_slice.h"
#include "fx/screen_overlay.h"
#include "fx/sorted_faces.h"
#include "gfx/render_interface.h"
#include "model/deform.h"
#include "pipeline/clip.h"
#include "pipeline/transform.h"
#include "scenes/frame_pace.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"
#include "shell/clock.h"

void UpdatePulseLength(float* length, int32_t demoTime, double frames)
{
    if (*length > PulseRestLength) *length = FallBy(*length, 10.0, frames, PulseRestLength);
    for (const TimeWindow& beat : PulseBeats)
        if (demoTime > beat.after && demoTime < beat.before && *length <= PulseRestLength)
            *length = PulseKickLength;
}

void ComputeRadialFactors(const VertexBlock& rest, float a, float* factors)
{
    constexpr double OneOver26 = 0.038461538461538464;   // 1/26 as a double
    constexpr double OneOver36 = 0.027777777777777776;   // 1/36 as a double
    // The phase products stay in float (an integer times a float); adding the double
    // terms makes the rest double, and each sine is taken in double.
    const double a16 = 16 * a, a23 = 23 * a, a26 = 26 * a;
    for (int32_t i = 0; i < rest.count; ++i) {
        const Vector3& p = rest.positions[i];
        factors[i] = static_cast<float>(1 + 0.25 * (std::sin(a16 + p.x * OneOver26) + std::sin(a23 + p.y * OneOver36)) +
                                        0.215 * std::sin(a26 + p.z * OneOver26));
    }
}

void PlaceCircleCamera(Camera* camera, float a)
{
    const double angle = 4 * a;   // a float product, taken as a double by the sines
    camera->positionX = static_cast<float>(800 * std::sin(angle));
    camera->positionY = static_cast<float>(800 * std::cos(angle));
    camera->positionZ = 100.0f;
    camera->targetX = camera->targetY = camera->targetZ = 0.0f;
    camera->roll = 0.0f;
}

Vector3 SlicePlaneVector(const Matrix& m)
{
    return Vector3{-m.m[3], -m.m[7], static_cast<float>(SliceDepthInFront - m.m[11])};
}

void SetUpSlicedBallScene(SlicedBallScene* scene)
{
    scene->list = AllocatePolygonList(20000);
    InitSceneCamera(&scene->camera);
    scene->radialFactors.assign(BallMeshA.restBlock ? BallMeshA.restBlock->count : 0, 1.0f);
    AllocateCutEdges(&scene->cutEdges);
    AllocateCutBand(&scene->band);
}

void EnterSlicedBallScene(SlicedBallScene* scene)
{
    SetScreenProjection(0.0f, 0.0f, 1.0f, 1.0f);
    scene->pulseLength = PulseRestLength;
    scene->cutEdges.count = 0;
    scene->band.vertices.count = 0;
    scene->band.faces.count = 0;
    Renderer->BindTexture(RadialMapTexture);
    Renderer->BindSecondTexture(NoTexture);
    Renderer->SetDepthTest(true);
    Renderer->SetBlendMode(BlendMode::DualTextureAlphaBlend);
    Renderer->SetBlendMode(BlendMode::OpaqueBilinear);
}

void FinishSlicedBallScene(SlicedBallScene* scene)
{
    FreePolygonList(&scene->list);
    scene->radialFactors = std::vector<float>();
    FreeCutEdges(&scene->cutEdges);
    FreeCutBand(&scene->band);
}

namespace {

// The ball, deformed, transformed with the view matrix shifted left, sliced at the plane
// and drawn front to back with depth test on.
void DrawSlicedBall(SlicedBallScene& scene, float a, double frames)
{
    if (BallMeshA.restBlock) ComputeRadialFactors(*BallMeshA.restBlock, a, scene.radialFactors.data());
    ScaleMeshFromRest(&BallMeshA, scene.radialFactors.data());
    PlaceCircleCamera(&scene.camera, a);
    UpdatePulseLength(&scene.pulseLength, DemoTime, frames);
    BuildViewMatrix(&scene.view, scene.camera);
    scene.view.m[3] = static_cast<float>(scene.view.m[3] - BallShiftLeft);
    const Vector3 plane = SlicePlaneVector(scene.view);
    const Vector3 normal{0.0f, 0.0f, 1.0f};
    TransformAndProjectMesh(BallMeshA, scene.view, scene.camera);
    if (BallMeshA.vertexBlock)
        HideVerticesBeyondPlane(plane, normal, BallMeshA.vertexBlock->screen, BallMeshA.vertexBlock->count, 1);
    const int32_t faces = SortMeshFaces(BallMeshA, scene.list, DepthOrder::NearFirst);
    DrawSortedFacesSliced(scene.cutEdges, scene.list, faces, plane, normal);
}

// The rim's band pushed toward the eye by the pulse length, added to the picture without
// a depth test.
void DrawCutBand(SlicedBallScene& scene)
{
    const Vector3 towardEye{0.0f, 0.0f, 1.0f};   // pushed by -length along it
    BuildCutBand(scene.band, scene.cutEdges, scene.pulseLength, towardEye);
    ProjectMeshVertices(scene.band.vertices, scene.camera);
    Mesh band{&scene.band.vertices, &scene.band.faces, nullptr};
    const int32_t faces = SortMeshFaces(band, scene.list, DepthOrder::NearFirst);
    DrawSortedFaces(scene.list, faces);
}

}  // namespace

void DrawSlicedBallFrame(SlicedBallScene& scene, double frames)
{
    Renderer->BindSecondTexture(NoTexture);
    Renderer->SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundLower(1.0f, 1.0f, 1.0f, ToriRadialTexture);

    // The radial map stays bound for the ball and the band.
    Renderer->BindTexture(RadialMapTexture);
    Renderer->BindSecondTexture(NoTexture);
    Renderer->SetDepthTest(true);

    // The phase is read back from the float it is stored in.
    AnimationPhase = static_cast<float>((DemoTime - 18000) * 0.0001);
    const float a = AnimationPhase;

    DrawSlicedBall(scene, a, frames);

    Renderer->SetBlendMode(BlendMode::OpaqueBilinear);
    Renderer->SetBlendMode(BlendMode::Additive);
    Renderer->SetDepthTest(false);
    DrawCutBand(scene);

    DrawScreenOverlay(0.0f, static_cast<float>(std::sin(static_cast<double>(2 * a))), 1.0f, 1.0f, 1.0f, 1.0f, 1.0f,
                      VertNoiseTexture);
    DrawScreenOverlay(0.0f, static_cast<float>(std::sin(-2.0 * a)), 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, VertNoiseTexture);
}

namespace {

SlicedBallScene g_scene;   // written only by the routines below

FrameFinish DrawFrame(int32_t, double frames)
{
    DrawSlicedBallFrame(g_scene, frames);
    return FrameFinish::PresentThenTime;
}

}  // namespace

const SceneRoutines SlicedBallSceneRoutines = {
    "sliced ball",
    SlicedBallSceneEnd,
    [] { SetUpSlicedBallScene(&g_scene); },
    [] { EnterSlicedBallScene(&g_scene); },
    DrawFrame,
    [](double frames) { AdvancePhase(&AnimationPhase, ScaledStep(0.003, frames)); },
    nullptr,
    [] { FinishSlicedBallScene(&g_scene); },
};
