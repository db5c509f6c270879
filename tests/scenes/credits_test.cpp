// The credit bands and the credits scene, through the recording render interface.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "fx/credit_strips.h"
#include "model/mesh.h"
#include "pipeline/transform.h"
#include "scenes/credits.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/timeline.h"
#include "support/played_scene.h"

namespace {

std::vector<std::string> OpsOf(const std::vector<RecordedCall>& calls)
{
    std::vector<std::string> ops;
    for (const RecordedCall& c : calls) ops.push_back(c.op);
    return ops;
}

TEST(CreditStrips, SlicesOfThePictureBelowTheCentreLineWithTheirOwnSubmitters)
{
    struct Case {
        void (*draw)(RenderInterface&, float, float, float, float, TextureId);
        float vTop, vBottom;
        const char* op;
    };
    // The v edges are these floats, not multiples of 100/1024.
    const Case cases[3] = {{DrawCreditStripA, 0.0f, 0.09765f, "DrawTriangle"},
                           {DrawCreditStripB, 0.09765f, 0.1953f, "DrawTriangle"},
                           {DrawCreditStripC, 0.1953f, 0.29295f, "DrawTriangleDualTexture"}};
    const float x[4] = {-1, 1, 1, -1}, y[4] = {-0.3125f, -0.3125f, 0, 0}, u[4] = {0, 0.625f, 0.625f, 0};
    const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const Case& k : cases) {
        CallRecorder r;
        k.draw(r, 0.25f, 0.5f, 0.75f, 0.4f, TextureId{77});
        // The texture argument is not used: nothing is bound.
        ASSERT_EQ(r.Ops(), (std::vector<std::string>{k.op, k.op}));
        const float v[4] = {k.vBottom, k.vBottom, k.vTop, k.vTop};
        for (int t = 0; t < 2; ++t)
            for (int i = 0; i < 3; ++i) {
                const ScreenVertex& p = r.calls[t].vertices[i];
                const int c = order[t][i];
                EXPECT_EQ(p.screenX, x[c]);
                EXPECT_EQ(p.screenY, y[c]);
                EXPECT_EQ(p.z, -1.0f);
                EXPECT_EQ(p.u, u[c]);
                EXPECT_EQ(p.v, v[c]);
                EXPECT_EQ(p.red, 0.25f);
                EXPECT_EQ(p.green, 0.5f);
                EXPECT_EQ(p.blue, 0.75f);
                EXPECT_EQ(p.alpha, 0.4f);
            }
    }
}

// The band strips of one frame, the level updated first as the scene does: (name of the
// submitter, alpha).
std::vector<std::pair<std::string, float>> BandsAt(float* level, int32_t demoTime)
{
    CallRecorder r;
    UpdateCreditFlash(level, demoTime, 1.0);
    DrawCreditBands(r, TextureId{31}, *level, demoTime);
    const std::vector<RecordedCall>& c = r.calls;
    EXPECT_GE(c.size(), 3u);
    if (c.size() < 3) return {};
    EXPECT_EQ(c[0].op, "SetDepthTest");
    EXPECT_EQ(c[0].a, 0);
    EXPECT_EQ(c[1].op, "SetBlendMode");
    EXPECT_EQ(c[1].a, static_cast<int>(BlendMode::AlphaBlendBilinear));
    EXPECT_EQ(c[2].op, "BindTexture");
    EXPECT_EQ(c[2].a, 31);
    std::vector<std::pair<std::string, float>> bands;
    for (size_t i = 3; i < c.size(); i += 2) bands.push_back({c[i].op, c[i].vertices[0].alpha});
    return bands;
}

