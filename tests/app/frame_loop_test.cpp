// The frame-loop pattern and the play sequence, with a renderer that only counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/clock.h"
#include "app/frame_stats.h"
#include "app/window.h"
#include "gfx/render_interface.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"

namespace {

// The calls that put something on screen: draws, presents and clears (set-up calls of
// render state are not frames).
std::vector<std::string> FrameOps(const CallRecorder& recorder)
{
    std::vector<std::string> ops;
    for (const std::string& op : recorder.Ops())
        if (op.rfind("Draw", 0) == 0 || op == "PresentFrame" || op == "ClearFrame") ops.push_back(op);
    return ops;
}

class FrameLoopTest : public ::testing::Test {
protected:
    CallRecorder renderer;
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
        60,
        [&] {
            timesSeenByDraw.push_back(DemoTime);
            ScreenVertex v{};
            Renderer->DrawQuad(v, v, v, v);
        },
        [&] { timesSeenByPhase.push_back(DemoTime); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(timesSeenByDraw, (std::vector<int32_t>{0, 20, 40}));
    EXPECT_EQ(timesSeenByPhase, (std::vector<int32_t>{20, 40, 60}));
    EXPECT_EQ(renderer.Ops(), (std::vector<std::string>{"DrawQuad", "PresentFrame", "ClearFrame", "DrawQuad",
                                                         "PresentFrame", "ClearFrame", "DrawQuad", "PresentFrame",
                                                         "ClearFrame"}));
}

TEST_F(FrameLoopTest, SceneEnteredPastItsEndDrawsNothing)
{
    DemoTime = 17950;
    int frames = 0;
    EXPECT_EQ(RunFrameLoop(OpeningSceneEnd, [&] { ++frames; }, [] {}), 0);
    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(FrameOps(renderer).empty());
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
    EXPECT_TRUE(FrameOps(renderer).empty());
    for (int scene = 1; scene <= SceneCount; ++scene) EXPECT_EQ(FramesDrawn(scene), 0) << scene;
}

TEST_F(FrameLoopTest, EscapePressedDuringLoadingMeansNoSceneDrawsAFrame)
{
    // Loading pumps no messages: the key waits in the queue for the first scene's check.
    PostWindowMessage({Message::KeyDown, KeyEscape});
    PlaySequence();
    EXPECT_TRUE(QuitRequested);
    EXPECT_TRUE(FrameOps(renderer).empty());
    for (int scene = 1; scene <= SceneCount; ++scene) EXPECT_EQ(FramesDrawn(scene), 0) << scene;
}

TEST(AnimationPhase, StartsAtThreePointOneFour)
{
    EXPECT_FLOAT_EQ(AnimationPhase, 3.14f);
}

}  // namespace
