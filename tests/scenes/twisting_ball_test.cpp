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
#include "scenes/scenes.h"
#include "scenes/timeline.h"
#include "scenes/twisting_ball.h"
#include "shell/clock.h"
#include "shell/window.h"
#include "support/call_recorder.h"

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
    ComputeRadialFactors(offsets, 0.0f, factors);
    EXPECT_EQ(factors[0], 1.55f);   // 1 + 0.25·(0 + 1) + 0.3·1
    for (float phase : {0.0f, 3.5f, 4.123f, 5.02f}) {
        ComputeRadialFactors(offsets, phase, factors);
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

// The real ball twice, the scene's textures and a recording renderer on a 60 fps clock.
class TwistingBallScene : public ::testing::Test {
protected:
    ScopedCallRecorder r;
    const TextureId vortex{701}, envMap{702};

    void SetUp() override
    {
        Trace3dsChunks = false;
        ASSERT_EQ(LoadMesh3ds(&BallMeshA, "megadata\\ball2420.3ds", "GeoSphere0"), ModelRead::Found);
        ASSERT_EQ(LoadMesh3ds(&BallMeshB, "megadata\\ball2420.3ds", "GeoSphere0"), ModelRead::Found);
        VortexTexture = vortex;
        EnvMap2Texture = envMap;
        ResetWindowState();
        MainWindow = 1;
        UseFixedFrameClock(60);
    }
    void TearDown() override
    {
        UseFixedFrameClock(0);
        ResetWindowState();
        VortexTexture = EnvMap2Texture = NoTexture;
        FreeMesh(&BallMeshA);
        FreeMesh(&BallMeshB);
    }
    static void StartClockAt(int32_t demoTime)
    {
        DemoStartTick = DemoClockTicks() - static_cast<uint32_t>(demoTime);
        DemoTime = demoTime;
    }
    // The calls from index first on, with draws of one kind counted as one entry.
    std::vector<std::string> CollapsedOps(size_t first = 0) const
    {
        std::vector<std::string> ops;
        const std::vector<RecordedCall>& calls = r.recorder.calls;
        for (size_t i = first; i < calls.size(); ++i) {
            std::string op = calls[i].op;
            if (op == "BindTexture" || op == "BindSecondTexture" || op == "SetBlendMode" || op == "SetDepthTest")
                op += "(" + std::to_string(calls[i].a) + ")";
            if (!ops.empty() && op == "DrawTriangleDualTexture" && ops.back() == op) continue;
            ops.push_back(op);
        }
        return ops;
    }
};

TEST_F(TwistingBallScene, TheBallIsWobbledThenTwistedByTwiceTheSineOfFourTimesThePhase)
{
    TwistingBall scene;
    SetUpTwistingBall(&scene, &BallMeshB);
    DrawTwistingBallFrame(&scene, 31000);   // A = 3.6: twist 2 sin 14.4 = 1.83
    const float a = TwistingBallPhase(31000, 0.0f);

    // The same steps on the other ball, with the twist of the right sign.
    std::vector<float> factors(static_cast<size_t>(BallMeshA.restBlock->count));
    ComputeRadialFactors(MakeWaveOffsets(BallMeshA), a, factors.data());
    ScaleMeshFromRest(&BallMeshA, factors.data());
    const float twist = static_cast<float>(2.0 * std::sin(4.0 * a));
    ASSERT_GT(twist, 1.0f);
    TwistMesh(&BallMeshA, twist);
    for (int32_t i = 0; i < BallMeshA.vertexBlock->count; ++i) {
        const Vector3 &got = BallMeshB.vertexBlock->positions[i], &want = BallMeshA.vertexBlock->positions[i];
        ASSERT_EQ(got.x, want.x) << i;
        ASSERT_EQ(got.y, want.y) << i;
        ASSERT_EQ(got.z, want.z) << i;
    }
    ReleaseTwistingBall(&scene);
}

TEST_F(TwistingBallScene, SetsUpThenDrawsEachFrameInItsFixedOrderAndClearsTheSecondUnitAtTheEnd)
{
    StartClockAt(41950);
    PlayTwistingBallScene();

    const std::string v = std::to_string(vortex.name), e = std::to_string(envMap.name);
    const std::vector<std::string> frame = {
        "BindSecondTexture(0)", "BindTexture(" + v + ")", "BindTexture(" + v + ")", "DrawTriangleAffine",
        "DrawTriangleAffine",   "BindTexture(" + e + ")", "BindSecondTexture(0)",    "SetDepthTest(1)",
        "SetBlendMode(15)",     "SetBlendMode(20)",       "DrawTriangleDualTexture", "PresentFrame",
        "ClearFrame"};
    std::vector<std::string> expected = {"SetDepthTest(1)", "SetBlendMode(15)", "SetBlendMode(2)"};
    for (int n = 0; n < 3; ++n) expected.insert(expected.end(), frame.begin(), frame.end());   // 41950, 41966, 41983
    expected.push_back("BindSecondTexture(0)");
    EXPECT_EQ(CollapsedOps(), expected);
    EXPECT_EQ(DemoTime, 42000);
    // The last frame's phase, advanced once more after it: what the next scene starts with.
    float last = TwistingBallPhase(41983, 0.0f);
    AdvancePhase(&last, 0.003);
    EXPECT_EQ(AnimationPhase, last);
}

TEST_F(TwistingBallScene, AQuitEndsItAfterTheSetUpWithTheSecondUnitCleared)
{
    StartClockAt(30000);
    PostQuitMessage();
    PlayTwistingBallScene();
    EXPECT_EQ(CollapsedOps(), (std::vector<std::string>{"SetDepthTest(1)", "SetBlendMode(15)", "SetBlendMode(2)",
                                                        "BindSecondTexture(0)"}));
}

TEST_F(TwistingBallScene, TakesTheFramesPhaseBeforeTheBeatLeap)
{
    TwistingBall scene;
    SetUpTwistingBall(&scene, &BallMeshB);
    DrawTwistingBallFrame(&scene, 30000);
    EXPECT_EQ(AnimationPhase, 3.5f);
    EXPECT_EQ(scene.camera.positionX, static_cast<float>(600 * std::sin(3.5)));
    EXPECT_EQ(scene.camera.positionY, static_cast<float>(600 * std::sin(3.5)));
    EXPECT_EQ(scene.camera.positionZ, static_cast<float>(600 * std::cos(7.0)));

    DrawTwistingBallFrame(&scene, 33100);
    EXPECT_EQ(AnimationPhase, TwistingBallPhase(33100, 0.0f));
    EXPECT_EQ(scene.phaseOffset, static_cast<float>(0.012));
    DrawTwistingBallFrame(&scene, 33117);
    EXPECT_EQ(AnimationPhase, TwistingBallPhase(33117, static_cast<float>(0.012)));
    ReleaseTwistingBall(&scene);
}

TEST_F(TwistingBallScene, TheFacesThatPassTheOrientationTestAreTheOutsideTurnedToTheEye)
{
    // The ball as loaded, seen by the scene's camera at its first phase: a face is drawn
    // exactly when its outward direction (from the centre through the face) points to
    // the eye. Inside-out drawing would keep the other half.
    Camera camera{};
    InitSceneCamera(&camera);
    camera.positionX = camera.positionY = static_cast<float>(600 * std::sin(3.5));
    camera.positionZ = static_cast<float>(600 * std::cos(7.0));
    Matrix matrix;
    BuildViewMatrix(&matrix, camera);
    TransformAndProjectMesh(BallMeshA, matrix, camera);
    int drawn = 0;
    for (int32_t f = 0; f < BallMeshA.faceBlock->count; ++f) {
        const Face& face = BallMeshA.faceBlock->faces[f];
        const ScreenVertex &a = *face.vertex[0], &b = *face.vertex[1], &c = *face.vertex[2];
        // In model space, where the ball is round and centred on the origin.
        const Vector3* p = BallMeshA.vertexBlock->positions;
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

TEST_F(TwistingBallScene, DrawsAboutHalfTheBallEnvironmentMappedInWhite)
{
    TwistingBall scene;
    SetUpTwistingBall(&scene, &BallMeshB);
    const Mesh& ball = BallMeshB;
    const int32_t faceCount = ball.faceBlock->count;
    for (int32_t t : {30100, 32000, 33400, 36200, 39200, 41900}) {
        const size_t first = r.recorder.calls.size();
        DrawTwistingBallFrame(&scene, t);

        // About half the faces pass the orientation test: one side of a closed surface.
        int drawn = 0;
        for (int32_t f = 0; f < faceCount; ++f) {
            const Face& face = ball.faceBlock->faces[f];
            if (FaceFacing(*face.vertex[0], *face.vertex[1], *face.vertex[2]) > 0.0f) ++drawn;
        }
        EXPECT_GT(drawn, faceCount / 3) << t;
        EXPECT_LT(drawn, faceCount * 2 / 3) << t;

        int triangles = 0;
        for (size_t i = first; i < r.recorder.calls.size(); ++i) {
            const RecordedCall& call = r.recorder.calls[i];
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
    const CoincidentVertices& copies = scene.seamCopies;
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
    ReleaseTwistingBall(&scene);
}

TEST_F(TwistingBallScene, LeavesTheOtherBallAsLoaded)
{
    const VertexBlock& a = *BallMeshA.vertexBlock;
    const std::vector<Vector3> positions(a.positions, a.positions + a.count);
    const std::vector<ScreenVertex> records(a.screen, a.screen + a.count);
    const std::vector<Face> faces(BallMeshA.faceBlock->faces, BallMeshA.faceBlock->faces + BallMeshA.faceBlock->count);

    StartClockAt(41900);
    PlayTwistingBallScene();

    EXPECT_EQ(std::memcmp(positions.data(), a.positions, positions.size() * sizeof(Vector3)), 0);
    EXPECT_EQ(std::memcmp(records.data(), a.screen, records.size() * sizeof(ScreenVertex)), 0);
    EXPECT_EQ(std::memcmp(faces.data(), BallMeshA.faceBlock->faces, faces.size() * sizeof(Face)), 0);
    // The scene's ball itself did change: deformed, mapped, and its second pair four
    // times the loaded one.
    const VertexBlock& b = *BallMeshB.vertexBlock;
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
