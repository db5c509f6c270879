// The twisting-ball scene: its timing rules, its calls through the recording render
// interface, what it draws of the real ball, and that the other ball never changes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "fx/environment_map.h"
#include "fx/sorted_faces.h"
#include "model/3dsload.h"
#include "model/deform.h"
#include "model/mesh_load.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "scenes/twisting_ball.h"
#include "support/call_recorder.h"
#include "support/played_scene.h"

namespace {

// DemoTime of frame n of a 60 fps run that starts at start.
int32_t FrameTime60(int32_t start, int n)
{
    return start + static_cast<int32_t>(n * 1000LL / 60);
}

TEST(TwistingBallTiming, PhaseIsDemoTimeOverTenThousandPlusOffsetPlusAHalf)
{
    EXPECT_EQ(TwistingBallPhase(30000, 0.0f), 3.5f);
    EXPECT_EQ(TwistingBallPhase(42000, 0.0f), 4.7f);
    // One rounding to float, of the double sum.
    EXPECT_EQ(TwistingBallPhase(33100, 0.012f), static_cast<float>(33100 * 0.0001 + 0.012f + 0.5));
}

TEST(TwistingBallTiming, ThePhaseConstantIsADouble)
{
    // 30004 × 0.0001 in double, plus 0.5, rounded once: 3.50040007. A float 0.0001 gives
    // 3.50039983.
    EXPECT_EQ(TwistingBallPhase(30004, 0.0f), 3.50040007f);
    EXPECT_NE(TwistingBallPhase(30004, 0.0f), 3.50039983f);
}

TEST(TwistingBallTiming, BeatWindowsAreOpenAndAddTwelveThousandthsPerFrame)
{
    for (const TimeWindow& beat : TwistingBallBeats)
        for (int32_t t : {beat.after - 1, beat.after, beat.before, beat.before + 1}) {
            float offset = 0.25f;
            AddBeatLeap(&offset, t, 1.0);
            EXPECT_EQ(offset, 0.25f) << t;
        }
    float offset = 0.0f;
    AddBeatLeap(&offset, 33039, 1.0);
    EXPECT_EQ(offset, static_cast<float>(0.012));
    AddBeatLeap(&offset, 36499, 1.0);
    EXPECT_EQ(offset, static_cast<float>(static_cast<double>(static_cast<float>(0.012)) + 0.012));
    AddBeatLeap(&offset, 39200, 1.0);
    AddBeatLeap(&offset, 42000, 1.0);
    EXPECT_NEAR(offset, 0.036f, 1e-6f);
}

TEST(TwistingBallTiming, AtSixtyFramesASecondEachBeatLeapsAboutAThird)
{
    float offset = 0.0f;
    float afterFirstBeat = 0.0f;
    for (int n = 0; FrameTime60(30000, n) < TwistingBallSceneEnd; ++n) {
        const int32_t t = FrameTime60(30000, n);
        AddBeatLeap(&offset, t, 1.0);
        if (t < 36000) afterFirstBeat = offset;
    }
    EXPECT_NEAR(afterFirstBeat, 0.33f, 0.01f);   // 27 frames lie inside 33038 .. 33500
    EXPECT_NEAR(offset, 3 * afterFirstBeat, 1e-5f);
}

TEST(TwistingBallWobble, FactorsAreTheThreeWavesOfTheRestPosition)
{
    Mesh mesh;
    AllocateMesh(&mesh, 4, 0);
    const Vector3 rest[] = {{0, 0, 0}, {56, 47, 65}, {-200, 13.5f, 150}, {199.581f, -9.92587f, -8.29776f}};
    for (int i = 0; i < 4; ++i) mesh.restBlock->positions[i] = rest[i];
    const std::vector<WaveOffsets> offsets = MakeWaveOffsets(mesh);
    ASSERT_EQ(offsets.size(), 4u);
    float factors[4];
    WaveFactorsFromOffsets(offsets, 0.0f, factors);
    EXPECT_EQ(factors[0], 1.55f);   // 1 + 0.25·(0 + 1) + 0.3·1
    for (float phase : {0.0f, 3.5f, 4.123f, 5.02f}) {
        WaveFactorsFromOffsets(offsets, phase, factors);
        for (int i = 0; i < 4; ++i) {
            const double a = phase;
            const Vector3& p = rest[i];
            const double direct = 1 + 0.25 * (std::sin(16 * a + p.x * (1 / 56.0)) + std::cos(17 * a + p.y * (1 / 47.0))) +
                                  0.3 * std::cos(15 * a + p.z * (1 / 65.0));
            EXPECT_FLOAT_EQ(factors[i], static_cast<float>(direct)) << phase << ", vertex " << i;
        }
    }
    FreeMesh(&mesh);
}

// The real ball twice and the scene's two textures as the resources of a 60 fps run.
class TwistingBallRun : public ::testing::Test {
protected:
    Resources resources;
    Mesh other;   // a second load of the ball, for the tests' own steps
    const TextureId vortex{701}, envMap{702};

