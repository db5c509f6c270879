// The second scene's steps, and one of its frames drawn with the real ball into the
// recording render interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "fx/cut_band.h"
#include "fx/plane_slice.h"
#include "model/3dsload.h"
#include "scenes/resources.h"
#include "scenes/sliced_ball.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"
#include "support/played_scene.h"

namespace {

TEST(PulseLength, KicksOnlyInsideTheOpenBeatWindowsAndDecaysByTenAFrame)
{
    for (int32_t t : {21038, 21500, 24052, 24500, 27047, 27500, 20000, 30000}) {
        float length = 550.0f;
        UpdatePulseLength(&length, t, 1.0);
        EXPECT_EQ(length, 550.0f) << t;
    }
    for (int32_t t : {21039, 21499, 24053, 24499, 27048, 27499}) {
        float length = 550.0f;
        UpdatePulseLength(&length, t, 1.0);
        EXPECT_EQ(length, 800.0f) << t;
    }
    // Above rest a window does not kick again: inside one the band shrinks for 24 frames,
    // and on the 25th 560 falls to 550 and the same frame's window kicks it again.
    float length = 800.0f;
    for (int frame = 1; frame <= 24; ++frame) {
        UpdatePulseLength(&length, 21100, 1.0);
        ASSERT_EQ(length, 800.0f - 10.0f * frame) << frame;
    }
    UpdatePulseLength(&length, 21100, 1.0);
    EXPECT_EQ(length, 800.0f);
    // Outside the windows it reaches rest after 25 frames and stays there.
    for (int frame = 1; frame <= 30; ++frame) UpdatePulseLength(&length, 22000, 1.0);
    EXPECT_EQ(length, 550.0f);
}

TEST(RadialFactors, FollowTheThreeWavesOfTheRestPositions)
{
    Vector3 rest[3] = {{0, 0, 0}, {13 * 3.14159265f, 0, 0}, {0, 18 * 3.14159265f, 13 * 3.14159265f}};
    VertexBlock block{rest, nullptr, 3};
    float factors[3];
    WobbleFactorsFromRest(block, 0.0f, factors);
    EXPECT_EQ(factors[0], 1.0f);
    EXPECT_FLOAT_EQ(factors[1], 1.25f);            // sin(x/26) = 1
    EXPECT_FLOAT_EQ(factors[2], 1.25f + 0.215f);   // sin(y/36) = 1, sin(z/26) = 1
    // A quarter turn of the first wave's phase (16a = pi/2) carries the origin's factor too.
    WobbleFactorsFromRest(block, 3.14159265f / 32, factors);
    EXPECT_NEAR(factors[0], 1.25 + 0.25 * std::sin(23 * 3.14159265 / 32) + 0.215 * std::sin(26 * 3.14159265 / 32), 1e-6);
}

TEST(SlicingPlane, LiesAHundredUnitsInFrontOfTheBallsCentre)
{
    Matrix m{};
    m.m[3] = -250.0f;
    m.m[7] = 2.0f;
    m.m[11] = 806.5f;
    const Vector3 p = SlicePlaneVector(m);
    EXPECT_EQ(p.x, 250.0f);
    EXPECT_EQ(p.y, -2.0f);
    EXPECT_EQ(p.z, -706.5f);   // with N = (0, 0, 1): the plane z = 706.5
}

// One frame of the scene with the generated ball, played by the player into the recorder.
class SlicedBallFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_FALSE(LoadModel(&resources_.ball, "megadata\\ball2420.3ds", "GeoSphere0").Failed());
    }
    static void TearDownTestSuite() { FreeMesh(&resources_.ball); }

    // Play begun at demoTime (inside the scene) and its first frame presented; the frame's
    // calls up to the present that finishes it.
    std::vector<RecordedCall> DrawFrameAt(int32_t demoTime)
    {
        run_.reset(new PlayedScene(SceneId::SlicedBall, demoTime, resources_));
        run_->Play(1);
        const auto frames = run_->Frames();
        EXPECT_EQ(frames.size(), 1u);
        if (frames.empty()) return {};
        const std::vector<RecordedCall>& calls = frames[0];
        EXPECT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2].op, "PresentFrame");
        return std::vector<RecordedCall>(calls.begin(), calls.end() - 2);
    }
    const SlicedBallScene& Scene() const { return run_->States().slicedBall; }

    // Index of the first call with this name from `from` on, or the call count.
    static size_t Find(const std::vector<RecordedCall>& calls, const std::string& op, size_t from = 0)
    {
        for (size_t i = from; i < calls.size(); ++i)
            if (calls[i].op == op) return i;
        return calls.size();
    }
    static std::vector<std::string> Ops(const std::vector<RecordedCall>& calls)
    {
        std::vector<std::string> ops;
        for (const RecordedCall& c : calls) ops.push_back(c.op);
        return ops;
    }

    static Resources resources_;
    std::unique_ptr<PlayedScene> run_;
};
Resources SlicedBallFrame::resources_;

// The circling camera's eye at phase a.
void ExpectEyeAtPhase(const Camera& camera, float a)
{
    EXPECT_EQ(camera.positionX, static_cast<float>(800 * std::sin(static_cast<double>(4 * a))));
    EXPECT_EQ(camera.positionY, static_cast<float>(800 * std::cos(static_cast<double>(4 * a))));
    EXPECT_EQ(camera.positionZ, 100.0f);
}

