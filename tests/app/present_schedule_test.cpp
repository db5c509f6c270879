// Presenting in step with the display: which cap applies, and the schedule of presents.
#include <gtest/gtest.h>

#include "app/frame_stats.h"
#include "app/options.h"
#include "app/present_schedule.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

TEST(PresentSchedule, RealTimePlayKeepsToTheDisplayUnlessToldOtherwise)
{
    EXPECT_EQ(PacedFrameRate(-1, false, true, 144), 0);    // vsync holds the frames
    EXPECT_EQ(PacedFrameRate(-1, false, false, 75), 75);   // no vsync: the refresh rate
    EXPECT_EQ(PacedFrameRate(-1, false, false, 0), 60);    // unknown refresh: 60 Hz
    EXPECT_EQ(PacedFrameRate(-1, true, false, 0), 0);      // fixed-rate clock: as fast as it goes
    EXPECT_EQ(PacedFrameRate(30, false, false, 60), 30);   // --max-fps 30
    EXPECT_EQ(PacedFrameRate(0, false, false, 60), 0);     // --max-fps 0: no cap

    DemoOptions o;
    std::string error;
    const char* args[] = {"zircon-megademo", "--max-fps", "0"};
    ASSERT_TRUE(ParseOptions(3, args, &o, &error));
    EXPECT_EQ(o.maxFps, 0);
    EXPECT_EQ(DemoOptions{}.maxFps, -1);
    const char* bad[] = {"zircon-megademo", "--max-fps", "-2"};
    EXPECT_FALSE(ParseOptions(3, bad, &o, &error));
    EXPECT_EQ(error, "--max-fps takes a whole number from 0 to 1000");
}

TEST(PresentSchedule, PresentsKeepToSlotsOnePeriodApartAndSkipThoseMissed)
{
    PresentPacing p;
    p.periodSeconds = 0.01;
    EXPECT_EQ(TakePresentSlot(&p, 5.000), 0.0);             // the first at once: slots at 5.00 + k / 100
    EXPECT_NEAR(TakePresentSlot(&p, 5.002), 0.008, 1e-12);  // early: wait for its slot
    EXPECT_NEAR(TakePresentSlot(&p, 5.0224), 0.0, 1e-12);   // 2.4 ms late (within a quarter period): at once,
    EXPECT_NEAR(TakePresentSlot(&p, 5.023), 0.007, 1e-12);  // the slots keep their beat
    // 2.6 ms late: the slot of 5.04 is missed, the frame waits for that of 5.05.
    EXPECT_NEAR(TakePresentSlot(&p, 5.0426), 0.0074, 1e-12);
    EXPECT_NEAR(p.readyAfterSlot, 0.0026, 1e-12);
    EXPECT_EQ(p.slotsSkipped, 1);
    EXPECT_NEAR(TakePresentSlot(&p, 5.051), 0.009, 1e-12);
    // A long frame: the first slot it can make, and no burst of frames to catch up.
    EXPECT_NEAR(TakePresentSlot(&p, 6.0031), 0.0069, 1e-9);
    EXPECT_EQ(p.slotsSkipped, 94);   // those of 5.07 .. 6.00
    EXPECT_NEAR(TakePresentSlot(&p, 6.011), 0.009, 1e-9);
    EXPECT_NEAR(TakePresentSlot(&p, 6.5324), 0.0, 1e-9);    // 2.4 ms after the slot of 6.53: in it
    EXPECT_EQ(p.slotsSkipped, 50);
    EXPECT_NEAR(TakePresentSlot(&p, 6.535), 0.005, 1e-9);
    EXPECT_NEAR(p.readyAfterSlot, -0.005, 1e-9);
    EXPECT_EQ(p.slotsSkipped, 0);

    // The slot a frame ready at a given time would take, the schedule left as it is.
    int skipped = -1;
    EXPECT_NEAR(SlotForFrameReadyAt(p, 6.551, &skipped), 6.55, 1e-9);   // 1 ms late: in its slot
    EXPECT_EQ(skipped, 0);
    EXPECT_NEAR(SlotForFrameReadyAt(p, 6.5716, &skipped), 6.57, 1e-9);  // 2 slots missed
    EXPECT_EQ(skipped, 2);
    EXPECT_NEAR(SlotForFrameReadyAt(PresentPacing{0.01, 0, false}, 3.0), 3.0, 1e-12);   // before the first: at once
    EXPECT_NEAR(TakePresentSlot(&p, 6.551), 0.0, 1e-9);

    PresentPacing none;   // period 0: never waits
    EXPECT_EQ(TakePresentSlot(&none, 1.0), 0.0);
    EXPECT_EQ(TakePresentSlot(&none, 1.0), 0.0);
}

