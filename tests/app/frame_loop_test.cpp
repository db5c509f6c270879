// The frame-loop pattern and the play sequence, with a renderer that only counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/clock.h"
#include "app/frame_stats.h"
#include "app/window.h"
#include "gfx/render_interface.h"
#include "scenes/timeline.h"

namespace {

// Records presents and clears in order; every frame advances the fixed-rate clock.
class CountingRenderer : public RenderInterface {
public:
    std::vector<std::string> calls;
    void SetRenderState(int, int) override {}
    void UpdateTexture(TextureId, const Image&) override {}
    TextureId CreateTexture(const Image&) override { return ++NextTextureId; }
    void DrawTriangle(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override { calls.push_back("draw"); }
    void DrawTriangleAffine(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override { calls.push_back("draw"); }
    void DrawTriangleDualTexture(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override { calls.push_back("draw"); }
    void DrawQuad(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override { calls.push_back("draw"); }
    void BindTexture(TextureId) override {}
    void BindSecondTexture(TextureId) override {}
    void ClearFrame() override { calls.push_back("clear"); }
    void PresentFrame() override
    {
        calls.push_back("present");
        CountPresentedFrame();
    }
    void SetBlendMode(int) override {}
};

class FrameLoopTest : public ::testing::Test {
protected:
    CountingRenderer renderer;
    void SetUp() override
    {
        ResetWindowState();
        MainWindow = 1;
        Renderer = &renderer;
        UseFixedFrameClock(50);            // 20 ms per frame
        DemoStartTick = GetTickCount();
        DemoTime = 0;
    }
    void TearDown() override
    {
        Renderer = nullptr;
        UseFixedFrameClock(0);
        ResetWindowState();
    }
};

TEST_F(FrameLoopTest, DrawsPresentsClearsThenUpdatesTimeAndPhase)
{
    std::vector<int32_t> timesSeenByDraw, timesSeenByPhase;
    int result = RunFrameLoop(
        60, [&] { timesSeenByDraw.push_back(DemoTime); renderer.calls.push_back("draw"); },
        [&] { timesSeenByPhase.push_back(DemoTime); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(timesSeenByDraw, (std::vector<int32_t>{0, 20, 40}));
    EXPECT_EQ(timesSeenByPhase, (std::vector<int32_t>{20, 40, 60}));
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"draw", "present", "clear", "draw", "present", "clear",
                                                         "draw", "present", "clear"}));
}

TEST_F(FrameLoopTest, SceneEnteredPastItsEndDrawsNothing)
{
    DemoTime = 17950;
    int frames = 0;
    EXPECT_EQ(RunFrameLoop(OpeningSceneEnd, [&] { ++frames; }, [] {}), 0);
    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(renderer.calls.empty());
}

TEST_F(FrameLoopTest, PendingQuitEndsTheSceneBeforeItsFirstFrame)
{
    PostWindowMessage({Message::KeyDown, KeyEscape});
    int frames = 0;
    EXPECT_EQ(RunFrameLoop(OpeningSceneEnd, [&] { ++frames; }, [] {}), 1);
    EXPECT_EQ(frames, 0);
}

TEST_F(FrameLoopTest, QuitDuringASceneEndsItWithinOneFrame)
{
    int frames = 0;
    int result = RunFrameLoop(OpeningSceneEnd,
                              [&] {
                                  if (++frames == 3) PostWindowMessage({Message::KeyDown, KeyEscape});
                              },
                              [] {});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(frames, 3);
}

TEST_F(FrameLoopTest, AfterAQuitNoSceneOfThePlaySequenceDrawsAFrame)
{
    PostQuitMessage();
    PlaySequence();
    EXPECT_TRUE(renderer.calls.empty());
    for (int scene = 1; scene <= SceneCount; ++scene) EXPECT_EQ(FramesDrawn(scene), 0) << scene;
}

TEST_F(FrameLoopTest, EscapePressedDuringLoadingMeansNoSceneDrawsAFrame)
{
    // Loading pumps no messages: the key waits in the queue for the first scene's check.
    PostWindowMessage({Message::KeyDown, KeyEscape});
    PlaySequence();
    EXPECT_TRUE(QuitRequested);
    EXPECT_TRUE(renderer.calls.empty());
    for (int scene = 1; scene <= SceneCount; ++scene) EXPECT_EQ(FramesDrawn(scene), 0) << scene;
}

TEST(AnimationPhase, StartsAtThreePointOneFour)
{
    EXPECT_FLOAT_EQ(AnimationPhase, 3.14f);
}

}  // namespace
