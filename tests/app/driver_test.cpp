// Driver pieces that need no window: audio error texts, options, the fixed-rate clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/clock.h"
#include "app/demo.h"
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

TEST(FixedFrameClock, AdvancesByWholeMillisecondsWithoutDrift)
{
    UseFixedFrameClock(60);
    uint32_t base = DemoClockTicks();
    EXPECT_EQ(DemoClockTicks(), base);   // it does not move between frames
    CountPresentedFrame();
    EXPECT_EQ(DemoClockTicks() - base, 16u);
    CountPresentedFrame();
    EXPECT_EQ(DemoClockTicks() - base, 33u);
    CountPresentedFrame();
    EXPECT_EQ(DemoClockTicks() - base, 50u);
    for (int i = 3; i < 1077; ++i) CountPresentedFrame();
    EXPECT_EQ(DemoClockTicks() - base, 17950u);   // 1077 frames × 1000 / 60, no drift
    UseFixedFrameClock(0);
}

TEST(FixedFrameClock, ASeekRestartsTheFrameCountSoFramesFallAsInARunStartedThere)
{
    // Seeks after each phase of the 16, 17, 17 ms pattern: frame k after a seek to 5000
    // is drawn at 5000 + floor(k × 1000 / 60), as in a run started at 5000.
    for (int framesBefore : {30, 31, 32}) {
        UseFixedFrameClock(60);
        SetDemoClock(0, 0);
        for (int n = 0; n < framesBefore; ++n) CountPresentedFrame();
        SetDemoClock(5000, 0);
        std::vector<int32_t> times;
        for (int k = 0; k < 4; ++k) {
            RefreshDemoTime();
            times.push_back(DemoTime);
            CountPresentedFrame();
        }
        EXPECT_EQ(times, (std::vector<int32_t>{5000, 5016, 5033, 5050})) << framesBefore << " frames before";
    }
    UseFixedFrameClock(0);
}

}  // namespace

namespace {

TEST(AudioStart, DemoTimeCountsFromTheFirstSampleHeard)
{
    // A stand-in output that obtained 1024 samples at 44,100 Hz: heard 23 ms after start.
    EXPECT_EQ(OutputLatencyMs(1024, 44100), 23);
    EXPECT_EQ(OutputLatencyMs(2048, 44100), 46);
    EXPECT_EQ(OutputLatencyMs(512, 48000), 11);
    EXPECT_EQ(OutputLatencyMs(0, 44100), 0);
    EXPECT_EQ(OutputLatencyMs(1024, 0), 0);
    // Music started at tick 5000 with a 23 ms buffer: DemoTime 0 at tick 5023.
    const uint32_t start = DemoStartTickFor(5000, 23, 0);
    EXPECT_EQ(static_cast<int32_t>(5023 - start), 0);
    EXPECT_EQ(static_cast<int32_t>(5000 - start), -23);
    // Started at 53000 ms into the demo: tick 5023 shows DemoTime 53000.
    EXPECT_EQ(static_cast<int32_t>(5023 - DemoStartTickFor(5000, 23, 53000)), 53000);
    // Across the wrap of the tick count.
    EXPECT_EQ(static_cast<int32_t>(10u - DemoStartTickFor(0xFFFFFFF0u, 23, 0)), 3);
}

}  // namespace
