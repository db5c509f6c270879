// Presenting in step with the display: which cap applies, and the schedule of presents.
#include <gtest/gtest.h>

#include "app/present_schedule.h"
#include "app/options.h"

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

TEST(PresentSchedule, PresentsComeOnePeriodApartWithoutCatchingUp)
{
    PresentPacing p;
    p.periodSeconds = 0.01;
    EXPECT_EQ(TakePresentSlot(&p, 5.000), 0.0);             // the first at once
    EXPECT_NEAR(TakePresentSlot(&p, 5.002), 0.008, 1e-12);  // early: wait for its slot
    EXPECT_NEAR(TakePresentSlot(&p, 5.0205), 0.0, 1e-12);   // 0.5 ms late: at once,
    EXPECT_NEAR(TakePresentSlot(&p, 5.021), 0.009, 1e-12);  // the slots keep their beat
    // A long frame starts the schedule over: no burst of frames to catch up.
    EXPECT_EQ(TakePresentSlot(&p, 6.0), 0.0);
    EXPECT_NEAR(TakePresentSlot(&p, 6.001), 0.009, 1e-12);

    PresentPacing none;   // period 0: never waits
    EXPECT_EQ(TakePresentSlot(&none, 1.0), 0.0);
    EXPECT_EQ(TakePresentSlot(&none, 1.0), 0.0);
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
