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
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

void UpdatePulseLength(float* length, int32_t demoTime, double frames)
{
    if (*length > PulseRestLength) *length = FallBy(*length, 10.0, frames, PulseRestLength);
    for (const TimeWindow& beat : PulseBeats)
        if (demoTime > beat.after && demoTime < beat.before && *length <= PulseRestLength)
            *length = PulseKickLength;
}

void WobbleFactorsFromRest(const VertexBlock& rest, float a, float* factors)
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
    AimCamera(camera, static_cast<float>(800 * std::sin(angle)), static_cast<float>(800 * std::cos(angle)), 100.0f,
              0.0f, 0.0f, 0.0f, 0.0f);
}

Vector3 SlicePlaneVector(const Matrix& m)
{
    return Vector3{-m.m[3], -m.m[7], static_cast<float>(SliceDepthInFront - m.m[11])};
}

namespace {

void SetUpSlicedBall(SlicedBallScene& scene, const Resources& resources)
{
    CopyMesh(&scene.ball, resources.ball);
    scene.list = AllocatePolygonList(20000);
    InitSceneCamera(&scene.camera);
    scene.radialFactors.assign(scene.ball.restBlock ? scene.ball.restBlock->count : 0, 1.0f);
    AllocateCutEdges(&scene.cutEdges);
    AllocateCutBand(&scene.band);
}

void EnterSlicedBall(SlicedBallScene& scene, FrameContext& frame)
{
    RenderInterface& render = frame.render;
    scene.pulseLength = PulseRestLength;
    scene.cutEdges.count = 0;
    scene.band.vertices.count = 0;
    scene.band.faces.count = 0;
    render.BindTexture(frame.resources.textures.slicedBallSkin);
    render.BindSecondTexture(NoTexture);
    render.SetDepthTest(true);
    render.SetBlendMode(BlendMode::OpaqueBothUnits);
}

// The ball, deformed, transformed with the view matrix shifted left, sliced at the plane
// and drawn front to back with depth test on.
void DrawSlicedBall(RenderInterface& render, SlicedBallScene& scene, float a, const FrameContext& frame)
{
    Mesh& ball = scene.ball;
    if (ball.restBlock) WobbleFactorsFromRest(*ball.restBlock, a, scene.radialFactors.data());
    ScaleMeshFromRest(&ball, scene.radialFactors.data());
    PlaceCircleCamera(&scene.camera, a);
    BuildViewMatrix(&scene.view, scene.camera);
    scene.view.m[3] = static_cast<float>(scene.view.m[3] - BallShiftLeft);
    const Vector3 plane = SlicePlaneVector(scene.view);
    const Vector3 normal{0.0f, 0.0f, 1.0f};
    TransformAndProjectMesh(ball, scene.view, scene.camera);
    if (ball.vertexBlock)
        HideVerticesBeyondPlane(plane, normal, ball.vertexBlock->screen, ball.vertexBlock->count, 1);
    const int32_t faces = SortMeshFaces(ball, scene.list, DepthOrder::NearFirst);
    DrawSortedFacesSliced(render, frame.projection, scene.cutEdges, scene.list, faces, plane, normal);
}

// The rim's band pushed toward the eye by the pulse length, added to the picture without
// a depth test.
void DrawCutBand(RenderInterface& render, const ScreenProjection& projection, SlicedBallScene& scene)
{
    const Vector3 towardEye{0.0f, 0.0f, 1.0f};   // pushed by -length along it
    BuildCutBand(scene.band, scene.cutEdges, scene.pulseLength, towardEye);
    ProjectMeshVertices(scene.band.vertices, scene.camera);
    Mesh band{&scene.band.vertices, &scene.band.faces, nullptr};
    const int32_t faces = SortMeshFaces(band, scene.list, DepthOrder::NearFirst);
    DrawSortedFaces(render, projection, scene.list, faces);
}

// The state carried to later frames: the band's pulse length.
void CarrySlicedBall(SlicedBallScene& scene, FrameContext& frame)
{
    UpdatePulseLength(&scene.pulseLength, frame.demoTime, frame.elapsedFrames);
}

void DrawSlicedBallFrame(SlicedBallScene& scene, FrameContext& frame)
{
    CarrySlicedBall(scene, frame);
    RenderInterface& render = frame.render;
    const SceneTextures& textures = frame.resources.textures;
    render.BindSecondTexture(NoTexture);
    render.SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundLower(render, 1.0f, 1.0f, 1.0f, textures.ringsBackground);

    // The radial map stays bound for the ball and the band.
    render.BindTexture(textures.slicedBallSkin);
    render.BindSecondTexture(NoTexture);
    render.SetDepthTest(true);

    // The frame's phase, rounded to a float once.
    const float a = static_cast<float>((frame.demoTime - 18000) * 0.0001);

    DrawSlicedBall(render, scene, a, frame);

    render.SetBlendMode(BlendMode::AdditiveFiltersKept);
    render.SetDepthTest(false);
    DrawCutBand(render, frame.projection, scene);

    DrawScreenOverlay(render, 0.0f, static_cast<float>(std::sin(static_cast<double>(2 * a))), 1.0f, 1.0f, 1.0f,
                      1.0f, 1.0f, textures.vertNoise);
    DrawScreenOverlay(render, 0.0f, static_cast<float>(std::sin(-2.0 * a)), 1.0f, 1.0f, 1.0f, 1.0f, 1.0f,
                      textures.vertNoise);
}

void ReleaseSlicedBall(SlicedBallScene& scene)
{
    FreeMesh(&scene.ball);
    FreePolygonList(&scene.list);
    scene.radialFactors = std::vector<float>();
    FreeCutEdges(&scene.cutEdges);
    FreeCutBand(&scene.band);
}

using SlicedBall = RoutinesOn<&SceneStates::slicedBall>;

}  // namespace

const SceneRoutines SlicedBallSceneRoutines = {
    .setUp = SlicedBall::SetUp<SetUpSlicedBall>,
    .enter = SlicedBall::Frame<EnterSlicedBall>,
    .drawFrame = SlicedBall::Frame<DrawSlicedBallFrame>,
    .carry = SlicedBall::Frame<CarrySlicedBall>,
    .release = SlicedBall::Release<ReleaseSlicedBall>,
};
