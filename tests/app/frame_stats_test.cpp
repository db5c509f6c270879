// --stats figures of frames that take unequal times, recorded in no order of size.
#include "app/frame_stats.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(FrameStats, FiguresOfUnequalFrames)
{
    FrameStats stats;
    stats.BeginSceneFrames(3, 10.0);
    // Frames of 4, 40, 12, 8 and 16 ms, each with 2.4 ms of drawing.
    const double ends[] = {10.004, 10.044, 10.056, 10.064, 10.080};
    int32_t demoTime = 30000;
    for (double end : ends) {
        stats.AddDrawingTime(2.4);
        stats.RecordFrame(demoTime, end);
        demoTime += 20;
    }
    const SceneFigures f = stats.FiguresOfScene(3);
    EXPECT_EQ(f.frames, 5);
    EXPECT_EQ(f.firstTime, 30000);
    EXPECT_EQ(f.lastTime, 30080);
    EXPECT_NEAR(f.medianMs, 12.0, 1e-3);
    EXPECT_NEAR(f.meanMs, 16.0, 1e-3);
    EXPECT_NEAR(f.worstMs, 40.0, 1e-3);
    EXPECT_NEAR(f.drawingShare, 12.0 / 80.0, 1e-6);
    EXPECT_EQ(stats.FiguresOfScene(2).frames, 0);

    // The table a person reads shows the same median.
    char text[4096] = {};
    FILE* out = fmemopen(text, sizeof text - 1, "w");
    ASSERT_NE(out, nullptr);
    stats.Print(out, 0);
    std::fclose(out);
    EXPECT_NE(std::string(text).find("    3       5   30000..30080       12.00   40.00     40.00      85%      15%"),
              std::string::npos)
        << text;
}