    void SetUp() override
    {
        ASSERT_EQ(LoadMesh3ds(&resources.ball, "megadata\\ball2420.3ds", "GeoSphere0"), ModelRead::Found);
        ASSERT_EQ(LoadMesh3ds(&other, "megadata\\ball2420.3ds", "GeoSphere0"), ModelRead::Found);
        resources.textures.swirlsBackground = vortex;
        resources.textures.ballReflections = envMap;
    }
    void TearDown() override
    {
        FreeMesh(&resources.ball);
        FreeMesh(&other);
    }

    // For the tests that draw frames at times of their choosing into `recorder`: the
    // scene's routines on states of the test's own, the scene set up and entered, frames
    // drawn (each one designed frame long), then left and released.
    CallRecorder recorder;
    SceneStates states;
    FrameContext FrameAt(int32_t demoTime) { return FrameContext{demoTime, 1.0, recorder, resources}; }
    void SetUpAndEnter()
    {
        SetUpScene(SceneId::TwistingBall, states, resources);
        FrameContext frame = FrameAt(0);
        EnterScene(SceneId::TwistingBall, states, frame);
    }
    void DrawAt(int32_t demoTime)
    {
        FrameContext frame = FrameAt(demoTime);
        DrawScene(SceneId::TwistingBall, states, frame);
        EXPECT_FALSE(SceneTakesTimeFirst(SceneId::TwistingBall, states));
    }
    void LeaveAndRelease()
    {
        FrameContext frame = FrameAt(0);
        LeaveScene(SceneId::TwistingBall, states, frame);
        ReleaseScene(SceneId::TwistingBall, states);
    }

