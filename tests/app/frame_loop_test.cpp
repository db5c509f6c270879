// The frame-loop pattern, the play sequence and the frame statistics, with a renderer
// that only counts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/player.h"
#include "app/timed_renderer.h"
#include "image/image.h"
#include "shell/clock.h"
#include "scenes/frame_stats.h"
#include "shell/window.h"
#include "gfx/render_interface.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"

namespace {

// A scene row whose drawing and phase step are the test's own.
std::function<void()> g_draw, g_advance;
FrameFinish g_order = FrameFinish::PresentThenTime;

int RunFrameLoop(int32_t endTime, std::function<void()> draw, std::function<void()> advance,
                 FrameFinish order = FrameFinish::PresentThenTime)
{
    g_draw = std::move(draw);
    g_advance = std::move(advance);
    g_order = order;
    const SceneRoutines scene = {
        "test", endTime, nullptr, nullptr,
        [](int32_t, double) {
            g_draw();
            return g_order;
        },
        [](double) { g_advance(); }, nullptr, nullptr,
    };
    return PlaySceneFrames(scene) ? 1 : 0;
}

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
    // Scenes set the phase up even after a quit (the closing scene to 0); each test
    // leaves it as it found it.
    const float phaseBefore = AnimationPhase;
    void SetUp() override
    {
        ResetWindowState();
        MainWindow = 1;
        Renderer = &renderer;
        UseFixedFrameClock(50);            // 20 ms per frame
        DemoStartTick = DemoClockTicks();
        DemoTime = 0;
        FrameStatsEnabled = true;
    }
    void TearDown() override
    {
        AnimationPhase = phaseBefore;
        FrameStatsEnabled = false;
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

TEST_F(FrameLoopTest, TheTimeFirstShapeTakesTheNewTimeBeforePresenting)
{
    // A recorder that notes DemoTime whenever a frame is presented.
    struct TimedPresent : CallRecorder {
        std::vector<int32_t> times;
        void PresentFrame() override
        {
            times.push_back(DemoTime);
            CallRecorder::PresentFrame();
        }
    } timed;
    Renderer = &timed;
    std::vector<int32_t> timesSeenByDraw;
    int result = RunFrameLoop(
        60, [&] { timesSeenByDraw.push_back(DemoTime); }, [] {}, FrameFinish::TimeThenPresent);
    EXPECT_EQ(result, 0);
    // The clock moves on at each present. Taken before it, the new time is the one the
    // frame was drawn at, so each frame sees the time of the one before and the loop
    // runs one frame longer.
    EXPECT_EQ(timesSeenByDraw, (std::vector<int32_t>{0, 0, 20, 40}));
    EXPECT_EQ(timed.times, (std::vector<int32_t>{0, 20, 40, 60}));
    EXPECT_EQ(timed.Ops(), (std::vector<std::string>{"PresentFrame", "ClearFrame", "PresentFrame", "ClearFrame",
                                                      "PresentFrame", "ClearFrame", "PresentFrame", "ClearFrame"}));
    Renderer = &renderer;
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

// The whole play sequence through the player, with the given settings.
void PlaySequence()
{
    BeginPlay(0, PlayerSettings{});
    while (PlayFrame()) {
    }
    EndPlay();
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

TEST_F(FrameLoopTest, FramesAreCountedOnlyWhenStatisticsAreOn)
{
    BeginSceneFrames(2);
    FrameStatsEnabled = false;
    RunFrameLoop(40, [] {}, [] {});
    EXPECT_EQ(FramesDrawn(2), 0);
    DemoStartTick = DemoClockTicks();
    DemoTime = 0;
    FrameStatsEnabled = true;
    RunFrameLoop(40, [] {}, [] {});
    EXPECT_EQ(FramesDrawn(2), 2);
    CurrentScene = 0;
}

TEST(AnimationPhase, StartsAtThreePointOneFour)
{
    EXPECT_FLOAT_EQ(AnimationPhase, 3.14f);
}

}  // namespace

namespace {

TEST_F(FrameLoopTest, StatisticsSplitFrameTimeIntoDrawingAndOurWork)
{
    BeginSceneFrames(3);
    // Every call inside the frame loop goes through the timing front.
    TimedRenderInterface timed(&renderer);
    Renderer = &timed;
    RunFrameLoop(60, [] {
        ScreenVertex v{};
        Renderer->DrawQuad(v, v, v, v);
        AddDrawingTime(1e9);   // more than the frame: counted as the whole frame, never more
    }, [] {});
    const SceneFigures f = FiguresOfScene(3);
    EXPECT_EQ(f.frames, 3);
    EXPECT_EQ(f.firstTime, 0);
    EXPECT_EQ(f.lastTime, 40);
    EXPECT_DOUBLE_EQ(f.drawingShare, 1.0);
    EXPECT_LE(f.medianMs, f.p99Ms);
    EXPECT_LE(f.p99Ms, f.worstMs);
    // The inner interface saw every call, in order.
    EXPECT_EQ(renderer.Ops(), (std::vector<std::string>{"DrawQuad", "PresentFrame", "ClearFrame", "DrawQuad",
                                                         "PresentFrame", "ClearFrame", "DrawQuad", "PresentFrame",
                                                         "ClearFrame"}));

    const std::string path = testing::TempDir() + "zircon_stats_" + std::to_string(getpid()) + ".json";
    ASSERT_TRUE(WriteFrameStatsJson(path, 4321));
    std::stringstream json;
    json << std::ifstream(path).rdbuf();
    std::remove(path.c_str());
    EXPECT_NE(json.str().find("{\"scene\": 3, \"frames\": 3, \"first_demo_time\": 0, \"last_demo_time\": 40,"),
              std::string::npos);
    EXPECT_NE(json.str().find("\"cpu_share\": 0.0000, \"drawing_share\": 1.0000}"), std::string::npos);
    EXPECT_NE(json.str().find("\"peak_resident_kb\": 4321\n}"), std::string::npos);
    CurrentScene = 0;
}

TEST(TimedRenderInterface, HandsOutTheInnerTextureIds)
{
    CallRecorder inner;
    TimedRenderInterface timed(&inner);
    Image image(1, 1, nullptr, 1);
    const TextureId id = timed.CreateTexture(image);
    EXPECT_EQ(id.name, FirstTextureIdBase + 1);
    EXPECT_EQ(id.name, inner.NextTextureId);
}

}  // namespace
