// Driver pieces that need no window: audio error texts, options, the demo clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/demo.h"
#include "app/demo_clock.h"
#include "app/start_up.h"
#include "app/options.h"

namespace {

TEST(AudioErrorText, FormatsTextAndCodeOnTwoLines)
{
    EXPECT_EQ(FormatAudioError("Can't create stream", 3), "Can't create stream\n(error code: 3)");
    EXPECT_EQ(FormatAudioError("Can't initialize digital sound system", 1),
              "Can't initialize digital sound system\n(error code: 1)");
    EXPECT_EQ(FormatAudioError("Can't play stream", -1), "Can't play stream\n(error code: -1)");
}

TEST(AudioErrorText, NeverExceedsItsBuffer)
{
    std::string longText(500, 'x');
    std::string text = FormatAudioError(longText.c_str(), 42);
    EXPECT_EQ(text.size(), 199u);
    EXPECT_EQ(text, std::string(199, 'x'));
}

std::string Parse(std::initializer_list<const char*> args, DemoOptions* o)
{
    std::vector<const char*> argv = {"zircon-megademo"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::string error;
    if (!ParseOptions(static_cast<int>(argv.size()), argv.data(), o, &error)) return error;
    return "";
}

TEST(Options, NoneMeansTheDesignedBehaviour)
{
    DemoOptions o;
    EXPECT_EQ(Parse({}, &o), "");
    EXPECT_FALSE(o.window);
    EXPECT_FALSE(o.noDialogs);
    EXPECT_FALSE(o.stats);
    EXPECT_EQ(o.fps, 0);
    EXPECT_EQ(o.startMs, 0);
    EXPECT_TRUE(o.captureDir.empty());
}

TEST(Options, AllValuesAreRead)
{
    DemoOptions o;
    EXPECT_EQ(Parse({"--window", "--no-dialogs", "--fps", "50", "--start", "53000", "--stats"}, &o), "");
    EXPECT_TRUE(o.window);
    EXPECT_TRUE(o.noDialogs);
    EXPECT_EQ(o.fps, 50);
    EXPECT_EQ(o.startMs, 53000);
    EXPECT_TRUE(o.stats);
}

TEST(Options, CaptureImpliesNoDialogsAndSixtyFramesPerSecond)
{
    DemoOptions o;
    EXPECT_EQ(Parse({"--capture", "out", "--at", "0,17100,17250"}, &o), "");
    EXPECT_EQ(o.captureDir, "out");
    EXPECT_TRUE(o.noDialogs);
    EXPECT_EQ(o.fps, 60);
    EXPECT_EQ(o.captureAt, (std::vector<int>{0, 17100, 17250}));
}

TEST(Options, BadInputIsRefusedWithAReason)
{
    DemoOptions o;
    EXPECT_EQ(Parse({"--fps"}, &o), "--fps needs a frame rate");
    EXPECT_EQ(Parse({"--fps", "0"}, &o), "--fps takes a whole number from 1 to 1000");
    EXPECT_EQ(Parse({"--fps", "12x"}, &o), "--fps takes a whole number from 1 to 1000");
    EXPECT_EQ(Parse({"--start", "-5"}, &o), "--start takes a time in milliseconds from 0 to 10000000");
    EXPECT_EQ(Parse({"--at", "1,,2", "--capture", "d"}, &o), "--at takes demo times in milliseconds separated by commas");
    EXPECT_EQ(Parse({"--at", "100"}, &o), "--at goes with --capture");
    EXPECT_EQ(Parse({"--fullscreen"}, &o), "unknown option --fullscreen");
}

TEST(Options, HelpListsEveryOption)
{
    std::string help = OptionsHelpText();
    for (const char* option : {"--window", "--no-dialogs", "--fps", "--start", "--stats", "--capture", "--at", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

double g_fakeSeconds = 0;
double FakeSeconds() { return g_fakeSeconds; }

// The demo time of the next k frames of the clock, each presented.
std::vector<int32_t> NextFrameTimes(DemoClock* clock, int k)
{
    std::vector<int32_t> times;
    for (int n = 0; n < k; ++n) {
        times.push_back(clock->demoTime);
        CountPresentedFrame(clock);
        RefreshDemoClock(clock);
    }
    return times;
}

TEST(DemoClock, FixedRateFramesFallOnWholeMillisecondsEvenAfterASeek)
{
    DemoClock clock = StartDemoClock(FakeSeconds, 60, 0, 0);
    EXPECT_EQ(NextFrameTimes(&clock, 4), (std::vector<int32_t>{0, 16, 33, 50}));
    NextFrameTimes(&clock, 1073);
    EXPECT_EQ(clock.demoTime, 17950);   // 1077 frames × 1000 / 60, no drift
    EXPECT_EQ(clock.elapsedSeconds, 1.0 / 60);
    // Seeks after each phase of the 16, 17, 17 ms pattern: frame k after a seek to 5000
    // falls at 5000 + floor(k × 1000 / 60), as in a run started at 5000.
    for (int framesBefore : {30, 31, 32}) {
        clock = StartDemoClock(FakeSeconds, 60, 0, 0);
        NextFrameTimes(&clock, framesBefore);
        SeekDemoClock(&clock, 5000, 0);
        EXPECT_EQ(NextFrameTimes(&clock, 4), (std::vector<int32_t>{5000, 5016, 5033, 5050})) << framesBefore;
    }
    // Play time counts every frame, through seeks and pauses.
    PauseDemoClock(&clock, true);
    NextFrameTimes(&clock, 2);
    EXPECT_EQ(PlayTimeMs(clock), (32 + 4 + 2) * 1000 / 60);
}

TEST(DemoClock, RealTimeCountsFromWhenTheSoundIsHeardAndLeavesPausesOut)
{
    // A stand-in output that obtained 1024 samples at 44,100 Hz: heard 23 ms after start.
    EXPECT_EQ(OutputLatencyMs(1024, 44100), 23);
    EXPECT_EQ(OutputLatencyMs(2048, 44100), 46);
    EXPECT_EQ(OutputLatencyMs(512, 48000), 11);
    EXPECT_EQ(OutputLatencyMs(0, 44100), 0);
    EXPECT_EQ(OutputLatencyMs(1024, 0), 0);
    // Started 53 s into the demo with music heard 23 ms from now (times in 1/64 s, exact).
    g_fakeSeconds = 500;
    DemoClock clock = StartDemoClock(FakeSeconds, 0, 53000, 23);
    EXPECT_EQ(clock.demoTime, 52977);
    EXPECT_EQ(ElapsedDesignedFrames(clock), 0.0);
    g_fakeSeconds += 0.03125;
    RefreshDemoClock(&clock);
    EXPECT_EQ(clock.demoTime, 53008);
    EXPECT_DOUBLE_EQ(ElapsedDesignedFrames(clock), 1.875);
    // Two seconds paused: demo time and the next step leave them out.
    PauseDemoClock(&clock, true);
    EXPECT_EQ(ElapsedDesignedFrames(clock), 0.0);
    g_fakeSeconds += 2;
    RefreshDemoClock(&clock);
    EXPECT_EQ(clock.demoTime, 53008);
    PauseDemoClock(&clock, false);
    g_fakeSeconds += 0.015625;
    RefreshDemoClock(&clock);
    EXPECT_EQ(clock.demoTime, 53023);
    EXPECT_DOUBLE_EQ(ElapsedDesignedFrames(clock), 0.9375);
    // A seek while paused holds the target itself, whatever the latency.
    PauseDemoClock(&clock, true);
    SeekDemoClock(&clock, 20000, 23);
    EXPECT_EQ(clock.demoTime, 20000);
}

TEST(DemoClock, RealTimeFollowsTheHeardMusicAndDrawsForTheMomentShown)
{
    g_fakeSeconds = 100;
    DemoClock clock = StartDemoClock(FakeSeconds, 0, 10000, 0);
    // A frame is drawn for the middle of its time on screen, 1/128 s ahead.
    clock.showLeadSeconds = 0.0078125;
    RefreshDemoClock(&clock);
    EXPECT_EQ(clock.demoTime, 10007);
    // Music heard 10 ms ahead of the clock: followed by at most 2 ms a frame, so demo time
    // grows at every frame, until the two agree.
    int32_t last = clock.demoTime;
    for (int frame = 0; frame < 60; ++frame) {
        g_fakeSeconds += 0.015625;
        const double heardAt = g_fakeSeconds - 0.001;
        const double heardMs = 10010.0 + (heardAt - 100.0) * 1000.0;
        const double anchorBefore = clock.anchorSeconds;
        SteerDemoClock(&clock, heardMs, heardAt);
        EXPECT_LE(anchorBefore - clock.anchorSeconds, MaxSteerMsPerFrame / 1000.0 + 1e-12);
        RefreshDemoClock(&clock);
        EXPECT_GT(clock.demoTime, last) << frame;
        last = clock.demoTime;
    }
    const double musicNow = 10010.0 + (g_fakeSeconds + clock.showLeadSeconds - 100.0) * 1000.0;
    EXPECT_NEAR(clock.demoTime, musicNow, 1.0);
    // Music that stalled (300 ms away), a held clock and the fixed-rate clock are left alone.
    const double anchor = clock.anchorSeconds;
    SteerDemoClock(&clock, musicNow - 300.0, g_fakeSeconds);
    EXPECT_EQ(clock.anchorSeconds, anchor);
    PauseDemoClock(&clock, true);
    SteerDemoClock(&clock, musicNow + 5.0, g_fakeSeconds);
    EXPECT_EQ(clock.anchorSeconds, anchor);
    DemoClock fixed = StartDemoClock(FakeSeconds, 60, 0, 0);
    SteerDemoClock(&fixed, 40.0, g_fakeSeconds);
    EXPECT_EQ(fixed.anchorSeconds, g_fakeSeconds);
}

}  // namespace
