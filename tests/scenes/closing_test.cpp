// The whole-texture picture and the closing scene, through the recording render interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "fx/background.h"
#include "scenes/closing.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/timeline.h"
#include "support/played_scene.h"

namespace {

TEST(BackgroundWhole, WholeTextureOverTheScreenWithoutBlending)
{
    CallRecorder r;
    DrawBackgroundWhole(r, 1.0f, 0.5f, 0.0f, TextureId{6});
    ASSERT_EQ(r.Ops(), (std::vector<std::string>{"BindTexture", "SetBlendMode", "DrawTriangleAffine",
                                                 "DrawTriangleAffine"}));
    EXPECT_EQ(r.calls[0].a, 6);
    EXPECT_EQ(r.calls[1].a, static_cast<int>(BlendMode::OpaqueNearest));
    const float x[4] = {-1, 1, 1, -1}, y[4] = {-1, -1, 1, 1}, u[4] = {0, 1, 1, 0}, v[4] = {1, 1, 0, 0};
    const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < 3; ++k) {
            const ScreenVertex& p = r.calls[2 + t].vertices[k];
            const int c = order[t][k];
            EXPECT_EQ(p.screenX, x[c]);
            EXPECT_EQ(p.screenY, y[c]);   // the texture's first row at the top
            EXPECT_EQ(p.z, 0.0f);
            EXPECT_EQ(p.u, u[c]);
            EXPECT_EQ(p.v, v[c]);
            EXPECT_EQ(p.red, 1.0f);
            EXPECT_EQ(p.green, 0.5f);
            EXPECT_EQ(p.blue, 0.0f);
        }
}

// The look-at matrix of a camera, scaled by its focal factors, with a shift added.
Matrix ShiftedView(const Camera& camera, float shiftX, float shiftY)
{
    Matrix m{};
    BuildViewMatrix(&m, camera);
    m.m[3] += shiftX;
    m.m[7] += shiftY;
    return m;
}

TEST(ClosingView, TheCameraMovesInOneFrameAfterTheShiftAtEachStep)
{
    Camera camera{};
    InitSceneCamera(&camera);
    Matrix m{};
    float distance = 1200.0f;
    const float t = 2.5f;
    struct Step {
        int32_t demoTime;
        float cameraZ, distanceAfter, shiftX, shiftY;
    };
    const Step steps[] = {
        {88913, 1200, 1200, 500, 200},   // the tests are strict
        {88914, 1200, 1000, 250, 100},   // switch frame: old distance, new shift
        {89298, 1000, 1000, 250, 100},
        {89299, 1000, 800, 0, 0},
        {89400, 800, 800, 0, 0},
    };
    for (const Step& s : steps) {
        const float before = distance;
        StepClosingDistance(&distance, s.demoTime);
        PlaceClosingView(&camera, &m, t, before, distance);
        EXPECT_EQ(camera.positionX, static_cast<float>(800 * std::sin(2.5)));
        EXPECT_EQ(camera.positionY, static_cast<float>(800 * std::sin(1.6 * t)));
        EXPECT_EQ(camera.positionZ, s.cameraZ) << s.demoTime;
        EXPECT_EQ(camera.targetX, 0.0f);
        EXPECT_EQ(camera.roll, 0.0f);
        EXPECT_EQ(distance, s.distanceAfter) << s.demoTime;
        const Matrix expected = ShiftedView(camera, s.shiftX, s.shiftY);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], expected.m[i]) << s.demoTime << " element " << i;
    }
}

class ClosingSceneRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        resources.textures.swirlsBackground = TextureId{21};
        resources.textures.latticePanel = TextureId{22};
        resources.textures.whiteFlash = TextureId{23};
    }
    // The scene entered at 90000 and played to its end, its fade checked frame by frame.
    void PlayTheFadeFrom90000();
    static bool Draws(const std::vector<RecordedCall>& frame, const std::string& op, int a)
    {
        for (const RecordedCall& c : frame)
            if (c.op == op && c.a == a) return true;
        return false;
    }

    Resources resources{};
};