TEST(CreditBands, FlashInJustAfterEachBeatAndFadeOutBeforeTheNext)
{
    using Bands = std::vector<std::pair<std::string, float>>;
    float level = 0.0f;
    // The windows are open: at 45038 itself no band and no raise.
    EXPECT_EQ(BandsAt(&level, 45038), Bands{});
    EXPECT_EQ(level, 0.0f);
    EXPECT_EQ(BandsAt(&level, 45039), (Bands{{"DrawTriangle", 0.99f}}));
    EXPECT_EQ(BandsAt(&level, 45499), (Bands{{"DrawTriangle", 0.99f}}));
    EXPECT_EQ(BandsAt(&level, 45500), (Bands{{"DrawTriangle", 0.99f - 0.01f}}));
    // Fades by 0.01 a frame to just below 0, then stays.
    for (int32_t t = 45516; t < 47999; t += 16) BandsAt(&level, t);
    EXPECT_LE(level, 0.0f);
    EXPECT_GT(level, -0.01f);
    EXPECT_EQ(BandsAt(&level, 47999), (Bands{{"DrawTriangle", level}}));
    // Between a band's end and the next beat no band is drawn, even with a level above 0.
    level = 0.5f;
    for (int32_t t : {48000, 48020, 48038}) EXPECT_EQ(BandsAt(&level, t), Bands{}) << t;
    EXPECT_EQ(BandsAt(&level, 48039), (Bands{{"DrawTriangle", 0.99f}}));
    level = 0.5f;
    for (int32_t t : {51000, 51038}) EXPECT_EQ(BandsAt(&level, t), Bands{}) << t;
    EXPECT_EQ(BandsAt(&level, 51039), (Bands{{"DrawTriangleDualTexture", 0.99f}}));
    EXPECT_EQ(BandsAt(&level, 53999).size(), 1u);
}

TEST(CreditsCamera, SwaysAroundTheModelAndJoltsTowardsItWithTheFlashLevel)
{
    Camera c{};
    PlaceCreditsCamera(&c, 0.0f, 0.0f);
    EXPECT_EQ(c.positionX, 0.0f);
    EXPECT_EQ(c.positionY, 200.0f);
    EXPECT_EQ(c.positionZ, -500.0f);
    EXPECT_EQ(c.targetX, 30.0f);
    EXPECT_EQ(c.targetY, 30.0f);
    EXPECT_EQ(c.targetZ, 0.0f);
    EXPECT_EQ(c.roll, 180.0f);
    // At the peak of a beat: 200 sin(1.57 × 0.99) = 199.97 nearer.
    PlaceCreditsCamera(&c, 0.0f, 0.99f);
    EXPECT_FLOAT_EQ(c.positionZ, -300.02722f);
    // The level a beat decays to, just below 0, leaves the camera 3.14 further back.
    PlaceCreditsCamera(&c, 0.0f, -0.0099993292f);
    EXPECT_FLOAT_EQ(c.positionZ, -503.13965f);
}

class CreditsSceneRun : public ::testing::Test {
protected:
    // The model: two faces over the same three vertices near the target, one of each
    // winding; the one facing the camera is drawn.
    void SetUp() override
    {
        Mesh& front = resources.crystal;
        AllocateMesh(&front, 3, 2);
        const Vector3 p[3] = {{0, 0, 0}, {60, 0, 0}, {0, 60, 0}};
        for (int i = 0; i < 3; ++i) {
            front.vertexBlock->positions[i] = p[i];
            ScreenVertex& s = front.vertexBlock->screen[i];
            s.red = s.green = s.blue = 1.0f;
            s.alpha = 0.5f;
        }
        const int order[2][3] = {{0, 1, 2}, {2, 1, 0}};
        for (int f = 0; f < 2; ++f)
            for (int k = 0; k < 3; ++k) {
                front.faceBlock->faces[f].vertex[k] = &front.vertexBlock->screen[order[f][k]];
                front.faceBlock->faces[f].index[k] = order[f][k];
            }
        resources.textures.titleCreditsBackground = TextureId{11};
        resources.textures.creditsModelSkin = TextureId{12};
        resources.textures.lineNoise = TextureId{13};
        resources.textures.credits = TextureId{14};
    }
    void TearDown() override { FreeMesh(&resources.crystal); }
    static float Phase(int32_t demoTime) { return static_cast<float>((demoTime - 45046) * 0.0001); }

    Resources resources{};
};

