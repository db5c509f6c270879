// The third scene: in front of the vortex picture, a reflective ball that wobbles in
// three sine waves and twists about its centre, seen from a camera swinging along an arc
// in the plane x = y, 520 to 1039 units away; on three beats the animation leaps forward.
#include "scenes/twisting_ball.h"

#include <cmath>

#include "fx/background.h"
#include "fx/environment_map.h"
#include "fx/sorted_faces.h"
#include "gfx/render_interface.h"
#include "model/deform.h"
#include "pipeline/clip.h"
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

namespace {

constexpr int32_t PolygonListCapacity = 20000;

bool HasBlocks(const Mesh& mesh)
{
    return mesh.vertexBlock && mesh.faceBlock;
}

}  // namespace

float TwistingBallPhase(int32_t demoTime, float phaseOffset)
{
    return static_cast<float>(demoTime * 0.0001 + phaseOffset + 0.5);
}

void AddBeatLeap(float* phaseOffset, int32_t demoTime, double frames)
{
    for (const TimeWindow& beat : TwistingBallBeats)
        if (InsideTimeWindow(beat, demoTime)) AdvancePhase(phaseOffset, StepInWindow(BeatLeapPerFrame, true, frames));
}

std::vector<WaveOffsets> MakeWaveOffsets(const Mesh& ball)
{
    std::vector<WaveOffsets> offsets;
    if (!ball.restBlock) return offsets;
    for (int32_t i = 0; i < ball.restBlock->count; ++i) {
        const Vector3& p = ball.restBlock->positions[i];
        // The constants are 1/56, 1/47 and 1/65 as doubles.
        const double x = p.x * 0.017857142857142856, y = p.y * 0.02127659574468085, z = p.z * 0.015384615384615385;
        offsets.push_back({std::sin(x), std::cos(x), std::sin(y), std::cos(y), std::sin(z), std::cos(z)});
    }
    return offsets;
}

void WaveFactorsFromOffsets(const std::vector<WaveOffsets>& offsets, float phase, float* factors)
{
    const double a = phase;
    const double s16 = std::sin(16.0 * a), c16 = std::cos(16.0 * a);
    const double s17 = std::sin(17.0 * a), c17 = std::cos(17.0 * a);
    const double s15 = std::sin(15.0 * a), c15 = std::cos(15.0 * a);
    const size_t count = offsets.size();
    for (size_t i = 0; i < count; ++i) {
        const WaveOffsets& w = offsets[i];
        // sin(16A + x) = sin 16A cos x + cos 16A sin x, cos(17A + y) = cos 17A cos y -
        // sin 17A sin y, cos(15A + z) likewise: six sines a frame instead of three a vertex,
        // equal to the direct sums to far below float precision.
        const double wave16 = s16 * w.cosX + c16 * w.sinX;
        const double wave17 = c17 * w.cosY - s17 * w.sinY;
        const double wave15 = c15 * w.cosZ - s15 * w.sinZ;
        factors[i] = static_cast<float>(1.0 + 0.25 * (wave16 + wave17) + 0.3 * wave15);
    }
}