TEST_F(ClosingSceneRun, GridFramesAddTheLatticeOverTheVortexAndStepThePhase)
{
    PlayedScene run(SceneId::Closing, 80000, resources);
    run.Play(3);
    const auto frames = run.Frames();
    ASSERT_EQ(frames.size(), 3u);
    for (const auto& frame : frames) {
        const std::vector<RecordedCall> grid = CallsAfter(frame, "BindTexture", 22);
        ASSERT_GE(grid.size(), 3u);
        EXPECT_EQ(grid[0].op, "SetBlendMode");
        EXPECT_EQ(grid[0].a, static_cast<int>(BlendMode::AdditiveFiltersKept));
        int faces = 0;
        for (const RecordedCall& c : grid) faces += c.op == "DrawTriangle";
        EXPECT_GT(faces, 48);   // of the 48 panels' 96 faces, those in view, clipped ones in pieces
        EXPECT_EQ(grid.back().op, "ClearFrame");
    }
    // A start at 80000 carries the 120 grid frames of a play through from 78000 (every
    // 1000/60 ms), then the three frames drawn step it on.
    float phase = 0.0f;
    for (int i = 0; i < 120 + 3; ++i) AdvancePhase(&phase, 0.009);
    EXPECT_EQ(run.States().closing.phase, phase);

    // Entry: depth test off and additive blending before the first picture.
    PlayedScene entered(SceneId::Closing, 78000, resources);
    entered.Play(1);
    const auto first = entered.Frames();
    ASSERT_EQ(first.size(), 1u);
    ASSERT_GE(first[0].size(), 2u);
    EXPECT_EQ(first[0][0].op, "SetDepthTest");
    EXPECT_EQ(first[0][0].a, 0);
    EXPECT_EQ(first[0][1].op, "SetBlendMode");
    EXPECT_EQ(first[0][1].a, static_cast<int>(BlendMode::AdditiveFiltersKept));
}

TEST_F(ClosingSceneRun, LeavingDuringTheGridPhaseShowsNoFade)
{
    PlayedScene run(SceneId::Closing, 89000, resources);
    run.Play(2);
    EXPECT_EQ(run.recorder.presentTimes.size(), 2u);
    for (const auto& frame : run.Frames()) {
        for (const RecordedCall& c : frame) {
            EXPECT_FALSE(c.op == "BindTexture" && c.a == 23);
            EXPECT_FALSE(c.op == "SetBlendMode" && c.a == static_cast<int>(BlendMode::OpaqueNearest));
        }
    }
}

// Each time the scene is entered: a seek back into it after the fade starts it bright.
TEST_F(ClosingSceneRun, TheWhitePictureFadesToBlackAndStaysBlackUntil94000EachTimeTheSceneIsEntered)
{
    for (int entry = 1; entry <= 2; ++entry) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        PlayTheFadeFrom90000();
    }
}

void ClosingSceneRun::PlayTheFadeFrom90000()
{
    PlayedScene run(SceneId::Closing, 90000, resources);
    run.Play();
    const auto frames = run.Frames();
    const std::vector<int32_t>& presented = run.recorder.presentTimes;
    ASSERT_EQ(frames.size(), presented.size());
    // Grid frames at 90000, 90016 and 90033; the fade from 90050.
    size_t first = 0;
    while (first < frames.size() && !Draws(frames[first], "BindTexture", 23)) ++first;
    ASSERT_EQ(first, 3u);
    std::vector<float> levels;
    for (size_t n = first; n < frames.size(); ++n) {
        const std::vector<std::string> ops = {"BindTexture", "BindTexture", "SetBlendMode", "DrawTriangleAffine",
                                              "DrawTriangleAffine", "PresentFrame", "ClearFrame"};
        std::vector<std::string> got;
        for (const RecordedCall& c : frames[n]) got.push_back(c.op);
        ASSERT_EQ(got, ops) << n;
        levels.push_back(frames[n][3].vertices[0].red);
        // Each fade frame takes the new demo time before it is presented, so the frame
        // before the last was presented before 94000 and the last at 94000 or later.
        if (n + 1 < frames.size()) {
            EXPECT_LT(presented[n], 94000);
        }
    }
    EXPECT_GE(presented.back(), 94000);
    // Full white on fade frame 0, 0.01 darker on each further one, and black (at most one
    // step below 0) from frame 101 on: 100 float steps leave a rounding above 0.
    ASSERT_EQ(levels.front(), 1.0f);
    const size_t black = static_cast<size_t>(
        std::find_if(levels.begin(), levels.end(), [](float level) { return level <= 0.0f; }) - levels.begin());
    EXPECT_EQ(black, 101u);
    for (size_t n = 1; n < levels.size() && n <= black; ++n)
        EXPECT_NEAR(levels[n - 1] - levels[n], 0.01f, 1e-5f) << "fade frame " << n;
    for (size_t n = black; n < levels.size(); ++n) {
        EXPECT_EQ(levels[n], levels[black]) << "once black the picture stays black, fade frame " << n;
        EXPECT_GE(levels[n], -0.01f) << n;
    }
    EXPECT_GT(frames.size() - first, 200u);   // about 3.95 s at 60 frames a second
}

TEST_F(ClosingSceneRun, NoFadeFrameOnceTheDemoTimeIsAt94000)
{
    PlayedScene run(SceneId::Closing, 94000, resources);
    run.Play();
    EXPECT_TRUE(run.recorder.presentTimes.empty());
    EXPECT_TRUE(run.Frames().empty());
}

}  // namespace