double g_fakeSeconds = 0;
double FakeSeconds() { return g_fakeSeconds; }
void FakeSleep(double seconds) { g_fakeSeconds += seconds; }

// Each present is counted at the end of its wait, with the DemoTime of the frame recorded
// before it, and written to the JSON statistics one a line.
TEST(PresentSchedule, PresentsAreTracedWithTheirDemoTimesForTheStatistics)
{
    FrameStats stats;
    PresentSchedule schedule = StartPresentSchedule(50);
    g_fakeSeconds = 100.0;
    EXPECT_EQ(WaitForPresentSlot(&schedule, FakeSeconds, FakeSleep, &stats), 0.0);   // no scene frame yet: not counted
    stats.BeginSceneFrames(4, g_fakeSeconds);
    const int32_t times[] = {42000, 42020, 42041};
    for (int32_t t : times) {
        g_fakeSeconds += 0.005;   // the frame's work
        stats.RecordFrame(t, g_fakeSeconds);
        EXPECT_NEAR(WaitForPresentSlot(&schedule, FakeSeconds, FakeSleep, &stats), 15.0, 1e-6);
    }
    const std::vector<PresentMark>& marks = stats.Presents();
    ASSERT_EQ(marks.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(marks[i].atSeconds, 100.02 + 0.02 * static_cast<double>(i), 1e-9);
        EXPECT_EQ(marks[i].demoTime, times[i]);
        EXPECT_NEAR(marks[i].readyMs, -15.0, 1e-6);   // ready 15 ms before its slot
        EXPECT_NEAR(marks[i].waitedMs, 15.0, 1e-6);
        EXPECT_EQ(marks[i].periodSeconds, 0.02);
    }
    const std::string path = testing::TempDir() + "zircon_presents_" + std::to_string(getpid()) + ".json";
    ASSERT_TRUE(stats.WriteJson(path, 0));
    std::stringstream json;
    json << std::ifstream(path).rdbuf();
    std::remove(path.c_str());
    EXPECT_NE(json.str().find("  \"present_period_ms\": 20.0000,\n  \"presents\": [\n"
                              "    [0.000, 42000, -15.000, 15.000],\n    [20.000, 42020, -15.000, 15.000],\n"
                              "    [40.000, 42041, -15.000, 15.000]\n  ],\n"),
              std::string::npos);
}

TEST(PresentSchedule, VsyncThatDoesNotWaitIsNoticedFromPresentsFasterThanTheDisplay)
{
    // Presents 1/149 s apart on a 60 Hz display: found out at the end of the first window.
    VsyncWatch fast;
    fast.refreshHz = 60;
    int present = 0;
    while (!VsyncDoesNotWait(&fast, present / 149.0)) ASSERT_LT(++present, 100);
    EXPECT_EQ(present, VsyncWatchPresents);

    // Presents at the refresh rate, or a little faster (a display measured at 59.94 Hz
    // while it runs at 60.5), and slow ones, never are.
    for (double interval : {1 / 60.0, 1 / 65.0, 1 / 30.0}) {
        VsyncWatch waiting;
        for (int i = 0; i < 10 * VsyncWatchPresents; ++i) EXPECT_FALSE(VsyncDoesNotWait(&waiting, i * interval));
    }
    // A slow start (the loading screen) does not hide a fast stretch after it.
    VsyncWatch afterLoading;
    double now = 0;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(VsyncDoesNotWait(&afterLoading, now += 1.0));
    bool found = false;
    for (int i = 0; i < 3 * VsyncWatchPresents && !found; ++i) found = VsyncDoesNotWait(&afterLoading, now += 1 / 149.0);
    EXPECT_TRUE(found);
    // A 144 Hz display with vsync that waits is left alone.
    VsyncWatch fastDisplay;
    fastDisplay.refreshHz = 144;
    for (int i = 0; i < 10 * VsyncWatchPresents; ++i) EXPECT_FALSE(VsyncDoesNotWait(&fastDisplay, i / 144.0));
}

}  // namespace