namespace {

void SetUpTwistingBall(TwistingBallScene& scene, const Resources& resources)
{
    Mesh* ball = &scene.ball;
    CopyMesh(ball, resources.ball);
    scene.list = AllocatePolygonList(PolygonListCapacity);
    scene.waveOffsets = MakeWaveOffsets(*ball);
    scene.radialFactors.assign(scene.waveOffsets.size(), 0.0f);
    InitSceneCamera(&scene.camera);
    scene.phaseOffset = 0.0f;
    AllocateEnvironmentMapSums(&scene.mapSums);

    if (!HasBlocks(*ball)) return;   // nothing loaded: the background alone is drawn
    ScaleTexCoords(ball->vertexBlock->screen, ball->vertexBlock->count, 4.0f);
    BuildPolygonList(scene.list, ball->faceBlock->faces, ball->faceBlock->count);
    scene.seamCopies = FindCoincidentVertices(*ball->restBlock, ball->faceBlock->faces, ball->faceBlock->count);
}

void EnterTwistingBall(TwistingBallScene& scene, FrameContext& frame)
{
    frame.render.SetDepthTest(true);
    frame.render.SetBlendMode(BlendMode::OpaqueBothUnits);
    scene.phaseOffset = 0.0f;
}

// The beats' leaps of the phase offset.
void CarryTwistingBall(TwistingBallScene& scene, FrameContext& frame)
{
    AddBeatLeap(&scene.phaseOffset, frame.demoTime, frame.elapsedFrames);
}

void DrawTwistingBallFrame(TwistingBallScene& scene, FrameContext& frame)
{
    RenderInterface& render = frame.render;
    const SceneTextures& textures = frame.resources.textures;
    render.BindSecondTexture(NoTexture);
    render.BindTexture(textures.swirlsBackground);
    DrawBackgroundUpper(render, 1.0f, 1.0f, 1.0f, textures.swirlsBackground);

    // The environment map alone on the first unit, opaque, depth-tested.
    render.BindTexture(textures.ballReflections);
    render.BindSecondTexture(NoTexture);
    render.SetDepthTest(true);
    render.SetBlendMode(BlendMode::OpaqueBothUnits);

    // The frame's phase is taken before this frame's leap of the phase offset, which
    // shows from the next frame on.
    const float framePhase = TwistingBallPhase(frame.demoTime, scene.phaseOffset);
    CarryTwistingBall(scene, frame);
    const double a = framePhase;

    Mesh& ball = scene.ball;
    if (!HasBlocks(ball)) return;
    WaveFactorsFromOffsets(scene.waveOffsets, framePhase, scene.radialFactors.data());
    ScaleMeshFromRest(&ball, scene.radialFactors.data());
    TwistMesh(&ball, static_cast<float>(2.0 * std::sin(4.0 * a)));

    Camera& camera = scene.camera;
    AimCamera(&camera, static_cast<float>(600.0 * std::sin(a)), static_cast<float>(600.0 * std::sin(a)),
              static_cast<float>(600.0 * std::cos(2.0 * a)), 0.0f, 0.0f, 0.0f, 0.0f);

    BuildViewMatrix(&scene.matrix, camera);
    TransformAndProjectMesh(ball, scene.matrix, camera);
    Face* faces = ball.faceBlock->faces;
    const int32_t faceCount = ball.faceBlock->count;
    BuildPolygonList(scene.list, faces, faceCount);
    ApplyEnvironmentMap(scene.mapSums, ball.vertexBlock->screen, faces, ball.vertexBlock->count, faceCount);
    // The ball's texture seam and poles hold copies of one point; without this each copy
    // averages only its side's faces, and the hard horizon of the map shows the seam.
    ShareEnvironmentCoords(ball.vertexBlock->screen, scene.seamCopies);
    ComputeNegatedDepthKeys(scene.list, faces, faceCount);
    SortPolygonList(scene.list, faceCount);
    DrawSortedFacesCulled(render, frame.projection, scene.list, faceCount);
}

// Plain single texturing again, whether the scene ended by time or by quit.
void LeaveTwistingBall(TwistingBallScene&, FrameContext& frame) { frame.render.BindSecondTexture(NoTexture); }

void ReleaseTwistingBall(TwistingBallScene& scene)
{
    FreePolygonList(&scene.list);
    scene.radialFactors.clear();
    scene.waveOffsets.clear();
    FreeEnvironmentMapSums(&scene.mapSums);
    FreeMesh(&scene.ball);
}

using TwistingBall = RoutinesOn<&SceneStates::twistingBall>;

}  // namespace

const SceneRoutines TwistingBallSceneRoutines = {
    .setUp = TwistingBall::SetUp<SetUpTwistingBall>,
    .enter = TwistingBall::Frame<EnterTwistingBall>,
    .drawFrame = TwistingBall::Frame<DrawTwistingBallFrame>,
    .carry = TwistingBall::Frame<CarryTwistingBall>,
    .leave = TwistingBall::Frame<LeaveTwistingBall>,
    .release = TwistingBall::Release<ReleaseTwistingBall>,
};