    // The calls, with draws of one kind in a row counted as one entry.
    static std::vector<std::string> CollapsedOps(const std::vector<RecordedCall>& calls)
    {
        std::vector<std::string> ops;
        for (size_t i = 0; i < calls.size(); ++i) {
            std::string op = calls[i].op;
            if (op == "BindTexture" || op == "BindSecondTexture" || op == "SetBlendMode" || op == "SetDepthTest")
                op += "(" + std::to_string(calls[i].a) + ")";
            if (!ops.empty() && op == "DrawTriangleDualTexture" && ops.back() == op) continue;
            ops.push_back(op);
        }
        return ops;
    }
};

TEST_F(TwistingBallRun, TheBallIsWobbledThenTwistedByTwiceTheSineOfFourTimesThePhase)
{
    PlayedScene run(SceneId::TwistingBall, 31000, resources);   // A = 3.6: twist 2 sin 14.4 = 1.83
    run.Play(1);
    const Mesh& ball = run.States().twistingBall.ball;
    const float a = TwistingBallPhase(31000, 0.0f);

    // The same steps on the other ball, with the twist of the right sign.
    std::vector<float> factors(static_cast<size_t>(other.restBlock->count));
    WaveFactorsFromOffsets(MakeWaveOffsets(other), a, factors.data());
    ScaleMeshFromRest(&other, factors.data());
    const float twist = static_cast<float>(2.0 * std::sin(4.0 * a));
    ASSERT_GT(twist, 1.0f);
    TwistMesh(&other, twist);
    for (int32_t i = 0; i < other.vertexBlock->count; ++i) {
        const Vector3 &got = ball.vertexBlock->positions[i], &want = other.vertexBlock->positions[i];
        ASSERT_EQ(got.x, want.x) << i;
        ASSERT_EQ(got.y, want.y) << i;
        ASSERT_EQ(got.z, want.z) << i;
    }
}

TEST_F(TwistingBallRun, EntersThenDrawsEachFrameInItsFixedOrderAndClearsTheSecondUnitOnLeaving)
{
    PlayedScene run(SceneId::TwistingBall, 41950, resources);
    run.Play();
    std::vector<RecordedCall> calls;
    for (const auto& played : run.Frames()) calls.insert(calls.end(), played.begin(), played.end());
    EXPECT_EQ(run.DemoTime(), 42000);
    EXPECT_EQ(run.recorder.presentTimes.size(), 3u);
    // Play ends (a quit) in the scene: it is left.
    const size_t beforeEnd = run.recorder.calls.size();
    run.End();
    calls.insert(calls.end(), run.recorder.calls.begin() + static_cast<long>(beforeEnd), run.recorder.calls.end());

    const std::string v = std::to_string(vortex.name), e = std::to_string(envMap.name);
    const std::string bothUnits = "SetBlendMode(" + std::to_string(static_cast<int>(BlendMode::OpaqueBothUnits)) + ")";
    const std::vector<std::string> frame = {
        "BindSecondTexture(0)", "BindTexture(" + v + ")", "BindTexture(" + v + ")", "DrawTriangleAffine",
        "DrawTriangleAffine",   "BindTexture(" + e + ")", "BindSecondTexture(0)",    "SetDepthTest(1)",
        bothUnits,              "DrawTriangleDualTexture", "PresentFrame",           "ClearFrame"};
    std::vector<std::string> expected;
    for (int n = 0; n < 3; ++n) expected.insert(expected.end(), frame.begin(), frame.end());   // 41950, 41966, 41983
    expected.push_back("BindSecondTexture(0)");
    EXPECT_EQ(CollapsedOps(calls), expected);

    // Entered at its start: depth test on, then the blend mode, before the first frame.
    PlayedScene entered(SceneId::TwistingBall, 30000, resources);
    entered.Play(1);
    const auto first = entered.Frames();
    ASSERT_EQ(first.size(), 1u);
    std::vector<std::string> enteredOps = {"SetDepthTest(1)", bothUnits};
    enteredOps.insert(enteredOps.end(), frame.begin(), frame.end());
    EXPECT_EQ(CollapsedOps(first[0]), enteredOps);
}

// The swinging camera's eye at phase a.
void ExpectEyeAtPhase(const Camera& camera, float a)
{
    EXPECT_EQ(camera.positionX, static_cast<float>(600 * std::sin(static_cast<double>(a))));
    EXPECT_EQ(camera.positionY, static_cast<float>(600 * std::sin(static_cast<double>(a))));
    EXPECT_EQ(camera.positionZ, static_cast<float>(600 * std::cos(2.0 * a)));
}

TEST_F(TwistingBallRun, TakesTheFramesPhaseBeforeTheBeatLeap)
{
    SetUpAndEnter();
    const TwistingBallScene& scene = states.twistingBall;

    DrawAt(30000);
    EXPECT_EQ(scene.camera.positionX, static_cast<float>(600 * std::sin(3.5)));
    EXPECT_EQ(scene.camera.positionY, static_cast<float>(600 * std::sin(3.5)));
    EXPECT_EQ(scene.camera.positionZ, static_cast<float>(600 * std::cos(7.0)));

    DrawAt(33100);   // inside the first beat: drawn at the phase before its leap
    ExpectEyeAtPhase(scene.camera, TwistingBallPhase(33100, 0.0f));
    EXPECT_EQ(scene.phaseOffset, static_cast<float>(0.012));
    DrawAt(33117);
    ExpectEyeAtPhase(scene.camera, TwistingBallPhase(33117, static_cast<float>(0.012)));
    EXPECT_NE(TwistingBallPhase(33117, static_cast<float>(0.012)), TwistingBallPhase(33117, 0.0f));

    LeaveAndRelease();
}

TEST_F(TwistingBallRun, TheFacesThatPassTheOrientationTestAreTheOutsideTurnedToTheEye)
{
    // The ball as loaded, seen by the scene's camera at its first phase: a face is drawn
    // exactly when its outward direction (from the centre through the face) points to
    // the eye. Inside-out drawing would keep the other half.
    Mesh& ball = other;
    Camera camera{};
    InitSceneCamera(&camera);
    camera.positionX = camera.positionY = static_cast<float>(600 * std::sin(3.5));
    camera.positionZ = static_cast<float>(600 * std::cos(7.0));
    Matrix matrix;
    BuildViewMatrix(&matrix, camera);
    TransformAndProjectMesh(ball, matrix, camera);
    int drawn = 0;
    for (int32_t f = 0; f < ball.faceBlock->count; ++f) {
        const Face& face = ball.faceBlock->faces[f];
        const ScreenVertex &a = *face.vertex[0], &b = *face.vertex[1], &c = *face.vertex[2];
        // In model space, where the ball is round and centred on the origin.
        const Vector3* p = ball.vertexBlock->positions;
        const Vector3 &pa = p[face.index[0]], &pb = p[face.index[1]], &pc = p[face.index[2]];
        const float mx = (pa.x + pb.x + pc.x) / 3, my = (pa.y + pb.y + pc.y) / 3, mz = (pa.z + pb.z + pc.z) / 3;
        const float towardEye =
            mx * (camera.positionX - mx) + my * (camera.positionY - my) + mz * (camera.positionZ - mz);
        if (std::fabs(towardEye) < 1000.0f) continue;   // nearly edge-on
        const bool facing = FaceFacing(a, b, c) > 0.0f;
        EXPECT_EQ(facing, towardEye > 0.0f) << "face " << f;
        drawn += facing;
    }
    EXPECT_GT(drawn, 600);   // from 541 units a little under a third shows
}

TEST_F(TwistingBallRun, DrawsAboutHalfTheBallEnvironmentMappedInWhite)
{
    SetUpAndEnter();
    const Mesh& ball = states.twistingBall.ball;
    const int32_t faceCount = ball.faceBlock->count;
    for (int32_t t : {30100, 32000, 33400, 36200, 39200, 41900}) {
        const size_t first = recorder.calls.size();
        DrawAt(t);

        // About half the faces pass the orientation test: one side of a closed surface.
        int drawn = 0;
        for (int32_t f = 0; f < faceCount; ++f) {
            const Face& face = ball.faceBlock->faces[f];
            if (FaceFacing(*face.vertex[0], *face.vertex[1], *face.vertex[2]) > 0.0f) ++drawn;
        }
        EXPECT_GT(drawn, faceCount / 3) << t;
        EXPECT_LT(drawn, faceCount * 2 / 3) << t;

        int triangles = 0;
        for (size_t i = first; i < recorder.calls.size(); ++i) {
            const RecordedCall& call = recorder.calls[i];
            if (call.op != "DrawTriangleDualTexture") continue;
            ++triangles;
            for (const ScreenVertex& p : call.vertices) {
                ASSERT_GE(p.u, 0.0f);
                ASSERT_LE(p.u, 1.0f);
                ASSERT_GE(p.v, 0.0f);
                ASSERT_LE(p.v, 1.0f);
                ASSERT_EQ(p.red + p.green + p.blue + p.alpha, 4.0f);
            }
        }
        EXPECT_GT(triangles, 0) << t;
    }

    // Every copy of a point along the texture seam and at the poles shows the same place
    // of the map.
    const CoincidentVertices& copies = states.twistingBall.seamCopies;
    EXPECT_EQ(copies.groupEnds.size(), 34u);
    size_t begin = 0;
    for (int32_t end : copies.groupEnds) {
        const ScreenVertex& one = ball.vertexBlock->screen[copies.members[begin]];
        for (size_t k = begin + 1; k < static_cast<size_t>(end); ++k) {
            EXPECT_EQ(ball.vertexBlock->screen[copies.members[k]].u, one.u);
            EXPECT_EQ(ball.vertexBlock->screen[copies.members[k]].v, one.v);
        }
        begin = static_cast<size_t>(end);
    }
    LeaveAndRelease();
}

// Play draws the scenes' own copies: the one loaded ball, which the sliced ball (drawn on
// the way) and the twisting ball both copy, stays as loaded.
TEST_F(TwistingBallRun, LeavesTheLoadedBallAsLoaded)
{
    struct Snapshot {
        std::vector<Vector3> positions;
        std::vector<ScreenVertex> records;
        std::vector<Face> faces;
    };
    const auto take = [](const Mesh& mesh) {
        const VertexBlock& v = *mesh.vertexBlock;
        return Snapshot{{v.positions, v.positions + v.count},
                        {v.screen, v.screen + v.count},
                        {mesh.faceBlock->faces, mesh.faceBlock->faces + mesh.faceBlock->count}};
    };
    const Snapshot was = take(resources.ball);

    PlayedScene run(SceneId::TwistingBall, 41900, resources);
    run.Play();

    const Mesh& ball = resources.ball;
    EXPECT_EQ(std::memcmp(was.positions.data(), ball.vertexBlock->positions, was.positions.size() * sizeof(Vector3)), 0);
    EXPECT_EQ(std::memcmp(was.records.data(), ball.vertexBlock->screen, was.records.size() * sizeof(ScreenVertex)), 0);
    EXPECT_EQ(std::memcmp(was.faces.data(), ball.faceBlock->faces, was.faces.size() * sizeof(Face)), 0);
    // The scene's ball itself did change: deformed, mapped, and its second pair four
    // times the loaded one.
    const VertexBlock& a = *resources.ball.vertexBlock;
    const VertexBlock& b = *run.States().twistingBall.ball.vertexBlock;
    ASSERT_EQ(b.count, a.count);
    int moved = 0;
    for (int32_t i = 0; i < b.count; ++i) {
        if (b.positions[i].x != a.positions[i].x) ++moved;
        EXPECT_EQ(b.screen[i].u2, 4.0f * a.screen[i].u2) << i;
        EXPECT_EQ(b.screen[i].v2, 4.0f * a.screen[i].v2) << i;
    }
    EXPECT_GT(moved, b.count / 2);
}

}  // namespace