TEST_F(SlicedBallFrame, DrawsBackgroundNearCapLeftOfCentreBandAndOverlaysInOrder)
{
    ASSERT_NE(resources_.ball.faceBlock, nullptr);
    const std::vector<RecordedCall> rec = DrawFrameAt(21050);   // just inside the first beat
    const SlicedBallScene& scene = Scene();
    EXPECT_EQ(scene.list.capacity, 20000);
    const std::vector<std::string> ops = Ops(rec);

    // The frame's phase: (21050 - 18000) × 0.0001.
    ExpectEyeAtPhase(scene.camera, static_cast<float>(3050 * 0.0001));
    EXPECT_EQ(scene.pulseLength, 800.0f);

    // Background with nearest filtering, then the radial map with the depth test on.
    ASSERT_GT(ops.size(), 8u);
    const std::vector<std::string> head(ops.begin(), ops.begin() + 8);
    EXPECT_EQ(head, (std::vector<std::string>{"BindSecondTexture", "SetBlendMode", "BindTexture", "DrawTriangleAffine",
                                              "DrawTriangleAffine", "BindTexture", "BindSecondTexture",
                                              "SetDepthTest"}));
    EXPECT_EQ(rec[1].a, static_cast<int>(BlendMode::OpaqueNearest));
    EXPECT_EQ(rec[7].a, 1);

    // The ball: dual-texture triangles, all on the near side of the plane, centred left
    // of the screen centre.
    const size_t ballStart = 8;
    const size_t bandModes = Find(rec, "SetBlendMode", ballStart);
    ASSERT_LT(bandModes + 2, rec.size());
    const float planeDepth = scene.view.m[11] - 100.0f;
    double sumX = 0;
    size_t vertices = 0;
    for (size_t i = ballStart; i < bandModes; ++i) {
        ASSERT_EQ(rec[i].op, "DrawTriangleDualTexture") << i;
        for (const ScreenVertex& v : rec[i].vertices) {
            EXPECT_LE(v.z, planeDepth * 1.000001f);
            sumX += v.screenX;
            ++vertices;
        }
    }
    ASSERT_GT(vertices, 300u);
    EXPECT_LT(sumX / vertices, -0.15);
    EXPECT_EQ(rec[bandModes].a, static_cast<int>(BlendMode::AdditiveFiltersKept));
    EXPECT_EQ(rec[bandModes + 1].op, "SetDepthTest");
    EXPECT_EQ(rec[bandModes + 1].a, 0);

    // The band: one per cut edge, pushed 800 toward the eye; what is drawn of it lies in
    // front of the eye, nearer than the plane.
    EXPECT_GT(scene.cutEdges.count, 20);
    EXPECT_EQ(scene.band.faces.count, 2 * scene.cutEdges.count);
    EXPECT_EQ(scene.band.vertices.screen[2].z, scene.cutEdges.edges[0].first.z - 800.0f);
    const size_t overlays = Find(rec, "BindTexture", bandModes);
    ASSERT_GT(overlays, bandModes + 2);
    for (size_t i = bandModes + 2; i < overlays - 1; ++i) {
        ASSERT_EQ(rec[i].op, "DrawTriangle") << i;
        for (const ScreenVertex& v : rec[i].vertices) {
            EXPECT_GT(v.z, 0.0f);
            EXPECT_LE(v.z, planeDepth * 1.000001f);
        }
    }

    // Two overlay layers of the noise texture close the frame.
    const std::vector<std::string> tail(ops.end() - 10, ops.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"SetDepthTest", "BindTexture", "SetBlendMode", "DrawTriangle",
                                              "DrawTriangle", "SetDepthTest", "BindTexture", "SetBlendMode",
                                              "DrawTriangle", "DrawTriangle"}));
}

TEST_F(SlicedBallFrame, TheTwoNoiseLayersScrollOppositeWays)
{
    const std::vector<RecordedCall> calls = DrawFrameAt(22000);   // A = 0.4
    ASSERT_GT(calls.size(), 10u);
    // Each layer's first corner has texture v = its vertical offset (scale 1).
    const float first = calls[calls.size() - 7].vertices[0].v, second = calls[calls.size() - 2].vertices[0].v;
    const float a = static_cast<float>(4000 * 0.0001);
    EXPECT_EQ(first, static_cast<float>(std::sin(static_cast<double>(2 * a))));
    EXPECT_EQ(second, static_cast<float>(std::sin(-2.0 * a)));
    EXPECT_GT(first, 0.5f);
    EXPECT_EQ(second, -first);
}

TEST_F(SlicedBallFrame, OutsideTheBeatsTheBandRestsAndTheBallStaysSliced)
{
    DrawFrameAt(18000);
    const SlicedBallScene& scene = Scene();
    ExpectEyeAtPhase(scene.camera, 0.0f);
    EXPECT_EQ(scene.camera.positionY, 800.0f);
    EXPECT_EQ(scene.pulseLength, 550.0f);
    ASSERT_GT(scene.cutEdges.count, 20);
    EXPECT_EQ(scene.band.vertices.screen[3].z, scene.cutEdges.edges[0].second.z - 550.0f);
    // Every cut point lies on the plane z = m23 - 100.
    const float planeDepth = scene.view.m[11] - 100.0f;
    for (int32_t i = 0; i < scene.cutEdges.count; ++i) {
        EXPECT_NEAR(scene.cutEdges.edges[i].first.z, planeDepth, 1e-3f);
        EXPECT_NEAR(scene.cutEdges.edges[i].second.z, planeDepth, 1e-3f);
    }
}

}  // namespace