TEST_F(CreditsSceneRun, DrawsTheModelWithLastFramesAlphaAndCameraUnderTheOverlaysAndBands)
{
    PlayedScene run(SceneId::Credits, 45030, resources);
    run.Play(4);   // frames at 45030, 45046, 45063, 45080
    const auto frames = run.Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(run.recorder.presentTimes, (std::vector<int32_t>{45030, 45046, 45063, 45080}));

    const std::vector<std::string> quiet = {
        "SetBlendMode", "BindTexture", "DrawTriangleAffine", "DrawTriangleAffine",          // backdrop
        "SetDepthTest", "BindTexture", "SetBlendMode", "DrawTriangle",                       // model
        "SetDepthTest", "BindTexture", "SetBlendMode", "DrawTriangle", "DrawTriangle",       // line noise
        "SetDepthTest", "BindTexture", "SetBlendMode", "DrawTriangle", "DrawTriangle",       // and again
        "SetDepthTest", "SetBlendMode", "BindTexture", "PresentFrame", "ClearFrame"};        // no band yet
    EXPECT_EQ(OpsOf(frames[0]), quiet);
    EXPECT_EQ(frames[0][0].a, static_cast<int>(BlendMode::OpaqueNearest));
    EXPECT_EQ(frames[0][1].a, 11);
    EXPECT_EQ(frames[0][4].a, 1);
    EXPECT_EQ(frames[0][5].a, 12);
    EXPECT_EQ(frames[0][6].a, static_cast<int>(BlendMode::AlphaBlendBilinear));
    EXPECT_EQ(frames[1].size(), quiet.size() + 2);   // the first band from 45046 on

    const int32_t times[4] = {45030, 45046, 45063, 45080};
    for (int n = 0; n < 4; ++n) {
        const std::vector<RecordedCall> model = CallsAfter(frames[n], "BindTexture", 12);
        ASSERT_GE(model.size(), 2u);
        ASSERT_EQ(model[1].op, "DrawTriangle") << n;
        const ScreenVertex& drawn = model[1].vertices[0];
        // The alpha set after drawing frame n - 1; frame 0 has the one a play through
        // set at its frame before 45030 (45016, every 1000/60 ms from 0).
        EXPECT_EQ(drawn.alpha, CreditsModelAlpha(Phase(n == 0 ? 45016 : times[n - 1]))) << n;
        // The camera uses the level left by the previous frame: the beat raises it in
        // frame 1, so the jolt shows from frame 2 on.
        Camera camera{};
        InitSceneCamera(&camera);
        PlaceCreditsCamera(&camera, Phase(times[n]), n >= 2 ? 0.99f : 0.0f);
        Matrix m{};
        BuildViewMatrix(&m, camera);
        Vector3 positions[3];
        ScreenVertex expected[3] = {};
        for (int i = 0; i < 3; ++i) positions[i] = resources.crystal.vertexBlock->positions[i];
        VertexBlock block{positions, expected, 3};
        TransformMeshVertices(block, m);
        // The face drawn starts at vertex 0 or 2, whichever faces the camera.
        const ScreenVertex& first = drawn.x == expected[0].x ? expected[0] : expected[2];
        EXPECT_EQ(drawn.x, first.x) << n;
        EXPECT_EQ(drawn.z, first.z) << n;
    }
}

TEST_F(CreditsSceneRun, TheTwoLineNoiseLayersAreMirrorImagesInThePhase)
{
    PlayedScene run(SceneId::Credits, 46046, resources);
    run.Play(1);   // t = 0.1
    const auto frames = run.Frames();
    ASSERT_EQ(frames.size(), 1u);
    // Each layer: SetDepthTest, BindTexture(13), SetBlendMode, two triangles. Its first
    // corner carries offset × scale as u and the layer's alpha.
    std::vector<ScreenVertex> corners;
    for (size_t i = 0; i + 3 < frames[0].size(); ++i)
        if (frames[0][i].op == "BindTexture" && frames[0][i].a == 13) corners.push_back(frames[0][i + 2].vertices[0]);
    ASSERT_EQ(corners.size(), 2u);
    const double t = static_cast<float>(1000 * 0.0001);
    for (int layer = 0; layer < 2; ++layer) {
        const double st = layer == 0 ? t : -t;
        const float offset = static_cast<float>(std::sin(3.0 * st) + st);
        const float scale = static_cast<float>(0.4 * std::sin(23.0 * st) + 1.0);
        EXPECT_FLOAT_EQ(corners[layer].u, offset * scale) << layer;
        EXPECT_FLOAT_EQ(corners[layer].alpha, static_cast<float>(0.2 * std::sin(33.0 * st) + 0.6)) << layer;
    }
    EXPECT_LT(corners[1].u, -0.25f);   // the second scrolls the other way
    EXPECT_NEAR(corners[0].alpha + corners[1].alpha, 1.2f, 1e-6);
}

}  // namespace
